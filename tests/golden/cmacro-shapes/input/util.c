#define local static

local int fail(int line) { return -line; }

int helper(void)
{
    return fail(2);
}
