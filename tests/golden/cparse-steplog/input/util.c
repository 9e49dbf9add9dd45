#include "util.h"

void foo(void)
{
}
static int helper(int x) { return x; }
