#ifndef C_HPP
#define C_HPP
#include "../lib/d.hpp"
int fc(void) { return 3; }
#endif
