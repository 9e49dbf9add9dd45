// libFuzzer entry for the report writers: any row text in, and the target
// itself checks what comes out. One input is one small report (a caption, a
// table, a block, drawn lines: the trees, which CSV does not draw) written
// in every form. The HTML page must
// hold no tag but the writer's own and give back every text it was handed;
// the CSV must read back (RFC 4180) as exactly the fields handed over, every
// row of the table with the heading's count of fields. A check that fails
// aborts, which libFuzzer keeps as a crash.
//
// Input: byte 0 the columns (1 + bits 0-2 mod 5) and, bits 3-7, which of
// them are quoted in CSV; then pieces of text, each ended by 0xFF (a byte
// no Shift-JIS text holds): the caption, the block note, then the cells,
// row by row, and the drawn lines. A cell's first byte says what it is:
// bits 0-1 text, number, list (values parted by 0xFE) or text with a mark;
// bit 2 an inline list; bit 3 a list that leaves out empty values.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "report/report_writer.h"

namespace {

constexpr char kPieceEnd = '\xFF';
constexpr char kValueEnd = '\xFE';
constexpr int kMaxColumns = 5;
constexpr std::string_view kMark = "×";

// The output being checked, shown when a check fails.
const std::string* checked = nullptr;

// A failed check names its line and shows the output before the abort.
void require(bool ok, int line = __builtin_LINE()) {
  if (ok) return;
  std::fprintf(stderr, "writer_fuzz: check of line %d failed on\n", line);
  if (checked) std::fwrite(checked->data(), 1, checked->size(), stderr);
  std::abort();
}

// ---------------------------------------------------------------------------
// The report described by an input

struct CellInput {
  Cell cell;
  std::string text;
  std::vector<std::string> values;
};

struct Document {
  int columns = 1;
  unsigned quoted = 0;
  std::string caption;
  std::string note;
  std::vector<std::vector<CellInput>> rows;
  std::vector<std::string> lines;
};

std::vector<std::string> split(std::string_view text, char end) {
  std::vector<std::string> parts;
  for (size_t at; (at = text.find(end)) != std::string_view::npos;) {
    parts.emplace_back(text.substr(0, at));
    text.remove_prefix(at + 1);
  }
  parts.emplace_back(text);
  return parts;
}

void describe(CellInput& in, std::string_view piece) {
  const unsigned kind = piece.empty() ? 0 : static_cast<unsigned char>(piece[0]);
  if (!piece.empty()) piece.remove_prefix(1);
  in.text = piece;
  switch (kind & 3) {
    case 0:
      in.cell = Cell::of(in.text);
      break;
    case 1:
      in.cell = Cell::number(
          static_cast<long long>(std::hash<std::string_view>()(piece) % 2000001) - 1000000);
      break;
    case 2:
      in.values = split(piece, kValueEnd);
      in.cell = Cell::listOf(in.values, (kind & 4) ? CellKind::kInline : CellKind::kText);
      if (kind & 8) in.cell.skippingEmpty();
      break;
    case 3:
      in.cell = Cell::of(in.text).marked(kMark);
      break;
  }
}

// Pieces left over after the rows are drawn lines; a row short of cells is
// not written.
Document documentOf(const uint8_t* data, size_t size) {
  Document d;
  d.columns = 1 + (data[0] & 7) % kMaxColumns;
  d.quoted = data[0] >> 3;
  std::vector<std::string> pieces =
      split({reinterpret_cast<const char*>(data) + 1, size - 1}, kPieceEnd);
  d.caption = pieces[0];
  if (pieces.size() > 1) d.note = pieces[1];
  size_t at = 2;
  for (; at + d.columns <= pieces.size() && d.rows.size() < 64; at += d.columns) {
    d.rows.emplace_back(d.columns);
    for (int c = 0; c < d.columns; ++c) describe(d.rows.back()[c], pieces[at + c]);
  }
  for (; at < pieces.size(); ++at) d.lines.push_back(pieces[at]);
  return d;
}

const Column kColumns[kMaxColumns] = {{.width = 8, .html = "20%"},
                                      {.width = 6, .right = true, .html = "20%", .flags = kBar},
                                      {.width = 4, .html = "20%", .flags = kSpills},
                                      {.width = 4, .html = "20%", .flags = kAbsorbs},
                                      {.width = 5, .html = "20%", .flags = kBar | kGap}};
const Form kForm{.labelWidth = 8, .html = "border=\"1\"", .after = {.text = 1, .csv = 1}};
const char* const kHeadings[kMaxColumns] = {"A", "B", "C", "D", "E"};

std::string write(const Document& d, ReportFormat format) {
  Column columns[kMaxColumns];
  for (int c = 0; c < d.columns; ++c) {
    columns[c] = kColumns[c];
    if (d.quoted & (1u << c)) columns[c].flags |= kQuoted;
  }
  const Table table{.columns = {columns, static_cast<size_t>(d.columns)},
                    .html = "border=\"1\"",
                    .heading = kAllForms};
  std::ostringstream bytes;
  std::unique_ptr<ReportWriter> out = makeReportWriter(format, {format}, bytes);
  out->beginPage("T");
  out->caption({.rule = 4}, d.caption);
  out->beginTable(table);
  std::vector<Cell> heading;
  for (int c = 0; c < d.columns; ++c) heading.push_back(Cell::of(kHeadings[c]));
  out->heading(heading);
  std::vector<Cell> cells;
  for (const std::vector<CellInput>& row : d.rows) {
    cells.clear();
    for (const CellInput& in : row) cells.push_back(in.cell);
    out->row(cells);
  }
  out->endTable();
  out->beginBlock(kForm, d.note);
  for (const std::vector<CellInput>& row : d.rows) {
    Cell value = row[0].cell;
    if (!value.list && !value.hasNumber && row.size() > 1) value.thenInCsv(row[1].text);
    out->field(row.size() > 1 ? row[1].text : "L", value, true);
  }
  out->endBlock();
  // Drawn lines (the trees) have no CSV form: CSV reports draw none.
  if (format != ReportFormat::kCsv) {
    out->beginLines();
    for (const std::string& line : d.lines) {
      out->text() << line;
      out->endLine();
    }
    out->endLines();
  }
  out->endPage();
  return bytes.str();
}

// ---------------------------------------------------------------------------
// HTML: the writer's tags only, and every text back

// What a cell shows: its text, its number, or its list's values (those it
// writes) with 0xFF where a line break stands; "　" where it draws a blank.
std::string shownInHtml(const CellInput& in, std::string_view blank) {
  const Cell& cell = in.cell;
  if (cell.hasNumber) return std::to_string(cell.value);
  if (!cell.list) return in.text.empty() ? std::string(blank) : in.text;
  std::string shown;
  bool broke = false;
  for (size_t i = 0; i < in.values.size(); ++i) {
    if (i > 0 && cell.skipEmpty && in.values[i].empty()) continue;
    if (i > 0) {
      shown += kPieceEnd;
      broke = true;
    }
    shown += in.values[i];
  }
  const bool inline_ = cell.kind == CellKind::kInline;
  if (in.values.empty() || (!inline_ && shown.empty())) return std::string(blank);
  if (broke && !inline_) shown += '\n';
  return shown;
}

// The page as tags and texts, the texts with their entities read.
struct Piece {
  bool tag;
  std::string text;
};

std::vector<Piece> readPage(std::string_view page) {
  std::vector<Piece> pieces;
  while (!page.empty()) {
    if (page[0] == '<') {
      size_t end = page.find('>');
      require(end != std::string_view::npos);
      std::string_view tag = page.substr(0, end + 1);
      require(tag.find('<', 1) == std::string_view::npos);
      pieces.push_back({true, std::string(tag)});
      page.remove_prefix(end + 1);
      continue;
    }
    std::string text;
    while (!page.empty() && page[0] != '<') {
      require(page[0] != '>' && page[0] != '"');
      if (page[0] != '&') {
        text += page[0];
        page.remove_prefix(1);
        continue;
      }
      static const std::pair<std::string_view, char> kEntities[] = {
          {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}};
      bool known = false;
      for (const auto& [entity, c] : kEntities) {
        if (!page.starts_with(entity)) continue;
        text += c;
        page.remove_prefix(entity.size());
        known = true;
        break;
      }
      require(known);
    }
    if (!pieces.empty() && !pieces.back().tag)
      pieces.back().text += text;
    else
      pieces.push_back({false, text});
  }
  return pieces;
}

bool isTag(const Piece& piece, std::string_view tag) { return piece.tag && piece.text == tag; }

bool ownTag(std::string_view tag) {
  static const std::string_view kOwn[] = {
      "<html>",
      "</html>",
      "<head>",
      "</head>",
      "<title>",
      "</title>",
      "</body>",
      "<p>",
      "</p>",
      "<p align=\"center\">",
      "</font>",
      "<table border=\"1\">",
      "</table>",
      "<tr>",
      "</tr>",
      "</td>",
      "<th align=\"left\" valign=\"top\" colspan=\"2\">",
      "</th>",
      "<pre>",
      "</pre>",
      "<br>",
      "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=x-sjis\">",
      "<meta name=\"author\" content=\"ＯＲＵＮＯＫＡ\">",
      "<body bgcolor=\"#FFFFFF\" link=\"#0000FF\" vlink=\"#800080\">",
      "<font size=\"6\" face=\"ＭＳ ゴシック\">",
      "<font face=\"ＭＳ ゴシック\">",
      "<td valign=\"top\" width=\"20%\">",
      "<td valign=\"top\" width=\"80%\">",
      "<td align=\"right\" valign=\"top\" width=\"20%\">",
      "<td align=\"right\" valign=\"top\" width=\"80%\">",
      "<td align=\"center\" valign=\"top\" width=\"20%\" bgcolor=\"#00FFFF\">"};
  for (std::string_view own : kOwn)
    if (tag == own) return true;
  return false;
}

// From `at` (a cell's start tag, after the layout's blanks) to its
// "</td>": the texts, breaks as 0xFF.
std::string cellContent(const std::vector<Piece>& pieces, size_t& at) {
  if (at < pieces.size() && !pieces[at].tag &&
      pieces[at].text.find_first_not_of(" \n") == std::string::npos)
    ++at;
  require(at < pieces.size() && pieces[at].tag && pieces[at].text.starts_with("<td "));
  std::string content;
  for (++at; at < pieces.size() && !isTag(pieces[at], "</td>"); ++at) {
    if (pieces[at].tag) {
      require(isTag(pieces[at], "<br>"));
      content += kPieceEnd;
    } else {
      content += pieces[at].text;
    }
  }
  require(at < pieces.size());
  ++at;
  return content;
}

size_t find(const std::vector<Piece>& pieces, size_t from, std::string_view tag) {
  while (from < pieces.size() && !isTag(pieces[from], tag)) ++from;
  require(from < pieces.size());
  return from;
}

void checkHtml(const Document& d, const std::string& page) {
  const std::string blank(linePieces(false, ReportFormat::kHtml).blank);
  std::vector<Piece> pieces = readPage(page);
  for (const Piece& p : pieces) require(!p.tag || ownTag(p.text));
  size_t at = find(pieces, 0, "<p>") + 1;
  if (!d.caption.empty()) require(!pieces[at].tag && pieces[at++].text == d.caption);
  require(isTag(pieces[at], "</p>"));
  at = find(pieces, at, "<table border=\"1\">");
  at = find(pieces, at, "<tr>") + 1;
  for (int c = 0; c < d.columns; ++c) require(cellContent(pieces, at) == kHeadings[c]);
  for (const std::vector<CellInput>& row : d.rows) {
    at = find(pieces, at, "<tr>") + 1;
    for (const CellInput& in : row) {
      std::string content = cellContent(pieces, at);
      require(content == shownInHtml(in, blank));
    }
  }
  // The note heads the block; an empty one is a blank.
  at = find(pieces, at, "<th align=\"left\" valign=\"top\" colspan=\"2\">") + 1;
  if (d.note.empty()) {
    require(!pieces[at].tag && pieces[at].text == blank);
  } else {
    require(isTag(pieces[at], "<pre>") && !pieces[at + 1].tag && pieces[at + 1].text == d.note &&
            isTag(pieces[at + 2], "</pre>"));
  }
  at = find(pieces, at, "<font face=\"ＭＳ ゴシック\">") + 1;
  for (const std::string& line : d.lines) {
    if (!line.empty()) {
      require(!pieces[at].tag && pieces[at].text == line);
      ++at;
    }
    require(isTag(pieces[at], "<br>"));
    ++at;
    require(!pieces[at].tag && pieces[at].text.starts_with("\n"));
    if (pieces[at].text == "\n")
      ++at;
    else
      pieces[at].text.erase(0, 1);
  }
}

// ---------------------------------------------------------------------------
// CSV: RFC 4180 records, each exactly the fields handed over

using Record = std::vector<std::string>;

std::vector<Record> readCsv(std::string_view text) {
  std::vector<Record> records;
  Record record;
  std::string field;
  while (true) {
    if (!text.empty() && text[0] == '"') {
      text.remove_prefix(1);
      for (;;) {
        size_t quote = text.find('"');
        require(quote != std::string_view::npos);
        field.append(text.substr(0, quote));
        text.remove_prefix(quote + 1);
        if (text.empty() || text[0] != '"') break;
        field += '"';
        text.remove_prefix(1);
      }
      require(text.empty() || text[0] == ',' || text[0] == '\n');
    } else {
      size_t end = text.find_first_of(",\n");
      std::string_view plain = text.substr(0, end);
      require(plain.find_first_of("\"\r") == std::string_view::npos);
      field.append(plain);
      text.remove_prefix(plain.size());
    }
    record.push_back(std::move(field));
    field.clear();
    if (text.empty()) break;
    const char separator = text[0];
    text.remove_prefix(1);
    if (separator == '\n') {
      records.push_back(std::move(record));
      record.clear();
      if (text.empty()) return records;
    }
  }
  records.push_back(std::move(record));
  return records;
}

// The fields as the writer separates them: a list's values each followed
// by a separator, none before the first cell.
Record csvFields(const std::vector<CellInput>& row) {
  Record fields;
  std::string current;
  auto next = [&] {
    fields.push_back(current);
    current.clear();
  };
  for (size_t i = 0; i < row.size(); ++i) {
    const CellInput& in = row[i];
    if (in.cell.list) {
      bool separated = i > 0;
      for (const std::string& value : in.values) {
        if (in.cell.skipEmpty && value.empty()) continue;
        if (separated) next();
        current = value;
        next();
        separated = false;
      }
      continue;
    }
    if (i) next();
    current =
        std::string(in.cell.mark) + (in.cell.hasNumber ? std::to_string(in.cell.value) : in.text);
  }
  next();
  return fields;
}

// A block's line: the label, then the value (without its mark) and the
// field after it, or a list's values each followed by a separator; no line
// for a list without values.
Record fieldRecord(const std::vector<CellInput>& row) {
  const CellInput& in = row[0];
  Record fields{row.size() > 1 ? row[1].text : "L"};
  if (in.cell.list) {
    if (in.values.empty()) return {};
    for (const std::string& value : in.values)
      if (!(in.cell.skipEmpty && value.empty())) fields.push_back(value);
    if (fields.size() > 1) fields.emplace_back();
    return fields;
  }
  fields.push_back(in.cell.hasNumber ? std::to_string(in.cell.value) : in.text);
  if (!in.cell.hasNumber && row.size() > 1 && !row[1].text.empty()) fields.push_back(row[1].text);
  return fields;
}

void checkCsv(const Document& d, const std::string& text) {
  std::vector<Record> records = readCsv(text);
  size_t at = 0;
  auto take = [&]() -> const Record& {
    require(at < records.size());
    return records[at++];
  };
  require(take() == Record{"----"});
  require(take() == Record{d.caption});
  require(take() == Record{"----"});
  const Record& heading = take();
  require(heading.size() == static_cast<size_t>(d.columns));
  for (const std::vector<CellInput>& row : d.rows) {
    const Record& record = take();
    require(record == csvFields(row));
    bool lists = false;
    for (const CellInput& in : row) lists = lists || in.cell.list;
    require(lists || record.size() == heading.size());
  }
  // A record per line of the note (the last ends where the note does).
  std::vector<std::string> noteLines = split(d.note, '\n');
  if (noteLines.back().empty()) noteLines.pop_back();
  for (const std::string& line : noteLines) require(take() == Record{line});
  for (const std::vector<CellInput>& row : d.rows) {
    Record expected = fieldRecord(row);
    if (!expected.empty()) require(take() == expected);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const Document d = documentOf(data, size);
  write(d, ReportFormat::kText);
  const std::string html = write(d, ReportFormat::kHtml);
  checked = &html;
  checkHtml(d, html);
  const std::string csv = write(d, ReportFormat::kCsv);
  checked = &csv;
  checkCsv(d, csv);
  checked = nullptr;
  return 0;
}
