#include "ui/main_window_win32.h"

#include <commctrl.h>
#include <ole2.h>
#include <windowsx.h>

#include <algorithm>

#include "context/options.h"
#include "context/source_file_list.h"
#include "driver/command_line.h"
#include "driver/run_driver.h"
#include "driver/run_outcome.h"
#include "ui/distribution_dialog_win32.h"
#include "ui/drop_list_win32.h"
#include "ui/drop_target_win32.h"
#include "ui/file_registration_win32.h"
#include "ui/file_tree_win32.h"
#include "ui/fonts_win32.h"
#include "ui/registration_worker_win32.h"
#include "ui/report_menu_win32.h"
#include "ui/resource_ids.h"
#include "ui/run_control_win32.h"
#include "ui/settings_sheet_win32.h"
#include "ui/shell_open_win32.h"
#include "ui/splitter_win32.h"
#include "ui/status_bar_win32.h"
#include "ui/viewer_win32.h"

namespace {

const char kClassName[] = "MIZENTA";

constexpr int kToolbarHeight = 45;
constexpr int kLabelHeight = 20;

// ---------------------------------------------------------------------------
// Toolbar

void createToolbar(HWND window) {
  TBBUTTON buttons[] = {
      {0, IDM_CHOOSE_SOURCES, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0},
      {1, IDM_RUN, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0},
      {2, IDM_CLEAR, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0},
  };
  mainWindow().toolbar = CreateToolbarEx(
      window, WS_CHILD | WS_VISIBLE | TBSTYLE_TOOLTIPS | TBSTYLE_WRAPABLE, IDC_TOOLBAR, 3,
      mainWindow().instance, IDB_TOOLBAR, buttons, 3, 0, 0, 46, 32, sizeof(TBBUTTON));
}

const char* tooltipText(UINT_PTR command) {
  switch (command) {
    case IDM_CHOOSE_SOURCES:
      return "ソースの選択";
    case IDM_RUN:
      return "ツリー出力";
    case IDM_CLEAR:
      if (registrationActive()) return "登録中止";
      return runActive() ? "解析中止" : "読み取り情報クリア";
  }
  return nullptr;
}

// The toolbar asks in the window's character set, or in UTF-16.
void answerTooltip(NMHDR* header) {
  const char* text = tooltipText(header->idFrom);
  if (!text) return;
  if (header->code == TTN_GETDISPINFOA) {
    reinterpret_cast<NMTTDISPINFOA*>(header)->lpszText = const_cast<char*>(text);
  } else {
    auto* info = reinterpret_cast<NMTTDISPINFOW*>(header);
    MultiByteToWideChar(CP_ACP, 0, text, -1, info->szText, ARRAYSIZE(info->szText));
    info->lpszText = info->szText;
  }
}

// ---------------------------------------------------------------------------
// Menus

const UINT kCommandsRefusedWhileBusy[] = {IDM_CHOOSE_SOURCES, IDM_RUN, IDM_SETTINGS,
                                          IDM_DISTRIBUTION};

HMENU fileMenu() { return GetSubMenu(mainWindow().menu, kFileMenuPosition); }

// Puts `command` with `text` where `old` stands in the file menu.
void replaceFileCommand(UINT old, UINT command, const char* text) {
  HMENU menu = fileMenu();
  for (int i = 0, n = GetMenuItemCount(menu); i < n; ++i) {
    if (GetMenuItemID(menu, i) != old) continue;
    DeleteMenu(menu, i, MF_BYPOSITION);
    InsertMenuA(menu, i, MF_BYPOSITION | MF_STRING, command, text);
    return;
  }
}

UINT busyCommand = 0;  // the stop command in the file menu, while busy

// ---------------------------------------------------------------------------
// Files dropped: by the system's message or by OLE drag and drop

// The next run's log hears of a list that could not be read, unless a
// worker owns the run's record now (a drop is ignored then anyway).
void takeDroppedPaths(HWND window, const std::vector<std::string>* paths) {
  if (!paths) {
    if (windowTakesFiles()) runOutcome().notes.push_back(kUnreadableDropLine);
    showState("ﾄﾞﾛｯﾌﾟされたﾌｧｲﾙの一覧を読めません");
    return;
  }
  if (windowTakesFiles()) startRegistration(window, *paths);
}

// A handle that is no readable list is left alone: neither read further
// nor released, as it may be none of this program's.
void dropFiles(HWND window, HDROP drop) {
  auto paths = readDropList(reinterpret_cast<HGLOBAL>(drop));
  if (paths) DragFinish(drop);
  takeDroppedPaths(window, paths ? &*paths : nullptr);
}

// ---------------------------------------------------------------------------
// Creation and end

HWND createTree(HWND window) {
  HWND tree = CreateWindowExA(0, WC_TREEVIEWA, "",
                              WS_CHILD | WS_VISIBLE | WS_BORDER | TVS_HASBUTTONS | TVS_HASLINES |
                                  TVS_LINESATROOT | TVS_INFOTIP,
                              0, 0, 0, 0, window, nullptr, mainWindow().instance, nullptr);
  if (tree) setUpFileTree(tree);
  return tree;
}

bool createChildren(HWND window) {
  MainWindow& w = mainWindow();
  w.window = window;
  OleInitialize(nullptr);
  w.menu = GetMenu(window);
  DeleteMenu(w.menu, IDM_STOP, MF_BYCOMMAND);
  w.viewer = createViewer(window, w.instance, &w.richEdit);
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES | ICC_TREEVIEW_CLASSES |
                                                        ICC_LISTVIEW_CLASSES | ICC_UPDOWN_CLASS |
                                                        ICC_TAB_CLASSES};
  InitCommonControlsEx(&controls);
  w.label = CreateWindowExA(0, "STATIC", "解析対象", WS_CHILD | WS_VISIBLE | WS_BORDER, 0, 0, 200,
                            kLabelHeight, window, nullptr, w.instance, nullptr);
  w.tree = createTree(window);
  w.statusBar = createStatusBar(window, w.instance);
  if (!w.viewer || !w.label || !w.tree) return false;
  for (HWND text : {w.label, w.statusBar})
    SendMessageA(text, WM_SETFONT, reinterpret_cast<WPARAM>(windowTextFont()), FALSE);
  loadTreeWidth();
  bool fast = liveOptions().fastSpeed != 0;
  CheckMenuItem(w.menu, fast ? IDM_FAST : IDM_SLOW, MF_BYCOMMAND | MF_CHECKED);
  registerDropTarget(window, takeDroppedPaths, windowTakesFiles);
  setProgressDisplay(showRunProgress);
  showRegisteredCount(0);
  showState(kStateIdle);
  showOutputFolder(outputFolderShown());
  return true;
}

void destroyChildren() {
  MainWindow& w = mainWindow();
  endRegistrationForClosing();
  endRunForClosing();
  revokeDropTarget(w.window);
  setProgressDisplay(nullptr);
  for (HWND* child : {&w.viewer, &w.tree, &w.toolbar, &w.statusBar}) {
    if (*child) DestroyWindow(*child);
    *child = nullptr;
  }
  OleUninitialize();
  if (w.richEdit) FreeLibrary(w.richEdit);
  w.richEdit = nullptr;
  PostQuitMessage(0);
}

// ---------------------------------------------------------------------------
// Commands

// Esc: stops what runs; nothing while idle.
void stop(HWND window) {
  if (registrationActive())
    cancelRegistration();
  else if (runActive())
    stopOrClear(window);
}

void runCommand(HWND window, UINT command) {
  if (runReportCommand(window, command)) return;
  switch (command) {
    case IDM_CHOOSE_SOURCES:
      if (windowTakesFiles()) openSourceDialog(window);
      break;
    case IDM_RUN:
      if (runActive())
        MessageBoxA(window, "解析実行中です", "確認", MB_OK);
      else if (!registrationActive())
        startRun(window);
      break;
    case IDM_CLEAR:
      if (registrationActive())
        cancelRegistration();
      else
        stopOrClear(window);
      break;
    case IDM_STOP:
    case IDM_CANCEL_REGISTRATION:
      stop(window);
      break;
    case IDM_EXIT:
      PostMessageA(window, WM_CLOSE, 0, 0);
      break;
    case IDM_SETTINGS:
      if (!windowTakesFiles()) break;
      showSettingsSheet(window);
      showOutputFolder(outputFolderShown());
      break;
    case IDM_DISTRIBUTION:
      if (windowTakesFiles()) showDistributionDialog(window);
      break;
    case IDM_FAST:
      setRunSpeed(true);
      break;
    case IDM_SLOW:
      setRunSpeed(false);
      break;
    case IDM_HELP:
      openHelp(window);
      break;
    case IDM_VERSION:
      MessageBoxA(window, kVersionText, "バージョン確認", MB_OK);
      break;
    case IDM_DELETE_FILE:
      if (windowTakesFiles()) deleteSelectedFile();
      break;
    case IDM_SORT_FILES:
      if (windowTakesFiles()) sortFiles();
      break;
    case IDM_FILE_COUNT:
      if (windowTakesFiles()) showFileCount(window);
      break;
  }
}

LRESULT notify(NMHDR* header) {
  switch (header->code) {
    case TTN_GETDISPINFOA:
    case TTN_GETDISPINFOW:
      answerTooltip(header);
      break;
    case TVN_GETINFOTIPA:
    case TVN_GETINFOTIPW:
      answerInfoTip(header);
      break;
  }
  return 0;
}

LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      return createChildren(window) ? 0 : -1;
    case WM_SIZE:
      layout();
      return 0;
    case WM_SETCURSOR:
    case WM_LBUTTONDOWN:
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
      if (splitterMouse(window, message, wParam, lParam)) return message == WM_SETCURSOR;
      break;
    case WM_COMMAND:
      runCommand(window, LOWORD(wParam));
      return 0;
    case WM_NOTIFY:
      return notify(reinterpret_cast<NMHDR*>(lParam));
    case WM_CONTEXTMENU:
      if (windowTakesFiles() && reinterpret_cast<HWND>(wParam) == mainWindow().tree)
        showFileMenu(window, {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
      return 0;
    case WM_DROPFILES:
      dropFiles(window, reinterpret_cast<HDROP>(wParam));
      return 0;
    case kRegistrationProgressMessage:
      showRegistrationProgress(wParam, lParam);
      return 0;
    case kRegistrationEndedMessage:
      finishRegistration(window, wParam);
      return 0;
    case kRunEndedMessage:
      finishRun(window, wParam);
      return 0;
    case WM_DESTROY:
      destroyChildren();
      return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

// The settings sheet shows or hides the toolbar as soon as it is saved.
void applyToolbarSwitch(bool hide) {
  MainWindow& w = mainWindow();
  if (hide && w.toolbar) {
    DestroyWindow(w.toolbar);
    w.toolbar = nullptr;
    relayout();
  } else if (!hide && !w.toolbar) {
    createToolbar(w.window);
    relayout();
  }
}

MainWindow& mainWindow() {
  static MainWindow window;
  return window;
}

bool windowTakesFiles() { return !runActive() && !registrationActive(); }

void showBusyMenu(UINT stopCommand, const char* stopText) {
  HMENU menu = mainWindow().menu;
  for (UINT id : kCommandsRefusedWhileBusy) EnableMenuItem(menu, id, MF_BYCOMMAND | MF_GRAYED);
  replaceFileCommand(IDM_CLEAR, stopCommand, stopText);
  busyCommand = stopCommand;
  DrawMenuBar(mainWindow().window);
}

void showIdleMenu() {
  HMENU menu = mainWindow().menu;
  for (UINT id : kCommandsRefusedWhileBusy) EnableMenuItem(menu, id, MF_BYCOMMAND | MF_ENABLED);
  replaceFileCommand(busyCommand, IDM_CLEAR, "読取情報ｸﾘｱ");
  busyCommand = 0;
  DrawMenuBar(mainWindow().window);
}

void layout() {
  MainWindow& w = mainWindow();
  if (!w.label) return;
  RECT client;
  GetClientRect(w.window, &client);
  int top = 0;
  if (w.toolbar) {
    SendMessageA(w.toolbar, TB_AUTOSIZE, 0, 0);
    top = kToolbarHeight;
  }
  int bottom = std::max(top, static_cast<int>(client.bottom) - placeStatusBar());
  int below = bottom - top;
  int treeWidth = ::treeWidth(client.right);
  int viewerLeft = treeWidth + kSplitterWidth;
  MoveWindow(w.label, 0, top, treeWidth, kLabelHeight, TRUE);
  MoveWindow(w.tree, 0, top + kLabelHeight, treeWidth, std::max(0, below - kLabelHeight), TRUE);
  MoveWindow(w.viewer, viewerLeft, top, std::max(0, static_cast<int>(client.right) - viewerLeft),
             below, TRUE);
}

void relayout() {
  HWND window = mainWindow().window;
  RECT client;
  GetClientRect(window, &client);
  SendMessageA(window, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
}

int runMainWindow(HINSTANCE instance, int showCommand) {
  MainWindow& w = mainWindow();
  w.instance = instance;
  WNDCLASSEXA windowClass = {};
  windowClass.cbSize = sizeof windowClass;
  windowClass.style = CS_DBLCLKS;
  windowClass.lpfnWndProc = windowProcedure;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconA(instance, "MZ_ICON1");
  windowClass.hIconSm = LoadIconA(instance, "TITLE_ICON1");
  windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszMenuName = "IDM_MENU1";
  windowClass.lpszClassName = kClassName;
  if (!RegisterClassExA(&windowClass)) return 0;
  w.busyCursor = LoadCursor(nullptr, IDC_WAIT);
  HWND window =
      CreateWindowExA(WS_EX_ACCEPTFILES, kClassName, "ＭＩＺＥＮＴＡ", WS_OVERLAPPEDWINDOW,
                      CW_USEDEFAULT, CW_USEDEFAULT, 640, 480, nullptr, nullptr, instance, nullptr);
  if (!window) return 0;
  if (!liveOptions().hideToolbar) createToolbar(window);
  layout();
  ShowWindow(window, showCommand);
  UpdateWindow(window);
  HACCEL keys = LoadAcceleratorsA(instance, MAKEINTRESOURCEA(IDA_MAIN));
  MSG message = {};
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    if (keys && TranslateAcceleratorA(window, keys, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return static_cast<int>(message.wParam);
}
