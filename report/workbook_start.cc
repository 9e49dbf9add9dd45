#include "report/workbook_start.h"

#include "platform/excel_automation.h"
#include "report/xlsx_workbook.h"

std::unique_ptr<platform::Workbook> startWorkbook(const std::string& outputFolder,
                                                  int excelVersion) {
  if (excelVersion > 0) {
    if (auto book = platform::startExcel(outputFolder, excelVersion)) return book;
  }
  return startXlsxWorkbook(outputFolder);
}
