// The CSV form: fields joined by ",", unquoted and unescaped unless the
// column asks for double quotes; a list is one field per value, each
// followed by ",".
#include "report/report_writer_internal.h"

namespace {

class CsvWriter : public PlainWriter {
 public:
  explicit CsvWriter(std::ostream& out) : PlainWriter(ReportFormat::kCsv, out) {}

  void field(std::string_view label, const Cell& value, bool omitEmpty) override;

 protected:
  void writeHeading(std::span<const Cell> cells) override;
  void writeRow(std::span<const Cell> cells) override;

 private:
  // The values of a list, each followed by ",".
  void writeList(const Cell& cell, bool separated);
};

void CsvWriter::writeHeading(std::span<const Cell> cells) {
  if (!(table_->heading & kCsvForm)) return;
  for (size_t i = 0; i < cells.size(); ++i) {
    if (i) put(',');
    put(cells[i].textIn(format_));
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
    const std::string_view quote = (table_->columns[i].flags & kQuoted) ? "\"" : "";
    DigitBuffer digits;
    if (i) put(',');
    put(quote);
    put(cell.mark);
    put(cellText(cell, format_, digits));
    put(quote);
  }
  put('\n');
}

void CsvWriter::writeList(const Cell& cell, bool separated) {
  for (const std::string& value : *cell.list) {
    if (cell.skipEmpty && value.empty()) continue;
    if (separated) put(',');
    put(value);
    put(',');
    separated = false;
  }
}

void CsvWriter::field(std::string_view label, const Cell& value, bool) {
  if (value.list) {
    if (value.list->empty()) return;
    put(label);
    writeList(value, true);
    put('\n');
    return;
  }
  DigitBuffer digits;
  put(label);
  put(',');
  put(cellText(value, format_, digits));
  put('\n');
}

}  // namespace

std::unique_ptr<ReportWriter> makeCsvWriter(std::ostream& out) {
  return std::make_unique<CsvWriter>(out);
}
