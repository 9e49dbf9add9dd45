// The run's workbook while its reports are written in the "xls" format:
// the run hands it over before its first report and ends it after the
// last. Each report fills a sheet of its own (sheet_writer.h); a list that
// comes in sections goes on below what its sheet holds.
#pragma once

#include <string>

#include "platform/workbook.h"

// The workbook of the reports to come; null for none. A new workbook
// starts with no sheet written.
void setReportWorkbook(platform::Workbook* book);
platform::Workbook* reportWorkbook();

// Rows of sheet `name` written so far (gaps included): 0 for a sheet the
// run has not begun.
int sheetRowsUsed(const std::string& name);
void setSheetRowsUsed(const std::string& name, int rows);
// A sheet left after a failed operation takes no further section.
void abandonSheet(const std::string& name);
bool sheetAbandoned(const std::string& name);

// Ends the workbook (saved, or discarded when `cancelled`) and forgets it;
// a workbook that cannot be saved is named like an unwritten report. True
// when there was none or it ended as asked.
bool endReportWorkbook(bool cancelled);
