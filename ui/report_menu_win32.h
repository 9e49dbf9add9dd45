// Where the window leads to the reports of its last run: the menu
// "ﾚﾎﾟｰﾄ(&R)" (and the tree's popup) lists each file that the run wrote into
// its output folder (the log first); choosing one shows it in the viewer,
// or, for the workbook, opens it in its program. "出力先ﾌｫﾙﾀﾞを開く" opens
// the output folder in the system's file manager.
#pragma once

#include <windows.h>

#include <string>

// Notes the report files in the output folder before a run starts, so
// that afterwards those the run wrote can be told from older ones.
void noteReportsBeforeRun();
// The reports of the run that just ended into the menu; a stopped run
// leaves none.
void listReportsOfRun(bool finished);

// The reports as a submenu "ﾚﾎﾟｰﾄ" of `popup`, after a separator (nothing
// when there are none).
void appendReportsTo(HMENU popup);

// The output folder of the last run, or before any the one of the options.
std::string outputFolderShown();

// IDM_OPEN_OUTPUT_FOLDER and IDM_FIRST_REPORT + i; false for another command.
bool runReportCommand(HWND window, UINT command);
