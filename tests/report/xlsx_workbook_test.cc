// The workbook written by the workbook library, read back by a spreadsheet
// reader (openpyxl): sheets, names, cells, widths, lines, colours, number
// formats, print titles, frozen rows, filters, page setup and the sheet it
// opens on, as the writer asked for them.
#include "report/xlsx_workbook.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "report/workbook_start.h"
#include "tests/support/test_files.h"

namespace {

using platform::CellBlock;
using platform::WorkbookCell;

// What read_workbook.py prints for the workbook in `folder`.
std::string readBack(const std::string& folder) {
  return readWorkbookBack(folder + "/" + toUtf8(kXlsxWorkbookName));
}

CellBlock rowsOf(std::initializer_list<std::initializer_list<WorkbookCell>> rows) {
  CellBlock block(static_cast<int>(rows.size()), static_cast<int>(rows.begin()->size()));
  int r = 0;
  for (const auto& row : rows) {
    int c = 0;
    for (const WorkbookCell& cell : row) block.at(r, c++) = cell;
    ++r;
  }
  return block;
}

WorkbookCell t(const char* text) { return WorkbookCell::of(text); }
WorkbookCell n(int number) { return WorkbookCell::integer(number); }

class XlsxWorkbookTest : public ::testing::Test {
 protected:
  // Without the spreadsheet program (a version found or not), the run's
  // workbook is the library's.
  void SetUp() override { book_ = startWorkbook(dir_.path() + "/", 12); }
  TempDir dir_;
  std::unique_ptr<platform::Workbook> book_;
};

// A list with a header row: the header underlined double and coloured,
// every cell of the table (the empty ones too) inside thin lines; texts
// that look like numbers stay texts; the header row prints on every page
// and stays in view; the sheet prints landscape, one page wide.
TEST_F(XlsxWorkbookTest, TableSheet) {
  ASSERT_TRUE(book_->selectSheet(""));
  ASSERT_TRUE(book_->nameSheet("関数一覧"));
  ASSERT_TRUE(book_->putBlock("A1:C3", rowsOf({{t("関数名"), t("STEP数"), t("その他")},
                                               {t("main"), n(12), t("")},
                                               {t("f"), n(-3), t("010")}})));
  ASSERT_TRUE(book_->setColumnWidth("A", 35));
  ASSERT_TRUE(book_->setColumnWidth("c", 20));
  ASSERT_TRUE(book_->frameTable("A1:C3", "A1:C1"));
  ASSERT_TRUE(book_->endExcel(false));
  EXPECT_EQ(readBack(dir_.path()),
            "opens 関数一覧\n"
            "sheet 関数一覧\n"
            "titles 1:1\n"
            "frozen A2\n"
            "page landscape fit 1x0\n"
            "width A 35\n"
            "width C 20\n"
            "A1 '関数名' tttd #CCFFFF\n"
            "B1 'STEP数' tttd #CCFFFF\n"
            "C1 'その他' tttd #CCFFFF\n"
            "A2 'main' tdtt\n"
            "B2 =12 tdtt\n"
            "C2 . tdtt\n"
            "A3 'f' tttt\n"
            "B3 =-3 tttt\n"
            "C3 '010' tttt\n");
}

// Sections of one sheet found again by name (letter case ignored; a new
// sheet without a name is named by its place, "Sheet2"): the
// print titles stay those of the first table, a list in one cell keeps its
// line breaks, and blocks framed and shaded apart.
TEST_F(XlsxWorkbookTest, SectionsAndBlocks) {
  ASSERT_TRUE(book_->selectSheet("Class"));
  ASSERT_TRUE(book_->putBlock("A1:B3", rowsOf({{t("全クラス"), t("")},
                                               {t("class"), t("基本クラス")},
                                               {t("Cat"), t("Animal\nPet")}})));
  ASSERT_TRUE(book_->frameTable("A2:B3", "A2:B2"));
  ASSERT_TRUE(book_->selectSheet(""));
  ASSERT_TRUE(book_->selectSheet("CLASS"));
  ASSERT_TRUE(book_->putBlock("A6:B7", rowsOf({{t("class"), t("基本クラス")}, {t("Dog"), t("")}})));
  ASSERT_TRUE(book_->frameTable("A6:B7", "A6:B6"));
  ASSERT_TRUE(book_->selectSheet("sheet2"));
  ASSERT_TRUE(book_->putBlock("B2", rowsOf({{t("'comment")}})));
  ASSERT_TRUE(book_->frameBlock("A2:B3"));
  ASSERT_TRUE(book_->shade("B2"));
  ASSERT_TRUE(book_->shade("A3"));
  ASSERT_TRUE(book_->endExcel(false));
  EXPECT_EQ(readBack(dir_.path()),
            "opens Class\n"
            "sheet Class\n"
            "titles 2:2\n"
            "frozen A3\n"
            "page landscape fit 1x0\n"
            "A1 '全クラス' ----\n"
            "A2 'class' tttd #CCFFFF\n"
            "B2 '基本クラス' tttd #CCFFFF\n"
            "A3 'Cat' tdtt\n"
            "B3 'Animal\\nPet' tdtt\n"
            "A6 'class' tttd #CCFFFF\n"
            "B6 '基本クラス' tttd #CCFFFF\n"
            "A7 'Dog' tdtt\n"
            "B7 . tdtt\n"
            "sheet Sheet2\n"
            "page landscape fit 1x0\n"
            "A2 . tttt\n"
            "B2 \"'comment\" tttt #CCFFFF\n"
            "A3 . tttt #CCFFFF\n"
            "B3 . tttt\n");
}

// What the spreadsheet would refuse is refused, and the workbook goes on.
TEST_F(XlsxWorkbookTest, RefusedOperationsLeaveTheWorkbookWhole) {
  EXPECT_FALSE(book_->putBlock("A1", rowsOf({{t("x")}})));  // no sheet yet
  ASSERT_TRUE(book_->selectSheet("一覧"));
  ASSERT_TRUE(book_->selectSheet("二"));
  const char* badNames[] = {"",    "一覧",     "a[1]",
                            "a:b", "'quoted'", "12345678901234567890123456789012"};
  for (const char* name : badNames) EXPECT_FALSE(book_->nameSheet(name)) << toUtf8(name);
  EXPECT_TRUE(book_->nameSheet("表")) << "the trail byte of 表 is '\\'";
  EXPECT_TRUE(book_->nameSheet("1234567890123456789012345678901"));
  EXPECT_FALSE(book_->putBlock("A1:B1", rowsOf({{t("one")}})));
  EXPECT_FALSE(book_->putBlock("A0", rowsOf({{t("x")}})));
  EXPECT_FALSE(book_->putBlock("A1048577", rowsOf({{t("x")}})));
  EXPECT_FALSE(book_->setColumnWidth("XFE", 10));
  EXPECT_FALSE(book_->frameTable("A1:B", "A1:B1"));
  EXPECT_TRUE(book_->putBlock("XFD1048576", rowsOf({{n(7)}})));
  ASSERT_TRUE(book_->endExcel(false));
  EXPECT_FALSE(book_->selectSheet("late"));
  EXPECT_EQ(readBack(dir_.path()),
            "opens 一覧\n"
            "sheet 一覧\n"
            "page landscape fit 1x0\n"
            "sheet 1234567890123456789012345678901\n"
            "page landscape fit 1x0\n"
            "XFD1048576 =7 ----\n");
}

// A cell shows at most 32,767 characters; a longer text is cut on a whole
// character.
TEST_F(XlsxWorkbookTest, LongTextIsCutToTheCellLimit) {
  std::string text = "a" + std::string(32766, 'b');
  for (int i = 0; i < 5; ++i) text += "漢";
  ASSERT_TRUE(book_->selectSheet("s"));
  ASSERT_TRUE(book_->putBlock("A1", rowsOf({{WorkbookCell::of(text)}})));
  ASSERT_TRUE(book_->endExcel(false));
  std::string expected =
      "opens s\nsheet s\npage landscape fit 1x0\nA1 'a" + std::string(32766, 'b') + "' ----\n";
  EXPECT_EQ(readBack(dir_.path()), expected);
}

// The workbook opens on the sheet activated last; a sheet has the filter
// and the frozen header rows of its first table only (the spreadsheet has
// one of each a sheet); a marked number keeps its value and shows the mark
// through its number format.
TEST_F(XlsxWorkbookTest, OpeningSheetFiltersFrozenRowsAndMarkedNumbers) {
  ASSERT_TRUE(book_->selectSheet("first"));
  ASSERT_TRUE(book_->activateSheet());
  ASSERT_TRUE(book_->selectSheet("一覧"));
  ASSERT_TRUE(book_->activateSheet());
  ASSERT_TRUE(book_->putBlock("A1:B4", rowsOf({{t("見出し"), t("")},
                                               {t("名前"), t("ｽﾀｯｸ")},
                                               {t("f"), WorkbookCell::integer(20, "×")},
                                               {t("g"), n(15)}})));
  ASSERT_TRUE(book_->frameTable("A2:B4", "A2:B2"));
  ASSERT_TRUE(book_->filterTable("A2:B4"));
  ASSERT_TRUE(book_->putBlock("A7:B8", rowsOf({{t("名前"), t("ｽﾀｯｸ")}, {t("h"), n(0)}})));
  ASSERT_TRUE(book_->frameTable("A7:B8", "A7:B7"));
  ASSERT_TRUE(book_->filterTable("A7:B8"));
  ASSERT_TRUE(book_->endExcel(false));
  EXPECT_EQ(readBack(dir_.path()),
            "opens 一覧\n"
            "sheet first\n"
            "page landscape fit 1x0\n"
            "sheet 一覧\n"
            "titles 2:2\n"
            "frozen A3\n"
            "filter A2:B4\n"
            "page landscape fit 1x0\n"
            "A1 '見出し' ----\n"
            "A2 '名前' tttd #CCFFFF\n"
            "B2 'ｽﾀｯｸ' tttd #CCFFFF\n"
            "A3 'f' tdtt\n"
            "B3 =20 tdtt \"× \"0\n"
            "A4 'g' tttt\n"
            "B4 =15 tttt\n"
            "A7 '名前' tttd #CCFFFF\n"
            "B7 'ｽﾀｯｸ' tttd #CCFFFF\n"
            "A8 'h' tdtt\n"
            "B8 =0 tdtt\n");
}

// A cancelled workbook writes nothing; one that cannot be written says so.
// Nothing is left beside the workbook: a cancelled one saves nothing, and
// one that cannot be saved whole leaves the earlier file as it was.
TEST_F(XlsxWorkbookTest, CancelSavesNothingAndAFailedSaveIsTold) {
  ASSERT_TRUE(book_->selectSheet("s"));
  EXPECT_TRUE(book_->endExcel(true));
  EXPECT_FALSE(book_->endExcel(false)) << "a workbook ends once";
  EXPECT_TRUE(namesIn(dir_.path()).empty());

  auto lost = startWorkbook(dir_.path() + "/no such folder/", 0);
  ASSERT_TRUE(lost->selectSheet("s"));
  EXPECT_FALSE(lost->endExcel(false));

  const std::string earlier = dir_.file(toUtf8(kXlsxWorkbookName));
  writeFileBytes(earlier, "earlier");
  auto cut = startWorkbook(dir_.path() + "/", 0);
  ASSERT_TRUE(cut->selectSheet("s"));
  ASSERT_TRUE(cut->putBlock("A1:A1", rowsOf({{t("x")}})));
  {
    FileSizeLimit full(2000);
    EXPECT_FALSE(cut->endExcel(false));
  }
  EXPECT_EQ(readFileBytes(earlier), "earlier");
  EXPECT_EQ(namesIn(dir_.path()), std::vector<std::string>{toUtf8(kXlsxWorkbookName)});
}

}  // namespace
