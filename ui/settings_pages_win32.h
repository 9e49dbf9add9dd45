// What the two pages of the settings sheet share: the edited copy of the
// options, their dialog procedures, and their tooltips, change marks, help
// and answers to the sheet.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

#include "context/options.h"

// The copy that the pages edit while the sheet is open.
Options& editedOptions();

INT_PTR CALLBACK firstPageProcedure(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK secondPageProcedure(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

struct ControlTip {
  int control;
  const char* text;
};

// What makes a page; the common procedure (pageProcedure) does the rest:
// the tooltips, the change mark, reading back when the page is left or
// the sheet confirmed, the help, the end.
struct SettingsPage {
  const ControlTip* tips;
  size_t tipCount;
  void (*open)(HWND page);
  // A WM_COMMAND; true when it changed the edited options.
  bool (*command)(HWND page, WPARAM wParam);
  // The controls into the edited options; false keeps the page open.
  bool (*readBack)(HWND page);
  // On the sheet's confirmation, after readBack.
  void (*apply)();
  void (*close)();
  HWND tooltip;
};

INT_PTR pageProcedure(SettingsPage& settings, HWND page, UINT message, WPARAM wParam,
                      LPARAM lParam);

// A control's text, at most `limit` - 1 bytes.
std::string controlText(HWND page, int control, int limit);
