#include "c.hpp"
int fd(void) { return fc(); }
