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
  for (size_t i = 0; i < cells.size(); ++i) out_ << (i ? "," : "") << cells[i].textIn(format_);
  out_ << '\n';
}

// A list that writes no value takes no separator either.
void CsvWriter::writeRow(std::span<const Cell> cells) {
  for (size_t i = 0; i < cells.size(); ++i) {
    const Cell& cell = cells[i];
    if (cell.list) {
      writeList(cell, i > 0);
      continue;
    }
    const char* quote = (table_->columns[i].flags & kQuoted) ? "\"" : "";
    DigitBuffer digits;
    out_ << (i ? "," : "") << quote << cell.mark << cellText(cell, format_, digits) << quote;
  }
  out_ << '\n';
}

void CsvWriter::writeList(const Cell& cell, bool separated) {
  for (const std::string& value : *cell.list) {
    if (cell.skipEmpty && value.empty()) continue;
    if (separated) out_ << ',';
    out_ << value << ',';
    separated = false;
  }
}

void CsvWriter::field(std::string_view label, const Cell& value, bool) {
  if (value.list) {
    if (value.list->empty()) return;
    out_ << label;
    writeList(value, true);
    out_ << '\n';
    return;
  }
  DigitBuffer digits;
  out_ << label << ',' << cellText(value, format_, digits) << '\n';
}

}  // namespace

std::unique_ptr<ReportWriter> makeCsvWriter(std::ostream& out) {
  return std::make_unique<CsvWriter>(out);
}
