#include "report/xlsx_workbook.h"

// This build was made without the workbook library.

const char kXlsxWorkbookName[] = "Mz解析結果.xlsx";

bool xlsxWorkbookAvailable() { return false; }

std::unique_ptr<platform::Workbook> startXlsxWorkbook(const std::string&) { return nullptr; }
