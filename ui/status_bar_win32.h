// The status bar at the foot of the main window, in three parts: how many
// files are registered, what the window is doing (idle, registering, the
// run's progress, its end, the report in the viewer), and the output
// folder. Set from the window's thread, or synchronously from a run's.
#pragma once

#include <windows.h>

#include <string>

HWND createStatusBar(HWND parent, HINSTANCE instance);

// Lets the bar take its place at the window's foot; its height.
int placeStatusBar();

void showRegisteredCount(int files);
void showState(const std::string& text);
void showOutputFolder(const std::string& folder);

// The state texts of the window.
extern const char kStateIdle[];
extern const char kStateFinished[];
extern const char kStateStopped[];
