// For report tests: a writer that records what a producer describes, in
// place of the writers of every format while a RowDump lives. The report
// file then holds one line per part:
//   "page: T", "caption: T", "head: …", "row: …", "literal: T",
//   "block: NOTE" ("block" without a note), "label: …", "end".
// Cells are joined by " | ": a number as "#12" (a text of the number kind
// "#-"), markup as "~T", a list as "[a, b]" ("[a, b]*" when it leaves out
// empty values), a mark before the value ("×#4"), the texts that forms
// word differently as " {t: …, h: …, c: …}" and an HTML width as " @17%".
// A field whose list is left out when empty ends in "(omitted when
// empty)". Line feeds in texts show as "\n"; lines are written as they are.
#pragma once

#include <memory>
#include <ostream>
#include <string>

#include "report/report_session.h"
#include "report/report_writer.h"

class RowDumpWriter : public ReportWriter {
 public:
  explicit RowDumpWriter(std::ostream& out) : ReportWriter(ReportFormat::kText, out) {}
  void beginPage(std::string_view title) override { line("page: ", title); }
  void endPage() override {}
  bool pageHasEnd() const override { return false; }
  void writeCaption(const Caption&, std::string_view text) override { line("caption: ", text); }
  void literal(std::string_view text, FormatSet) override { line("literal: ", text); }
  void beginTable(const Table&) override {}
  void endTable() override { out_ << "end\n"; }
  void beginBlock(const Form&, const BlockNote& note) override {
    note ? line("block: ", *note) : line("block", "");
  }
  void field(std::string_view label, const Cell& value, bool omitEmpty) override {
    out_ << label << ": " << show(value) << (omitEmpty ? " (omitted when empty)" : "") << '\n';
  }
  void endBlock() override { out_ << "end\n"; }
  void beginLines() override {}
  void endLine() override { out_ << '\n'; }
  void endLines() override {}

 protected:
  void writeHeading(std::span<const Cell> cells) override { cellLine("head: ", cells); }
  void writeRow(std::span<const Cell> cells) override { cellLine("row: ", cells); }

 private:
  static std::string escaped(std::string_view text) {
    std::string out;
    for (char c : text) out += c == '\n' ? std::string("\\n") : std::string(1, c);
    return out;
  }
  static std::string show(const Cell& c) {
    std::string out(c.mark);
    if (c.kind == CellKind::kNumber) out += '#';
    if (c.kind == CellKind::kInline) out += '~';
    if (c.list) {
      out += '[';
      for (size_t i = 0; i < c.list->size(); ++i) out += (i ? ", " : "") + (*c.list)[i];
      out += c.skipEmpty ? "]*" : "]";
    } else {
      out += c.hasNumber ? std::to_string(c.value) : escaped(c.text);
    }
    // The sheet's own words are checked where a workbook is read back.
    const char* names[] = {"t", "h", "c"};
    std::string forms;
    for (int f = 0; f < 3; ++f)
      if ((c.varied & (1u << f)) && c.forms[f] != c.text)
        forms += (forms.empty() ? "" : ", ") + std::string(names[f]) + ": " + escaped(c.forms[f]);
    if (!c.csvNext.empty())
      forms += (forms.empty() ? "" : ", ") + std::string("c next: ") + escaped(c.csvNext);
    if (!forms.empty()) out += " {" + forms + "}";
    if (!c.htmlWidth.empty()) out += " @" + std::string(c.htmlWidth);
    return out;
  }
  void line(const char* tag, std::string_view text) { out_ << tag << escaped(text) << '\n'; }
  void cellLine(const char* tag, std::span<const Cell> cells) {
    out_ << tag;
    for (size_t i = 0; i < cells.size(); ++i) out_ << (i ? " | " : "") << show(cells[i]);
    out_ << '\n';
  }
};

// Installs the dump in a session for its lifetime.
class RowDump {
 public:
  explicit RowDump(ReportSession& session) : session_(session) {
    session_.replaceWriters(
        [](ReportFormat, const ReportStyle&, std::ostream& out) -> std::unique_ptr<ReportWriter> {
          return std::make_unique<RowDumpWriter>(out);
        });
  }
  ~RowDump() { session_.replaceWriters(nullptr); }
  RowDump(const RowDump&) = delete;
  RowDump& operator=(const RowDump&) = delete;

 private:
  ReportSession& session_;
};
