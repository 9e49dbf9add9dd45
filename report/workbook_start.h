// The run's workbook for the "xls" format: through the spreadsheet program
// where the probe found one and it starts ("Mz解析結果.xls"), else written by
// the workbook library ("Mz解析結果.xlsx"); null where neither can be had.
#pragma once

#include <memory>
#include <string>

#include "platform/workbook.h"

// `excelVersion` is what platform::probeExcelVersion() found (0: none).
std::unique_ptr<platform::Workbook> startWorkbook(const std::string& outputFolder,
                                                  int excelVersion);
