// A run in the "xls" format writes its reports as the sheets of one
// workbook, read back here with the spreadsheet reader: the sheets in the
// order the run writes them, the workbook opening on the function list,
// each header row doubly underlined, coloured, repeated on every printed
// page and kept in view, each sheet's first table filtered, every sheet
// printed landscape one page wide, the function list cell by cell (the
// stack a number), the details in blocks of 13 rows, the class list in
// per-file sections two rows apart. A sheet whose operation fails is left; a stopped run saves
// nothing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "report/report_file.h"
#include "report/workbook_start.h"
#include "report/xlsx_workbook.h"
#include "tests/support/analysis_test.h"

namespace {

// Two C++ files: classes, a commented function called from main, a
// function with a local in the other file. Stack use counts parameters
// and locals: area 4, main 4, volume 8.
constexpr std::string_view kFirst =
    "class Shape {\n"
    "};\n"
    "class Circle : public Shape {\n"
    "};\n"
    "/* the area */\n"
    "int area(int r)\n"
    "{\n"
    "    return r * r * 3;\n"
    "}\n"
    "int main(void)\n"
    "{\n"
    "    int x = area(2);\n"
    "    return x;\n"
    "}\n";
constexpr std::string_view kSecond =
    "class Box {\n"
    "};\n"
    "int volume(int a)\n"
    "{\n"
    "    int v = a * a * a;\n"
    "    return v;\n"
    "}\n";

// Fails every block put into the sheet named `refused`.
class RefusingWorkbook : public platform::Workbook {
 public:
  RefusingWorkbook(std::unique_ptr<platform::Workbook> inner, std::string refused)
      : inner_(std::move(inner)), refused_(std::move(refused)) {}
  bool selectSheet(std::string_view name) override {
    current_ = name;
    return inner_->selectSheet(name);
  }
  bool nameSheet(std::string_view name) override {
    current_ = name;
    return inner_->nameSheet(name);
  }
  bool setColumnWidth(std::string_view c, int w) override { return inner_->setColumnWidth(c, w); }
  bool putBlock(std::string_view range, const platform::CellBlock& block) override {
    return current_ != refused_ && inner_->putBlock(range, block);
  }
  bool frameTable(std::string_view r, std::string_view h) override {
    return inner_->frameTable(r, h);
  }
  bool filterTable(std::string_view r) override { return inner_->filterTable(r); }
  bool frameBlock(std::string_view r) override { return inner_->frameBlock(r); }
  bool shade(std::string_view r) override { return inner_->shade(r); }
  bool activateSheet() override { return inner_->activateSheet(); }
  bool endExcel(bool cancelled) override { return inner_->endExcel(cancelled); }
  const std::string& path() const override { return inner_->path(); }

 private:
  std::unique_ptr<platform::Workbook> inner_;
  std::string refused_;
  std::string current_;
};

std::vector<std::string>& unwrittenPaths() {
  static std::vector<std::string> paths;
  return paths;
}

class WorkbookRun : public AnalysisTest {
 protected:
  WorkbookRun() {
    options().outputFormat = OutputFormat::Excel;
    options().functionList = 1;
    options().functionDetails = 1;
    options().classList = 1;
    file("a.cpp", kFirst);
    file("b.cpp", kSecond);
    unwrittenPaths().clear();
    setReportFailureHandler([](const std::string& path) { unwrittenPaths().push_back(path); });
  }
  ~WorkbookRun() override { setReportFailureHandler(nullptr); }

  std::unique_ptr<platform::Workbook> newWorkbook() {
    return startWorkbook(options().outputFolder, 0);
  }
  std::string bookPath() { return outputFolder().file(toUtf8(kXlsxWorkbookName)); }

  // The read-back lines of one sheet, its "sheet" line included.
  std::string sheet(const std::string& name) {
    const std::string all = readWorkbookBack(bookPath());
    size_t start = all.find("sheet " + name + "\n");
    if (start == std::string::npos) return "<no sheet " + name + ">";
    size_t end = all.find("\nsheet ", start);
    return all.substr(start, end == std::string::npos ? std::string::npos : end + 1 - start);
  }
  std::string sheetNames() {
    std::string names;
    const std::string all = readWorkbookBack(bookPath());
    for (size_t at = 0; (at = all.find("sheet ", at)) != std::string::npos; at += 6) {
      if (at > 0 && all[at - 1] != '\n') continue;
      names += all.substr(at + 6, all.find('\n', at) - at - 6) + ";";
    }
    return names;
  }
};

TEST_F(WorkbookRun, EveryReportIsASheet) {
  run().useWorkbook(newWorkbook());
  ASSERT_TRUE(analyse({"a.cpp", "b.cpp"}));
  EXPECT_TRUE(run().workbookSaved());
  EXPECT_FALSE(reportExists("Mz一覧Func.txt"));
  EXPECT_FALSE(reportExists("MzStepLog.txt"));
  // The class sections come after each file; the lists after the last.
  EXPECT_EQ(sheetNames(), "クラス一覧;関数一覧;関数詳細情報;ステップ数;");
  const std::string all = readWorkbookBack(bookPath());
  EXPECT_EQ(all.substr(0, all.find('\n') + 1), "opens 関数一覧\n");

  EXPECT_EQ(sheet("関数一覧"),
            "sheet 関数一覧\n"
            "titles 1:1\n"
            "frozen A2\n"
            "filter A1:E4\n"
            "page landscape fit 1x0\n"
            "width A 35\n"
            "width E 35\n"
            "A1 '関数名' tttd #CCFFFF\n"
            "B1 'STEP数' tttd #CCFFFF\n"
            "C1 'ｽﾀｯｸ' tttd #CCFFFF\n"
            "D1 'その他' tttd #CCFFFF\n"
            "E1 'ファイル名' tttd #CCFFFF\n"
            "A2 'area' tdtt\n"
            "B2 =4 tdtt\n"
            "C2 =4 tdtt\n"
            "D2 . tdtt\n"
            "E2 'a.cpp' tdtt\n"
            "A3 'main' tttt\n"
            "B3 =5 tttt\n"
            "C3 =4 tttt\n"
            "D3 . tttt\n"
            "E3 'a.cpp' tttt\n"
            "A4 'volume' tttt\n"
            "B4 =5 tttt\n"
            "C4 =8 tttt\n"
            "D4 . tttt\n"
            "E4 'b.cpp' tttt\n");

  // Per file: the heading, the header row, a row per class; two empty
  // rows before the next section.
  EXPECT_EQ(sheet("クラス一覧"),
            "sheet クラス一覧\n"
            "titles 2:2\n"
            "frozen A3\n"
            "filter A2:C4\n"
            "page landscape fit 1x0\n"
            "width B 30\n"
            "width C 30\n"
            "A1 'a.cppで使用したクラス名' ----\n"
            "A2 'class' tttd #CCFFFF\n"
            "B2 'クラス名' tttd #CCFFFF\n"
            "C2 '基本クラス' tttd #CCFFFF\n"
            "A3 'class' tdtt\n"
            "B3 'Circle' tdtt\n"
            "C3 'Shape' tdtt\n"
            "A4 'class' tttt\n"
            "B4 'Shape' tttt\n"
            "C4 . tttt\n"
            "A7 'b.cppで使用したクラス名' ----\n"
            "A8 'class' tttd #CCFFFF\n"
            "B8 'クラス名' tttd #CCFFFF\n"
            "C8 '基本クラス' tttd #CCFFFF\n"
            "A9 'class' tdtt\n"
            "B9 'Box' tdtt\n"
            "C9 . tdtt\n");

  // A block: the comment row, ten labelled rows, two empty rows; framed,
  // the comment row and the labels coloured.
  const std::string details = sheet("関数詳細情報");
  EXPECT_EQ(details.substr(0, details.find("A14 ")),
            "sheet 関数詳細情報\n"
            "page landscape fit 1x0\n"
            "width A 13\n"
            "width B 70\n"
            "A1 . tttt #CCFFFF\n"
            "B1 '/* the area */' tttt #CCFFFF\n"
            "A2 '関数名' tttt #CCFFFF\n"
            "B2 'area' tttt\n"
            "A3 '関数の型' tttt #CCFFFF\n"
            "B3 'int' tttt\n"
            "A4 '関数の引数' tttt #CCFFFF\n"
            "B4 'int r' tttt\n"
            "A5 'ソース' tttt #CCFFFF\n"
            "B5 'a.cpp  6 行目' tttt\n"
            "A6 'ステップ数' tttt #CCFFFF\n"
            "B6 '4' tttt\n"
            "A7 '使用スタック' tttt #CCFFFF\n"
            "B7 '4' tttt\n"
            "A8 '備考' tttt #CCFFFF\n"
            "B8 . tttt\n"
            "A9 '親関数' tttt #CCFFFF\n"
            "B9 'main' tttt\n"
            "A10 '子関数' tttt #CCFFFF\n"
            "B10 . tttt\n"
            "A11 '参照変数' tttt #CCFFFF\n"
            "B11 . tttt\n");
  EXPECT_NE(details.find("A15 '関数名' tttt #CCFFFF\nB15 'main' tttt\n"), std::string::npos);
  EXPECT_NE(details.find("B23 'area' tttt\n"), std::string::npos);
  EXPECT_NE(details.find("A28 '関数名' tttt #CCFFFF\nB28 'volume' tttt\n"), std::string::npos);

  const std::string steps = sheet("ステップ数");
  EXPECT_NE(steps.find("titles 1:1\n"), std::string::npos);
  EXPECT_NE(steps.find("I1 '関数' tttd #CCFFFF\n"), std::string::npos);
  EXPECT_NE(steps.find("A4 '全ファイル(2)' tttt\n"), std::string::npos);
}

TEST_F(WorkbookRun, AFailingSheetIsLeftAndTheRunGoesOn) {
  run().useWorkbook(std::make_unique<RefusingWorkbook>(newWorkbook(), "関数一覧"));
  ASSERT_TRUE(analyse({"a.cpp", "b.cpp"}));
  EXPECT_EQ(sheet("関数一覧"), "sheet 関数一覧\npage landscape fit 1x0\nwidth A 35\nwidth E 35\n");
  EXPECT_NE(sheet("関数詳細情報").find("B2 'area'"), std::string::npos);
  EXPECT_NE(sheet("ステップ数").find("A2 'a.cpp'"), std::string::npos);
  EXPECT_EQ(unwrittenPaths(),
            std::vector<std::string>{options().outputFolder + kXlsxWorkbookName + " (関数一覧)"});
}

TEST_F(WorkbookRun, AStoppedRunSavesNothing) {
  run().useWorkbook(newWorkbook());
  run().requestStop();
  EXPECT_FALSE(analyse({"a.cpp", "b.cpp"}));
  EXPECT_FALSE(reportExists(kXlsxWorkbookName));
  EXPECT_TRUE(unwrittenPaths().empty());
}

}  // namespace
