// The text form: fixed-width columns counted in bytes (a Shift-JIS
// double-byte character is two bytes and two columns), bars and rules from
// the line style, blocks of "■label：value" lines.
#include <string>

#include "report/report_writer_internal.h"
#include "report/text_layout.h"

namespace {

constexpr std::string_view kBlockMark = "■";
constexpr std::string_view kLabelEnd = "：";
constexpr std::string_view kWideBlank = "　";

class TextWriter : public PlainWriter {
 public:
  TextWriter(const ReportStyle& style, std::ostream& out)
      : PlainWriter(ReportFormat::kText, out),
        pieces_(linePieces(style.pc98Lines, ReportFormat::kText)) {}

  void field(std::string_view label, const Cell& value, bool omitEmpty) override;

 protected:
  void writeHeading(std::span<const Cell> cells) override;
  void writeRow(std::span<const Cell> cells) override;

 private:
  void writeCell(const Column& column, const Cell& cell, bool last);
  void writeRule();
  void writeListLines(const Column& column, const Cell& cell);
  // One full-width blank per two columns.
  void wideBlanks(int columns) { padWithBlanks(out_, columns, kWideBlank); }

  LinePieces pieces_;
  int carry_ = 0;  // overflow of the current line not yet taken back
};

void TextWriter::writeHeading(std::span<const Cell> cells) {
  if (!(table_->heading & kTextForm)) return;
  const std::span<const Column> columns = table_->columns;
  for (size_t i = 0; i < cells.size(); ++i) {
    if (columns[i].flags & kBar) put(pieces_.vertical);
    std::string_view title = cells[i].textIn(format_);
    put(title);
    if (i + 1 < cells.size()) putSpaces(columns[i].width - static_cast<int>(title.size()));
  }
  put('\n');
  writeRule();
}

// Two columns a piece, and a cross where a bar stands.
void TextWriter::writeRule() {
  for (const Column& column : table_->columns) {
    if (column.flags & kBar) put(pieces_.cross);
    for (int i = 0; i < column.width / 2; ++i) put(pieces_.rule);
  }
  put('\n');
}

// A list cell has no text on the row's line: its values follow it, one line
// each.
void TextWriter::writeRow(std::span<const Cell> cells) {
  const std::span<const Column> columns = table_->columns;
  carry_ = 0;
  const Cell* list = nullptr;
  const Column* listColumn = nullptr;
  for (size_t i = 0; i < cells.size(); ++i) {
    if (cells[i].list) {
      list = &cells[i];
      listColumn = &columns[i];
      continue;
    }
    if (columns[i].flags & kBar) put(pieces_.vertical);
    put(columns[i].before);
    writeCell(columns[i], cells[i], i + 1 == cells.size());
  }
  put('\n');
  if (list) writeListLines(*listColumn, *list);
}

void TextWriter::writeListLines(const Column& column, const Cell& cell) {
  for (const std::string& value : *cell.list) {
    if (cell.skipEmpty && value.empty()) continue;
    put(column.listPrefix);
    put(value);
    put('\n');
  }
}

// The mark goes before the padding of a right-aligned cell, the text after
// it; a left-aligned last cell is not padded at all.
void TextWriter::writeCell(const Column& column, const Cell& cell, bool last) {
  DigitBuffer digits;
  std::string_view text = cellText(cell, format_, digits);
  const int length = static_cast<int>(cell.mark.size() + text.size() + column.after.size());
  int pad = column.width - length;
  if ((column.flags & kGap) && pad < 1) pad = 1;
  if (column.flags & kAbsorbsWhole) {
    if (pad >= carry_) {
      pad -= carry_;
      carry_ = 0;
    }
  } else if ((column.flags & kAbsorbs) && pad > 0) {
    int taken = pad < carry_ ? pad : carry_;
    pad -= taken;
    carry_ -= taken;
  }
  const int written = length + (pad > 0 ? pad : 0);
  if ((column.flags & kSpills) && written > column.width) carry_ += written - column.width;
  put(cell.mark);
  if (column.right) putSpaces(pad);
  put(text);
  put(column.after);
  if (!column.right && !last) putSpaces(pad);
}

// "■" and the label padded with full-width blanks; the values of a list
// after the first each on a line of their own, under blanks as wide.
void TextWriter::field(std::string_view label, const Cell& value, bool omitEmpty) {
  if (value.list && value.list->empty() && omitEmpty) return;
  put(kBlockMark);
  put(label);
  wideBlanks(form_->labelWidth - static_cast<int>(label.size()));
  put(kLabelEnd);
  if (!value.list) {
    DigitBuffer digits;
    put(cellText(value, format_, digits));
    put('\n');
    return;
  }
  for (size_t i = 0; i < value.list->size(); ++i) {
    if (i > 0) {
      put('\n');
      wideBlanks(form_->labelWidth + static_cast<int>(kBlockMark.size()));
      put(kLabelEnd);
    }
    put((*value.list)[i]);
  }
  put('\n');
}

}  // namespace

std::unique_ptr<ReportWriter> makeTextWriter(const ReportStyle& style, std::ostream& out) {
  return std::make_unique<TextWriter>(style, out);
}
