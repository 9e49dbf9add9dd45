short s;

void f(void)
{
}
