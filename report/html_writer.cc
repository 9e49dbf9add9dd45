// The HTML form: one page head shared by every report, tables of one
// line per cell, lists joined by "<br>", drawn lines in a paragraph of the
// fixed-width font. Text is Shift-JIS and written as it is, except that
// every text a producer hands over (names, file names, bodies, comments,
// captions) has its markup characters written as entities: the only markup
// on a page is the writer's own.
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

// The entity of a character that would be read as markup; null for the
// others. (Shift-JIS trail bytes are never among these.)
const char* entityOf(char c) {
  switch (c) {
    case '&':
      return "&amp;";
    case '<':
      return "&lt;";
    case '>':
      return "&gt;";
    case '"':
      return "&quot;";
    default:
      return nullptr;
  }
}

void putEscaped(std::streambuf& to, std::string_view text) {
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const char* entity = entityOf(text[i]);
    if (!entity) continue;
    to.sputn(text.data() + start, static_cast<std::streamsize>(i - start));
    to.sputn(entity, static_cast<std::streamsize>(std::char_traits<char>::length(entity)));
    start = i + 1;
  }
  to.sputn(text.data() + start, static_cast<std::streamsize>(text.size() - start));
}

void appendEscaped(std::string& to, std::string_view text) {
  for (char c : text) {
    if (const char* entity = entityOf(c))
      to += entity;
    else
      to += c;
  }
}

// What a drawn line's text() receives goes on escaped.
class EscapingBuf : public std::streambuf {
 public:
  explicit EscapingBuf(std::ostream& out) : out_(out) {}

 protected:
  int_type overflow(int_type c) override {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    const char ch = traits_type::to_char_type(c);
    putEscaped(*out_.rdbuf(), {&ch, 1});
    return c;
  }
  std::streamsize xsputn(const char* s, std::streamsize n) override {
    if (n > 0) putEscaped(*out_.rdbuf(), {s, static_cast<size_t>(n)});
    return n;
  }

 private:
  std::ostream& out_;
};

// The values of a list, escaped and joined by line breaks; a list that
// leaves out empty values still starts with its first. `breaks` tells
// whether a break was written.
std::string joined(const Cell& cell, bool& breaks) {
  std::string html;
  breaks = false;
  const std::vector<std::string>& values = *cell.list;
  for (size_t i = 0; i < values.size(); ++i) {
    if (i > 0 && cell.skipEmpty && values[i].empty()) continue;
    if (i > 0) {
      html += kBreak;
      breaks = true;
    }
    appendEscaped(html, values[i]);
  }
  return html;
}

class HtmlWriter : public ReportWriter {
 public:
  // `utf8`: the page says that it is UTF-8 (the file's bytes are made so
  // where they are written).
  HtmlWriter(bool utf8, std::ostream& out)
      : ReportWriter(ReportFormat::kHtml, out), utf8_(utf8), escaping_(out), lineText_(&escaping_) {
    text_ = &lineText_;
  }

  void beginPage(std::string_view title) override;
  void endPage() override { put("</body>\n</html>\n"); }
  bool pageHasEnd() const override { return true; }
  void writeCaption(const Caption&, std::string_view text) override {
    put("<p>");
    putText(text);
    put("</p>\n");
  }
  void literal(std::string_view line, FormatSet forms) override {
    if (!(forms & kHtmlForm)) return;
    putText(line);
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
  void putText(std::string_view text) { putEscaped(*out_.rdbuf(), text); }
  void headerCell(std::string_view width, std::string_view text);
  void numberCell(std::string_view width, std::string_view text);
  void textCell(std::string_view width, std::string_view text);
  void listCell(std::string_view width, const Cell& cell);
  void writeCell(std::string_view width, const Cell& cell);
  void writeTableEnd(const Spacing& after);

  const bool utf8_;
  const Table* table_ = nullptr;
  const Form* form_ = nullptr;
  EscapingBuf escaping_;
  std::ostream lineText_;
};

void HtmlWriter::beginPage(std::string_view title) {
  put("<html>\n"
      "\n"
      "<head>\n"
      "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=");
  put(utf8_ ? "utf-8" : "x-sjis");
  put("\">\n"
      "<meta name=\"author\" content=\"ＯＲＵＮＯＫＡ\">\n"
      "<title>");
  putText(title);
  put("</title>\n"
      "</head>\n"
      "\n"
      "<body bgcolor=\"#FFFFFF\" link=\"#0000FF\" vlink=\"#800080\">\n"
      "\n"
      "<p align=\"center\"><font size=\"6\" face=\"ＭＳ ゴシック\">");
  putText(title);
  put("</font></p>\n"
      "\n");
}

void HtmlWriter::headerCell(std::string_view width, std::string_view text) {
  put("        <td align=\"center\" valign=\"top\" width=\"");
  put(width);
  put("\" bgcolor=\"#00FFFF\">");
  putText(text);
  put(kCellEnd);
}

void HtmlWriter::numberCell(std::string_view width, std::string_view text) {
  cellStart("align=\"right\" valign=\"top\" ", width);
  putText(text);
  put(kCellEnd);
}

// An empty text becomes a full-width blank, so that the browser draws the
// cell.
void HtmlWriter::textCell(std::string_view width, std::string_view text) {
  cellStart("valign=\"top\" ", width);
  if (text.empty())
    put(kWideBlank);
  else
    putText(text);
  put(kCellEnd);
}

// A list without values is a blank. As a text cell, joined values that
// hold line breaks end their line and an empty join is a blank; inline,
// the cell ends where the values do.
void HtmlWriter::listCell(std::string_view width, const Cell& cell) {
  bool breaks = false;
  const std::string html = joined(cell, breaks);
  cellStart("valign=\"top\" ", width);
  if (cell.list->empty() || (cell.kind != CellKind::kInline && html.empty())) {
    put(kWideBlank);
  } else {
    put(html);
    if (breaks && cell.kind != CellKind::kInline) put('\n');
  }
  put(kCellEnd);
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

void HtmlWriter::writeCell(std::string_view width, const Cell& cell) {
  if (cell.list) return listCell(width, cell);
  DigitBuffer digits;
  std::string_view text = cellText(cell, format_, digits);
  if (cell.kind == CellKind::kNumber) return numberCell(width, text);
  textCell(width, text);
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
    putText(*note);
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

std::unique_ptr<ReportWriter> makeHtmlWriter(const ReportStyle& style, std::ostream& out) {
  return std::make_unique<HtmlWriter>(style.encoding.utf8, out);
}
