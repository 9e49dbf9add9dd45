// The bar between the file tree and the viewer: dragged with the mouse, it
// sets the width of the tree, which "Mizenta.ini" keeps ("その他設定",
// "ﾂﾘｰ表示幅", in pixels; 200 when missing).
#pragma once

#include <windows.h>

#include "context/options.h"  // kKeyTreeWidth

constexpr int kSplitterWidth = 4;

// The width saved in the INI file, read as the window opens.
void loadTreeWidth();
// The tree's width in a client area `clientWidth` wide: as set, but leaving
// both sides room.
int treeWidth(int clientWidth);

// The main window's mouse messages (button down and up, moves, the cursor
// asked for); true when the bar took one. The width is saved on release.
bool splitterMouse(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
