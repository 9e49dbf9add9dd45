#include "report/workbook_output.h"

#include <map>

#include "report/report_file.h"

namespace {

struct RunWorkbook {
  platform::Workbook* book = nullptr;
  std::map<std::string, SheetPlace> sheets;
};

RunWorkbook& current() {
  static RunWorkbook workbook;
  return workbook;
}

}  // namespace

void setReportWorkbook(platform::Workbook* book) {
  current().book = book;
  current().sheets.clear();
}

platform::Workbook* reportWorkbook() { return current().book; }

SheetPlace& sheetPlace(const std::string& name) { return current().sheets[name]; }

bool endReportWorkbook(bool cancelled) {
  platform::Workbook* book = current().book;
  setReportWorkbook(nullptr);
  if (!book) return true;
  bool ended = book->endExcel(cancelled);
  if (!ended && !cancelled) reportUnwritten(book->path());
  return ended;
}
