#include "report/xlsx_output.h"

#include <xlsxwriter.h>

#include <map>
#include <tuple>

#include "platform/text_encoding.h"
#include "platform/workbook.h"

namespace {

constexpr std::uint8_t kLibraryLine[] = {LXW_BORDER_NONE, LXW_BORDER_THIN, LXW_BORDER_DOUBLE};

// One library format per look met: lines, colour, number format, and
// wrapping of text that holds line breaks (each list in one cell shows one
// entry a line).
class Formats {
 public:
  explicit Formats(lxw_workbook* book) : book_(book) {}
  lxw_format* of(const XlsxCell& c) {
    bool wrap = !c.isNumber && c.text.find('\n') != std::string::npos;
    if (!c.hasLook() && !wrap && c.numberFormat.empty()) return nullptr;
    int look = c.lines | (c.shaded ? 0x100 : 0) | (wrap ? 0x200 : 0);
    auto [at, added] = formats_.try_emplace({look, c.numberFormat}, nullptr);
    if (added) at->second = make(c, wrap);
    return at->second;
  }

 private:
  lxw_format* make(const XlsxCell& c, bool wrap) {
    lxw_format* f = workbook_add_format(book_);
    format_set_left(f, kLibraryLine[static_cast<int>(c.line(kXlsxLeft))]);
    format_set_top(f, kLibraryLine[static_cast<int>(c.line(kXlsxTop))]);
    format_set_right(f, kLibraryLine[static_cast<int>(c.line(kXlsxRight))]);
    format_set_bottom(f, kLibraryLine[static_cast<int>(c.line(kXlsxBottom))]);
    if (c.shaded) {
      format_set_pattern(f, LXW_PATTERN_SOLID);
      format_set_bg_color(f, platform::kHeaderColourRgb);
    }
    if (wrap) format_set_text_wrap(f);
    if (!c.numberFormat.empty()) format_set_num_format(f, c.numberFormat.c_str());
    return f;
  }
  lxw_workbook* book_;
  std::map<std::tuple<int, std::string>, lxw_format*> formats_;
};

void writeCell(lxw_worksheet* ws, int row, int column, const XlsxCell& c, Formats& formats) {
  lxw_format* f = formats.of(c);
  if (c.hasValue && c.isNumber) {
    worksheet_write_number(ws, row, static_cast<lxw_col_t>(column), c.number, f);
  } else if (c.hasValue && !c.text.empty()) {
    worksheet_write_string(ws, row, static_cast<lxw_col_t>(column), c.text.c_str(), f);
  } else if (f) {
    worksheet_write_blank(ws, row, static_cast<lxw_col_t>(column), f);
  }
}

}  // namespace

struct XlsxFile::Library {
  lxw_workbook* book = nullptr;
  std::unique_ptr<Formats> formats;
};

XlsxFile::XlsxFile(const std::string& nativePath) : library_(std::make_unique<Library>()) {
  lxw_workbook_options options = {};
  options.constant_memory = LXW_TRUE;
  library_->book = workbook_new_opt(nativePath.c_str(), &options);
  if (library_->book) library_->formats = std::make_unique<Formats>(library_->book);
}

XlsxFile::~XlsxFile() { discard(); }

bool XlsxFile::isOpen() const { return library_->book != nullptr; }

void XlsxFile::addSheet(XlsxSheet& sheet) {
  if (!isOpen() || sheet.handedOver) return;
  std::string name = platform::cp932ToUtf8(sheet.name);
  sheet.handedOver = workbook_add_worksheet(library_->book, name.c_str());
  if (!sheet.handedOver) return;
  worksheet_set_landscape(sheet.handedOver);
  worksheet_fit_to_pages(sheet.handedOver, 1, 0);
  for (const auto& [column, width] : sheet.widths) setColumnWidth(sheet, column, width);
  setView(sheet);
}

void XlsxFile::setColumnWidth(const XlsxSheet& sheet, int column, int width) {
  if (!sheet.handedOver) return;
  worksheet_set_column(sheet.handedOver, static_cast<lxw_col_t>(column),
                       static_cast<lxw_col_t>(column), width, nullptr);
}

void XlsxFile::setView(const XlsxSheet& sheet) {
  lxw_worksheet* ws = sheet.handedOver;
  if (!ws) return;
  if (sheet.titleFirst) {
    worksheet_repeat_rows(ws, *sheet.titleFirst, sheet.titleLast);
    worksheet_freeze_panes(ws, sheet.titleLast + 1, 0);
  }
  if (const auto& f = sheet.filter) {
    worksheet_autofilter(ws, f->firstRow, static_cast<lxw_col_t>(f->firstColumn), f->lastRow,
                         static_cast<lxw_col_t>(f->lastColumn));
  }
  // A sheet that opened the workbook before another took its place lets go.
  if (sheet.opensFirst)
    worksheet_activate(ws);
  else
    ws->selected = ws->active = LXW_FALSE;
}

void XlsxFile::writeRowsBefore(XlsxSheet& sheet, int row) {
  if (!sheet.handedOver || row <= sheet.firstPending) return;
  std::size_t count =
      std::min(sheet.pending.size(), static_cast<std::size_t>(row - sheet.firstPending));
  for (std::size_t r = 0; r < count; ++r) {
    const std::vector<XlsxCell>& cells = sheet.pending[r];
    for (std::size_t c = 0; c < cells.size(); ++c)
      writeCell(sheet.handedOver, sheet.firstPending + static_cast<int>(r), static_cast<int>(c),
                cells[c], *library_->formats);
  }
  sheet.pending.erase(sheet.pending.begin(),
                      sheet.pending.begin() + static_cast<std::ptrdiff_t>(count));
  sheet.firstPending = row;
}

bool XlsxFile::close() {
  if (!isOpen()) return false;
  bool written = workbook_close(library_->book) == LXW_NO_ERROR;
  library_->book = nullptr;
  return written;
}

void XlsxFile::discard() {
  if (!isOpen()) return;
  lxw_workbook_free(library_->book);
  library_->book = nullptr;
}
