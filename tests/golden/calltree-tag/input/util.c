int walk(int n)
{
    if (n > 0)
        return walk(n - 1);
    return last(n);
}

int last(int n)
{
    return n;
}
