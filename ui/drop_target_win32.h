// The main window as a target of OLE drag and drop, the way file managers
// drop files on other programs' windows (a drop from another process): a
// drag that carries a file list (CF_HDROP) is accepted while the window
// takes files, and its paths go where dropped files go. Windows that only
// post WM_DROPFILES are still heard (main_window_win32.cc).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// `dropped` is called on the window's thread with the paths of a drop, or
// with none when its list could not be read; `accepting` says whether the
// window takes files now. The window's thread must have OLE initialised.
bool registerDropTarget(HWND window,
                        void (*dropped)(HWND window, const std::vector<std::string>* paths),
                        bool (*accepting)());
void revokeDropTarget(HWND window);
