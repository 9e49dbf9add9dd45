// The writers that turn a report's description (report_model.h) into the
// bytes of one format: text (box characters or "PC-98x1" dots), HTML and
// CSV, or into a sheet of the workbook. A producer calls the same sequence
// whatever the format:
//   beginPage, then captions, tables (beginTable, heading, row…, endTable),
//   blocks (beginBlock, field…, endBlock) or drawn lines (beginLines, the
//   line's content on text(), endLine…, endLines), then endPage.
// A writer writes into a stream it does not own, call by call; it keeps the
// Table or Form of the part being written by reference, so those must
// outlive the part (they are constants of the producers).
#pragma once

#include <initializer_list>
#include <memory>
#include <ostream>
#include <span>
#include <string_view>

#include "report/report_model.h"

class ReportWriter {
 public:
  ReportWriter(ReportFormat format, std::ostream& out) : format_(format), out_(out) {}
  virtual ~ReportWriter() = default;
  ReportWriter(const ReportWriter&) = delete;
  ReportWriter& operator=(const ReportWriter&) = delete;

  ReportFormat format() const { return format_; }

  // The page around everything: the HTML head and end; nothing elsewhere.
  virtual void beginPage(std::string_view title) = 0;
  virtual void endPage() = 0;
  // True when endPage writes something (a page appended to section by
  // section needs its end once the last section is in).
  virtual bool pageHasEnd() const = 0;

  // A section title; a cell for the forms that word it otherwise.
  void caption(const Caption& style, std::string_view text) { writeCaption(style, text); }
  void caption(const Caption& style, const Cell& text) {
    writeCaption(style, text.textIn(format_));
  }
  // A line written as it is, by the formats in `forms` only.
  virtual void literal(std::string_view line, FormatSet forms) = 0;

  virtual void beginTable(const Table& table) = 0;
  void heading(std::initializer_list<Cell> cells) { writeHeading({cells.begin(), cells.size()}); }
  void heading(std::span<const Cell> cells) { writeHeading(cells); }
  void row(std::initializer_list<Cell> cells) { writeRow({cells.begin(), cells.size()}); }
  void row(std::span<const Cell> cells) { writeRow(cells); }
  virtual void endTable() = 0;

  virtual void beginBlock(const Form& form, const BlockNote& note) = 0;
  // A list value that is empty leaves its line out when `omitEmpty`; CSV
  // always leaves it out.
  virtual void field(std::string_view label, const Cell& value, bool omitEmpty = false) = 0;
  virtual void endBlock() = 0;

  virtual void beginLines() = 0;
  // The content of the current drawn line: names and the drawing pieces,
  // as the text and CSV forms write them; HTML escapes them.
  std::ostream& text() { return *text_; }
  virtual void endLine() = 0;
  virtual void endLines() = 0;

 protected:
  virtual void writeCaption(const Caption& style, std::string_view text) = 0;
  virtual void writeHeading(std::span<const Cell> cells) = 0;
  virtual void writeRow(std::span<const Cell> cells) = 0;

  // Straight into the stream's buffer: a row is many small pieces, and
  // each insertion through the stream would check its state again.
  void put(std::string_view text) {
    if (!text.empty()) out_.rdbuf()->sputn(text.data(), static_cast<std::streamsize>(text.size()));
  }
  void put(char c) { out_.rdbuf()->sputc(c); }
  void putSpaces(int count);

  const ReportFormat format_;
  std::ostream& out_;
  std::ostream* text_ = &out_;  // what text() hands out
};

using ReportWriterMaker = std::unique_ptr<ReportWriter> (*)(ReportFormat written,
                                                            const ReportStyle& style,
                                                            std::ostream& out);

// The writer of format `written` (as the catalogue gives it for the chosen
// format) into a stream; null for the workbook, whose sheets have their
// writer in sheet_writer.h.
std::unique_ptr<ReportWriter> makeReportWriter(ReportFormat written, const ReportStyle& style,
                                               std::ostream& out);
