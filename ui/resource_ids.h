// The window's command and resource identifiers, shared by the resource
// script and the code. Plain macros: the resource compiler reads this file
// with the C preprocessor and knows no C++ constants.
#pragma once

// Commands of the menu "IDM_MENU1", the toolbar and the popup "IDM_RIST".
#define IDM_CHOOSE_SOURCES 101
#define IDM_RUN 104
#define IDM_CLEAR 105
#define IDM_STOP 106
#define IDM_CANCEL_REGISTRATION 107
#define IDM_EXIT 108
#define IDM_SETTINGS 201
#define IDM_FAST 203
#define IDM_SLOW 204
#define IDM_HELP 301
#define IDM_VERSION 302
#define IDM_DELETE_FILE 401
#define IDM_SORT_FILES 402
#define IDM_FILE_COUNT 403
#define IDM_DISTRIBUTION 502
// The menu "ﾚﾎﾟｰﾄ(&R)": the output folder, then the reports of the last run,
// IDM_FIRST_REPORT + i for the i-th (at most IDM_REPORT_LIMIT of them).
#define IDM_OPEN_OUTPUT_FOLDER 601
#define IDM_NO_REPORTS 602
#define IDM_FIRST_REPORT 610
#define IDM_REPORT_LIMIT 80

// The keys of the main window's commands.
#define IDA_MAIN 1200

// The toolbar: its control identifier and its strip of three 46 x 32 images.
#define IDC_TOOLBAR 1110
#define IDB_TOOLBAR 1111

// The settings sheet's page "IDD_DIALOG_PAGE1": the report and tree switches.
#define IDC_GLOBAL_VARIABLES 530
#define IDC_VARIABLE_DETAILS 531
#define IDC_CLASS_LIST 506
#define IDC_DEFINE_LIST 505
#define IDC_FUNCTION_LIST 114
#define IDC_FUNCTION_DETAILS 115
#define IDC_TYPE_LIST 123
#define IDC_NAMESPACE_LIST 124
#define IDC_LINE_DISTRIBUTION 1008
#define IDC_DISTRIBUTION_SPIN 1006
#define IDC_DISTRIBUTION_STEP 1007
#define IDC_HIDE_REPEATED 504
#define IDC_NO_FUNCTION_SORT 110
#define IDC_DUPLICATE_CHILDREN 112
#define IDC_MACROS_NOT_FUNCTIONS 111
#define IDC_TAG_JUMP_TREE 113
#define IDC_PC98_LINES 507
#define IDC_MEMBER_VARIABLES 532
#define IDC_HIDE_TOOLBAR 560
// Also the language list of the second page.
#define IDC_OUTPUT_FORMAT 1009

// The page "IDD_DIALOG_PAGE2": extensions, header reading, folders.
#define IDC_EXTENSION_LIST 1010
#define IDC_EXTENSION_TEXT 103
#define IDC_EXTENSION_LANGUAGE 1009
#define IDC_EXTENSION_ADD 105
#define IDC_EXTENSION_DELETE 102
#define IDC_EXTENSION_RESET 106
#define IDC_HEADERS_NOT_READ 508
#define IDC_HEADERS_READ_ONCE 509
#define IDC_HEADERS_PER_SOURCE 510
#define IDC_OUTPUT_FOLDER 1002
#define IDC_OUTPUT_FOLDER_BROWSE 116
#define IDC_INCLUDE_TEXT 121
#define IDC_INCLUDE_BROWSE 117
#define IDC_INCLUDE_ADD 118
#define IDC_INCLUDE_LIST 122
#define IDC_INCLUDE_DELETE 119
#define IDC_INCLUDE_RESET 120

// The dialog "IDD_DIALOG_GYOSUU": class k has its boundary in
// IDC_CLASS_BOUNDARY + k and its count in IDC_CLASS_COUNT + k (k = 0 … 10).
#define IDC_CLASS_BOUNDARY 101
#define IDC_CLASS_COUNT 112
#define IDC_CLASS_WIDTH 123
#define IDC_WRITE_CSV 503
