#include "report/workbook_output.h"

#include <map>
#include <set>

#include "report/report_file.h"

namespace {

struct RunWorkbook {
  platform::Workbook* book = nullptr;
  std::map<std::string, int> rowsUsed;
  std::set<std::string> abandoned;
};

RunWorkbook& current() {
  static RunWorkbook workbook;
  return workbook;
}

}  // namespace

void setReportWorkbook(platform::Workbook* book) {
  current().book = book;
  current().rowsUsed.clear();
  current().abandoned.clear();
}

platform::Workbook* reportWorkbook() { return current().book; }

int sheetRowsUsed(const std::string& name) {
  auto it = current().rowsUsed.find(name);
  return it == current().rowsUsed.end() ? 0 : it->second;
}

void setSheetRowsUsed(const std::string& name, int rows) { current().rowsUsed[name] = rows; }

void abandonSheet(const std::string& name) { current().abandoned.insert(name); }

bool sheetAbandoned(const std::string& name) { return current().abandoned.count(name) > 0; }

bool endReportWorkbook(bool cancelled) {
  platform::Workbook* book = current().book;
  setReportWorkbook(nullptr);
  if (!book) return true;
  bool ended = book->endExcel(cancelled);
  if (!ended && !cancelled) reportUnwritten(book->path());
  return ended;
}
