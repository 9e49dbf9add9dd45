// The type list in its three file forms and across the sections of a run.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "app/options.h"
#include "app/run_tables.h"
#include "app/source_context.h"
#include "parse/type_table.h"
#include "report/error_log.h"
#include "app/language_mode.h"
#include "scan/lexical_rules.h"
#include "tests/support/test_files.h"
#include "tests/support/analysis_test.h"

namespace {

const std::string kDash(48, '-');
const char kName22[] = "ABCDEFGHIJKLMNOPQRSTUV";
const char kName27[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZa";

std::string blanks(int n) { return std::string(n, ' '); }

std::string htmlHead(const std::string& title) {
  return "<html>\n\n<head>\n"
         "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=x-sjis\">\n"
         "<meta name=\"author\" content=\"ＯＲＵＮＯＫＡ\">\n"
         "<title>" +
         title +
         "</title>\n</head>\n\n"
         "<body bgcolor=\"#FFFFFF\" link=\"#0000FF\" vlink=\"#800080\">\n\n"
         "<p align=\"center\"><font size=\"6\" face=\"ＭＳ ゴシック\">" +
         title + "</font></p>\n\n";
}

class TypeList : public AnalysisTest {
 protected:
  void SetUp() override { context().setLanguageMask(kModeC); }
  // A type the sources declared and then used.
  void used(const char* name, int kind, int size, bool inexact, int languages = kModeC) {
    types().registerType(name, kind, size, inexact, languages);
    types().findType(name, TypeTable::FindMode::kAnyLanguage);
  }
  // The five types of the text and CSV cases, plus two that must not show.
  void fillSample() {
    used("DWORD", TypeTable::kTypedef, 4, false);
    used("CFoo", TypeTable::kClass, 0, false);
    used("MYINT", TypeTable::kTypedef, 0, true);
    used(kName22, TypeTable::kStructure, 8, false);
    used(kName27, TypeTable::kTypedef, 2, false);
    types().registerType("UNUSED", TypeTable::kTypedef, 4, false, kModeC);
    used("Currency", TypeTable::kTypedef, 8, false, kModeVb);
  }
};

TEST_F(TypeList, TextRowsShareTheNameAndSizeColumns) {
  fillSample();
  types().writeTypeList(ListScope::kPerFile, "a.c");
  EXPECT_EQ(
      report("Mz一覧type.txt"),
      withCrLf(kDash + "\na.cで使用した型情報を書き出します。\n" + kDash + "\n" +
               "   1, ABCDEFGHIJKLMNOPQRSTUV,  8\n" + "   2, ABCDEFGHIJKLMNOPQRSTUVWXYZa,2\n" +
               "   3, CFoo," + blanks(15) + "     -\n" + "   4, DWORD," + blanks(14) + "     4\n" +
               "   5, MYINT," + blanks(14) + "     0,(不正確)\n" + "\n\n"));
}

TEST_F(TypeList, CsvWholeRun) {
  options().outputFormat = OutputFormat::Csv;
  fillSample();
  types().writeTypeList(ListScope::kWholeRun, "");
  EXPECT_EQ(report("Mz一覧type.csv"),
            withCrLf(kDash + "\n解析対象ｿｰｽで使用した全型情報を書き出します。\n" + kDash + "\n" +
                     "No,型名,サイズ,計測結果\n" + "1," + kName22 + ",8,\n" + "2," + kName27 +
                     ",2,\n" + "3,CFoo,-,\n" + "4,DWORD,4,\n" + "5,MYINT,0,不正確\n" + "\n\n"));
}

TEST_F(TypeList, HtmlSectionsAndTheirClosing) {
  options().outputFormat = OutputFormat::Html;
  used("CFoo", TypeTable::kClass, 0, false);
  used("MYINT", TypeTable::kTypedef, 0, true);
  types().writeTypeList(ListScope::kPerFile, "a.c");
  types().writeTypeList(ListScope::kFinish, "");
  EXPECT_EQ(report("Mz一覧type.html"),
            withCrLf(htmlHead("型情報一覧") + "<p>a.cで使用した型情報を書き出します。</p>\n" +
                     "<table border=\"1\" cellpadding=\"4\" width=\"400\">\n" +
                     "    <tr>\n"
                     "        <td align=\"right\" valign=\"top\" width=\"10%\">1</td>\n"
                     "        <td valign=\"top\" width=\"50%\">CFoo</td>\n"
                     "        <td valign=\"top\" width=\"20%\">-</td>\n"
                     "        <td valign=\"top\" width=\"20%\">　</td>\n"
                     "    </tr>\n"
                     "    <tr>\n"
                     "        <td align=\"right\" valign=\"top\" width=\"10%\">2</td>\n"
                     "        <td valign=\"top\" width=\"50%\">MYINT</td>\n"
                     "        <td align=\"right\" valign=\"top\" width=\"20%\">0</td>\n"
                     "        <td valign=\"top\" width=\"20%\">不正確</td>\n"
                     "    </tr>\n"
                     "</table>\n<br>\n</body>\n</html>\n"));
}

TEST_F(TypeList, SectionsOfEachFileAppendAndUsedMarksStartAgain) {
  baseTypes().loadBuiltIn();
  types().copyFrom(baseTypes());
  types().isType("int");
  types().writeTypeList(ListScope::kPerFile, "a.c");
  types().endFile(kModeC);
  types().copyFrom(baseTypes());
  types().isType("char");
  types().writeTypeList(ListScope::kPerFile, "b.c");
  types().writeTypeList(ListScope::kFinish, "");
  EXPECT_EQ(
      report("Mz一覧type.txt"),
      withCrLf(kDash + "\na.cで使用した型情報を書き出します。\n" + kDash + "\n" + "   1, int," +
               blanks(16) + "     4\n\n\n" + kDash + "\nb.cで使用した型情報を書き出します。\n" +
               kDash + "\n" + "   1, char," + blanks(15) + "     1\n\n\n"));
}

TEST_F(TypeList, FinishWithoutSectionsWritesTheWholeRun) {
  used("DWORD", TypeTable::kTypedef, 4, false);
  types().writeTypeList(ListScope::kFinish, "");
  EXPECT_EQ(report("Mz一覧type.txt"),
            withCrLf(kDash + "\n解析対象ｿｰｽで使用した全型情報を書き出します。\n" + kDash + "\n" +
                     "   1, DWORD," + blanks(14) + "     4\n\n\n"));
}

}  // namespace
