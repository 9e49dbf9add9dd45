// The definition list's rows, its per-file sections and the numbered files
// past the size limit.
#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <sstream>

#include "context/options.h"
#include "context/source_context.h"
#include "report/error_log.h"
#include "scan/define_table.h"
#include "scan/lexical_rules.h"
#include "tests/report/row_dump.h"
#include "tests/support/analysis_test.h"
#include "tests/support/test_files.h"

namespace {

class DefineList : public AnalysisTest {
 protected:
  void define(const std::string& name, const std::string& params,
              const std::vector<std::string>& body) {
    ASSERT_TRUE(AnalysisTest::define(
        name, body,
        params.empty() ? std::vector<std::string>() : std::vector<std::string>{params}));
  }
  RowDump dump_{reports()};
};

const std::string kDefineHead = "head: #define | 定義名 | 定義内容 | ﾌｧｲﾙ名\n";

// Name and parameters in one cell, the body as its tokens joined, the file.
TEST_F(DefineList, Rows) {
  startFile("/src/main.c");
  define("A", "", {"1"});
  define("F", "(a,b)", {"(", "(", "a", ")", "+", "(", "b", ")", ")"});
  define("S", "", {"\"x y\""});
  defines().writeList(reports(), ListScope::kWholeRun);
  EXPECT_EQ(
      report("Mz一覧define.txt"),
      withCrLf("page: #define定義一覧\ncaption: 解析対象ｿｰｽに含まれる全定義内容\n" + kDefineHead +
               "row: #define | A | 1 | main.c\n"
               "row: #define | F(a,b) | ((a)+(b)) | main.c\n"
               "row: #define | S | \"x y\" | main.c\n"
               "end\n"));
}

TEST_F(DefineList, PerFileSectionsAppendToOneFile) {
  startFile("/src/a.c");
  define("A", "", {"1"});
  defines().writeList(reports(), ListScope::kPerFile);
  defines().clear();
  startFile("/src/b.c");
  defines().writeList(reports(), ListScope::kPerFile);
  defines().writeList(reports(), ListScope::kFinish);
  EXPECT_EQ(report("Mz一覧define.txt"),
            withCrLf("page: #define定義一覧\ncaption: a.cに含まれる定義内容\n" + kDefineHead +
                     "row: #define | A | 1 | a.c\nend\n"
                     "caption: b.cに含まれる定義内容\n" +
                     kDefineHead + "end\n"));
}

TEST_F(DefineList, VbConstantsGetTheirOwnWordsAndFile) {
  startFile("/src/m.bas");
  ASSERT_TRUE(defines().beginDefine("MAX"));
  defines().defineBodyToken("10");
  defines().writeList(reports(), ListScope::kPerFile);
  EXPECT_EQ(
      report("Mz一覧const.txt"),
      withCrLf("page: Const定数一覧\ncaption: m.basに含まれる定義内容\n"
               "head: Const | 定義名 | 定義内容 | ﾌｧｲﾙ名\nrow: Const | MAX | 10 | m.bas\nend\n"));
  EXPECT_EQ(report("Mz一覧define.txt"), "<missing>");
}

// Each section alone is longer than the limit.
TEST_F(DefineList, FilesPastTheLimitAreContinuedInNumberedFiles) {
  defines().setListSizeLimit(100);
  const char* names[] = {"a", "b", "c", "d"};
  for (const char* name : names) {
    startFile(std::string("/src/") + name + ".c");
    defines().writeList(reports(), ListScope::kPerFile);
  }
  EXPECT_NE(report("Mz一覧define.txt").find("a.c"), std::string::npos);
  EXPECT_NE(report("Mz一覧define_1.txt").find("b.c"), std::string::npos);
  EXPECT_NE(report("Mz一覧define_3.txt").find("d.c"), std::string::npos);
}

}  // namespace
