// The windowed program: the window class "MIZENTA", the main window with its
// label, file tree, viewer and toolbar, the menus and their commands, and
// the message loop. The handles below are the program's own and are used on
// the window's thread only; a run's worker reaches the viewer only through
// the window system (see run_control_win32.h).
#pragma once

#include <windows.h>

#include <string>

struct MainWindow {
  HINSTANCE instance = nullptr;
  HWND window = nullptr;
  HMENU menu = nullptr;
  HWND label = nullptr;
  HWND tree = nullptr;     // the registered files, one item each
  HWND viewer = nullptr;   // read-only rich edit: progress, then the log
  HWND toolbar = nullptr;  // null while the toolbar is hidden
  HMODULE richEdit = nullptr;
  HCURSOR busyCursor = nullptr;
  std::string lastFolder;  // of the open-file dialog; empty at start
};

MainWindow& mainWindow();

// Registers the class, opens the main window with `showCommand` and runs
// the message loop until the window is destroyed. Returns the loop's exit
// code, or 0 when the window could not be made.
int runMainWindow(HINSTANCE instance, int showCommand);

// Places the toolbar (when shown), the label, the tree and the viewer.
void layout();

// Sends the window a size message, so that the layout is redone.
void relayout();
