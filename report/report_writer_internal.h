// Internal to the report writers (report_writer.h), by the file that
// defines each part.
#pragma once

#include <memory>
#include <ostream>
#include <string_view>

#include "report/report_writer.h"

// ---- report_writer.cc

// What the text and CSV forms share: no page frame, captions between rules
// of '-', literal lines, block notes, blank lines after tables and blocks,
// and drawn lines ended by line feeds alone.
class PlainWriter : public ReportWriter {
 public:
  using ReportWriter::ReportWriter;
  void beginPage(std::string_view) override {}
  void endPage() override {}
  bool pageHasEnd() const override { return false; }
  void writeCaption(const Caption& style, std::string_view text) override;
  void literal(std::string_view line, FormatSet forms) override;
  void beginTable(const Table& table) override { table_ = &table; }
  void endTable() override { blankLines(table_->after); }
  void beginBlock(const Form& form, const BlockNote& note) override;
  void endBlock() override { blankLines(form_->after); }
  void beginLines() override {}
  void endLine() override { put('\n'); }
  void endLines() override {}

 protected:
  // A caption's text or a literal line, before its line end.
  virtual void putLine(std::string_view text) { put(text); }

  const Table* table_ = nullptr;
  const Form* form_ = nullptr;

 private:
  void blankLines(const Spacing& after);
};

// The decimal digits of `number`, written into `buffer`.
using DigitBuffer = char[24];
std::string_view decimal(long long number, DigitBuffer& buffer);

// The text a cell shows in `format`: its own text or its digits.
std::string_view cellText(const Cell& cell, ReportFormat format, DigitBuffer& buffer);

// ---- text_writer.cc
std::unique_ptr<ReportWriter> makeTextWriter(const ReportStyle& style, std::ostream& out);

// ---- csv_writer.cc
std::unique_ptr<ReportWriter> makeCsvWriter(std::ostream& out);

// ---- html_writer.cc
std::unique_ptr<ReportWriter> makeHtmlWriter(const ReportStyle& style, std::ostream& out);
