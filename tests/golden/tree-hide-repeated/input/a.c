#include "x.h"
int a; /* 変数 */
