#include "defs.h"
/* Adds one */
static int helper(int x)
{
    return x + 1;
}
#if 'A' == 65 && 0xffffffffUL == 4294967295
int *(get_table) (void)
{
    return 0;
}
#endif
int main(void)
{
    int v[2] = { helper(1), count() };
    return CHECK(v[0]);
}
