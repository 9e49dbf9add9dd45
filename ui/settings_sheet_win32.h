// The settings sheet "MIZENTAの動作設定": two pages that edit a copy of the
// live options; OK copies the copy back and saves the INI file, Cancel
// leaves everything as it was.
#pragma once

#include <windows.h>

// Modal; does nothing while the sheet is already open.
void showSettingsSheet(HWND owner);
