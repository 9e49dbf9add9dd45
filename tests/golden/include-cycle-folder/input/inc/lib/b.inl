#pragma once
#include "a.hpp"
int fb(void) { return fa(); }
