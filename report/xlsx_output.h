// The workbook file as the workbook library writes it: sheets added in
// order, rows handed over in order (the library keeps only the row being
// written in memory), the file written when it is closed.
#pragma once

#include <memory>
#include <string>

#include "report/xlsx_sheet.h"

class XlsxFile {
 public:
  // `nativePath` is the system's name of the file; nothing is written
  // there before close().
  explicit XlsxFile(const std::string& nativePath);
  ~XlsxFile();
  XlsxFile(const XlsxFile&) = delete;
  XlsxFile& operator=(const XlsxFile&) = delete;

  bool isOpen() const;
  // Adds `sheet` to the file (with its widths and view so far), to be
  // printed landscape, one page wide.
  void addSheet(XlsxSheet& sheet);
  void setColumnWidth(const XlsxSheet& sheet, int column, int width);
  // The sheet's print titles, frozen rows, filter and opening, once it
  // was added (addSheet applies them too).
  void setView(const XlsxSheet& sheet);
  // Hands the sheet's pending rows above `row` to the library (the sheet
  // must have been added).
  void writeRowsBefore(XlsxSheet& sheet, int row);
  // Writes the file; false when the library could not (the file may then
  // be missing or partial). After close() or discard() nothing more.
  bool close();
  // Drops everything; no file is written.
  void discard();

 private:
  struct Library;
  std::unique_ptr<Library> library_;
};
