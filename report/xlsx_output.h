// Writes the sheets kept in memory into a workbook file with the workbook
// library.
#pragma once

#include <string>
#include <vector>

#include "report/xlsx_sheet.h"

// `nativePath` is the system's name of the file; false when the library
// could not write it (the file may then be missing or partial).
bool writeXlsxFile(const std::string& nativePath, const std::vector<XlsxSheet>& sheets);
