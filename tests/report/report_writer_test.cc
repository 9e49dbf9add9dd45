// Each writer once, on one small report that uses every part of the row
// model; every expected byte follows from the framing and cell rules of the
// format. The catalogue's names and fallbacks beside them.
#include "report/report_writer.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "report/report_catalogue.h"

namespace {

constexpr ReportFormat kText = ReportFormat::kText;
constexpr ReportFormat kHtml = ReportFormat::kHtml;
constexpr ReportFormat kCsv = ReportFormat::kCsv;

// name | count | <word> body | note
constexpr Column kColumns[] = {
    {.width = 6, .html = "30%", .flags = kSpills},
    {.width = 4, .right = true, .html = "10%", .flags = kBar | kAbsorbs},
    {.width = 5,
     .html = "20%",
     .flags = kBar | kGap | kSpills | kQuoted,
     .before = "<",
     .after = ">"},
    {.width = 6, .html = "20%", .flags = kAbsorbsWhole | kQuoted},
    {.width = 8, .html = "20%", .flags = kBar},
};
constexpr Table kTable{.columns = kColumns,
                       .html = "border=\"1\"",
                       .heading = kAllForms,
                       .after = {.text = 1, .csv = 2, .htmlBreaks = 1, .htmlLines = 1}};
constexpr Column kListColumns[] = {{.html = "50%", .before = "- "},
                                   {.html = "50%", .listPrefix = "  + "}};
constexpr Table kListTable{.columns = kListColumns, .html = "border=\"2\"", .heading = kHtmlForm};
constexpr Form kForm{
    .labelWidth = 8, .html = "border=\"3\"", .after = {.text = 2, .csv = 1, .htmlBreaks = 2}};

const std::vector<std::string> kSome{"", "q", "", "r"};
const std::vector<std::string> kCalls{"g", "h"};
const std::vector<std::string> kNone;

// Row 1 fits its columns. Row 2: the name pushes 3 columns on, the count
// takes 2 back, the word keeps its gap and pushes 2 more, the body takes
// all 3 back. Row 3: 4 pushed on, the marked count takes 1 back, the body
// has no room to take the other 3 back and keeps its width.
std::string sample(ReportFormat format, bool pc98 = false) {
  std::ostringstream bytes;
  std::unique_ptr<ReportWriter> out = makeReportWriter(format, {format, pc98}, bytes);
  out->beginPage("見本");
  out->caption({.rule = 4, .blankBefore = true}, "題");
  out->beginTable(kTable);
  out->heading({Cell::of("名前"), Cell::of("数").in(kText, " 数"), Cell::of("語"), Cell::of("本体"),
                Cell::of("注").in(kCsv, "備考")});
  out->row({Cell::of("ab"), Cell::number(7), Cell::of("w"), Cell::of("b&c"), Cell::of("x<y")});
  out->row({Cell::of("abcdefghi"), Cell::number(12), Cell::of("wxyzu"), Cell::of("bb"),
            Cell::of("<i>m</i>")});
  out->row({Cell::of("abcdefghij"), Cell::number(5).marked("×").in(kHtml, "× 5"), Cell::of(""),
            Cell::of("bbbbbb"), Cell::of("-", CellKind::kNumber).in(kCsv, "").width("5%")});
  out->literal("====", kTextForm | kCsvForm);
  out->endTable();
  out->beginTable(kListTable);
  out->heading({Cell::of("名"), Cell::of("一覧")});
  out->row({Cell::of("p"), Cell::listOf(kSome, CellKind::kInline).skippingEmpty()});
  out->row({Cell::of("s"), Cell::listOf(kNone, CellKind::kInline)});
  out->endTable();
  out->beginBlock(kForm, "/* c */\n");
  out->field("名", Cell::of("a<b"));
  out->field("位置", Cell::of("f 1").in(kCsv, "f").thenInCsv("1"));
  out->field("呼出", Cell::listOf(kCalls));
  out->field("空", Cell::listOf(kNone));
  out->field("無", Cell::listOf(kNone), true);
  out->endBlock();
  out->beginLines();
  out->text() << "a";
  out->endLine();
  out->endLines();
  out->endPage();
  return bytes.str();
}

TEST(ReportWriter, Text) {
  EXPECT_EQ(sample(kText),
            "\n----\n題\n----\n"
            "名前  │ 数 │語   本体  │注\n"
            "───┼──┼─────┼────\n"
            "ab    │   7│<w>   b&c   │x<y\n"
            "abcdefghi│12│<wxyzu> bb │<i>m</i>\n"
            "abcdefghij│×5│<>    bbbbbb│-\n"
            "====\n"
            "\n"
            "- p\n  + q\n  + r\n"
            "- s\n"
            "/* c */\n"
            "■名　　　：a<b\n"
            "■位置　　：f 1\n"
            "■呼出　　：g\n"
            "　　　　　：h\n"
            "■空　　　：\n"
            "\n\n"
            "a\n");
  // "PC-98x1": a dot for every bar, cross and rule piece.
  std::string dots = sample(kText);
  for (std::string piece : {"│", "┼", "─"})
    for (size_t at = dots.find(piece); at != std::string::npos; at = dots.find(piece, at))
      dots.replace(at, piece.size(), "・");
  EXPECT_EQ(sample(kText, true), dots);
}

TEST(ReportWriter, Html) {
  auto cell = [](const char* width, const std::string& text, bool right = false) {
    return std::string("        <td ") + (right ? "align=\"right\" " : "") +
           "valign=\"top\" width=\"" + width + "\">" + text + "</td>\n";
  };
  auto head = [](const char* width, const char* text) {
    return std::string("        <td align=\"center\" valign=\"top\" width=\"") + width +
           "\" bgcolor=\"#00FFFF\">" + text + "</td>\n";
  };
  const std::string tr = "    <tr>\n", rt = "    </tr>\n";
  EXPECT_EQ(
      sample(kHtml),
      "<html>\n\n<head>\n"
      "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=x-sjis\">\n"
      "<meta name=\"author\" content=\"ＯＲＵＮＯＫＡ\">\n"
      "<title>見本</title>\n</head>\n\n"
      "<body bgcolor=\"#FFFFFF\" link=\"#0000FF\" vlink=\"#800080\">\n\n"
      "<p align=\"center\"><font size=\"6\" face=\"ＭＳ ゴシック\">見本</font></p>\n\n"
      "<p>題</p>\n"
      "<table border=\"1\">\n" +
          tr + head("30%", "名前") + head("10%", "数") + head("20%", "語") + head("20%", "本体") +
          head("20%", "注") + rt + tr + cell("30%", "ab") + cell("10%", "7", true) +
          cell("20%", "w") + cell("20%", "b&amp;c") + cell("20%", "x&lt;y") + rt + tr +
          cell("30%", "abcdefghi") + cell("10%", "12", true) + cell("20%", "wxyzu") +
          cell("20%", "bb") + cell("20%", "&lt;i&gt;m&lt;/i&gt;") + rt + tr +
          cell("30%", "abcdefghij") + cell("10%", "× 5", true) + cell("20%", "　") +
          cell("20%", "bbbbbb") + cell("5%", "-", true) + rt +
          "</table>\n<br>\n\n"
          "<table border=\"2\">\n" +
          tr + head("50%", "名") + head("50%", "一覧") + rt + tr + cell("50%", "p") +
          cell("50%", "<br>q<br>r") + rt + tr + cell("50%", "s") + cell("50%", "　") + rt +
          "</table>\n"
          "<table border=\"3\">\n" +
          tr +
          "        <th align=\"left\" valign=\"top\" colspan=\"2\"><pre>/* c */\n</pre>\n</th>\n" +
          rt + tr + cell("20%", "名") + cell("80%", "a&lt;b") + rt + tr + cell("20%", "位置") +
          cell("80%", "f 1") + rt + tr + cell("20%", "呼出") + cell("80%", "g<br>h\n") + rt + tr +
          cell("20%", "空") + cell("80%", "　") + rt +
          "</table>\n<br>\n<br>\n"
          "<p><font face=\"ＭＳ ゴシック\">a<br>\n</font></p>\n"
          "</body>\n</html>\n");
}

TEST(ReportWriter, Csv) {
  EXPECT_EQ(sample(kCsv),
            "\n----\n題\n----\n"
            "名前,数,語,本体,備考\n"
            "ab,7,\"w\",\"b&c\",x<y\n"
            "abcdefghi,12,\"wxyzu\",\"bb\",<i>m</i>\n"
            "abcdefghij,×5,\"\",\"bbbbbb\",\n"
            "====\n"
            "\n\n"
            "p,q,r,\n"
            "s\n"
            "/* c */\n"
            "名,a<b\n"
            "位置,f,1\n"
            "呼出,g,h,\n"
            "\n"
            "a\n");
}

// A page written for a UTF-8 file says so in its head; the text itself
// stays CP932 until the file takes it.
TEST(ReportWriter, HtmlHeadNamesUtf8) {
  std::ostringstream bytes;
  ReportStyle style{.format = kHtml, .encoding = {.utf8 = true}};
  makeReportWriter(kHtml, style, bytes)->beginPage("見本");
  EXPECT_NE(bytes.str().find("<meta http-equiv=\"Content-Type\" content=\"text/html; "
                             "charset=utf-8\">\n"),
            std::string::npos);
  EXPECT_NE(bytes.str().find("<title>見本</title>"), std::string::npos);
}

// Names, bodies and comments may hold anything: HTML writes every text it
// is given with its markup characters as entities, wherever it goes, so
// that the only tags of a page are the writer's own.
TEST(ReportWriter, HtmlEscapesEveryTextItIsGiven) {
  static constexpr Column kTwo[] = {{.html = "50%"}, {.html = "50%"}};
  static constexpr Table kTwoTable{.columns = kTwo, .html = "border=\"1\"", .heading = kHtmlForm};
  const std::vector<std::string> includes{"<b>tag</b>.h", "a&b"};
  const std::vector<std::string> callers{"x\"y", "<i>"};
  std::ostringstream bytes;
  std::unique_ptr<ReportWriter> out = makeReportWriter(kHtml, {kHtml}, bytes);
  out->beginPage("<t>");
  out->caption({}, "a<b>.c");
  out->beginTable(kTwoTable);
  out->heading({Cell::of("<h>"), Cell::of("\"q\"")});
  out->row({Cell::of("<script>alert(\"x\")&</script>"), Cell::of("-<1>", CellKind::kNumber)});
  out->row({Cell::listOf(includes), Cell::listOf(callers, CellKind::kInline)});
  out->endTable();
  out->beginBlock(kForm, "/* <script> */\n");
  out->field("<l>", Cell::of("&amp;"));
  out->endBlock();
  out->literal("<hr>", kHtmlForm);
  out->beginLines();
  out->text() << "<img src=x onerror=alert(2)>" << '<' << 12;
  out->endLine();
  out->endLines();
  out->endPage();
  EXPECT_EQ(
      bytes.str(),
      "<html>\n\n<head>\n"
      "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=x-sjis\">\n"
      "<meta name=\"author\" content=\"ＯＲＵＮＯＫＡ\">\n"
      "<title>&lt;t&gt;</title>\n</head>\n\n"
      "<body bgcolor=\"#FFFFFF\" link=\"#0000FF\" vlink=\"#800080\">\n\n"
      "<p align=\"center\"><font size=\"6\" face=\"ＭＳ ゴシック\">&lt;t&gt;</font></p>\n\n"
      "<p>a&lt;b&gt;.c</p>\n"
      "<table border=\"1\">\n"
      "    <tr>\n"
      "        <td align=\"center\" valign=\"top\" width=\"50%\" "
      "bgcolor=\"#00FFFF\">&lt;h&gt;</td>\n"
      "        <td align=\"center\" valign=\"top\" width=\"50%\" "
      "bgcolor=\"#00FFFF\">&quot;q&quot;</td>\n"
      "    </tr>\n"
      "    <tr>\n"
      "        <td valign=\"top\" "
      "width=\"50%\">&lt;script&gt;alert(&quot;x&quot;)&amp;&lt;/script&gt;</td>\n"
      "        <td align=\"right\" valign=\"top\" width=\"50%\">-&lt;1&gt;</td>\n"
      "    </tr>\n"
      "    <tr>\n"
      "        <td valign=\"top\" width=\"50%\">&lt;b&gt;tag&lt;/b&gt;.h<br>a&amp;b\n</td>\n"
      "        <td valign=\"top\" width=\"50%\">x&quot;y<br>&lt;i&gt;</td>\n"
      "    </tr>\n"
      "</table>\n"
      "<table border=\"3\">\n"
      "    <tr>\n"
      "        <th align=\"left\" valign=\"top\" colspan=\"2\"><pre>/* &lt;script&gt; "
      "*/\n</pre>\n</th>\n"
      "    </tr>\n"
      "    <tr>\n"
      "        <td valign=\"top\" width=\"20%\">&lt;l&gt;</td>\n"
      "        <td valign=\"top\" width=\"80%\">&amp;amp;</td>\n"
      "    </tr>\n"
      "</table>\n<br>\n<br>\n"
      "&lt;hr&gt;\n"
      "<p><font face=\"ＭＳ ゴシック\">&lt;img src=x onerror=alert(2)&gt;&lt;12<br>\n</font></p>\n"
      "</body>\n</html>\n");
}

// A field that holds a comma, a double quote or a line break is quoted,
// its quotes doubled; a column that asks for quotes has them on every
// field; a note is a record per line; a place is a file and a line.
TEST(ReportWriter, CsvQuotesTheFieldsThatNeedIt) {
  static constexpr Column kThree[] = {{}, {.flags = kQuoted}, {}};
  static constexpr Table kThreeTable{.columns = kThree, .heading = kCsvForm};
  const std::vector<std::string> files{"a,b", "c"};
  const std::vector<std::string> callees{"f", "g,h"};
  std::ostringstream bytes;
  std::unique_ptr<ReportWriter> out = makeReportWriter(kCsv, {kCsv}, bytes);
  out->caption({.rule = 2}, "a,b.c");
  out->beginTable(kThreeTable);
  out->heading({Cell::of("名前"), Cell::of("本体"), Cell::of("ﾌｧｲﾙ")});
  out->row({Cell::of("=HYPERLINK(\"x\",\"y\").c"), Cell::of("\"abc\""), Cell::of("line\nbreak")});
  out->row({Cell::number(5).marked("×"), Cell::of("plain"), Cell::listOf(files)});
  out->row({Cell::of("1,2").marked("×"), Cell::of(""), Cell::of("cr\r")});
  out->endTable();
  out->beginBlock(kForm, "// say \"hi\", then\n// go\n");
  out->field("ソース", Cell::of("t").in(kCsv, "a,b.c").thenInCsv("12"));
  out->field("呼出", Cell::listOf(callees));
  out->endBlock();
  out->literal("x,y", kCsvForm);
  EXPECT_EQ(bytes.str(),
            "--\n\"a,b.c\"\n--\n"
            "名前,本体,ﾌｧｲﾙ\n"
            "\"=HYPERLINK(\"\"x\"\",\"\"y\"\").c\",\"\"\"abc\"\"\",\"line\nbreak\"\n"
            "×5,\"plain\",\"a,b\",c,\n"
            "\"×1,2\",\"\",\"cr\r\"\n"
            "\"// say \"\"hi\"\", then\"\n// go\n"
            "ソース,\"a,b.c\",12\n"
            "呼出,f,\"g,h\",\n"
            "\n"
            "\"x,y\"\n");
}

// Which form each chosen format writes, under which name: a file, or a
// sheet of the workbook.
TEST(ReportCatalogue, FormsAndNames) {
  const struct {
    ReportId id;
    ReportFormat chosen;
    const char* name;  // null: not written
  } cases[] = {
      {ReportId::kCallTree, kCsv, "MizentaLog.txt"},
      {ReportId::kCallTree, kHtml, "MizentaLog.html"},
      {ReportId::kCallTree, ReportFormat::kWorkbook, "MizentaLog.txt"},
      {ReportId::kFileTree, ReportFormat::kWorkbook, "MzFileTree.txt"},
      {ReportId::kFunctionList, ReportFormat::kWorkbook, "sheet 関数一覧"},
      {ReportId::kClassList, ReportFormat::kWorkbook, "sheet クラス一覧"},
      {ReportId::kConstList, ReportFormat::kWorkbook, "sheet 定数一覧"},
      {ReportId::kStepLog, kCsv, "MzStepLog.csv"},
      {ReportId::kFileTree, kCsv, "MzFileTree.txt"},
      {ReportId::kReservedWords, kHtml, "Mz予約語確認.txt"},
      {ReportId::kConstList, kHtml, "Mz一覧const.html"},
      {ReportId::kLineDistribution, ReportFormat::kText, "Mz関数分布.csv"},
      {ReportId::kLineDistribution, ReportFormat::kWorkbook, "sheet 関数分布"},
  };
  for (const auto& c : cases) {
    std::optional<ReportFormat> form = writtenForm(c.id, c.chosen);
    std::string name;
    if (form == ReportFormat::kWorkbook)
      name = std::string("sheet ") + sheetLayout(c.id).name;
    else if (form)
      name = reportFileName(c.id, *form);
    EXPECT_EQ(name, c.name ? c.name : "") << c.name;
  }
  EXPECT_EQ(reportFileName(ReportId::kDefineList, kHtml, 2), "Mz一覧define_2.html");
}

// The drawing pieces as the Shift-JIS bytes that reach the file: box
// characters from row 8, "・" for all of them with "PC-98x1", and the
// full-width blank where HTML would collapse two spaces.
TEST(ReportWriter, LinePiecesAreShiftJis) {
  const LinePieces box = linePieces(false, kText);
  EXPECT_EQ(std::string(box.vertical) + std::string(box.branch) + std::string(box.lastBranch) +
                std::string(box.rule) + std::string(box.cross) + std::string(box.blank),
            "\x84\xA0\x84\xA5\x84\xA4\x84\x9F\x84\xA9  ");
  const LinePieces dots = linePieces(true, kCsv);
  for (std::string_view piece :
       {dots.vertical, dots.branch, dots.lastBranch, dots.rule, dots.cross})
    EXPECT_EQ(piece, "\x81\x45");
  EXPECT_EQ(linePieces(true, kHtml).blank, "\x81\x40");
}

}  // namespace
