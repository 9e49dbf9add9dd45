// Files and folders handed to the system's shell: a folder opens in its
// file manager, a page in the browser, a workbook in its program. The help
// page "Mizhlp.html" lies beside the program.
#pragma once

#include <windows.h>

#include <string>

extern const char kHelpPageName[];

// Opens `path` with the shell; when the shell cannot, a box owned by
// `owner` says so and names the path. False then.
bool openWithShell(HWND owner, const std::string& path);

// The help page beside the program.
void openHelp(HWND owner);
