// One sheet of a workbook kept in memory until the workbook library writes
// it: cells (UTF-8 text or integers), each cell's lines and colour, column
// widths and print titles. The library takes a cell's look only together
// with its value, so the look of a range set after its values is kept here
// and both go out at the end.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/workbook_range.h"

// The lines of one cell edge.
enum class XlsxLine : std::uint8_t { kNone = 0, kThin = 1, kDouble = 2 };
enum XlsxEdge { kXlsxLeft = 0, kXlsxTop = 1, kXlsxRight = 2, kXlsxBottom = 3 };

struct XlsxCell {
  bool hasValue = false;
  bool isNumber = false;
  bool shaded = false;
  std::uint8_t lines = 0;  // two bits per XlsxEdge, an XlsxLine each
  std::int32_t number = 0;
  std::string text;  // UTF-8

  XlsxLine line(XlsxEdge e) const { return static_cast<XlsxLine>((lines >> (2 * e)) & 3); }
  void setLine(XlsxEdge e, XlsxLine l) {
    lines = static_cast<std::uint8_t>((lines & ~(3 << (2 * e))) | (static_cast<int>(l) << (2 * e)));
  }
  bool hasLook() const { return shaded || lines != 0; }
};

struct XlsxSheet {
  std::string name;               // CP932
  std::map<int, int> widths;      // column -> characters
  std::optional<int> titleFirst;  // print title rows
  int titleLast = 0;
  std::vector<std::vector<XlsxCell>> rows;  // as far as a cell was touched

  XlsxCell& cell(int row, int column);
  // Thin lines on every edge of every cell of the range, where no line is.
  void frame(const platform::CellRange& range);
  void shade(const platform::CellRange& range);
  // The range's last row underlined double (and the row below topped so).
  void underlineDouble(const platform::CellRange& range);
};
