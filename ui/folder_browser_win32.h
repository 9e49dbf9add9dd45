// The shell's folder browser, limited to folders of the file system.
#pragma once

#include <windows.h>

#include <string>

// Shows the browser with `title` above the folders; true and the chosen
// folder in `path` (its name with stand-ins for what CP932 lacks) when one
// was chosen.
bool browseFolder(HWND owner, const char* title, std::string& path);
