// A workbook written sheet by sheet: the operations a report writer drives,
// whatever writes the file (the spreadsheet program through automation, or
// the workbook library). Text on this interface is CP932; each backend
// converts at its own boundary. Ranges are written as the spreadsheet
// writes them, "A1:E12" (a single cell "B3" too). Every sheet prints
// landscape, fitted to one page wide and as many pages tall as it takes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// One value of a block: a text, shown exactly as given (never read as a
// number or a formula), or a 32-bit integer. A default cell is empty text.
// An integer with a mark shows the mark and a blank before its digits
// through the cell's number format ("× 20"): its value stays the number.
struct WorkbookCell {
  bool isNumber = false;
  std::int32_t number = 0;
  std::string text;
  std::string mark;  // a number's only; no double quote in it

  static WorkbookCell of(std::string_view text) {
    WorkbookCell c;
    c.text = text;
    return c;
  }
  static WorkbookCell integer(std::int32_t n, std::string_view mark = {}) {
    WorkbookCell c;
    c.isNumber = true;
    c.number = n;
    c.mark = mark;
    return c;
  }
};

// A two-dimensional block of cells, indexed (row, column) from 0; it covers
// the range it is put into exactly.
class CellBlock {
 public:
  CellBlock(int rows, int columns)
      : rows_(rows > 0 ? rows : 0),
        columns_(columns > 0 ? columns : 0),
        cells_(static_cast<std::size_t>(rows_) * columns_) {}
  int rows() const { return rows_; }
  int columns() const { return columns_; }
  WorkbookCell& at(int row, int column) { return cells_[index(row, column)]; }
  const WorkbookCell& at(int row, int column) const { return cells_[index(row, column)]; }

 private:
  std::size_t index(int row, int column) const {
    return static_cast<std::size_t>(row) * columns_ + column;
  }
  int rows_;
  int columns_;
  std::vector<WorkbookCell> cells_;
};

// Every operation returns false when it failed; the writer then abandons
// the current sheet and goes on with the next. Operations on a sheet need
// a current sheet (selectSheet first).
class Workbook {
 public:
  virtual ~Workbook() = default;

  // Makes the sheet of that name (letter case ignored) current, adding one
  // of that name when the workbook has none; an empty name always adds a
  // new sheet ("Sheet1", "Sheet2" …).
  virtual bool selectSheet(std::string_view name) = 0;
  // Renames the current sheet.
  virtual bool nameSheet(std::string_view name) = 0;
  // Width of one column ("A", "AB") in characters.
  virtual bool setColumnWidth(std::string_view column, int width) = 0;
  // Stores the block in the range, in one call; the block's shape must be
  // the range's. A sheet is written top to bottom: rows above a block put
  // may be final, values and looks (a backend may have written them out).
  virtual bool putBlock(std::string_view range, const CellBlock& block) = 0;
  // Thin lines around and inside the range; the header range (its first
  // row) underlined double and coloured; unless an earlier table of the
  // sheet did: the header's rows become the sheet's print titles, repeated
  // on each printed page, and the rows down to the header stay in view
  // (frozen) as the sheet scrolls.
  virtual bool frameTable(std::string_view range, std::string_view headerRange) = 0;
  // Filter buttons on the first row of the range, a table under its header
  // row. A sheet has one filter: that of its first table.
  virtual bool filterTable(std::string_view range) = 0;
  // Thin lines around and inside the range, nothing else.
  virtual bool frameBlock(std::string_view range) = 0;
  // The header colour on the range.
  virtual bool shade(std::string_view range) = 0;
  // The saved workbook opens on the current sheet (else on its first).
  virtual bool activateSheet() = 0;
  // Ends the workbook once: saved into its file unless cancelled (a
  // cancelled workbook saves nothing). True when the file was written, or
  // when cancelled. Destroying a workbook that was not ended cancels it.
  virtual bool endExcel(bool cancelled) = 0;

  // The file the workbook is saved as (CP932 path).
  virtual const std::string& path() const = 0;
};

// The header colour, a light cyan, as 0xRRGGBB.
constexpr std::uint32_t kHeaderColourRgb = 0xCCFFFF;

}  // namespace platform
