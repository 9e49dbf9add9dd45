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

  void beginPage(std::string_view title) override { writeHtmlHead(out_, title); }
  void endPage() override { put("</body>\n</html>\n"); }
  bool pageHasEnd() const override { return true; }
  void writeCaption(const Caption&, std::string_view text) override {
    put("<p>");
    put(text);
    put("</p>\n");
  }
  void literal(std::string_view line, FormatSet forms) override {
    if (!(forms & kHtmlForm)) return;
    put(line);
    put('\n');
  }

  void beginTable(const Table& table) override {
    table_ = &table;
    tableStart(table.html);
  }
  void endTable() override { writeTableEnd(table_->after); }

  void beginBlock(const Form& form, const BlockNote& note) override;
  void field(std::string_view label, const Cell& value, bool omitEmpty) override;
  void endBlock() override { writeTableEnd(form_->after); }

  void beginLines() override { put("<p><font face=\"ＭＳ ゴシック\">"); }
  void endLine() override {
    put(kBreak);
    put('\n');
  }
  void endLines() override { put("</font></p>\n"); }

 protected:
  void writeHeading(std::span<const Cell> cells) override;
  void writeRow(std::span<const Cell> cells) override;

 private:
  void tableStart(std::string_view attributes) {
    put("<table ");
    put(attributes);
    put(">\n");
  }
  void cellStart(std::string_view attributes, std::string_view width) {
    put("        <td ");
    put(attributes);
    put("width=\"");
    put(width);
    put("\">");
  }
  void headerCell(std::string_view width, std::string_view text);
  void numberCell(std::string_view width, std::string_view digits);
  void markupCell(std::string_view width, std::string_view markup);
  void textCell(std::string_view width, std::string_view text);
  void writeEscaped(std::string_view text);
  void writeCell(std::string_view width, const Cell& cell);
  void writeTableEnd(const Spacing& after);

  const Table* table_ = nullptr;
  const Form* form_ = nullptr;
};

// Its text unescaped.
void HtmlWriter::headerCell(std::string_view width, std::string_view text) {
  put("        <td align=\"center\" valign=\"top\" width=\"");
  put(width);
  put("\" bgcolor=\"#00FFFF\">");
  put(text);
  put(kCellEnd);
}

void HtmlWriter::numberCell(std::string_view width, std::string_view digits) {
  cellStart("align=\"right\" valign=\"top\" ", width);
  put(digits);
  put(kCellEnd);
}

void HtmlWriter::markupCell(std::string_view width, std::string_view markup) {
  cellStart("valign=\"top\" ", width);
  put(markup);
  put(kCellEnd);
}

// An empty text becomes a full-width blank, so that the browser draws the
// cell; text holding both '<' and '>' is markup already: it goes out
// unchanged, and the cell's end starts the next line.
void HtmlWriter::textCell(std::string_view width, std::string_view text) {
  cellStart("valign=\"top\" ", width);
  if (text.empty()) {
    put(kWideBlank);
  } else if (text.find('<') != std::string_view::npos && text.find('>') != std::string_view::npos) {
    put(text);
    put('\n');
  } else {
    writeEscaped(text);
  }
  put(kCellEnd);
}

void HtmlWriter::writeEscaped(std::string_view text) {
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const char* entity = text[i] == '&'   ? "&amp;"
                         : text[i] == '<' ? "&lt;"
                         : text[i] == '>' ? "&gt;"
                                          : nullptr;
    if (!entity) continue;
    put(text.substr(start, i - start));
    put(entity);
    start = i + 1;
  }
  put(text.substr(start));
}

void HtmlWriter::writeTableEnd(const Spacing& after) {
  put("</table>\n");
  for (int i = 0; i < after.htmlBreaks; ++i) {
    put(kBreak);
    put('\n');
  }
  for (int i = 0; i < after.htmlLines; ++i) put('\n');
}

void HtmlWriter::writeHeading(std::span<const Cell> cells) {
  if (!(table_->heading & kHtmlForm)) return;
  put(kRowStart);
  for (size_t i = 0; i < cells.size(); ++i)
    headerCell(table_->columns[i].html, cells[i].textIn(format_));
  put(kRowEnd);
}

void HtmlWriter::writeRow(std::span<const Cell> cells) {
  put(kRowStart);
  for (size_t i = 0; i < cells.size(); ++i)
    writeCell(cells[i].htmlWidth.empty() ? table_->columns[i].html : cells[i].htmlWidth, cells[i]);
  put(kRowEnd);
}

// A list is empty only when it has no values at all.
void HtmlWriter::writeCell(std::string_view width, const Cell& cell) {
  std::string list;
  DigitBuffer digits;
  std::string_view text = cell.list ? (list = joined(cell)) : cellText(cell, format_, digits);
  bool empty = cell.list ? cell.list->empty() : text.empty();
  switch (cell.kind) {
    case CellKind::kNumber:
      return numberCell(width, text);
    case CellKind::kMarkup:
      return markupCell(width, empty ? kWideBlank : text);
    case CellKind::kText:
      return textCell(width, text);
  }
}

void HtmlWriter::beginBlock(const Form& form, const BlockNote& note) {
  form_ = &form;
  tableStart(form.html);
  if (!note) return;
  put(kRowStart);
  put("        <th align=\"left\" valign=\"top\" colspan=\"2\">");
  if (note->empty()) {
    put(kWideBlank);
  } else {
    put("<pre>");
    put(*note);
    put("</pre>\n");
  }
  put("</th>\n");
  put(kRowEnd);
}

void HtmlWriter::field(std::string_view label, const Cell& value, bool omitEmpty) {
  if (value.list && value.list->empty() && omitEmpty) return;
  put(kRowStart);
  textCell(kLabelWidth, label);
  writeCell(kValueWidth, value);
  put(kRowEnd);
}

}  // namespace

std::unique_ptr<ReportWriter> makeHtmlWriter(std::ostream& out) {
  return std::make_unique<HtmlWriter>(out);
}
