// The workbook form of a report, as the calls that reach the workbook: a
// sheet made once and written further below by later sections, a table
// framed from its header row and filtered, label/value blocks framed and
// coloured, a long table put in parts, the sheet the workbook opens on with
// a marked number, and a failing call that leaves the sheet.
#include "report/sheet_writer.h"

#include <gtest/gtest.h>

#include <string>

#include "report/report.h"
#include "report/report_file.h"
#include "report/report_session.h"

namespace {

// Records each call as one line; the blocks by their first and last cell.
class RecordingWorkbook : public platform::Workbook {
 public:
  std::string calls;
  std::string failing;  // the operation that fails

  bool selectSheet(std::string_view name) override { return note("select", name); }
  bool nameSheet(std::string_view name) override { return note("name", name); }
  bool setColumnWidth(std::string_view column, int width) override {
    return note("width", std::string(column) + " " + std::to_string(width));
  }
  bool putBlock(std::string_view range, const platform::CellBlock& b) override {
    const platform::WorkbookCell& last = b.at(b.rows() - 1, b.columns() - 1);
    return note("put", std::string(range) + " " + show(b.at(0, 0)) + ".." + show(last));
  }
  bool frameTable(std::string_view range, std::string_view header) override {
    return note("table", std::string(range) + " " + std::string(header));
  }
  bool frameBlock(std::string_view range) override { return note("frame", range); }
  bool filterTable(std::string_view range) override { return note("filter", range); }
  bool shade(std::string_view range) override { return note("shade", range); }
  bool activateSheet() override { return note("activate", ""); }
  bool endExcel(bool) override { return true; }
  const std::string& path() const override { return path_; }

 private:
  static std::string show(const platform::WorkbookCell& c) {
    if (!c.isNumber) return "'" + c.text + "'";
    return "=" + std::to_string(c.number) + (c.mark.empty() ? "" : " " + c.mark);
  }
  bool note(const std::string& what, std::string_view detail) {
    calls += what + " " + std::string(detail) + "\n";
    return what != failing;
  }
  std::string path_ = "/out/book.xlsx";
};

constexpr Column kColumns[] = {{}, {}, {}};
constexpr Table kTable{.columns = kColumns, .heading = kWorkbookForm, .after = {.sheet = 2}};
constexpr Form kForm{.after = {.sheet = 2}};
constexpr ReportStyle kStyle{.format = ReportFormat::kWorkbook};

class SheetWriterTest : public testing::Test {
 protected:
  SheetWriterTest() { session_.setWorkbook(&book_); }

  // One class-list-like section: a caption, the header, `rows` rows.
  void section(const char* caption, int rows) {
    Report report(session_);
    ASSERT_TRUE(report.append(ReportId::kClassList));
    report->caption({}, caption);
    report->beginTable(kTable);
    report->heading({Cell::of("class"), Cell::of("name"), Cell::of("base")});
    for (int i = 1; i <= rows; ++i) report->row({Cell::of("class"), Cell::number(i), Cell::of("")});
    report->endTable();
  }

  RecordingWorkbook book_;
  std::string unwritten_;
  ReportSession session_{"", kStyle,
                         [this](const std::string& path) { unwritten_ += path + "\n"; }};
};

TEST_F(SheetWriterTest, SectionsGoBelowEachOtherOnOneSheet) {
  section("first", 2);
  section("second", 1);
  EXPECT_EQ(book_.calls,
            "select \n"
            "name クラス一覧\n"
            "width B 30\n"
            "width C 30\n"
            "put A1:C4 'first'..''\n"
            "table A2:C4 A2:C2\n"
            "select クラス一覧\n"
            "filter A2:C4\n"
            "select クラス一覧\n"
            "put A7:C9 'second'..''\n"
            "table A8:C9 A8:C8\n"
            "select クラス一覧\n"
            "filter A8:C9\n");
}

// The function list's sheet is the one the workbook opens on; a number
// keeps its mark for the sheet to show.
TEST_F(SheetWriterTest, TheFunctionListOpensTheWorkbookAndKeepsMarks) {
  Report report(session_);
  ASSERT_TRUE(report.create(ReportId::kFunctionList));
  report->beginTable(kTable);
  report->heading({Cell::of("関数名"), Cell::of("STEP数"), Cell::of("ｽﾀｯｸ")});
  report->row({Cell::of("f"), Cell::number(3),
               Cell::number(20).marked("×").in(ReportFormat::kHtml, "× 20")});
  report->endTable();
  EXPECT_EQ(book_.calls,
            "select \n"
            "name 関数一覧\n"
            "width A 35\n"
            "width E 35\n"
            "activate \n"
            "put A1:C2 '関数名'..=20 ×\n"
            "table A1:C2 A1:C1\n"
            "select 関数一覧\n"
            "filter A1:C2\n");
}

TEST_F(SheetWriterTest, BlocksAreFramedWithTheirNoteAndLabelsColoured) {
  Report report(session_);
  ASSERT_TRUE(report.create(ReportId::kFunctionDetails));
  const std::vector<std::string> callers{"main", "", "run"};
  for (const char* name : {"f", "g"}) {
    report->beginBlock(kForm, std::string_view("/* note */\n"));
    report->field("関数名", Cell::of(name));
    report->field("親関数", Cell::listOf(callers).skippingEmpty(), true);
    report->endBlock();
  }
  report->endPage();
  EXPECT_EQ(book_.calls,
            "select \n"
            "name 関数詳細情報\n"
            "width A 13\n"
            "width B 70\n"
            "put A1:B8 ''..'main\nrun'\n"
            "shade A1:B1\n"
            "frame A1:B3\n"
            "shade A2:A3\n"
            "shade A6:B6\n"
            "frame A6:B8\n"
            "shade A7:A8\n");
}

// A table longer than one block goes in parts, each framed; the header
// only with the first.
TEST_F(SheetWriterTest, ALongTableGoesInParts) {
  section("long", 70000);
  EXPECT_EQ(book_.calls.substr(book_.calls.find("put ")),
            "put A1:C65536 'long'..''\n"
            "table A2:C65536 A2:C2\n"
            "select クラス一覧\n"
            "put A65537:C70002 'class'..''\n"
            "frame A65537:C70002\n"
            "select クラス一覧\n"
            "filter A2:C70002\n");
}

TEST_F(SheetWriterTest, AFailingCallLeavesTheSheetAndNamesIt) {
  book_.failing = "put";
  section("first", 1);
  section("second", 1);
  EXPECT_EQ(book_.calls.substr(book_.calls.find("put ")), "put A1:C3 'first'..''\n");
  EXPECT_EQ(unwritten_, "/out/book.xlsx (クラス一覧)\n");
}

}  // namespace
