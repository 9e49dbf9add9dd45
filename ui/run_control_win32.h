// Analysis runs started from the main window: one worker thread at a time
// runs runAnalysis while the window keeps dispatching messages; the menu
// and the status bar show the run and idle states. The worker only shows
// its progress in the viewer and the status bar (synchronous text updates)
// and posts kRunEndedMessage when done; everything else happens on the
// window's thread.
#pragma once

#include <windows.h>

#include <string>

// Posted by the worker to the main window: wParam is the run's number.
constexpr UINT kRunEndedMessage = WM_APP + 1;

// True from the start of a run until its end is handled or it is stopped.
bool runActive();

// Starts a run over the registered files (the "no files" box when there are
// none) and switches the menu into its run state.
void startRun(HWND window);

// While a run is active: asks "解析を中断しますか？" and on Yes ends the run
// at once (no further file, report or log line). Then, and always when
// idle, empties the file list, the tree and the viewer.
void stopOrClear(HWND window);

// The worker's end (kRunEndedMessage): the log in the viewer, the reports
// of the run in the menu, the idle menu, the "処理終了" box. A message of a
// stopped or earlier run is ignored.
void finishRun(HWND window, WPARAM runNumber);

// Ends an active run without asking (the window is going away).
void endRunForClosing();

// The progress display of runs in the window: the viewer's text, and the
// status bar. Called on the worker's thread.
void showRunProgress(const std::string& text);

// The speed commands: the worker's priority (now and for later runs), the
// check marks, and "処理ｽﾋﾟｰﾄﾞ" in the INI file.
void setRunSpeed(bool fast);
