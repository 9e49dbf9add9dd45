static void leaf(void)
{
}

static void helper(void)
{
    leaf();
}

static void twice(void)
{
    helper();
    helper();
    printf("x");
}

int main(void)
{
    helper();
    twice();
    return 0;
}
