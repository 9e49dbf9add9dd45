#include "report/xlsx_sheet.h"

XlsxCell* XlsxSheet::cell(int row, int column) {
  if (row < firstPending) return nullptr;
  std::size_t at = static_cast<std::size_t>(row - firstPending);
  if (pending.size() <= at) pending.resize(at + 1);
  std::vector<XlsxCell>& cells = pending[at];
  if (cells.size() <= static_cast<std::size_t>(column)) cells.resize(column + 1);
  return &cells[column];
}

void XlsxSheet::frame(const platform::CellRange& range) {
  for (int r = range.firstRow; r <= range.lastRow; ++r) {
    for (int c = range.firstColumn; c <= range.lastColumn; ++c) {
      XlsxCell* x = cell(r, c);
      if (!x) break;
      // A double line already drawn stays: the thin frame only fills in.
      for (XlsxEdge e : {kXlsxLeft, kXlsxTop, kXlsxRight, kXlsxBottom}) {
        if (x->line(e) == XlsxLine::kNone) x->setLine(e, XlsxLine::kThin);
      }
    }
  }
}

void XlsxSheet::shade(const platform::CellRange& range) {
  for (int r = range.firstRow; r <= range.lastRow; ++r) {
    for (int c = range.firstColumn; c <= range.lastColumn; ++c) {
      if (XlsxCell* x = cell(r, c)) x->shaded = true;
    }
  }
}

void XlsxSheet::underlineDouble(const platform::CellRange& range) {
  for (int c = range.firstColumn; c <= range.lastColumn; ++c) {
    if (XlsxCell* x = cell(range.lastRow, c)) x->setLine(kXlsxBottom, XlsxLine::kDouble);
    // Both cells hold the shared edge in the file; they must agree.
    if (range.lastRow + 1 < platform::kSheetRows) {
      if (XlsxCell* x = cell(range.lastRow + 1, c)) x->setLine(kXlsxTop, XlsxLine::kDouble);
    }
  }
}
