#include "my header.h"

int main(void)
{
    return f();
}
