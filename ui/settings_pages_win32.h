// What the two pages of the settings sheet share: the edited copy of the
// options, their dialog procedures, and their tooltips, change marks, help
// and answers to the sheet.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

#include "app/options.h"

// The copy that the pages edit while the sheet is open.
Options& editedOptions();

INT_PTR CALLBACK firstPageProcedure(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK secondPageProcedure(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

struct ControlTip {
  int control;
  const char* text;
};

// A tooltip window that shows each control's text over it; the page
// destroys it when it goes.
HWND createTooltips(HWND page, const ControlTip* tips, size_t count);

// Enables the sheet's Apply button.
void markChanged(HWND page);

// The help file at the pages' topic.
void openSettingsHelp(HWND page);

// A page's answer to a notification of the sheet (PSN_KILLACTIVE: TRUE
// keeps the page open).
INT_PTR answerSheet(HWND page, LONG_PTR result);

// A control's text, at most `limit` - 1 bytes.
std::string controlText(HWND page, int control, int limit);
