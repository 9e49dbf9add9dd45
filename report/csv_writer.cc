// The CSV form: fields joined by ","; a list is one field per value, each
// followed by ",". A field that holds a comma, a double quote or a line
// break is enclosed in double quotes with its quotes doubled (RFC 4180), as
// is every field of a column that asks for quotes; the others are written
// as they are, so that a report without such text keeps its bytes. A
// caption, a literal line and each line of a block note are one field.
#include <algorithm>

#include "report/report_writer_internal.h"

namespace {

bool needsQuotes(std::string_view text) {
  return text.find_first_of(",\"\r\n") != std::string_view::npos;
}

class CsvWriter : public PlainWriter {
 public:
  explicit CsvWriter(std::ostream& out) : PlainWriter(ReportFormat::kCsv, out) {}

  void beginBlock(const Form& form, const BlockNote& note) override;
  void field(std::string_view label, const Cell& value, bool omitEmpty) override;

 protected:
  void putLine(std::string_view text) override { putField(text); }
  void writeHeading(std::span<const Cell> cells) override;
  void writeRow(std::span<const Cell> cells) override;

 private:
  // One field made of `head` and `tail` (a mark and its value).
  void putField(std::string_view head, std::string_view tail = {}, bool quoted = false);
  void putQuoted(std::string_view text);
  // A value and the field that follows it, if any.
  void putValue(const Cell& cell, std::string_view mark, bool quoted);
  // The values of a list, each followed by ",".
  void writeList(const Cell& cell, bool separated);
};

void CsvWriter::putField(std::string_view head, std::string_view tail, bool quoted) {
  if (!quoted && !needsQuotes(head) && !needsQuotes(tail)) {
    put(head);
    put(tail);
    return;
  }
  put('"');
  putQuoted(head);
  putQuoted(tail);
  put('"');
}

void CsvWriter::putQuoted(std::string_view text) {
  for (size_t quote; (quote = text.find('"')) != std::string_view::npos;) {
    put(text.substr(0, quote + 1));
    put('"');
    text.remove_prefix(quote + 1);
  }
  put(text);
}

void CsvWriter::putValue(const Cell& cell, std::string_view mark, bool quoted) {
  DigitBuffer digits;
  putField(mark, cellText(cell, format_, digits), quoted);
  if (cell.csvNext.empty()) return;
  put(',');
  putField(cell.csvNext);
}

void CsvWriter::writeHeading(std::span<const Cell> cells) {
  if (!(table_->heading & kCsvForm)) return;
  for (size_t i = 0; i < cells.size(); ++i) {
    if (i) put(',');
    putField(cells[i].textIn(format_));
  }
  put('\n');
}

// A list that writes no value takes no separator either.
void CsvWriter::writeRow(std::span<const Cell> cells) {
  for (size_t i = 0; i < cells.size(); ++i) {
    const Cell& cell = cells[i];
    if (cell.list) {
      writeList(cell, i > 0);
      continue;
    }
    if (i) put(',');
    putValue(cell, cell.mark, (table_->columns[i].flags & kQuoted) != 0);
  }
  put('\n');
}

void CsvWriter::writeList(const Cell& cell, bool separated) {
  for (const std::string& value : *cell.list) {
    if (cell.skipEmpty && value.empty()) continue;
    if (separated) put(',');
    putField(value);
    put(',');
    separated = false;
  }
}

void CsvWriter::beginBlock(const Form& form, const BlockNote& note) {
  form_ = &form;
  if (!note) return;
  // A note that does not end its last line gets a line end: the block's
  // first line is a record of its own.
  for (std::string_view rest = *note; !rest.empty();) {
    size_t end = std::min(rest.find('\n'), rest.size());
    putField(rest.substr(0, end));
    put('\n');
    rest.remove_prefix(std::min(end + 1, rest.size()));
  }
}

void CsvWriter::field(std::string_view label, const Cell& value, bool) {
  if (value.list) {
    if (value.list->empty()) return;
    putField(label);
    writeList(value, true);
    put('\n');
    return;
  }
  putField(label);
  put(',');
  putValue(value, {}, false);
  put('\n');
}

}  // namespace

std::unique_ptr<ReportWriter> makeCsvWriter(std::ostream& out) {
  return std::make_unique<CsvWriter>(out);
}
