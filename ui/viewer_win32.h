// The viewer on the right of the main window: a read-only rich edit that
// shows the progress of a run and the run's log afterwards.
#pragma once

#include <windows.h>

#include <string>

// Loads the rich-edit library and creates the viewer; null when either fails.
HWND createViewer(HWND parent, HINSTANCE instance, HMODULE* library);

// Shows a text file whole (CR LF as line ends), or one of the two size
// messages when it is too large to be held.
void loadFileIntoViewer(const std::string& path, HWND viewer);

// The log of the last run, then the layout redone.
void showLog();

// The progress display of runs: the text replaces the viewer's. Called on
// the worker's thread; returns once the viewer shows it.
void showProgressInViewer(const std::string& text);
