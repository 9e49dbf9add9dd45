// Windows side of the workbook written by the library: writes one table
// sheet into the folder named by the argument; check_xlsx_wine.sh reads it
// back. Exits non-zero when the workbook could not be written.
#include <cstdio>
#include <string>

#include "report/xlsx_workbook.h"

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  auto book = startXlsxWorkbook(argv[1]);
  platform::CellBlock block(2, 2);
  block.at(0, 0) = platform::WorkbookCell::of("関数名");
  block.at(0, 1) = platform::WorkbookCell::of("STEP数");
  block.at(1, 0) = platform::WorkbookCell::of("main");
  block.at(1, 1) = platform::WorkbookCell::integer(12);
  bool ok = book && book->selectSheet("関数一覧") && book->putBlock("A1:B2", block) &&
            book->setColumnWidth("A", 35) && book->frameTable("A1:B2", "A1:B1") &&
            book->endExcel(false);
  std::printf("%s\n", ok ? "written" : "not written");
  return ok ? 0 : 1;
}
