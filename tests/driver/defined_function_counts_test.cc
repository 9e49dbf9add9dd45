// The defined-functions count of each registered file, on files in memory:
// files of one name in different folders each count their own definitions.
#include "driver/defined_function_counts.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "tests/support/analysis_test.h"

namespace {

class DefinedFunctionCountsTest : public AnalysisTest {
 protected:
  // Path -> its defined functions, after a run over `paths`.
  std::map<std::string, int> countsAfter(const std::vector<std::string>& paths) {
    renewRun();
    analyse(paths);
    std::map<std::string, int> counts;
    for (const SourceFileEntry& e : sourceList().entries())
      counts[e.directory + e.name] = e.stepCounts[kDefinedFunctions];
    return counts;
  }
};

TEST_F(DefinedFunctionCountsTest, SameNamedFilesOfTwoFoldersCountTheirOwn) {
  file("/x/util.c", "static int one(void) { return 1; }\nint xApi(void) { return one(); }\n");
  file("/y/util.c", "int yApi(void) { return 2; }\n");
  file("/z/main.c", "int main(void) { return xApi() + yApi(); }\n");
  const std::map<std::string, int> want = {{"/x/util.c", 2}, {"/y/util.c", 1}, {"/z/main.c", 1}};
  EXPECT_EQ(countsAfter({"/x/util.c", "/y/util.c", "/z/main.c"}), want);
  EXPECT_EQ(countsAfter({"/z/main.c", "/y/util.c", "/x/util.c"}), want);
}

// With the tree's paths in the file column, names are paths and differ.
TEST_F(DefinedFunctionCountsTest, PathsInTheFileColumnCountAlike) {
  options().tagJumpTree = 1;
  file("/x/util.c", "int a(void) { return 1; }\nint b(void) { return 2; }\n");
  file("/y/util.c", "int c(void) { return 3; }\n");
  EXPECT_EQ(countsAfter({"/x/util.c", "/y/util.c"}),
            (std::map<std::string, int>{{"/x/util.c", 2}, {"/y/util.c", 1}}));
}

}  // namespace
