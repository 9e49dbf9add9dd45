#include "ui/main_window_win32.h"

#include <commctrl.h>
#include <objbase.h>
#include <windowsx.h>

#include <algorithm>

#include "driver/command_line.h"
#include "context/options.h"
#include "driver/run_driver.h"
#include "context/source_file_list.h"
#include "ui/distribution_dialog_win32.h"
#include "ui/file_registration_win32.h"
#include "ui/resource_ids.h"
#include "ui/run_control_win32.h"
#include "ui/settings_sheet_win32.h"
#include "ui/viewer_win32.h"

namespace {

const char kClassName[] = "MIZENTA";
const char kHelpFile[] = "Mizhlp.hlp";
// Where "HPに遊びにいく" leads.
const char kWebPage[] = "https://www.example.com/mizenta/";

constexpr int kToolbarHeight = 45;
constexpr int kTreeWidth = 200;
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

const char* tooltipText(UINT_PTR command) {
  switch (command) {
    case IDM_CHOOSE_SOURCES:
      return "ソースの選択";
    case IDM_RUN:
      return "ツリー出力";
    case IDM_CLEAR:
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
// Creation and end

bool createChildren(HWND window) {
  MainWindow& w = mainWindow();
  w.window = window;
  CoInitialize(nullptr);
  w.menu = GetMenu(window);
  DeleteMenu(w.menu, IDM_STOP, MF_BYCOMMAND);
  w.viewer = createViewer(window, w.instance, &w.richEdit);
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES | ICC_TREEVIEW_CLASSES |
                                                        ICC_LISTVIEW_CLASSES | ICC_UPDOWN_CLASS |
                                                        ICC_TAB_CLASSES};
  InitCommonControlsEx(&controls);
  w.label = CreateWindowExA(0, "STATIC", "解析対象", WS_CHILD | WS_VISIBLE | WS_BORDER, 0, 0,
                            kTreeWidth, kLabelHeight, window, nullptr, w.instance, nullptr);
  w.tree = CreateWindowExA(
      0, WC_TREEVIEWA, "",
      WS_CHILD | WS_VISIBLE | WS_BORDER | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT, 0, 0, 0,
      0, window, nullptr, w.instance, nullptr);
  if (!w.viewer || !w.label || !w.tree) return false;
  bool fast = liveOptions().fastSpeed != 0;
  CheckMenuItem(w.menu, fast ? IDM_FAST : IDM_SLOW, MF_BYCOMMAND | MF_CHECKED);
  connectFileTree();
  setProgressDisplay(showProgressInViewer);
  setToolbarSwitch(applyToolbarSwitch);
  return true;
}

void destroyChildren() {
  MainWindow& w = mainWindow();
  endRunForClosing();
  setProgressDisplay(nullptr);
  setToolbarSwitch(nullptr);
  sourceFiles().setTreeItemFactory(nullptr);
  CoUninitialize();
  for (HWND* child : {&w.viewer, &w.tree, &w.toolbar}) {
    if (*child) DestroyWindow(*child);
    *child = nullptr;
  }
  if (w.richEdit) FreeLibrary(w.richEdit);
  w.richEdit = nullptr;
  PostQuitMessage(0);
}

// ---------------------------------------------------------------------------
// Commands

void runCommand(HWND window, UINT command) {
  switch (command) {
    case IDM_CHOOSE_SOURCES:
      if (runActive()) break;
      openSourceDialog(window);
      reportConflict(window);
      break;
    case IDM_RUN:
      if (runActive())
        MessageBoxA(window, "解析実行中です", "確認", MB_OK);
      else
        startRun(window);
      break;
    case IDM_CLEAR:
    case IDM_STOP:
      stopOrClear(window);
      break;
    case IDM_SETTINGS:
      if (!runActive()) showSettingsSheet(window);
      break;
    case IDM_DISTRIBUTION:
      if (!runActive()) showDistributionDialog(window);
      break;
    case IDM_FAST:
      setRunSpeed(true);
      break;
    case IDM_SLOW:
      setRunSpeed(false);
      break;
    case IDM_HELP:
      WinHelpA(window, (programFolder() + kHelpFile).c_str(), HELP_CONTENTS, 0);
      break;
    case IDM_VERSION:
      MessageBoxA(window, kVersionText, "バージョン確認", MB_OK);
      break;
    case IDM_WEB_PAGE:
      ShellExecuteA(window, "open", kWebPage, nullptr, nullptr, SW_SHOWNORMAL);
      break;
    case IDM_DELETE_FILE:
      if (!runActive()) deleteSelectedFile();
      break;
    case IDM_SORT_FILES:
      if (!runActive()) sortFiles();
      break;
    case IDM_FILE_COUNT:
      showFileCount(window);
      break;
  }
}

LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      return createChildren(window) ? 0 : -1;
    case WM_SIZE:
      layout();
      return 0;
    case WM_COMMAND:
      runCommand(window, LOWORD(wParam));
      return 0;
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lParam);
      if (header->code == TTN_GETDISPINFOA || header->code == TTN_GETDISPINFOW)
        answerTooltip(header);
      return 0;
    }
    case WM_CONTEXTMENU:
      if (!runActive() && reinterpret_cast<HWND>(wParam) == mainWindow().tree)
        showFileMenu(window, {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
      return 0;
    case WM_DROPFILES:
      dropFiles(window, reinterpret_cast<HDROP>(wParam));
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

MainWindow& mainWindow() {
  static MainWindow window;
  return window;
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
  int below = std::max(0, static_cast<int>(client.bottom) - top);
  MoveWindow(w.label, 0, top, kTreeWidth, kLabelHeight, TRUE);
  MoveWindow(w.tree, 0, top + kLabelHeight, kTreeWidth, std::max(0, below - kLabelHeight), TRUE);
  MoveWindow(w.viewer, kTreeWidth, top, std::max(0, static_cast<int>(client.right) - kTreeWidth),
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
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
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
  MSG message = {};
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return static_cast<int>(message.wParam);
}
