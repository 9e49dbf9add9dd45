// What the GUI test's driver and its probe (a hook library that runs inside
// mizenta.exe, on the window's thread) exchange through one named shared
// block: a request, and the window's state as the probe read it.
#pragma once

#include <windows.h>

namespace probe {

constexpr char kSharedBlock[] = "MizentaGuiProbeBlock";
constexpr char kDoneEvent[] = "MizentaGuiProbeDone";
constexpr char kMessage[] = "MizentaGuiProbeRequest";  // posted to the main window
constexpr char kHookProcedure[] = "probeHook";

enum Command : int {
  kSnapshot = 1,  // fill `state`
  kDrop = 2,      // drop `paths` on the window, as the shell does
  kDialog = 3,    // fill `dialog` from the window captioned `caption`
  kSelectRow = 4, // select `row` of the list view `control` there
};

// The menu commands whose state is read, in this order.
constexpr UINT kMenuIds[] = {101, 104, 105, 106, 201, 502, 203, 204, 301, 302, 303};
constexpr int kMenuCount = sizeof kMenuIds / sizeof kMenuIds[0];
constexpr UINT kAbsent = 0xFFFFFFFF;  // GetMenuState of a command not in the menu

struct WindowState {
  char title[128];
  char label[64];
  bool hasToolbar, hasTree, hasViewer;
  RECT labelRect, treeRect, viewerRect;  // in the main window's client area
  UINT menuStates[kMenuCount];
  int itemCount;
  char items[16384];     // the tree's top-level items, each followed by '\n'
  char viewer[1 << 20];  // the viewer's text
};

struct SharedBlock {
  int command;
  char paths[8192];  // for kDrop: each path ends with '\0', the list with another
  WindowState state;
  // kDialog and kSelectRow: a top-level window of the program by caption.
  char caption[128];
  int control, row;
  // Its visible controls, one line each: "id class flags text", flags "-"
  // (disabled) and "x" (checked) or "."; then list rows, list box lines,
  // the selected entry of a combo box, the position of a slider or spin;
  // then "tip id text" for each tooltip over a visible control.
  char dialog[32768];
};

}  // namespace probe
