#include "common.h"
#include <missing.h>
#include "sub\Util.H"

char name[] = "ユーティリティ";
