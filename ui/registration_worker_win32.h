// Paths dropped on the window or chosen in the open-file dialog are
// registered on a thread of their own, so that the window goes on painting
// and answering: the worker posts its progress (the source files met so
// far) to the status bar, "登録中止" or Esc stops the search (what was
// registered by then stays), and at the end the new files join the tree
// and the conflict box names the refused ones. While it works the worker
// owns the source file list, as a run does: the window refuses whatever
// would read or change it.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Posted by the worker to the main window: wParam is the registration's
// number; lParam the source files met so far (progress) or unused (end).
constexpr UINT kRegistrationProgressMessage = WM_APP + 2;
constexpr UINT kRegistrationEndedMessage = WM_APP + 3;

bool registrationActive();

// Starts registering `paths` (files, folders, patterns) and switches the
// menu into its busy state; nothing when a registration or a run is active.
void startRegistration(HWND window, std::vector<std::string> paths);
// Asks the worker to stop at the next file.
void cancelRegistration();

void showRegistrationProgress(WPARAM number, LPARAM filesMet);
// The worker's end: the tree, the status bar, the idle menu, the box
// naming the refused files. A message of an earlier registration is ignored.
void finishRegistration(HWND window, WPARAM number);
// Stops and waits for an active worker (the window is going away).
void endRegistrationForClosing();

// The text of the conflict box: the text the box always had, then the
// first ten refused paths and how many more there were.
std::string conflictText(const std::vector<std::string>& firstRefused, int refused);
