// The namespace list in its three file forms, per file and for the run.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "app/options.h"
#include "app/run_tables.h"
#include "parse/namespace_table.h"
#include "report/error_log.h"
#include "scan/lexical_rules.h"
#include "tests/support/test_files.h"
#include "tests/support/analysis_test.h"

namespace {

const std::string kDash(48, '-');

class NamespaceList : public AnalysisTest {
 protected:
  NamespaceTable& ns() { return namespaces(); }
};

TEST_F(NamespaceList, PerFileSectionsInText) {
  ns().openNamespace("zeta", 0);
  ns().openNamespace("alpha", 1);
  ns().writeNamespaceList(ListScope::kPerFile, "a.cpp");
  ns().clear();
  ns().writeNamespaceList(ListScope::kPerFile, "b.cpp");  // none: no section
  ns().openNamespace("std", 0);
  ns().writeNamespaceList(ListScope::kPerFile, "c.cpp");
  ns().writeNamespaceList(ListScope::kFinish, "");
  EXPECT_EQ(
      report("Mz名前空間一覧.txt"),
      withCrLf("\n" + kDash + "\na.cppに含まれる名前空間\n" + kDash + "\nzeta\nzeta::alpha\n\n" +
               "\n" + kDash + "\nc.cppに含まれる名前空間\n" + kDash + "\nstd\n\n"));
}

TEST_F(NamespaceList, WholeRunInCsvListsEachNameOnce) {
  options().outputFormat = OutputFormat::Csv;
  ns().openNamespace("b", 0);
  ns().statementEnd(0);
  ns().openNamespace("a", 0);
  ns().statementEnd(0);
  ns().openNamespace("b", 0);
  ns().writeNamespaceList(ListScope::kWholeRun, "x.cpp");
  EXPECT_EQ(report("Mz名前空間一覧.csv"),
            withCrLf("\n" + kDash + "\n解析対象ｿｰｽに含まれる全名前空間\n" + kDash + "\na\nb\n\n"));
}

TEST_F(NamespaceList, HtmlSectionsClosedAtTheEnd) {
  options().outputFormat = OutputFormat::Html;
  ns().openNamespace("n", 0);
  ns().writeNamespaceList(ListScope::kPerFile, "a.cpp");
  ns().writeNamespaceList(ListScope::kFinish, "");
  std::string head =
      "<html>\n\n<head>\n"
      "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=x-sjis\">\n"
      "<meta name=\"author\" content=\"ＯＲＵＮＯＫＡ\">\n"
      "<title>名前空間一覧</title>\n</head>\n\n"
      "<body bgcolor=\"#FFFFFF\" link=\"#0000FF\" vlink=\"#800080\">\n\n"
      "<p align=\"center\"><font size=\"6\" face=\"ＭＳ ゴシック\">名前空間一覧</font></p>\n\n";
  EXPECT_EQ(report("Mz名前空間一覧.html"),
            withCrLf(head + "<p>a.cppに含まれる名前空間</p>\n" +
                     "<table border=\"1\" cellpadding=\"1\" width=\"200\">\n" +
                     "    <tr>\n        <td valign=\"top\" width=\"100%\">n</td>\n    </tr>\n" +
                     "</table>\n<br>\n</body>\n</html>\n"));
}

TEST_F(NamespaceList, NoNamespacesNoFile) {
  ns().writeNamespaceList(ListScope::kWholeRun, "");
  ns().writeNamespaceList(ListScope::kFinish, "");
  EXPECT_EQ(report("Mz名前空間一覧.txt"), "<missing>");
}

}  // namespace
