// The workbook written by the workbook library, without the spreadsheet
// program: "Mz解析結果.xlsx" in the output folder. Builds without the
// library have none.
#pragma once

#include <memory>
#include <string>

#include "platform/workbook.h"

extern const char kXlsxWorkbookName[];

// Whether this build writes workbooks with the library.
bool xlsxWorkbookAvailable();

// A new workbook to be saved into `outputFolder` (ending with a separator);
// null where the build has no workbook library or the library cannot
// begin one. Rows wait in the library's temporary files once a block below
// them comes; the workbook's file is written when it is ended, and a
// cancelled workbook writes none.
std::unique_ptr<platform::Workbook> startXlsxWorkbook(const std::string& outputFolder);
