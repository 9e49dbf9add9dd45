#include "report/report_writer.h"

#include <charconv>
#include <string>

#include "report/report_writer_internal.h"

std::unique_ptr<ReportWriter> makeReportWriter(ReportFormat written, const ReportStyle& style,
                                               std::ostream& out) {
  switch (written) {
    case ReportFormat::kText:
      return makeTextWriter(style, out);
    case ReportFormat::kHtml:
      return makeHtmlWriter(style, out);
    case ReportFormat::kCsv:
      return makeCsvWriter(out);
    case ReportFormat::kWorkbook:
    case ReportFormat::kJson:
    case ReportFormat::kDot:
      return nullptr;
  }
  return nullptr;
}

void ReportWriter::putSpaces(int count) {
  static constexpr std::string_view kBlanks = "                                ";
  for (; count > 0; count -= static_cast<int>(kBlanks.size()))
    put(kBlanks.substr(0, static_cast<size_t>(count) < kBlanks.size() ? count : kBlanks.size()));
}

LinePieces linePieces(bool pc98Lines, ReportFormat written) {
  std::string_view blank = written == ReportFormat::kHtml ? "　" : "  ";
  if (pc98Lines) return {"・", "・", "・", "・", "・", blank};
  return {"│", "├", "└", "─", "┼", blank};
}

std::string_view decimal(long long number, DigitBuffer& buffer) {
  auto result = std::to_chars(buffer, buffer + sizeof buffer, number);
  return {buffer, static_cast<size_t>(result.ptr - buffer)};
}

std::string_view cellText(const Cell& cell, ReportFormat format, DigitBuffer& buffer) {
  return cell.numberIn(format) ? decimal(cell.value, buffer) : cell.textIn(format);
}

void PlainWriter::writeCaption(const Caption& style, std::string_view text) {
  const std::string rule(static_cast<size_t>(style.rule), '-');
  if (style.blankBefore) put('\n');
  put(rule);
  put('\n');
  putLine(text);
  put('\n');
  put(rule);
  put('\n');
}

void PlainWriter::literal(std::string_view line, FormatSet forms) {
  if (!(forms & formatBit(format_))) return;
  putLine(line);
  put('\n');
}

void PlainWriter::beginBlock(const Form& form, const BlockNote& note) {
  form_ = &form;
  if (note) put(*note);
}

void PlainWriter::blankLines(const Spacing& after) {
  int count = format_ == ReportFormat::kCsv ? after.csv : after.text;
  for (int i = 0; i < count; ++i) put('\n');
}
