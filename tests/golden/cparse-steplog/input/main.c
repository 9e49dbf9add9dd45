#include "util.h"

int main(void)
{
    foo();
    return 0;
}
