// The GUI test's probe: a message hook that the driver installs on the
// thread of mizenta.exe's main window. On the driver's request it reads the
// window's real state (which the driver's process could not: menus, tree
// items and their tooltips and pixels, popup menus are the window's
// process's own), drops files on it (good lists and broken ones), and
// records the messages the window takes while a registration works.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>
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

// Every item counted; the labels as far as they fit.
void readTree(HWND tree, probe::WindowState& state) {
  state.itemCount = static_cast<int>(SendMessageA(tree, TVM_GETCOUNT, 0, 0));
  if (state.itemCount > probe::kItemsRead) return;
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
  }
}

// "id text" per item, submenus indented below their title.
void readMenu(HMENU menu, const std::string& indent, std::string& out) {
  for (int i = 0, n = GetMenuItemCount(menu); i < n; ++i) {
    char text[256] = {};
    GetMenuStringA(menu, i, text, sizeof text, MF_BYPOSITION);
    HMENU sub = GetSubMenu(menu, i);
    UINT id = GetMenuItemID(menu, i);
    if (sub) {
      out += indent + "[" + text + "]\n";
      readMenu(sub, indent + "  ", out);
    } else if (id != 0) {
      out += indent + std::to_string(id) + " " + text + "\n";
    }
  }
}

// The tooltip the window gives each item, asked as the tree asks.
void readTips(HWND main, HWND tree, probe::WindowState& state) {
  std::string out;
  for (auto item = TreeView_GetRoot(tree); item; item = TreeView_GetNextSibling(tree, item)) {
    char label[260] = {}, tip[1024] = {};
    TVITEMA query = {};
    query.mask = TVIF_TEXT;
    query.hItem = item;
    query.pszText = label;
    query.cchTextMax = sizeof label;
    SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&query));
    NMTVGETINFOTIPA ask = {};
    ask.hdr.hwndFrom = tree;
    ask.hdr.idFrom = GetDlgCtrlID(tree);
    ask.hdr.code = TVN_GETINFOTIPA;
    ask.pszText = tip;
    ask.cchTextMax = sizeof tip;
    ask.hItem = item;
    SendMessageA(main, WM_NOTIFY, ask.hdr.idFrom, reinterpret_cast<LPARAM>(&ask));
    out += std::string(label) + "\t" + tip + "\n";
  }
  std::snprintf(state.tips, sizeof state.tips, "%s", out.c_str());
}

int fontHeight(HWND control) {
  HDC dc = GetDC(control);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)));
  TEXTMETRICA metrics = {};
  GetTextMetricsA(dc, &metrics);
  SelectObject(dc, old);
  ReleaseDC(control, dc);
  return metrics.tmHeight + metrics.tmExternalLeading;
}

void readWindow(HWND main, probe::WindowState& state) {
  std::memset(&state, 0, sizeof state);
  GetWindowTextA(main, state.title, sizeof state.title);
  HWND label = FindWindowExA(main, nullptr, "Static", nullptr);
  HWND tree = FindWindowExA(main, nullptr, WC_TREEVIEWA, nullptr);
  HWND viewer = FindWindowExA(main, nullptr, "RichEdit", nullptr);
  HWND status = FindWindowExA(main, nullptr, STATUSCLASSNAMEA, nullptr);
  bool hasLabel = false;
  readChild(main, label, &hasLabel, &state.labelRect);
  if (label) GetWindowTextA(label, state.label, sizeof state.label);
  readChild(main, tree, &state.hasTree, &state.treeRect);
  readChild(main, viewer, &state.hasViewer, &state.viewerRect);
  readChild(main, status, &state.hasStatusBar, &state.statusRect);
  state.hasToolbar = GetDlgItem(main, 1110) != nullptr;
  HMENU menu = GetMenu(main);
  for (int i = 0; i < probe::kMenuCount; ++i)
    state.menuStates[i] = GetMenuState(menu, probe::kMenuIds[i], MF_BYCOMMAND);
  std::string menus;
  readMenu(menu, "", menus);
  std::snprintf(state.menus, sizeof state.menus, "%s", menus.c_str());
  for (int part = 0; status && part < 3; ++part) {
    if (LOWORD(SendMessageA(status, SB_GETTEXTLENGTHA, part, 0)) < sizeof state.status[part])
      SendMessageA(status, SB_GETTEXTA, part, reinterpret_cast<LPARAM>(state.status[part]));
  }
  if (tree) {
    readTree(tree, state);
    if (state.itemCount <= probe::kItemsRead) readTips(main, tree, state);
    state.treeItemHeight = static_cast<int>(SendMessageA(tree, TVM_GETITEMHEIGHT, 0, 0));
    state.treeTextHeight = fontHeight(tree);
  }
  if (viewer) GetWindowTextA(viewer, state.viewer, sizeof state.viewer);
}

// Per item, the lowest row of its text's rectangle that holds a dark
// pixel: an underscore drawn lies below the letters of a name without
// one. Nothing is selected, so every item is drawn dark on light.
void readTreeInk(HWND tree, probe::SharedBlock& shared) {
  TreeView_SelectItem(tree, nullptr);
  RedrawWindow(tree, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
  std::string out;
  HDC dc = GetDC(tree);
  int height = static_cast<int>(SendMessageA(tree, TVM_GETITEMHEIGHT, 0, 0));
  for (auto item = TreeView_GetRoot(tree); item; item = TreeView_GetNextSibling(tree, item)) {
    char label[260] = {};
    TVITEMA query = {};
    query.mask = TVIF_TEXT;
    query.hItem = item;
    query.pszText = label;
    query.cchTextMax = sizeof label;
    SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&query));
    RECT r = {};
    std::memcpy(&r, &item, sizeof item);  // the item goes in, its rectangle comes out
    SendMessageA(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&r));
    int lowest = -1;
    for (int y = r.top; y < r.top + height; ++y) {
      for (int x = r.left; x < r.right; ++x) {
        COLORREF c = GetPixel(dc, x, y);
        if (c != CLR_INVALID && GetRValue(c) + GetGValue(c) + GetBValue(c) < 3 * 100)
          lowest = y - r.top;
      }
    }
    out += std::string(label) + " " + std::to_string(lowest) + " " + std::to_string(height) + "\n";
  }
  ReleaseDC(tree, dc);
  std::snprintf(shared.dialog, sizeof shared.dialog, "%s", out.c_str());
}

BOOL CALLBACK findPopup(HWND w, LPARAM found) {
  char type[16] = {};
  GetClassNameA(w, type, sizeof type);
  if (std::strcmp(type, "#32768") != 0 || !IsWindowVisible(w)) return TRUE;
  *reinterpret_cast<HWND*>(found) = w;
  return FALSE;
}

// The popup menu open on this thread, read whole, then closed.
void readPopupMenu(probe::SharedBlock& shared) {
  HWND popup = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), findPopup, reinterpret_cast<LPARAM>(&popup));
  std::string out;
  if (popup) {
    auto menu = reinterpret_cast<HMENU>(SendMessageA(popup, MN_GETHMENU, 0, 0));
    if (menu) readMenu(menu, "", out);
    EndMenu();
  }
  std::snprintf(shared.dialog, sizeof shared.dialog, "%s", out.c_str());
}

// A drop as the shell makes it in-process: the paths in one block of this
// process, posted to the window, which releases the block.
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

// A block of this process that is no list: its offset past its end, its
// list without an end, or too small for its header.
void badDrop(HWND main, int fault) {
  const size_t size = fault == probe::kEmptyBlock ? 4 : sizeof(DROPFILES) + 8;
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
  auto* bytes = static_cast<unsigned char*>(GlobalLock(block));
  if (fault != probe::kEmptyBlock) {
    auto* files = reinterpret_cast<DROPFILES*>(bytes);
    files->pFiles = fault == probe::kOffsetPastEnd ? 4096 : sizeof(DROPFILES);
    std::memset(bytes + sizeof(DROPFILES), 'a', 8);
  }
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
    if (selected >= 0)
      SendMessageA(control, CB_GETLBTEXT, selected, reinterpret_cast<LPARAM>(text));
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

// "cols <id> <width>,<width> need <width>,<width>": each column's width
// and the width of its widest text, its title's or an entry's.
std::string columns(HWND view) {
  std::string widths, needs;
  int rows = static_cast<int>(SendMessageA(view, LVM_GETITEMCOUNT, 0, 0));
  for (int c = 0; c < 2; ++c) {
    char title[64] = {};
    LVCOLUMNA column = {};
    column.mask = LVCF_TEXT;
    column.pszText = title;
    column.cchTextMax = sizeof title;
    SendMessageA(view, LVM_GETCOLUMNA, c, reinterpret_cast<LPARAM>(&column));
    int need = static_cast<int>(
        SendMessageA(view, LVM_GETSTRINGWIDTHA, 0, reinterpret_cast<LPARAM>(title)));
    for (int r = 0; r < rows; ++r) {
      std::string text = itemText(view, r, c);
      need = std::max(need, static_cast<int>(SendMessageA(view, LVM_GETSTRINGWIDTHA, 0,
                                                          reinterpret_cast<LPARAM>(text.c_str()))));
    }
    widths += (c ? "," : "") + std::to_string(SendMessageA(view, LVM_GETCOLUMNWIDTH, c, 0));
    needs += (c ? "," : "") + std::to_string(need);
  }
  return "cols " + std::to_string(GetDlgCtrlID(view)) + " " + widths + " need " + needs + "\n";
}

BOOL CALLBACK dumpControl(HWND control, LPARAM dump) {
  if (!IsWindowVisible(control)) return TRUE;
  char type[64] = {}, text[300] = {};
  GetClassNameA(control, type, sizeof type);
  // A drop-down list's text is its selection, which contents() gives.
  if (std::string(type) != "ComboBox") GetWindowTextA(control, text, sizeof text);
  bool checked =
      std::string(type) == "Button" && SendMessageA(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
  bool readOnly = std::string(type) == "Edit" && (GetWindowLongA(control, GWL_STYLE) & ES_READONLY);
  char flags[3] = {IsWindowEnabled(control) ? (readOnly ? 'r' : '.') : '-', checked ? 'x' : '.',
                   '\0'};
  std::string line = std::to_string(GetDlgCtrlID(control)) + " " + type + " " + flags;
  if (text[0]) line += " " + std::string(text);
  reinterpret_cast<Dump*>(dump)->text += line + contents(control, type) + "\n";
  if (std::string(type) == WC_LISTVIEWA) reinterpret_cast<Dump*>(dump)->text += columns(control);
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

// The shared block, mapped once for the process's life.
probe::SharedBlock* sharedBlock() {
  static probe::SharedBlock* shared = [] {
    HANDLE mapping = OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, probe::kSharedBlock);
    return mapping ? static_cast<probe::SharedBlock*>(
                         MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0))
                   : nullptr;
  }();
  return shared;
}

void record(const MSG& message) {
  probe::SharedBlock* shared = sharedBlock();
  if (!shared || !shared->recording) return;
  std::string event;
  if (message.message == probe::kRegistrationProgress)
    event = "P" + std::to_string(message.lParam) + " ";
  else if (message.message == probe::kRegistrationEnded)
    event = "E ";
  else if (message.message == WM_PAINT)
    event = "W ";
  size_t used = std::strlen(shared->events);
  if (!event.empty() && used + event.size() < sizeof shared->events)
    std::memcpy(shared->events + used, event.c_str(), event.size() + 1);
}

void serve(HWND main) {
  probe::SharedBlock* shared = sharedBlock();
  if (shared) {
    HWND tree = FindWindowExA(main, nullptr, WC_TREEVIEWA, nullptr);
    switch (shared->command) {
      case probe::kSnapshot:
        readWindow(main, shared->state);
        break;
      case probe::kDrop:
        drop(main, shared->paths);
        break;
      case probe::kDialog:
        readDialog(*shared);
        break;
      case probe::kSelectRow:
        selectRow(*shared);
        break;
      case probe::kBadDrop:
        badDrop(main, shared->row);
        break;
      case probe::kTreeInk:
        if (tree) readTreeInk(tree, *shared);
        break;
      case probe::kPopupMenu:
        readPopupMenu(*shared);
        break;
      case probe::kDropAndStop:
        drop(main, shared->paths);
        PostMessageA(main, WM_COMMAND, shared->control, 0);
        break;
    }
  }
  HANDLE done = OpenEventA(EVENT_MODIFY_STATE, FALSE, probe::kDoneEvent);
  if (done) SetEvent(done);
  if (done) CloseHandle(done);
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK
    probeHook(int code, WPARAM removed, LPARAM lParam) {
  static const UINT request = RegisterWindowMessageA(probe::kMessage);
  auto* message = reinterpret_cast<MSG*>(lParam);
  if (code == HC_ACTION && removed == PM_REMOVE) {
    if (message->message == request) serve(message->hwnd);
    record(*message);
  }
  return CallNextHookEx(nullptr, code, removed, lParam);
}

// Paints that controls ask for at once (UpdateWindow) are sent, not queued.
extern "C" __declspec(dllexport) LRESULT CALLBACK
    probeSentHook(int code, WPARAM sentByThisThread, LPARAM lParam) {
  auto* sent = reinterpret_cast<CWPSTRUCT*>(lParam);
  if (code == HC_ACTION && sent->message == WM_PAINT) {
    MSG message = {};
    message.hwnd = sent->hwnd;
    message.message = sent->message;
    record(message);
  }
  return CallNextHookEx(nullptr, code, sentByThisThread, lParam);
}
