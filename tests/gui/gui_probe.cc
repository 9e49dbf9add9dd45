// The GUI test's probe: a message hook that the driver installs on the
// thread of mizenta.exe's main window. On the driver's request it reads the
// window's real state (which the driver's process could not: menus and
// tree items are the window's process's own) or drops files on it.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <cstring>

#include "tests/gui/probe_protocol.h"

namespace {

void readChild(HWND main, HWND child, bool* exists, RECT* rect) {
  *exists = child != nullptr;
  if (!child) return;
  GetWindowRect(child, rect);
  MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(rect), 2);
}

void readTree(HWND tree, probe::WindowState& state) {
  size_t used = 0;
  for (auto item = TreeView_GetRoot(tree); item; item = TreeView_GetNextSibling(tree, item)) {
    char text[260] = {};
    TVITEMA query = {};
    query.mask = TVIF_TEXT;
    query.hItem = item;
    query.pszText = text;
    query.cchTextMax = sizeof text;
    SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&query));
    size_t n = std::strlen(text);
    if (used + n + 2 > sizeof state.items) break;
    std::memcpy(state.items + used, text, n);
    state.items[used + n] = '\n';
    used += n + 1;
    ++state.itemCount;
  }
}

void readWindow(HWND main, probe::WindowState& state) {
  std::memset(&state, 0, sizeof state);
  GetWindowTextA(main, state.title, sizeof state.title);
  HWND label = FindWindowExA(main, nullptr, "Static", nullptr);
  HWND tree = FindWindowExA(main, nullptr, WC_TREEVIEWA, nullptr);
  HWND viewer = FindWindowExA(main, nullptr, "RichEdit", nullptr);
  bool hasLabel = false;
  readChild(main, label, &hasLabel, &state.labelRect);
  if (label) GetWindowTextA(label, state.label, sizeof state.label);
  readChild(main, tree, &state.hasTree, &state.treeRect);
  readChild(main, viewer, &state.hasViewer, &state.viewerRect);
  state.hasToolbar = GetDlgItem(main, 1110) != nullptr;
  HMENU menu = GetMenu(main);
  for (int i = 0; i < probe::kMenuCount; ++i)
    state.menuStates[i] = GetMenuState(menu, probe::kMenuIds[i], MF_BYCOMMAND);
  if (tree) readTree(tree, state);
  if (viewer) GetWindowTextA(viewer, state.viewer, sizeof state.viewer);
}

// A drop as the shell makes it: the paths in one block of this process,
// posted to the window, which releases the block.
void drop(HWND main, const char* paths) {
  size_t length = 0;
  while (paths[length] != '\0') length += std::strlen(paths + length) + 1;
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + length + 1);
  auto* files = static_cast<DROPFILES*>(GlobalLock(block));
  files->pFiles = sizeof(DROPFILES);
  std::memcpy(files + 1, paths, length + 1);
  GlobalUnlock(block);
  PostMessageA(main, WM_DROPFILES, reinterpret_cast<WPARAM>(block), 0);
}

void serve(HWND main) {
  HANDLE mapping = OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, probe::kSharedBlock);
  if (!mapping) return;
  auto* shared =
      static_cast<probe::SharedBlock*>(MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0));
  if (shared) {
    if (shared->command == probe::kSnapshot) readWindow(main, shared->state);
    if (shared->command == probe::kDrop) drop(main, shared->paths);
    UnmapViewOfFile(shared);
  }
  CloseHandle(mapping);
  HANDLE done = OpenEventA(EVENT_MODIFY_STATE, FALSE, probe::kDoneEvent);
  if (done) SetEvent(done);
  if (done) CloseHandle(done);
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK
    probeHook(int code, WPARAM removed, LPARAM lParam) {
  static const UINT request = RegisterWindowMessageA(probe::kMessage);
  auto* message = reinterpret_cast<MSG*>(lParam);
  if (code == HC_ACTION && removed == PM_REMOVE && message->message == request)
    serve(message->hwnd);
  return CallNextHookEx(nullptr, code, removed, lParam);
}
