// One sheet of a workbook on its way to the workbook library: its name,
// column widths, print titles, frozen rows, filter and whether the workbook
// opens on it, and the cells of the rows not yet handed to the library with
// their lines, colour and number format. The library takes a cell's
// look only together with its value, and rows only in order, so a block's
// rows wait here until a later block begins below them (or the workbook
// ends): looks set on them meanwhile are kept; rows handed over are gone.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/workbook_range.h"

struct lxw_worksheet;  // the library's sheet

// The lines of one cell edge.
enum class XlsxLine : std::uint8_t { kNone = 0, kThin = 1, kDouble = 2 };
enum XlsxEdge { kXlsxLeft = 0, kXlsxTop = 1, kXlsxRight = 2, kXlsxBottom = 3 };

struct XlsxCell {
  bool hasValue = false;
  bool isNumber = false;
  bool shaded = false;
  std::uint8_t lines = 0;  // two bits per XlsxEdge, an XlsxLine each
  std::int32_t number = 0;
  std::string text;          // UTF-8
  std::string numberFormat;  // UTF-8; empty: the standard one

  XlsxLine line(XlsxEdge e) const { return static_cast<XlsxLine>((lines >> (2 * e)) & 3); }
  void setLine(XlsxEdge e, XlsxLine l) {
    lines = static_cast<std::uint8_t>((lines & ~(3 << (2 * e))) | (static_cast<int>(l) << (2 * e)));
  }
  bool hasLook() const { return shaded || lines != 0; }
};

struct XlsxSheet {
  std::string name;               // CP932
  std::map<int, int> widths;      // column -> characters
  std::optional<int> titleFirst;  // print title rows, also the rows kept in view
  int titleLast = 0;
  std::optional<platform::CellRange> filter;
  bool opensFirst = false;                     // the workbook opens on this sheet
  lxw_worksheet* handedOver = nullptr;         // the library's sheet (its name is fixed)
  int firstPending = 0;                        // the row of pending[0]; rows above are handed over
  std::vector<std::vector<XlsxCell>> pending;  // as far as a cell was touched

  // The cell, or null when its row was handed over.
  XlsxCell* cell(int row, int column);
  // Thin lines on every edge of every cell of the range, where no line is.
  void frame(const platform::CellRange& range);
  void shade(const platform::CellRange& range);
  // The range's last row underlined double (and the row below topped so).
  void underlineDouble(const platform::CellRange& range);
};
