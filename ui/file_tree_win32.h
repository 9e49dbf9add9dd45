// The tree of registered files: one top-level item per file of the source
// file list. A name that several registered files share shows the folders
// below their common root ("a\util.c", "b\util.c"); every item's tooltip is
// its full path. The window keeps each item's name and folder itself, so
// that drawing and tooltips need not read the list, which a registration
// or a run owns while it works.
#pragma once

#include <windows.h>
#include <commctrl.h>

// The tree's look: a font that the window's text uses, items tall enough
// for its underscores and descenders, tooltips.
void setUpFileTree(HWND tree);

// Items for the files of the list that have none, then every label as the
// names in the list ask. The caller owns the list (no registration or run
// is active).
void showNewFiles();

// The item is gone from the tree (and its file from the list).
void forgetTreeItem(HTREEITEM item);
void forgetAllTreeItems();

// Answers the tree's TVN_GETINFOTIP (either character set).
void answerInfoTip(NMHDR* header);
