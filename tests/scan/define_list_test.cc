// The definition list in its three file forms, with per-file sections, the
// closing of an HTML list, and the numbered files past the size limit.
#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <sstream>

#include "app/options.h"
#include "app/run_tables.h"
#include "app/source_context.h"
#include "report/error_log.h"
#include "scan/define_table.h"
#include "scan/lexical_rules.h"
#include "tests/support/test_files.h"
#include "tests/support/analysis_test.h"

namespace {

const std::string kDash(48, '-');

std::string blanks(int n) { return std::string(n, ' '); }

// The page head that every HTML report opens with.
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

class DefineList : public AnalysisTest {
 protected:
  void define(const std::string& name, const std::string& params,
              const std::vector<std::string>& body) {
    ASSERT_TRUE(AnalysisTest::define(name, body, params.empty() ? std::vector<std::string>()
                                                                : std::vector<std::string>{params}));
  }
};

TEST_F(DefineList, TextColumnsAndLongNames) {
  startFile("/src/main.c");
  define("A", "", {"1"});
  define("F", "(a,b)", {"(", "(", "a", ")", "+", "(", "b", ")", ")"});
  // 30 columns of name: one blank, and the body's field gives back the 7
  // columns that name and blank took beyond 24.
  define("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123", "", {"x"});
  // 24 columns of name, with a body too long for its shortened field.
  define("X23456789012345678901234", "", {"b123456789b123456789b123456789b123456789"});
  defines().writeList(ListScope::kWholeRun);
  EXPECT_EQ(report("Mz一覧define.txt"),
            withCrLf("\n" + kDash + "\n解析対象ｿｰｽに含まれる全定義内容\n" + kDash + "\n" +
                     "#define A" + blanks(23) + "1" + blanks(29) + " [main.c]\n" +
                     "#define ABCDEFGHIJKLMNOPQRSTUVWXYZ0123 x" + blanks(22) + " [main.c]\n" +
                     "#define F(a,b)" + blanks(18) + "((a)+(b))" + blanks(21) + " [main.c]\n" +
                     "#define X23456789012345678901234 b123456789b123456789b123456789b123456789"
                     " [main.c]\n"));
}

TEST_F(DefineList, PerFileSectionsAppendToOneFile) {
  startFile("/src/a.c");
  define("A", "", {"1"});
  defines().writeList(ListScope::kPerFile);
  defines().clear();
  startFile("/src/b.c");
  define("B", "", {"2"});
  defines().writeList(ListScope::kPerFile);
  defines().writeList(ListScope::kFinish);
  EXPECT_EQ(report("Mz一覧define.txt"),
            withCrLf("\n" + kDash + "\na.cに含まれる定義内容\n" + kDash + "\n" + "#define A" +
                     blanks(23) + "1" + blanks(29) + " [a.c]\n" + "\n" + kDash +
                     "\nb.cに含まれる定義内容\n" + kDash + "\n" + "#define B" + blanks(23) + "2" +
                     blanks(29) + " [b.c]\n"));
}

TEST_F(DefineList, HtmlSectionsAndTheClosingOfThePage) {
  options().outputFormat = OutputFormat::Html;
  startFile("/src/a.c");
  define("F", "(x)", {"x", "<", "1"});
  define("E", "", {});
  defines().writeList(ListScope::kPerFile);
  defines().writeList(ListScope::kFinish);
  auto row = [](const std::string& name, const std::string& body) {
    return "    <tr>\n"
           "        <td valign=\"top\" width=\"10%\">#define</td>\n"
           "        <td valign=\"top\" width=\"30%\">" +
           name +
           "</td>\n"
           "        <td valign=\"top\" width=\"30%\">" +
           body +
           "</td>\n"
           "        <td valign=\"top\" width=\"30%\">a.c</td>\n"
           "    </tr>\n";
  };
  EXPECT_EQ(report("Mz一覧define.html"),
            withCrLf(htmlHead("#define定義一覧") + "<p>a.cに含まれる定義内容</p>\n" +
                     "<table border=\"1\" cellpadding=\"4\" width=\"800\">\n" + row("E", "　") +
                     row("F(x)", "x&lt;1") + "</table>\n<br>\n" + "</body>\n</html>\n"));
}

TEST_F(DefineList, CsvQuotesNameAndBody) {
  options().outputFormat = OutputFormat::Csv;
  startFile("/src/main.c");
  define("F", "(a,b)", {"a", "+", "b"});
  defines().writeList(ListScope::kWholeRun);
  EXPECT_EQ(report("Mz一覧define.csv"),
            withCrLf("\n" + kDash + "\n解析対象ｿｰｽに含まれる全定義内容\n" + kDash + "\n" +
                     "#define,定義名,定義内容,ﾌｧｲﾙ名\n" + "#define,\"F(a,b)\",\"a+b\",main.c\n"));
}

TEST_F(DefineList, VbConstantsGetTheirOwnWords) {
  options().outputFormat = OutputFormat::Csv;
  startFile("/src/m.bas");
  ASSERT_TRUE(defines().beginDefine("MAX"));
  defines().defineBodyToken("10");
  defines().writeList(ListScope::kPerFile);
  EXPECT_EQ(report("Mz一覧const.csv"),
            withCrLf("\n" + kDash + "\nm.basに含まれる定義内容\n" + kDash + "\n" +
                     "Const,定義名,定義内容,ﾌｧｲﾙ名\n" + "Const,\"MAX\",\"10\",m.bas\n"));
  EXPECT_EQ(report("Mz一覧define.csv"), "<missing>");
}

TEST_F(DefineList, FilesPastTheLimitAreContinuedInNumberedFiles) {
  defines().setListSizeLimit(100);
  std::string sections[3];
  const char* names[] = {"a", "b", "c"};
  for (int i = 0; i < 3; ++i) {
    startFile(std::string("/src/") + names[i] + ".c");
    define("N", "", {names[i]});
    defines().writeList(ListScope::kPerFile);
    defines().clear();
    // Each section alone is longer than the limit.
    sections[i] =
        withCrLf("\n" + kDash + "\n" + names[i] + ".cに含まれる定義内容\n" + kDash + "\n#define N" +
                 blanks(23) + names[i] + blanks(29) + " [" + names[i] + ".c]\n");
  }
  EXPECT_EQ(report("Mz一覧define.txt"), sections[0]);
  EXPECT_EQ(report("Mz一覧define_1.txt"), sections[1]);
  EXPECT_EQ(report("Mz一覧define_2.txt"), sections[2]);
}

TEST_F(DefineList, SectionsBelowTheLimitShareTheFile) {
  defines().setListSizeLimit(1000);
  for (const char* name : {"a", "b"}) {
    startFile(std::string("/src/") + name + ".c");
    defines().writeList(ListScope::kPerFile);
  }
  EXPECT_EQ(report("Mz一覧define.txt"),
            withCrLf("\n" + kDash + "\na.cに含まれる定義内容\n" + kDash + "\n" + "\n" + kDash +
                     "\nb.cに含まれる定義内容\n" + kDash + "\n"));
  EXPECT_EQ(report("Mz一覧define_1.txt"), "<missing>");
}

TEST_F(DefineList, HtmlFileClosedBeforeTheNextNumberedFile) {
  options().outputFormat = OutputFormat::Html;
  defines().setListSizeLimit(10);
  for (const char* name : {"a", "b"}) {
    startFile(std::string("/src/") + name + ".c");
    defines().writeList(ListScope::kPerFile);
  }
  defines().writeList(ListScope::kFinish);
  auto section = [](const std::string& file) {
    return "<p>" + file + "に含まれる定義内容</p>\n" +
           "<table border=\"1\" cellpadding=\"4\" width=\"800\">\n</table>\n<br>\n";
  };
  std::string end = "</body>\n</html>\n";
  EXPECT_EQ(report("Mz一覧define.html"),
            withCrLf(htmlHead("#define定義一覧") + section("a.c") + end));
  EXPECT_EQ(report("Mz一覧define_1.html"),
            withCrLf(htmlHead("#define定義一覧") + section("b.c") + end));
}

}  // namespace
