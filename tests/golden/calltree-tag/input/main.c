int walk(int n);

int main(void)
{
    return walk(3);
}
