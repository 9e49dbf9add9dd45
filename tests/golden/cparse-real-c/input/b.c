#include "defs.h"
static int helper(void)
{
    return 2;
}
int count(void) { return helper(); }
