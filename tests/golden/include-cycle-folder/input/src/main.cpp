#include <lib/a.hpp>
#include "lib/a.hpp"
#include <lib/c.hpp>
#include "lib/C.HPP"

int main(void)
{
    return fb() + fd();
}
