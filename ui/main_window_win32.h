// The windowed program: the window class "MIZENTA", the main window with its
// toolbar, label, file tree, splitter, viewer and status bar, the menus,
// their keys and commands, and the message loop. The handles below are the
// program's own and are used on the window's thread only; a run's worker
// reaches the viewer and the status bar only through the window system
// (see run_control_win32.h), a registration's worker not at all.
#pragma once

#include <windows.h>

#include <string>

struct MainWindow {
  HINSTANCE instance = nullptr;
  HWND window = nullptr;
  HMENU menu = nullptr;
  HWND label = nullptr;
  HWND tree = nullptr;       // the registered files, one item each
  HWND viewer = nullptr;     // read-only rich edit: progress, the log, a report
  HWND toolbar = nullptr;    // null while the toolbar is hidden
  HWND statusBar = nullptr;  // files, state, output folder
  HMODULE richEdit = nullptr;
  HCURSOR busyCursor = nullptr;
  std::string lastFolder;  // of the open-file dialog; empty at start
};

MainWindow& mainWindow();

// The menu bar's menus by place: "ﾌｧｲﾙ(&F)", "その他", "ﾚﾎﾟｰﾄ(&R)", "ﾍﾙﾌﾟ(&H)".
constexpr int kFileMenuPosition = 0;
constexpr int kReportMenuPosition = 2;

// Registers the class, opens the main window with `showCommand` and runs
// the message loop until the window is destroyed. Returns the loop's exit
// code, or 0 when the window could not be made.
int runMainWindow(HINSTANCE instance, int showCommand);

// Places the toolbar (when shown), the label, the tree, the viewer and the
// status bar; the tree's width is the splitter's.
void layout();

// Sends the window a size message, so that the layout is redone.
void relayout();

// The menu while a worker runs: the commands that would change the file
// list or the options grayed, and `stopCommand` ("解析中止" or "登録中止")
// in the place of "読取情報ｸﾘｱ". And back.
void showBusyMenu(UINT stopCommand, const char* stopText);
void showIdleMenu();

// No run and no registration is active: files may be registered.
bool windowTakesFiles();
