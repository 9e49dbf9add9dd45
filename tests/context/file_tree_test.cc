#include "context/file_tree.h"

#include <gtest/gtest.h>

#include "context/file_name_pool.h"
#include "context/options.h"
#include "tests/support/analysis_test.h"

namespace {

class FileTreeTest : public AnalysisTest {
 protected:
  // "parent>child" edges; a main file is entered with an empty parent.
  void edges(std::initializer_list<const char*> list) {
    for (std::string edge : list) {
      size_t at = edge.find('>');
      tree_.addEdge(edge.substr(0, at), "/src/" + edge.substr(at + 1));
    }
  }
  std::string report(const char* name = "MzFileTree.txt") {
    tree_.write(reports());
    std::string bytes = AnalysisTest::report(name), out;
    for (char c : bytes)
      if (c != '\r') out += c;
    return out;
  }

  FileNamePool names_;
  FileTree tree_{options(), names_};
};

TEST_F(FileTreeTest, NodesAndEdges) {
  edges({">a.c", "a.c>b.h", "a.c>b.h", "b.h>b.h"});
  ASSERT_EQ(tree_.nodes().size(), 2u);
  EXPECT_EQ(tree_.nodes()[0].flags, FileTree::kSourceFile);
  EXPECT_EQ(tree_.nodes()[0].children, std::vector<int>{2});  // no duplicate
  EXPECT_EQ(tree_.nodes()[1].flags, FileTree::kRecursion);
}

TEST_F(FileTreeTest, ConnectorsAndVerticals) {
  edges({">a.c", "a.c>b.h", "b.h>d.h", "d.h>e.h", "a.c>c.h"});
  EXPECT_EQ(report(),
            "a.c\n"
            "  ├b.h\n"
            "  │└d.h\n"
            "  │  └e.h\n"
            "  └c.h\n"
            "\n");
}

TEST_F(FileTreeTest, IncluderIncludedBackIsMarked) {
  edges({">a.c", "a.c>b.h", "b.h>a.c"});
  EXPECT_EQ(report(), "a.c\n  └b.h\n    └a.c(再回帰)\n\n");
}

TEST_F(FileTreeTest, SelfIncludeIsMarkedWhereverShown) {
  edges({">a.c", "a.c>b.h", "b.h>b.h", "b.h>c.h"});
  EXPECT_EQ(report(), "a.c\n  └b.h(再回帰)\n\n");
}

TEST_F(FileTreeTest, TwentyLevelsAtMost) {
  std::vector<std::string> list{">a.c", "a.c>h1.h"};
  for (int i = 1; i < 25; ++i)
    list.push_back("h" + std::to_string(i) + ".h>h" + std::to_string(i + 1) + ".h");
  for (const std::string& edge : list) {
    size_t at = edge.find('>');
    tree_.addEdge(edge.substr(0, at), edge.substr(at + 1));
  }
  std::string text = report();
  EXPECT_NE(text.find("└h20.h\n"), std::string::npos);
  EXPECT_EQ(text.find("h21.h"), std::string::npos);
  // h20 sits under 19 levels: the indent and 19 blank units before it.
  EXPECT_NE(text.find("\n" + std::string(40, ' ') + "└h20.h\n"), std::string::npos);
}

TEST_F(FileTreeTest, RepeatedSubtreesShownOrHidden) {
  edges({">a.c", "a.c>x.h", "x.h>y.h", ">b.c", "b.c>x.h", "b.c>z.h"});
  std::string shown = "a.c\n  └x.h\n    └y.h\n\nb.c\n  ├x.h\n  │└y.h\n  └z.h\n\n";
  EXPECT_EQ(report(), shown);
  options().hideRepeatedSubtrees = 1;
  FileNamePool names;
  FileTree tree(options(), names);
  tree.addEdge("", "a.c");
  tree.addEdge("a.c", "x.h");
  tree.addEdge("x.h", "y.h");
  tree.addEdge("", "b.c");
  tree.addEdge("b.c", "x.h");
  tree.addEdge("b.c", "z.h");
  tree.write(reports());
  std::string bytes = AnalysisTest::report("MzFileTree.txt"), text;
  for (char c : bytes)
    if (c != '\r') text += c;
  // x.h was expanded under a.c: under b.c it has an arrow; z.h has no children.
  EXPECT_EQ(text, "a.c\n  └x.h\n    └y.h\n\nb.c\n  ├x.h↑\n  └z.h\n\n");
}

TEST_F(FileTreeTest, NoSourceFileWritesNothing) {
  tree_.addEdge("x.h", "y.h");
  EXPECT_EQ(report(), "");
}

}  // namespace
