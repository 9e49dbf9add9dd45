int add(int a, int b)
{
    return a + b;
}

int main(void)
{
    int x;
    x = add(1, 2);
    return x;
}
