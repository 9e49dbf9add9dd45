// Cell ranges in the spreadsheet's own notation ("A1:E12", "B3"), the
// limits of a sheet and the number format of a marked number, shared by
// the workbook backends.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform {

// The largest sheet: 1,048,576 rows, 16,384 columns ("XFD").
constexpr int kSheetRows = 1048576;
constexpr int kSheetColumns = 16384;
// The most characters a cell shows; longer text is cut there.
constexpr int kCellTextLimit = 32767;

// Rows and columns from 0, both ends included.
struct CellRange {
  int firstRow = 0;
  int firstColumn = 0;
  int lastRow = 0;
  int lastColumn = 0;
  int rows() const { return lastRow - firstRow + 1; }
  int columns() const { return lastColumn - firstColumn + 1; }
};

// The column of "A" … "XFD" (letter case ignored); nothing for another
// text or a column past the sheet.
std::optional<int> parseColumn(std::string_view letters);

// "A1" or "A1:C3" (either corner first; "$" marks allowed); nothing for a
// malformed range or one past the sheet.
std::optional<CellRange> parseRange(std::string_view text);

// The range as the spreadsheet writes it: "A1:E12", or "B3" for one cell.
std::string rangeText(const CellRange& range);

// The byte length of the longest start of CP932 `text` that holds at most
// kCellTextLimit characters and ends on a whole character.
std::size_t cellTextLength(std::string_view text);

// The number format that shows a cell's mark and a blank before its
// digits: "× " + "0" -> "\"× \"0" (CP932, as the mark).
std::string markedNumberFormat(std::string_view mark);

}  // namespace platform
