#include "ui/file_registration_win32.h"

#include <commctrl.h>
#include <commdlg.h>

#include <cstdio>
#include <string>

#include "driver/command_line.h"
#include "context/options.h"
#include "driver/run_outcome.h"
#include "context/source_file_list.h"
#include "context/text_util.h"
#include "platform/file_system.h"
#include "platform/wide_names_win32.h"
#include "ui/main_window_win32.h"
#include "ui/run_control_win32.h"

namespace {

std::uintptr_t appendTreeItem(const std::string& name) {
  TVINSERTSTRUCTA insert = {};
  insert.hParent = TVI_ROOT;
  insert.hInsertAfter = TVI_LAST;
  insert.item.mask = TVIF_TEXT;
  insert.item.pszText = const_cast<char*>(name.c_str());
  LRESULT item =
      SendMessageA(mainWindow().tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert));
  return static_cast<std::uintptr_t>(item);
}

// "dir\name" is registered as name in dir\; a bare name with no directory.
void registerFilePath(const std::string& path) {
  registerSourceFile(liveOptions(), fileNamePart(path), directoryPart(path), sourceFiles());
}

void registerDroppedPath(const std::string& path) {
  if (platform::fileStatus(path).isDirectory)
    registerPath(path);
  else
    registerFilePath(path);
}

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
void registerSelection(const char* buffer) {
  std::string first = buffer;
  const char* name = buffer + first.size() + 1;
  if (*name == '\0') {
    std::string folder = directoryPart(first);
    if (!folder.empty()) folder.pop_back();
    mainWindow().lastFolder = folder;
    registerFilePath(first);
    return;
  }
  // The folder itself is the one to open next time, and a drive's root
  // ("C:\") already ends with its separator.
  mainWindow().lastFolder = first;
  std::string directory = first;
  if (lastSeparator(directory) != directory.size() - 1) directory += '\\';
  for (; *name != '\0'; name += std::string(name).size() + 1)
    registerSourceFile(liveOptions(), name, directory, sourceFiles());
}

}  // namespace

void connectFileTree() { sourceFiles().setTreeItemFactory(appendTreeItem); }

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
    registerSelection(file);
  } else if (CommDlgExtendedError() == FNERR_BUFFERTOOSMALL) {
    MessageBoxA(window, "ﾊﾞｯﾌｧに入りきれません\nお手数ですが分割して\n選択してください",
                "ﾌｧｲﾙが開けません", MB_OK);
  }
}

void dropFiles(HWND window, HDROP drop) {
  if (runActive()) {
    DragFinish(drop);
    return;
  }
  UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    // Each path as long as it is: a cut path would register another name.
    // Wide, so that a name outside CP932 arrives as its stand-ins.
    std::wstring path(DragQueryFileW(drop, i, nullptr, 0), L'\0');
    if (path.empty()) break;
    DragQueryFileW(drop, i, path.data(), static_cast<UINT>(path.size() + 1));
    registerDroppedPath(platform::nameFromWide(path));
  }
  DragFinish(drop);
  reportConflict(window);
}

void reportConflict(HWND window) {
  if (!sourceFiles().conflict()) return;
  sourceFiles().clearConflict();
  MessageBoxA(window, "C,C++,Java系とVB,Delphi系は\n同時に処理できません", "ファイル登録エラー",
              MB_OK);
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
}
