// The window's command and resource identifiers, shared by the resource
// script and the code. Plain macros: the resource compiler reads this file
// with the C preprocessor and knows no C++ constants.
#pragma once

// Commands of the menu "IDM_MENU1", the toolbar and the popup "IDM_RIST".
#define IDM_CHOOSE_SOURCES 101
#define IDM_RUN 104
#define IDM_CLEAR 105
#define IDM_STOP 106
#define IDM_SETTINGS 201
#define IDM_FAST 203
#define IDM_SLOW 204
#define IDM_HELP 301
#define IDM_VERSION 302
#define IDM_WEB_PAGE 303
#define IDM_DELETE_FILE 401
#define IDM_SORT_FILES 402
#define IDM_FILE_COUNT 403
#define IDM_DISTRIBUTION 502

// The toolbar: its control identifier and its strip of three 46 x 32 images.
#define IDC_TOOLBAR 1110
#define IDB_TOOLBAR 1111
