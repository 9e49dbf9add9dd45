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

// Where the run stands on one sheet: the rows written so far (gaps
// included; 0 for a sheet not begun), and whether a failed operation left
// it (it then takes no further section). Kept until the next workbook.
struct SheetPlace {
  int rowsUsed = 0;
  bool abandoned = false;
};
SheetPlace& sheetPlace(const std::string& name);

// Ends the workbook (saved, or discarded when `cancelled`) and forgets it;
// a workbook that cannot be saved is named like an unwritten report. True
// when there was none or it ended as asked.
bool endReportWorkbook(bool cancelled);
