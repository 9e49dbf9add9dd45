// The viewer on the right of the main window: a read-only rich edit in a
// fixed-pitch font that shows the progress of a run, the run's log
// afterwards, and a report chosen from the menu.
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

// The most of a report the viewer shows; a larger one shows its first
// whole lines within it and a line naming the whole file. (A rich edit
// control can take many seconds to let go of a long text again.)
constexpr long long kViewedReportLimit = 64 * 1024;
void showReportInViewer(const std::string& path);

// The progress display of runs: the text replaces the viewer's. Called on
// the worker's thread; returns once the viewer shows it.
void showProgressInViewer(const std::string& text);
