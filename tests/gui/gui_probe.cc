// The GUI test's probe: a message hook that the driver installs on the
// thread of mizenta.exe's main window. On the driver's request it reads the
// window's real state (which the driver's process could not: menus and
// tree items are the window's process's own) or drops files on it.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <cstdio>
#include <cstring>
#include <string>

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

// ---------------------------------------------------------------------------
// Dialogs of the program: read whole, as the driver's process cannot read
// list views, and a list view row selected.

struct CaptionSearch {
  const char* caption;
  HWND found;
};

BOOL CALLBACK matchCaption(HWND w, LPARAM search) {
  auto* s = reinterpret_cast<CaptionSearch*>(search);
  char text[128] = {};
  GetWindowTextA(w, text, sizeof text);
  if (!IsWindowVisible(w) || std::strcmp(text, s->caption) != 0) return TRUE;
  s->found = w;
  return FALSE;
}

HWND topWindow(const char* caption) {
  CaptionSearch search = {caption, nullptr};
  EnumThreadWindows(GetCurrentThreadId(), matchCaption, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::string itemText(HWND view, int row, int column) {
  char text[260] = {};
  LVITEMA item = {};
  item.iSubItem = column;
  item.pszText = text;
  item.cchTextMax = sizeof text;
  SendMessageA(view, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
  return text;
}

// What a control holds beyond its text.
std::string contents(HWND control, const std::string& type) {
  std::string out;
  if (type == WC_LISTVIEWA) {
    int rows = static_cast<int>(SendMessageA(control, LVM_GETITEMCOUNT, 0, 0));
    for (int r = 0; r < rows; ++r)
      out += (r ? "," : " [") + itemText(control, r, 0) + "/" + itemText(control, r, 1);
    if (rows) out += "]";
  } else if (type == "ListBox") {
    int lines = static_cast<int>(SendMessageA(control, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < lines; ++i) {
      char text[300] = {};
      SendMessageA(control, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
      out += (i ? "|" : " [") + std::string(text);
    }
    if (lines) out += "]";
  } else if (type == "ComboBox") {
    char text[260] = {};
    int selected = static_cast<int>(SendMessageA(control, CB_GETCURSEL, 0, 0));
    if (selected >= 0) SendMessageA(control, CB_GETLBTEXT, selected, reinterpret_cast<LPARAM>(text));
    out = " =" + std::string(text) + " (" +
          std::to_string(SendMessageA(control, CB_GETCOUNT, 0, 0)) + ")";
  } else if (type == TRACKBAR_CLASSA) {
    out = " @" + std::to_string(SendMessageA(control, TBM_GETPOS, 0, 0));
  } else if (type == UPDOWN_CLASSA) {
    out = " @" + std::to_string(SendMessageA(control, UDM_GETPOS32, 0, 0));
  }
  return out;
}

struct Dump {
  std::string text;
};

BOOL CALLBACK dumpControl(HWND control, LPARAM dump) {
  if (!IsWindowVisible(control)) return TRUE;
  char type[64] = {}, text[300] = {};
  GetClassNameA(control, type, sizeof type);
  // A drop-down list's text is its selection, which contents() gives.
  if (std::string(type) != "ComboBox") GetWindowTextA(control, text, sizeof text);
  bool checked = std::string(type) == "Button" &&
                 SendMessageA(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
  char flags[3] = {IsWindowEnabled(control) ? '.' : '-', checked ? 'x' : '.', '\0'};
  std::string line = std::to_string(GetDlgCtrlID(control)) + " " + type + " " + flags;
  if (text[0]) line += " " + std::string(text);
  reinterpret_cast<Dump*>(dump)->text += line + contents(control, type) + "\n";
  return TRUE;
}

struct TipSearch {
  HWND dialog;
  std::string text;
};

// "tip <id> <text>" for each tool of the dialog's tooltip windows whose
// control is visible.
BOOL CALLBACK dumpTips(HWND w, LPARAM search) {
  auto* s = reinterpret_cast<TipSearch*>(search);
  char type[64] = {};
  GetClassNameA(w, type, sizeof type);
  if (std::string(type) != TOOLTIPS_CLASSA || GetWindow(w, GW_OWNER) != s->dialog) return TRUE;
  int count = static_cast<int>(SendMessageA(w, TTM_GETTOOLCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    char text[512] = {};
    TOOLINFOA tool = {};
    tool.cbSize = TTTOOLINFOA_V1_SIZE;
    tool.lpszText = text;
    SendMessageA(w, TTM_ENUMTOOLSA, i, reinterpret_cast<LPARAM>(&tool));
    HWND control = reinterpret_cast<HWND>(tool.uId);
    if (IsWindowVisible(control))
      s->text += "tip " + std::to_string(GetDlgCtrlID(control)) + " " + text + "\n";
  }
  return TRUE;
}

void readDialog(probe::SharedBlock& shared) {
  Dump dump;
  if (HWND dialog = topWindow(shared.caption)) {
    EnumChildWindows(dialog, dumpControl, reinterpret_cast<LPARAM>(&dump));
    TipSearch tips = {dialog, std::string()};
    EnumThreadWindows(GetCurrentThreadId(), dumpTips, reinterpret_cast<LPARAM>(&tips));
    dump.text += tips.text;
  }
  std::snprintf(shared.dialog, sizeof shared.dialog, "%s", dump.text.c_str());
}

BOOL CALLBACK selectInVisibleView(HWND control, LPARAM shared) {
  auto* s = reinterpret_cast<probe::SharedBlock*>(shared);
  if (!IsWindowVisible(control) || GetDlgCtrlID(control) != s->control) return TRUE;
  LVITEMA item = {};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  item.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageA(control, LVM_SETITEMSTATE, s->row, reinterpret_cast<LPARAM>(&item));
  return FALSE;
}

void selectRow(probe::SharedBlock& shared) {
  if (HWND dialog = topWindow(shared.caption))
    EnumChildWindows(dialog, selectInVisibleView, reinterpret_cast<LPARAM>(&shared));
}

void serve(HWND main) {
  HANDLE mapping = OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, probe::kSharedBlock);
  if (!mapping) return;
  auto* shared =
      static_cast<probe::SharedBlock*>(MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0));
  if (shared) {
    if (shared->command == probe::kSnapshot) readWindow(main, shared->state);
    if (shared->command == probe::kDrop) drop(main, shared->paths);
    if (shared->command == probe::kDialog) readDialog(*shared);
    if (shared->command == probe::kSelectRow) selectRow(*shared);
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
