// The row model every report is described in, whatever its format: tables
// of columns and cells, section captions, label/value blocks and drawn
// lines. A producer describes its report once in these terms; the writer
// of the chosen format (report_writer.h) turns the description into bytes.
// Nothing here owns text: cells view strings that the producer keeps alive
// until the row has been handed to the writer.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The output formats, numbered as the option "ﾌｧｲﾙ出力形式" numbers them,
// and the call graph's form, which no option chooses. The first four are
// the forms a report's rows are written in; JSON and DOT are written by
// their producers straight into the file (json_writer.h, dot_text.h).
enum class ReportFormat : unsigned char {
  kText = 0,
  kHtml = 1,
  kCsv = 2,
  kWorkbook = 3,
  kJson = 4,
  kDot = 5,
};
constexpr int kReportFormats = 4;  // the row forms
constexpr int kChosenFormats = 5;  // the forms an option chooses

// A set of formats, for the parts of a report that only some forms have.
using FormatSet = unsigned;
constexpr FormatSet formatBit(ReportFormat f) { return 1u << static_cast<unsigned>(f); }
constexpr FormatSet kTextForm = formatBit(ReportFormat::kText);
constexpr FormatSet kHtmlForm = formatBit(ReportFormat::kHtml);
constexpr FormatSet kCsvForm = formatBit(ReportFormat::kCsv);
constexpr FormatSet kWorkbookForm = formatBit(ReportFormat::kWorkbook);
constexpr FormatSet kAllForms = 0xF;

// The bytes of every file a run writes (reports and log): its CP932 text
// as it is, or UTF-8, in which the stand-ins of names ("[U+XXXX]",
// platform/file_names.h) are their characters again; each line feed as
// CR LF, or, in UTF-8 only, alone.
struct FileEncoding {
  bool utf8 = false;
  bool crLf = true;
};

// What the run hands the report layer about its reports.
struct ReportStyle {
  ReportFormat format = ReportFormat::kText;  // as chosen; the catalogue may write another
  bool pc98Lines = false;                     // "・" for every drawn line
  FileEncoding encoding{};
};

// The pieces that text lines and trees are drawn with: box characters, or
// "・" for all of them with "PC-98x1"; the two-column blank is a full-width
// space in HTML, where blanks would collapse.
struct LinePieces {
  std::string_view vertical{};  // also the bar between table columns
  std::string_view branch{};
  std::string_view lastBranch{};
  std::string_view rule{};   // a table's rule line, two columns a piece
  std::string_view cross{};  // where the rule meets a bar
  std::string_view blank{};
};
LinePieces linePieces(bool pc98Lines, ReportFormat written);

// How HTML shows a cell; the text and CSV forms write every kind alike.
// HTML escapes every text that a cell, caption, note or drawn line holds:
// markup comes from the writers alone.
enum class CellKind : unsigned char {
  kText,    // a text cell: "　" when empty; a list's "<br>" joins put the
            // cell's end on the next line
  kNumber,  // right-aligned
  kInline,  // a list whose joined values keep the cell's end on their line
            // (and stay empty when every value written is empty)
};

// One value of a row: a text, a number or a list of texts. Where the forms
// word a value differently, `in` gives a format its own text.
struct Cell {
  CellKind kind = CellKind::kText;
  bool hasNumber = false;  // the writers format `value`; `text` is unused
  bool skipEmpty = false;  // list: empty values are left out (HTML: all but the first)
  FormatSet varied = 0;    // formats with a text of their own in `forms`
  long long value = 0;
  std::string_view text{};
  const std::vector<std::string>* list = nullptr;  // a cell of several values
  std::string_view mark{};       // text form: before the padding; CSV: before the value
  std::string_view csvNext{};    // CSV: a field of its own after the value's
  std::string_view htmlWidth{};  // instead of the column's width
  std::string_view forms[kReportFormats];

  static Cell of(std::string_view text, CellKind kind = CellKind::kText) {
    Cell c;
    c.kind = kind;
    c.text = text;
    return c;
  }
  static Cell number(long long n) {
    Cell c = of({}, CellKind::kNumber);
    c.hasNumber = true;
    c.value = n;
    return c;
  }
  static Cell listOf(const std::vector<std::string>& values, CellKind kind = CellKind::kText) {
    Cell c = of({}, kind);
    c.list = &values;
    return c;
  }
  Cell& in(ReportFormat f, std::string_view own) {
    forms[static_cast<int>(f)] = own;
    varied |= formatBit(f);
    return *this;
  }
  Cell& marked(std::string_view m) {
    mark = m;
    return *this;
  }
  // CSV: `field` follows as a field of its own (a place as file, line).
  Cell& thenInCsv(std::string_view field) {
    csvNext = field;
    return *this;
  }
  Cell& width(std::string_view w) {
    htmlWidth = w;
    return *this;
  }
  Cell& skippingEmpty() {
    skipEmpty = true;
    return *this;
  }
  bool variesIn(ReportFormat f) const { return (varied & formatBit(f)) != 0; }
  // The text that format `f` writes (not for an unvaried number).
  std::string_view textIn(ReportFormat f) const {
    return variesIn(f) ? forms[static_cast<int>(f)] : text;
  }
  // A number written as digits in format `f`.
  bool numberIn(ReportFormat f) const { return hasNumber && !variesIn(f); }
};

// Column flags. The text form pads each cell to its column's width; a cell
// wider than its column pushes the rest of the line right, and that
// overflow can be taken back by the padding of the cells after it.
enum ColumnFlag : unsigned {
  kBar = 1,           // the line style's bar stands before the cell
  kSpills = 2,        // overflow of this cell is carried on
  kAbsorbs = 4,       // the padding gives up what it can of the carried overflow
  kAbsorbsWhole = 8,  // ... only all of it, when the cell then fits, or nothing
  kGap = 16,          // at least one blank follows the text
  kQuoted = 32,       // CSV: the field is enclosed in double quotes even when
                      // it holds no comma, quote or line break
};

struct Column {
  int width = 0;  // text columns; of a last column only its rule's width
  bool right = false;
  std::string_view html{};  // HTML width attribute ("35%")
  unsigned flags = 0;
  std::string_view before{};      // text form: written before the cell
  std::string_view after{};       // text form: written after the text, inside the width
  std::string_view listPrefix{};  // text form of a list: one line per value after the row
};

// Blank lines (HTML: line breaks; a sheet: empty rows) that follow a
// table or a block.
struct Spacing {
  int text = 0;
  int csv = 0;
  int htmlBreaks = 0;  // "<br>" lines
  int htmlLines = 0;   // empty lines after those
  int sheet = 0;
};

struct Table {
  std::span<const Column> columns{};
  std::string_view html{};  // attributes of the HTML table tag
  FormatSet heading = 0;    // forms that show the heading row (text: with a rule)
  Spacing after{};
};

// A section title: in text and CSV between rules of '-', in HTML a paragraph.
struct Caption {
  int rule = 48;
  bool blankBefore = false;
};

// A block of label/value lines (one record of a details report).
struct Form {
  int labelWidth = 0;       // text form: label columns, padded with full-width blanks
  std::string_view html{};  // attributes of each block's HTML table
  Spacing after{};
};

// A note that heads a block: the text form writes it as it is, CSV each of
// its lines as a record of one field, HTML in a heading row (a blank row for
// an empty note).
using BlockNote = std::optional<std::string_view>;
