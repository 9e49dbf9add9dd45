#include "context/include_registry.h"

#include <gtest/gtest.h>

#include "context/file_name_pool.h"
#include "context/file_tree.h"
#include "context/options.h"
#include "context/source_context.h"
#include "tests/support/analysis_test.h"

namespace {

class IncludeRegistryTest : public AnalysisTest {
 protected:
  void SetUp() override { startFile("/src/main.c"); }
  IncludeRegistry& registry() { return includes(); }
  // The children of a node by name, joined by ','.
  std::string childrenOf(const std::string& name) {
    const FileTree& tree = fileTree();
    for (const FileTree::Node& node : tree.nodes()) {
      if (fileNames().name(node.fileId) != name) continue;
      std::string out;
      for (int c : node.children)
        out += (out.empty() ? "" : ",") + fileNames().name(tree.nodes()[c - 1].fileId);
      return out;
    }
    return "<none>";
  }
};

TEST_F(IncludeRegistryTest, FirstSightRegistersRepeatAddsATreeEdge) {
  EXPECT_EQ(registry().checkAndRegister("/src/a.h", "a.h"), 0);
  EXPECT_EQ(childrenOf("main.c"), "<none>");  // the reader adds the first edge
  EXPECT_EQ(registry().checkAndRegister("/src/a.h", "a.h"), 1);
  EXPECT_EQ(childrenOf("main.c"), "a.h");
  ASSERT_EQ(registry().entries().size(), 1u);
  EXPECT_FALSE(registry().entries()[0].missing);
}

TEST_F(IncludeRegistryTest, MissingHeaderIsRegisteredOnce) {
  EXPECT_EQ(registry().checkAndRegister("/src/m.h", "m.h"), 0);
  registry().registerMissing("/src/m.h", "m.h");
  ASSERT_EQ(registry().entries().size(), 1u);
  EXPECT_TRUE(registry().entries()[0].missing);
  EXPECT_EQ(registry().checkAndRegister("/src/m.h", "m.h"), 1);
  EXPECT_EQ(registry().entries().size(), 1u);
  EXPECT_EQ(childrenOf("main.c"), "m.h");
  registry().registerMissing("/inc/m.h", "m.h");
  EXPECT_EQ(registry().entries().size(), 2u);
}

TEST_F(IncludeRegistryTest, ForgetReadKeepsTheMissingOnes) {
  registry().checkAndRegister("/src/a.h", "a.h");
  registry().registerMissing("/src/m.h", "m.h");
  registry().checkAndRegister("/src/b.h", "b.h");
  registry().forgetRead();
  ASSERT_EQ(registry().entries().size(), 1u);
  EXPECT_EQ(registry().entries()[0].path, "/src/m.h");
  EXPECT_EQ(registry().checkAndRegister("/src/a.h", "a.h"), 0);
  EXPECT_EQ(registry().checkAndRegister("/src/m.h", "m.h"), 1);
}

// A missing header found again is told by the name it was included by
// (here another spelling than its file's); one read, by its path.
TEST_F(IncludeRegistryTest, MissingHeadersAreFoundWhereverTheyMoved) {
  registry().checkAndRegister("/src/a.h", "a.h");
  registry().registerMissing("/src/m.h", "M.H");
  registry().forgetRead();
  registry().checkAndRegister("/src/b.h", "b.h");
  registry().registerMissing("/inc/n.h", "N.H");
  EXPECT_EQ(registry().checkAndRegister("/src/m.h", "M.H"), 1);
  EXPECT_EQ(registry().checkAndRegister("/src/b.h", "B.H"), 1);
  registry().forgetRead();
  EXPECT_EQ(registry().checkAndRegister("/inc/n.h", "N.H"), 1);
  EXPECT_EQ(registry().checkAndRegister("/src/b.h", "b.h"), 0);
  EXPECT_EQ(childrenOf("main.c"), "M.H,N.H,b.h");
  EXPECT_EQ(registry().entries().size(), 3u);
}

TEST_F(IncludeRegistryTest, PathsCompareByteForByte) {
  registry().checkAndRegister("/src/A.h", "A.h");
  EXPECT_EQ(registry().checkAndRegister("/src/a.h", "a.h"), 0);
}

}  // namespace
