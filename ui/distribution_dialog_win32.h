// The dialog "関数の行数分布": the function-length classes of the last
// finished run in a class width chosen with a slider (5 to 30, 10 at
// first), and a button that writes them as "Mz関数分布.csv".
#pragma once

#include <windows.h>

// Modal; does nothing while the dialog is already open.
void showDistributionDialog(HWND owner);
