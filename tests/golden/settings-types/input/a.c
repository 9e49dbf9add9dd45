unsigned u;
unsigned int ui;
long l;
char *p;

void f(void)
{
    unsigned int a;
    char *b;
}
