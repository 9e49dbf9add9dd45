// The namespace list per file and for the run.
#include <gtest/gtest.h>

#include "context/options.h"
#include "tables/namespace_table.h"
#include "scan/lexical_rules.h"
#include "tests/report/row_dump.h"
#include "tests/support/analysis_test.h"
#include "tests/support/test_files.h"

namespace {

class NamespaceList : public AnalysisTest {
 protected:
  NamespaceTable& ns() { return namespaces(); }
  RowDump dump_{reports()};
};

// A file without namespaces gets no section.
TEST_F(NamespaceList, PerFileSections) {
  ns().openNamespace("zeta", 0);
  ns().openNamespace("alpha", 1);
  ns().writeNamespaceList(reports(), ListScope::kPerFile, "a.cpp");
  ns().clear();
  ns().writeNamespaceList(reports(), ListScope::kPerFile, "b.cpp");
  ns().openNamespace("std", 0);
  ns().writeNamespaceList(reports(), ListScope::kPerFile, "c.cpp");
  ns().writeNamespaceList(reports(), ListScope::kFinish, "");
  EXPECT_EQ(
      report("Mz名前空間一覧.txt"),
      withCrLf(
          "page: 名前空間一覧\n"
          "caption: a.cppに含まれる名前空間\nhead: 名前空間名\nrow: zeta\nrow: zeta::alpha\nend\n"
          "caption: c.cppに含まれる名前空間\nhead: 名前空間名\nrow: std\nend\n"));
}

TEST_F(NamespaceList, WholeRunListsEachNameOnce) {
  ns().openNamespace("b", 0);
  ns().statementEnd(0);
  ns().openNamespace("a", 0);
  ns().statementEnd(0);
  ns().openNamespace("b", 0);
  ns().writeNamespaceList(reports(), ListScope::kWholeRun, "x.cpp");
  EXPECT_EQ(report("Mz名前空間一覧.txt"),
            withCrLf("page: 名前空間一覧\ncaption: 解析対象ｿｰｽに含まれる全名前空間\n"
                     "head: 名前空間名\nrow: a\nrow: b\nend\n"));
}

TEST_F(NamespaceList, NoNamespacesNoFile) {
  ns().writeNamespaceList(reports(), ListScope::kWholeRun, "");
  ns().writeNamespaceList(reports(), ListScope::kFinish, "");
  EXPECT_EQ(report("Mz名前空間一覧.txt"), "<missing>");
}

}  // namespace
