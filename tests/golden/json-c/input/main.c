#include "util.h"
#define GREETING "say \"hi\"\\n"
#define TITLE "計算"
int total;
static int fact(int n)
{
    return n <= 1 ? 1 : n * fact(n - 1);
}
int main(void)
{
    total = fact(5) + twice(2);
    ping(3);
    printf(GREETING);
    return 0;
}
