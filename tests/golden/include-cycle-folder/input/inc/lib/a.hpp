#pragma once
#include "b.inl"
int fa(void) { return 1; }
