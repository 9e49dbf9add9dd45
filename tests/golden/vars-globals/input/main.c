int counter;
char name[32];
static long total;
double *ratio;

int main(void)
{
    static int calls;
    int local;
    counter = calls;
    return 0;
}
