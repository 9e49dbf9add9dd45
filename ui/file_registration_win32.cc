#include "ui/file_registration_win32.h"

#include <commctrl.h>
#include <commdlg.h>

#include <cstdio>
#include <string>
#include <vector>

#include "context/options.h"
#include "context/source_file_list.h"
#include "context/text_util.h"
#include "driver/run_outcome.h"
#include "ui/file_tree_win32.h"
#include "ui/main_window_win32.h"
#include "ui/registration_worker_win32.h"
#include "ui/report_menu_win32.h"
#include "ui/status_bar_win32.h"

namespace {

// "ｿｰｽ(*.c)" / "*.c" for every row of the extension table, in its order.
std::string dialogFilter() {
  std::string filter;
  for (const ExtensionLanguage& row : liveOptions().extensionLanguages) {
    filter += "ｿｰｽ(*." + row.extension + ")";
    filter += '\0';
    filter += "*." + row.extension;
    filter += '\0';
  }
  return filter;
}

// The dialog's buffer holds either one path, or (several files chosen) a
// folder and then the names in it, each ending with a zero byte.
std::vector<std::string> chosenPaths(const char* buffer) {
  std::string first = buffer;
  const char* name = buffer + first.size() + 1;
  if (*name == '\0') {
    std::string folder = directoryPart(first);
    if (!folder.empty()) folder.pop_back();
    mainWindow().lastFolder = folder;
    return {first};
  }
  // The folder itself is the one to open next time, and a drive's root
  // ("C:\") already ends with its separator.
  mainWindow().lastFolder = first;
  std::string directory = first;
  if (lastSeparator(directory) != directory.size() - 1) directory += '\\';
  std::vector<std::string> paths;
  for (; *name != '\0'; name += std::string(name).size() + 1) paths.push_back(directory + name);
  return paths;
}

}  // namespace

void openSourceDialog(HWND window) {
  std::string filter = dialogFilter();
  char file[2000] = {};
  char title[300] = {};
  const std::string& folder = mainWindow().lastFolder;
  OPENFILENAMEA dialog = {};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = window;
  dialog.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = file;
  dialog.nMaxFile = sizeof file;
  dialog.lpstrFileTitle = title;
  dialog.nMaxFileTitle = sizeof title;
  dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
  dialog.Flags = OFN_LONGNAMES | OFN_EXPLORER | OFN_ALLOWMULTISELECT | OFN_NOCHANGEDIR;
  if (GetOpenFileNameA(&dialog)) {
    startRegistration(window, chosenPaths(file));
  } else if (CommDlgExtendedError() == FNERR_BUFFERTOOSMALL) {
    MessageBoxA(window, "ﾊﾞｯﾌｧに入りきれません\nお手数ですが分割して\n選択してください",
                "ﾌｧｲﾙが開けません", MB_OK);
  }
}

void showFileMenu(HWND window, POINT screen) {
  HWND tree = mainWindow().tree;
  TVHITTESTINFO hit = {};
  hit.pt = screen;
  ScreenToClient(tree, &hit.pt);
  HTREEITEM item = TreeView_HitTest(tree, &hit);
  if (!item) return;
  TreeView_SelectItem(tree, item);
  HMENU menu = LoadMenuA(mainWindow().instance, "IDM_RIST");
  if (!menu) return;
  appendReportsTo(GetSubMenu(menu, 0));
  TrackPopupMenu(GetSubMenu(menu, 0), TPM_CENTERALIGN | TPM_RIGHTBUTTON, screen.x, screen.y, 0,
                 window, nullptr);
  DestroyMenu(menu);
}

void deleteSelectedFile() {
  HWND tree = mainWindow().tree;
  HTREEITEM item = TreeView_GetSelection(tree);
  if (!item) return;
  TreeView_DeleteItem(tree, item);
  sourceFiles().remove(reinterpret_cast<std::uintptr_t>(item));
  forgetTreeItem(item);
  showRegisteredCount(static_cast<int>(sourceFiles().entries().size()));
}

// Only the tree is put in order; the list keeps its own (by name).
void sortFiles() {
  HWND tree = mainWindow().tree;
  if (TreeView_GetSelection(tree)) TreeView_SortChildren(tree, TVI_ROOT, FALSE);
}

void showFileCount(HWND window) {
  char text[64];
  std::snprintf(text, sizeof text, "解析対象ファイル数[%d]",
                static_cast<int>(sourceFiles().entries().size()));
  MessageBoxA(window, text, "ファイル数確認", MB_OK);
}

void clearFiles() {
  sourceFiles().clear();
  runOutcome() = RunOutcome();
  SetWindowTextA(mainWindow().viewer, "");
  TreeView_DeleteAllItems(mainWindow().tree);
  forgetAllTreeItems();
  showRegisteredCount(0);
}
