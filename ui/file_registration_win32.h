// Source files registered from the window: the open-file dialog (whose
// choice is registered on the registration worker, as dropped paths are),
// the tree's context menu and its commands, and clearing the list.
#pragma once

#include <windows.h>

void openSourceDialog(HWND window);

// The tree's context menu at a screen position (when it is over an item):
// delete, sort, count, and the reports of the last run; and its commands.
void showFileMenu(HWND window, POINT screen);
void deleteSelectedFile();
void sortFiles();
void showFileCount(HWND window);

// Empties the file list, the tree and the viewer.
void clearFiles();
