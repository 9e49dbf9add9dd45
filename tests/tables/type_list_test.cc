// The type list's rows and its sections across a run.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "context/options.h"
#include "context/source_context.h"
#include "tables/type_table.h"
#include "report/error_log.h"
#include "context/language_mode.h"
#include "scan/lexical_rules.h"
#include "tests/report/row_dump.h"
#include "tests/support/analysis_test.h"
#include "tests/support/test_files.h"

namespace {

const char kName22[] = "ABCDEFGHIJKLMNOPQRSTUV";
const std::string kTypeHead = "head: No | 型名 | サイズ | 計測結果\n";

class TypeList : public AnalysisTest {
 protected:
  void SetUp() override { context().setLanguageMask(kModeC); }
  RowDump dump_{reports()};
  // A type the sources declared and then used.
  void used(const char* name, int kind, int size, bool inexact, int languages = kModeC) {
    types().registerType(name, kind, size, inexact, languages);
    types().findType(name, TypeTable::FindMode::kAnyLanguage);
  }
};

// Used types of the current language, numbered; a class has "-" for a size.
TEST_F(TypeList, Rows) {
  used("DWORD", TypeTable::kTypedef, 4, false);
  used("CFoo", TypeTable::kClass, 0, false);
  used("MYINT", TypeTable::kTypedef, 0, true);
  used(kName22, TypeTable::kStructure, 8, false);
  types().registerType("UNUSED", TypeTable::kTypedef, 4, false, kModeC);
  used("Currency", TypeTable::kTypedef, 8, false, kModeVb);
  types().writeTypeList(reports(), ListScope::kPerFile, "a.c");
  EXPECT_EQ(report("Mz一覧type.txt"), withCrLf("page: 型情報一覧\n"
                                               "caption: a.cで使用した型情報を書き出します。\n" +
                                               kTypeHead + "row: #1 | " + kName22 +
                                               " | #8 | \n"
                                               "row: #2 | CFoo | - | \n"
                                               "row: #3 | DWORD | #4 | \n"
                                               "row: #4 | MYINT | #0 | 不正確 {t: ,(不正確)}\n"
                                               "end\n"));
}

TEST_F(TypeList, SectionsOfEachFileAppendAndUsedMarksStartAgain) {
  baseTypes().loadBuiltIn();
  types().copyFrom(baseTypes());
  types().isType("int");
  types().writeTypeList(reports(), ListScope::kPerFile, "a.c");
  types().endFile(kModeC);
  types().copyFrom(baseTypes());
  types().isType("char");
  types().writeTypeList(reports(), ListScope::kPerFile, "b.c");
  types().writeTypeList(reports(), ListScope::kFinish, "");
  EXPECT_EQ(report("Mz一覧type.txt"), withCrLf("page: 型情報一覧\n"
                                               "caption: a.cで使用した型情報を書き出します。\n" +
                                               kTypeHead +
                                               "row: #1 | int | #4 | \nend\n"
                                               "caption: b.cで使用した型情報を書き出します。\n" +
                                               kTypeHead + "row: #1 | char | #1 | \nend\n"));
}

// Delphi keeps its types from file to file: a file's section lists those
// it used, in name order (letters folded), and the next file starts with
// none used.
TEST_F(TypeList, AKeptTableListsWhatEachFileUsed) {
  context().setLanguageMask(kModeDelphi);
  setCaseInsensitiveNames(true);
  for (int i = 0; i < 40; ++i)
    types().registerType("T" + std::to_string(100 + i), TypeTable::kTypedef, 4, false, kModeDelphi);
  types().findType("t130", TypeTable::FindMode::kCurrentLanguage);
  types().findType("T105", TypeTable::FindMode::kCurrentLanguage);
  types().findType("T130", TypeTable::FindMode::kCurrentLanguage);
  types().writeTypeList(reports(), ListScope::kPerFile, "u1.pas");
  types().endFile(kModeDelphi);
  types().findType("T102", TypeTable::FindMode::kCurrentLanguage);
  types().writeTypeList(reports(), ListScope::kPerFile, "u2.pas");
  setCaseInsensitiveNames(false);
  EXPECT_EQ(report("Mz一覧type.txt"),
            withCrLf("page: 型情報一覧\n"
                     "caption: u1.pasで使用した型情報を書き出します。\n" +
                     kTypeHead +
                     "row: #1 | T105 | #4 | \nrow: #2 | T130 | #4 | \nend\n"
                     "caption: u2.pasで使用した型情報を書き出します。\n" +
                     kTypeHead + "row: #1 | T102 | #4 | \nend\n"));
}

TEST_F(TypeList, FinishWithoutSectionsWritesTheWholeRun) {
  used("DWORD", TypeTable::kTypedef, 4, false);
  types().writeTypeList(reports(), ListScope::kFinish, "");
  EXPECT_EQ(report("Mz一覧type.txt"),
            withCrLf("page: 型情報一覧\n"
                     "caption: 解析対象ｿｰｽで使用した全型情報を書き出します。\n" +
                     kTypeHead + "row: #1 | DWORD | #4 | \nend\n"));
}

}  // namespace
