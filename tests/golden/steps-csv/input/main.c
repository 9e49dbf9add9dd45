/* メイン処理 */
#include "common.h"
#include "common.h"
#include <missing.h>
#include "loop.h"

int values[3] =
{
    // 日本語のコメント
    1, 2, 3
};
