// What the GUI test's driver and its probe (a hook library that runs inside
// mizenta.exe, on the window's thread) exchange through one named shared
// block: a request, the window's state as the probe read it, and the
// messages the window took while the driver asked them recorded.
#pragma once

#include <windows.h>

namespace probe {

constexpr char kSharedBlock[] = "MizentaGuiProbeBlock";
constexpr char kDoneEvent[] = "MizentaGuiProbeDone";
constexpr char kMessage[] = "MizentaGuiProbeRequest";   // posted to the main window
constexpr char kHookProcedure[] = "probeHook";          // messages taken from the queue
constexpr char kSentHookProcedure[] = "probeSentHook";  // messages sent to a window

enum Command : int {
  kSnapshot = 1,     // fill `state`
  kDrop = 2,         // drop `paths` on the window, as the shell does in-process
  kDialog = 3,       // fill `dialog` from the window captioned `caption`
  kSelectRow = 4,    // select `row` of the list view `control` there
  kBadDrop = 5,      // drop a block of this process that is no list (`row`: which fault)
  kTreeInk = 6,      // fill `dialog`: per tree item "label lowest-ink-row item-height"
  kPopupMenu = 7,    // fill `dialog` with the open popup menu's items, then close it
  kDropAndStop = 8,  // drop `paths`, then at once the command `control` (Esc's)
};

// The faults of kBadDrop.
enum BadDrop : int { kOffsetPastEnd = 0, kUnendedList = 1, kEmptyBlock = 2 };

// The menu commands whose state is read, in this order.
constexpr UINT kMenuIds[] = {101, 104, 105, 106, 107, 108, 201, 502, 203, 204, 301, 302, 601};
constexpr int kMenuCount = sizeof kMenuIds / sizeof kMenuIds[0];
constexpr UINT kAbsent = 0xFFFFFFFF;  // GetMenuState of a command not in the menu
constexpr int kItemsRead = 500;       // a larger tree is only counted

// Messages the window takes that the driver records (WM_APP + n).
constexpr UINT kRegistrationProgress = WM_APP + 2;
constexpr UINT kRegistrationEnded = WM_APP + 3;

struct WindowState {
  char title[128];
  char label[64];
  bool hasToolbar, hasTree, hasViewer, hasStatusBar;
  RECT labelRect, treeRect, viewerRect, statusRect;  // in the main window's client area
  UINT menuStates[kMenuCount];
  char menus[8192];     // each menu of the bar: "[title]" then "id text" per item, a line each
  char status[3][512];  // the status bar's parts
  int itemCount;
  // Up to kItemsRead items: their labels, each followed by '\n', and each
  // item's label, a tab and its tooltip, a line each.
  char items[16384];
  char tips[32768];
  int treeItemHeight;    // pixels
  int treeTextHeight;    // of the tree's font, leading included
  char viewer[3 << 20];  // the viewer's text
};

struct SharedBlock {
  int command;
  char paths[8192];  // for kDrop: each path ends with '\0', the list with another
  WindowState state;
  // kDialog and kSelectRow: a top-level window of the program by caption.
  char caption[128];
  int control, row;
  // Its visible controls, one line each: "id class flags text", flags "-"
  // (disabled) or "r" (read-only edit) or ".", then "x" (checked) or ".";
  // then list rows, list box lines, the selected entry of a combo box, the
  // position of a slider or spin, a list view's column widths and its
  // widest entry ("cols 80,96 need 70,90"); then "tip id text" for each
  // tooltip over a visible control.
  char dialog[32768];
  // While `recording`: "P<files> " for each registration progress, "E " for
  // its end, "W " for each paint (queued or sent), in the order the window
  // took them.
  int recording;
  char events[65536];
};

}  // namespace probe
