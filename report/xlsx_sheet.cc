#include "report/xlsx_sheet.h"

XlsxCell& XlsxSheet::cell(int row, int column) {
  if (rows.size() <= static_cast<std::size_t>(row)) rows.resize(row + 1);
  std::vector<XlsxCell>& cells = rows[row];
  if (cells.size() <= static_cast<std::size_t>(column)) cells.resize(column + 1);
  return cells[column];
}

void XlsxSheet::frame(const platform::CellRange& range) {
  for (int r = range.firstRow; r <= range.lastRow; ++r) {
    for (int c = range.firstColumn; c <= range.lastColumn; ++c) {
      XlsxCell& x = cell(r, c);
      // A double line already drawn stays: the thin frame only fills in.
      for (XlsxEdge e : {kXlsxLeft, kXlsxTop, kXlsxRight, kXlsxBottom}) {
        if (x.line(e) == XlsxLine::kNone) x.setLine(e, XlsxLine::kThin);
      }
    }
  }
}

void XlsxSheet::shade(const platform::CellRange& range) {
  for (int r = range.firstRow; r <= range.lastRow; ++r) {
    for (int c = range.firstColumn; c <= range.lastColumn; ++c) cell(r, c).shaded = true;
  }
}

void XlsxSheet::underlineDouble(const platform::CellRange& range) {
  for (int c = range.firstColumn; c <= range.lastColumn; ++c) {
    cell(range.lastRow, c).setLine(kXlsxBottom, XlsxLine::kDouble);
    // Both cells hold the shared edge in the file; they must agree.
    if (range.lastRow + 1 < platform::kSheetRows) {
      cell(range.lastRow + 1, c).setLine(kXlsxTop, XlsxLine::kDouble);
    }
  }
}
