// The HTML form: one page head shared by every report, tables of one
// line per cell, lists joined by "<br>", drawn lines in a paragraph of the
// fixed-width font. Text is Shift-JIS and written as it is; only the three
// markup characters of a plain text cell are escaped.
#include <string>

#include "report/report_writer_internal.h"

namespace {

constexpr std::string_view kRowStart = "    <tr>\n";
constexpr std::string_view kRowEnd = "    </tr>\n";
constexpr std::string_view kCellEnd = "</td>\n";
constexpr std::string_view kWideBlank = "　";
constexpr std::string_view kBreak = "<br>";
// The two cells of a block's line.
constexpr std::string_view kLabelWidth = "20%";
constexpr std::string_view kValueWidth = "80%";

void writeHtmlHead(std::ostream& out, std::string_view title) {
  out << "<html>\n"
      << "\n"
      << "<head>\n"
      << "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=x-sjis\">\n"
      << "<meta name=\"author\" content=\"ＯＲＵＮＯＫＡ\">\n"
      << "<title>" << title << "</title>\n"
      << "</head>\n"
      << "\n"
      << "<body bgcolor=\"#FFFFFF\" link=\"#0000FF\" vlink=\"#800080\">\n"
      << "\n"
      << "<p align=\"center\"><font size=\"6\" face=\"ＭＳ ゴシック\">" << title << "</font></p>\n"
      << "\n";
}

// Its text unescaped.
void headerCell(std::ostream& out, std::string_view width, std::string_view text) {
  out << "        <td align=\"center\" valign=\"top\" width=\"" << width
      << "\" bgcolor=\"#00FFFF\">" << text << kCellEnd;
}

void numberCell(std::ostream& out, std::string_view width, std::string_view digits) {
  out << "        <td align=\"right\" valign=\"top\" width=\"" << width << "\">" << digits
      << kCellEnd;
}

void markupCell(std::ostream& out, std::string_view width, std::string_view markup) {
  out << "        <td valign=\"top\" width=\"" << width << "\">" << markup << kCellEnd;
}

void writeEscaped(std::ostream& out, std::string_view text) {
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const char* entity = text[i] == '&'   ? "&amp;"
                         : text[i] == '<' ? "&lt;"
                         : text[i] == '>' ? "&gt;"
                                          : nullptr;
    if (!entity) continue;
    out << text.substr(start, i - start) << entity;
    start = i + 1;
  }
  out << text.substr(start);
}

// An empty text becomes a full-width blank, so that the browser draws the
// cell; text holding both '<' and '>' is markup already: it goes out
// unchanged, and the cell's end starts the next line.
void textCell(std::ostream& out, std::string_view width, std::string_view text) {
  out << "        <td valign=\"top\" width=\"" << width << "\">";
  if (text.empty())
    out << kWideBlank;
  else if (text.find('<') != std::string_view::npos && text.find('>') != std::string_view::npos)
    out << text << '\n';
  else
    writeEscaped(out, text);
  out << kCellEnd;
}

// The values of a list joined by line breaks; a list that leaves out empty
// values still starts with its first.
std::string joined(const Cell& cell) {
  std::string text;
  const std::vector<std::string>& values = *cell.list;
  for (size_t i = 0; i < values.size(); ++i) {
    if (i > 0 && cell.skipEmpty && values[i].empty()) continue;
    if (i > 0) text += kBreak;
    text += values[i];
  }
  return text;
}

class HtmlWriter : public ReportWriter {
 public:
  explicit HtmlWriter(std::ostream& out) : ReportWriter(ReportFormat::kHtml, out) {}

  void beginPage(std::string_view title) override;
  void endPage() override { out_ << "</body>\n</html>\n"; }
  bool pageHasEnd() const override { return true; }
  void caption(const Caption&, std::string_view text) override {
    out_ << "<p>" << text << "</p>\n";
  }
  void literal(std::string_view line, FormatSet forms) override {
    if (forms & kHtmlForm) out_ << line << '\n';
  }

  void beginTable(const Table& table) override {
    table_ = &table;
    out_ << "<table " << table.html << ">\n";
  }
  void endTable() override { writeTableEnd(table_->after); }

  void beginBlock(const Form& form, const BlockNote& note) override;
  void field(std::string_view label, const Cell& value, bool omitEmpty) override;
  void endBlock() override { writeTableEnd(form_->after); }

  void beginLines() override { out_ << "<p><font face=\"ＭＳ ゴシック\">"; }
  void endLine() override { out_ << kBreak << '\n'; }
  void endLines() override { out_ << "</font></p>\n"; }

 protected:
  void writeHeading(std::span<const Cell> cells) override;
  void writeRow(std::span<const Cell> cells) override;

 private:
  void writeCell(std::string_view width, const Cell& cell);
  void writeTableEnd(const Spacing& after);

  const Table* table_ = nullptr;
  const Form* form_ = nullptr;
};

void HtmlWriter::beginPage(std::string_view title) { writeHtmlHead(out_, title); }

void HtmlWriter::writeTableEnd(const Spacing& after) {
  out_ << "</table>\n";
  for (int i = 0; i < after.htmlBreaks; ++i) out_ << kBreak << '\n';
  for (int i = 0; i < after.htmlLines; ++i) out_ << '\n';
}

void HtmlWriter::writeHeading(std::span<const Cell> cells) {
  if (!(table_->heading & kHtmlForm)) return;
  out_ << kRowStart;
  for (size_t i = 0; i < cells.size(); ++i)
    headerCell(out_, table_->columns[i].html, cells[i].textIn(format_));
  out_ << kRowEnd;
}

void HtmlWriter::writeRow(std::span<const Cell> cells) {
  out_ << kRowStart;
  for (size_t i = 0; i < cells.size(); ++i)
    writeCell(cells[i].htmlWidth.empty() ? table_->columns[i].html : cells[i].htmlWidth, cells[i]);
  out_ << kRowEnd;
}

// A list is empty only when it has no values at all.
void HtmlWriter::writeCell(std::string_view width, const Cell& cell) {
  std::string list;
  DigitBuffer digits;
  std::string_view text = cell.list ? (list = joined(cell)) : cellText(cell, format_, digits);
  bool empty = cell.list ? cell.list->empty() : text.empty();
  switch (cell.kind) {
    case CellKind::kNumber:
      return numberCell(out_, width, text);
    case CellKind::kMarkup:
      return markupCell(out_, width, empty ? kWideBlank : text);
    case CellKind::kText:
      return textCell(out_, width, text);
  }
}

void HtmlWriter::beginBlock(const Form& form, const BlockNote& note) {
  form_ = &form;
  out_ << "<table " << form.html << ">\n";
  if (!note) return;
  out_ << kRowStart << "        <th align=\"left\" valign=\"top\" colspan=\"2\">";
  if (note->empty())
    out_ << kWideBlank;
  else
    out_ << "<pre>" << *note << "</pre>\n";
  out_ << "</th>\n" << kRowEnd;
}

void HtmlWriter::field(std::string_view label, const Cell& value, bool omitEmpty) {
  if (value.list && value.list->empty() && omitEmpty) return;
  out_ << kRowStart;
  textCell(out_, kLabelWidth, label);
  writeCell(kValueWidth, value);
  out_ << kRowEnd;
}

}  // namespace

std::unique_ptr<ReportWriter> makeHtmlWriter(std::ostream& out) {
  return std::make_unique<HtmlWriter>(out);
}
