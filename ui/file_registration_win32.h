// Source files registered from the window: the open-file dialog, dropped
// files and folders, the family conflict box, and the file tree that shows
// the list (one item per registered file; the item is the entry's key for
// deletion).
#pragma once

#include <windows.h>
#include <shellapi.h>

// Makes the source file list append each newly registered file to the tree.
void connectFileTree();

void openSourceDialog(HWND window);
void dropFiles(HWND window, HDROP drop);

// Shows the conflict box once when files of the other language family were
// refused since the last check.
void reportConflict(HWND window);

// The tree's context menu at a screen position (when it is over an item),
// and its commands.
void showFileMenu(HWND window, POINT screen);
void deleteSelectedFile();
void sortFiles();
void showFileCount(HWND window);

// Empties the file list, the tree and the viewer.
void clearFiles();
