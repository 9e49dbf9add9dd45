#include "report/sheet_writer.h"

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

#include "platform/workbook_range.h"
#include "report/report_file.h"
#include "report/report_writer_internal.h"

namespace {

using platform::CellRange;
using platform::WorkbookCell;

// Rows collected before they go to the sheet in one block: enough to keep
// the calls few, few enough to keep a large report's memory small. A table
// goes in one block up to its own larger bound.
constexpr size_t kRowsPerBlock = 4096;
constexpr size_t kRowsPerTableBlock = 65536;

enum class Look { kTable, kFrame, kShade };
struct Decoration {
  Look look;
  CellRange range;
  CellRange header;  // kTable only
};

class SheetWriter final : public ReportWriter {
 public:
  SheetWriter(ReportSession& session, const SheetLayout& layout, std::ostream& unused)
      : ReportWriter(ReportFormat::kWorkbook, unused),
        session_(session),
        book_(*session.workbook()),
        name_(layout.name),
        place_(session.sheetPlace(name_)) {
    next_ = place_.rowsUsed;
    failed_ = place_.abandoned;
    if (next_ > 0 || failed_) return;  // written further below, or left
    ok(book_.selectSheet("")) && ok(book_.nameSheet(name_));
    for (const SheetColumnWidth& w : layout.widths)
      if (w.column && !failed_) ok(book_.setColumnWidth(w.column, w.width));
    if (layout.opensFirst && !failed_) ok(book_.activateSheet());
    selected_ = true;
  }
  ~SheetWriter() override {
    flush();
    place_.rowsUsed = next_;
  }

  void beginPage(std::string_view) override {}
  void endPage() override { flush(); }
  bool pageHasEnd() const override { return false; }

  void writeCaption(const Caption&, std::string_view text) override {
    int row = addRow();
    if (row >= 0) cellAt(row, 0, WorkbookCell::of(text));
    captionPending_ = true;
  }
  void literal(std::string_view line, FormatSet forms) override {
    if (!(forms & kWorkbookForm)) return;
    int row = addRow();
    if (row >= 0) cellAt(row, 0, WorkbookCell::of(line));
  }

  void beginTable(const Table& table) override {
    // A caption goes in one block with its table.
    if (!captionPending_) flushIfFull();
    table_ = &table;
    inTable_ = true;
    headerRow_ = -1;
  }
  void endTable() override {
    captionPending_ = false;
    flush();
    inTable_ = false;
    filter();
    skipRows(table_->after.sheet);
  }

  void beginBlock(const Form& form, const BlockNote& note) override {
    flushIfFull();
    form_ = &form;
    blockFirst_ = next_;
    if (!note) return;
    std::string_view text = *note;
    if (!text.empty() && text.back() == '\n') text.remove_suffix(1);
    int row = addRow();
    if (row < 0) return;
    cellAt(row, 1, WorkbookCell::of(text));
    decorations_.push_back({Look::kShade, {row, 0, row, 1}, {}});
  }
  // Every label has its row, an empty list too: the blocks keep one shape.
  void field(std::string_view label, const Cell& value, bool) override {
    int row = addRow();
    if (row < 0) return;
    if (fieldsFirst_ < 0) fieldsFirst_ = row;
    cellAt(row, 0, WorkbookCell::of(label));
    cellAt(row, 1, valueOf(value));
  }
  void endBlock() override {
    if (next_ > blockFirst_)
      decorations_.push_back({Look::kFrame, {blockFirst_, 0, next_ - 1, 1}, {}});
    if (fieldsFirst_ >= 0)
      decorations_.push_back({Look::kShade, {fieldsFirst_, 0, next_ - 1, 0}, {}});
    fieldsFirst_ = -1;
    skipRows(form_->after.sheet);
  }

  void beginLines() override {}
  void endLine() override {}
  void endLines() override {}

 protected:
  void writeHeading(std::span<const Cell> cells) override {
    if (!(table_->heading & kWorkbookForm)) return;
    headerRow_ = putRow(cells);
  }
  void writeRow(std::span<const Cell> cells) override { putRow(cells); }

 private:
  // False when `done` is false: the sheet is then abandoned and named once
  // among the reports not written.
  bool ok(bool done) {
    if (!done && !failed_) {
      failed_ = true;
      place_.abandoned = true;
      session_.unwritten(book_.path() + " (" + name_ + ")");
    }
    return done && !failed_;
  }

  // A new row at the sheet's next row (0-based); -1 past the sheet's end.
  int addRow() {
    if (next_ >= platform::kSheetRows) {
      if (!full_) session_.log() << " シートの行数が上限を超えました [" << name_ << "]\n";
      full_ = true;
      return -1;
    }
    if (rows_.empty()) first_ = next_;
    rows_.resize(static_cast<size_t>(next_ - first_ + 1));
    return next_++;
  }
  void skipRows(int count) {
    next_ = std::min(next_ + count, platform::kSheetRows);
    if (rows_.empty()) return;
    rows_.resize(static_cast<size_t>(next_ - first_));
  }
  void cellAt(int row, int column, WorkbookCell cell) {
    std::vector<WorkbookCell>& cells = rows_[static_cast<size_t>(row - first_)];
    if (cells.size() <= static_cast<size_t>(column)) cells.resize(static_cast<size_t>(column) + 1);
    cells[static_cast<size_t>(column)] = std::move(cell);
  }
  int putRow(std::span<const Cell> cells) {
    if (rows_.size() >= kRowsPerTableBlock) flush();
    int row = addRow();
    if (row < 0) return row;
    for (size_t c = 0; c < cells.size(); ++c) cellAt(row, static_cast<int>(c), valueOf(cells[c]));
    return row;
  }

  // A number keeps its mark: the sheet shows it through the number format.
  WorkbookCell valueOf(const Cell& cell) const {
    if (cell.numberIn(format_) && cell.value >= INT_MIN && cell.value <= INT_MAX)
      return WorkbookCell::integer(static_cast<std::int32_t>(cell.value), cell.mark);
    if (!cell.list || cell.variesIn(format_)) {
      DigitBuffer digits;
      return WorkbookCell::of(cellText(cell, format_, digits));
    }
    std::string joined;
    bool first = true;
    for (const std::string& value : *cell.list) {
      if (cell.skipEmpty && value.empty()) continue;
      if (!first) joined += '\n';
      joined += value;
      first = false;
    }
    return WorkbookCell::of(joined);
  }

  void flushIfFull() {
    if (rows_.size() >= kRowsPerBlock) flush();
  }

  // The lines of the table's rows collected so far: with its header when
  // that is among them (a long table goes in several blocks).
  void frameTableRows() {
    int from = std::max(headerRow_, first_);
    if (headerRow_ < 0 || rows_.empty() || next_ <= from) return;
    int lastColumn = std::max<int>(1, static_cast<int>(table_->columns.size())) - 1;
    CellRange range{from, 0, next_ - 1, lastColumn};
    if (from == headerRow_)
      decorations_.push_back({Look::kTable, range, {headerRow_, 0, headerRow_, lastColumn}});
    else
      decorations_.push_back({Look::kFrame, range, {}});
  }

  // Filter buttons over a table with its header row in the sheet, from
  // that row to its last.
  void filter() {
    if (headerRow_ < 0 || failed_ || next_ <= headerRow_) return;
    int lastColumn = std::max<int>(1, static_cast<int>(table_->columns.size())) - 1;
    if (!selected_ && !ok(book_.selectSheet(name_))) return;
    selected_ = false;
    ok(book_.filterTable(platform::rangeText({headerRow_, 0, next_ - 1, lastColumn})));
  }

  // Puts the collected rows into the sheet as one block, then their looks.
  void flush() {
    if (inTable_) frameTableRows();
    // Rows left empty at the end are only a gap before what comes next.
    while (!rows_.empty() && rows_.back().empty()) rows_.pop_back();
    if (!rows_.empty() && !failed_) put();
    rows_.clear();
    decorations_.clear();
  }
  void put() {
    size_t columns = 1;
    for (const std::vector<WorkbookCell>& r : rows_) columns = std::max(columns, r.size());
    for (const Decoration& d : decorations_)
      columns = std::max(columns, static_cast<size_t>(d.range.lastColumn) + 1);
    platform::CellBlock block(static_cast<int>(rows_.size()), static_cast<int>(columns));
    for (size_t r = 0; r < rows_.size(); ++r)
      for (size_t c = 0; c < rows_[r].size(); ++c)
        block.at(static_cast<int>(r), static_cast<int>(c)) = std::move(rows_[r][c]);
    CellRange range{first_, 0, first_ + block.rows() - 1, block.columns() - 1};
    // Another sheet may have been written since this one was made.
    if (!selected_ && !ok(book_.selectSheet(name_))) return;
    selected_ = false;
    if (!ok(book_.putBlock(platform::rangeText(range), block))) return;
    for (const Decoration& d : decorations_) {
      std::string text = platform::rangeText(d.range);
      bool done = d.look == Look::kTable   ? book_.frameTable(text, platform::rangeText(d.header))
                  : d.look == Look::kFrame ? book_.frameBlock(text)
                                           : book_.shade(text);
      if (!ok(done)) return;
    }
  }

  ReportSession& session_;
  platform::Workbook& book_;
  const std::string name_;
  SheetPlace& place_;
  const Table* table_ = nullptr;
  const Form* form_ = nullptr;
  std::vector<std::vector<WorkbookCell>> rows_;  // from sheet row first_
  std::vector<Decoration> decorations_;
  int first_ = 0;
  int next_ = 0;                 // the next free row, from 0
  bool captionPending_ = false;  // a caption waits for its table
  int headerRow_ = -1;
  int blockFirst_ = 0;
  int fieldsFirst_ = -1;
  bool inTable_ = false;
  bool selected_ = false;  // the sheet is current in the workbook
  bool failed_ = false;
  bool full_ = false;
};

}  // namespace

std::unique_ptr<ReportWriter> makeSheetWriter(ReportSession& session, const SheetLayout& layout,
                                              std::ostream& unused) {
  return std::make_unique<SheetWriter>(session, layout, unused);
}
