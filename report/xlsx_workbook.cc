#include "report/xlsx_workbook.h"

#include <vector>

#include "platform/file_replace.h"
#include "platform/file_system.h"
#include "platform/text_encoding.h"
#include "platform/workbook_range.h"
#include "report/xlsx_output.h"
#include "report/xlsx_sheet.h"

const char kXlsxWorkbookName[] = "Mz解析結果.xlsx";

bool xlsxWorkbookAvailable() { return true; }

namespace {

constexpr int kSheetNameLimit = 31;

// CP932 names compared as the spreadsheet compares them: ASCII letters
// without regard to case (a trail byte is never folded).
bool sameSheetName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    unsigned char x = a[i], y = b[i];
    if (platform::isShiftJisLead(x) && i + 1 < a.size()) {
      if (x != y || a[i + 1] != b[i + 1]) return false;
      ++i;
      continue;
    }
    if (x >= 'A' && x <= 'Z') x |= 0x20;
    if (y >= 'A' && y <= 'Z') y |= 0x20;
    if (x != y) return false;
  }
  return true;
}

// A name the spreadsheet takes: 1 to 31 characters, none of []:*?/\, not
// starting or ending with an apostrophe.
bool validSheetName(std::string_view name) {
  if (name.empty() || name.front() == '\'' || name.back() == '\'') return false;
  if (name.find_first_of("[]:*?/\\") != std::string_view::npos) {
    // A trail byte may be one of these; look at single-byte characters only.
    for (std::size_t i = 0; i < name.size(); ++i) {
      if (platform::isShiftJisLead(static_cast<unsigned char>(name[i]))) {
        ++i;
      } else if (std::string_view("[]:*?/\\").find(name[i]) != std::string_view::npos) {
        return false;
      }
    }
  }
  int characters = 0;
  for (std::size_t i = 0; i < name.size(); ++i, ++characters) {
    if (platform::isShiftJisLead(static_cast<unsigned char>(name[i]))) ++i;
  }
  return characters <= kSheetNameLimit;
}

// The library writes the workbook under a name of its own beside the
// file, which it replaces once written whole; where no such file can be
// made, the library writes (and fails on) the file itself.
platform::Replacement workbookReplacement(const std::string& path) {
  platform::Replacement r = platform::openReplacement(path);
  if (r.file) std::fclose(r.file);
  r.file = nullptr;
  if (r.target.empty()) r.written.clear();
  return r;
}

class XlsxWorkbook : public platform::Workbook {
 public:
  explicit XlsxWorkbook(std::string path)
      : path_(std::move(path)),
        replacement_(workbookReplacement(path_)),
        file_(replacement_.target.empty() ? platform::nativeFileName(path_)
                                          : platform::replacementFileName(replacement_)) {}
  ~XlsxWorkbook() override {
    if (!ended_) platform::discardReplacement(replacement_);
  }
  XlsxWorkbook(const XlsxWorkbook&) = delete;
  XlsxWorkbook& operator=(const XlsxWorkbook&) = delete;

  bool selectSheet(std::string_view name) override {
    if (ended_) return false;
    if (!name.empty()) {
      for (std::size_t i = 0; i < sheets_.size(); ++i) {
        if (sameSheetName(sheets_[i].name, name)) return select(i);
      }
      if (!validSheetName(name)) return false;
    }
    sheets_.emplace_back();
    sheets_.back().name = name.empty() ? freshName() : std::string(name);
    return select(sheets_.size() - 1);
  }

  // A sheet the library has already taken keeps its name.
  bool nameSheet(std::string_view name) override {
    if (current_ < 0 || !validSheetName(name) || sheet().handedOver) return false;
    for (const XlsxSheet& s : sheets_) {
      if (&s != &sheet() && sameSheetName(s.name, name)) return false;
    }
    sheet().name = name;
    return true;
  }

  bool setColumnWidth(std::string_view column, int width) override {
    std::optional<int> c = platform::parseColumn(column);
    if (current_ < 0 || !c || width < 0 || width > 255) return false;
    sheet().widths[*c] = width;
    file_.setColumnWidth(sheet(), *c, width);
    return true;
  }

  // Rows above the block are final now: they go to the library.
  bool putBlock(std::string_view range, const platform::CellBlock& block) override {
    std::optional<platform::CellRange> r = platform::parseRange(range);
    if (current_ < 0 || !r || r->rows() != block.rows() || r->columns() != block.columns() ||
        r->firstRow < sheet().firstPending) {
      return false;
    }
    handOverRowsBefore(r->firstRow);
    for (int i = 0; i < block.rows(); ++i) {
      for (int j = 0; j < block.columns(); ++j) {
        store(*sheet().cell(r->firstRow + i, r->firstColumn + j), block.at(i, j));
      }
    }
    return true;
  }

  bool frameTable(std::string_view range, std::string_view headerRange) override {
    std::optional<platform::CellRange> r = platform::parseRange(range);
    std::optional<platform::CellRange> h = platform::parseRange(headerRange);
    if (current_ < 0 || !r || !h) return false;
    sheet().frame(*r);
    sheet().underlineDouble(*h);
    sheet().shade(*h);
    if (!sheet().titleFirst) {
      sheet().titleFirst = h->firstRow;
      sheet().titleLast = h->lastRow;
      file_.setView(sheet());
    }
    return true;
  }

  bool filterTable(std::string_view range) override {
    std::optional<platform::CellRange> r = platform::parseRange(range);
    if (current_ < 0 || !r) return false;
    if (!sheet().filter) {
      sheet().filter = r;
      file_.setView(sheet());
    }
    return true;
  }

  bool frameBlock(std::string_view range) override {
    std::optional<platform::CellRange> r = platform::parseRange(range);
    if (current_ < 0 || !r) return false;
    sheet().frame(*r);
    return true;
  }

  bool shade(std::string_view range) override {
    std::optional<platform::CellRange> r = platform::parseRange(range);
    if (current_ < 0 || !r) return false;
    sheet().shade(*r);
    return true;
  }

  bool activateSheet() override {
    if (current_ < 0) return false;
    for (XlsxSheet& s : sheets_) {
      s.opensFirst = &s == &sheet();
      file_.setView(s);
    }
    return true;
  }

  bool endExcel(bool cancelled) override {
    if (ended_) return false;
    ended_ = true;
    current_ = -1;
    if (cancelled) {
      file_.discard();
    } else {
      for (std::size_t i = 0; i < sheets_.size(); ++i) {
        addSheetsUpTo(i);
        file_.writeRowsBefore(sheets_[i], platform::kSheetRows);
      }
    }
    bool saved = !cancelled && file_.close();
    if (saved)
      saved = platform::putReplacementInPlace(replacement_);
    else
      platform::discardReplacement(replacement_);
    sheets_.clear();
    return saved || cancelled;
  }

  const std::string& path() const override { return path_; }
  // False when the library could not begin the workbook.
  bool ready() const { return file_.isOpen(); }

 private:
  bool select(std::size_t index) {
    current_ = static_cast<int>(index);
    return true;
  }
  XlsxSheet& sheet() { return sheets_[current_]; }

  // The library takes sheets in the order they were made.
  void addSheetsUpTo(std::size_t index) {
    for (std::size_t i = 0; i <= index; ++i) file_.addSheet(sheets_[i]);
  }
  void handOverRowsBefore(int row) {
    if (row <= sheet().firstPending || sheet().pending.empty()) return;
    addSheetsUpTo(static_cast<std::size_t>(current_));
    file_.writeRowsBefore(sheet(), row);
  }

  // "Sheet1", "Sheet2" … as the spreadsheet names a new sheet, skipping
  // names in use.
  std::string freshName() {
    for (int n = static_cast<int>(sheets_.size());; ++n) {
      std::string name = "Sheet" + std::to_string(n);
      bool used = false;
      for (const XlsxSheet& s : sheets_) used = used || sameSheetName(s.name, name);
      if (!used) return name;
    }
  }

  static void store(XlsxCell& to, const platform::WorkbookCell& from) {
    to.hasValue = true;
    to.isNumber = from.isNumber;
    to.number = from.number;
    std::string_view text = from.text;
    to.text.clear();
    to.numberFormat.clear();
    if (!from.isNumber)
      to.text = platform::cp932ToUtf8(text.substr(0, platform::cellTextLength(text)));
    if (from.isNumber && !from.mark.empty())
      to.numberFormat = platform::cp932ToUtf8(platform::markedNumberFormat(from.mark));
  }

  std::string path_;
  platform::Replacement replacement_;
  XlsxFile file_;
  std::vector<XlsxSheet> sheets_;
  int current_ = -1;
  bool ended_ = false;
};

}  // namespace

std::unique_ptr<platform::Workbook> startXlsxWorkbook(const std::string& outputFolder) {
  auto book = std::make_unique<XlsxWorkbook>(outputFolder + kXlsxWorkbookName);
  if (!book->ready()) return nullptr;
  return book;
}
