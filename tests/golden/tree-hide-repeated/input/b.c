#include "x.h"
#include "z.h"
