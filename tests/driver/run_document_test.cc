// The JSON form's document of a run: it takes the place of the list files,
// beside the trees, and appears whole at the end of a run or not at all.
#include "driver/run_document.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "context/options.h"
#include "driver/analysis_run.h"
#include "tests/support/analysis_test.h"
#include "tests/support/test_files.h"

namespace {

class RunDocumentTest : public AnalysisTest {
 protected:
  void SetUp() override {
    options().outputFormat = OutputFormat::Json;
    options().functionList = options().functionDetails = options().defineList = 1;
    options().classList = options().typeList = options().globalVariableList = 1;
    options().callGraphDot = 1;
    file("a.c", "#define N 1\nint g;\nvoid a(void) { b(); }\n");
    file("b.c", "void b(void) { }\n");
  }
  std::vector<std::string> filesInOutputFolder() {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(outputFolder().path()))
      names.push_back(toCp932(e.path().filename().string()));
    std::sort(names.begin(), names.end());
    return names;
  }
};

TEST_F(RunDocumentTest, TakesThePlaceOfTheListsBesideTheTrees) {
  ASSERT_TRUE(analyse({"a.c", "b.c"}));
  EXPECT_EQ(filesInOutputFolder(),
            (std::vector<std::string>{"MizentaLog.txt", "MzFileTree.txt", "Mz解析結果.json",
                                      "Mz関数呼出図.dot"}));
  std::string document = report("Mz解析結果.json");
  // One section per main file in the per-file header mode, then the rest.
  EXPECT_EQ(document.find("{\r\n\"format\":\"mizenta-run\",\r\n\"version\":1,\r\n\"sections\":[\r\n"
                          "{\"file\":\"a.c\",\"defines\":[{\"kind\":\"#define\",\"name\":\"N\""),
            0u);
  EXPECT_NE(document.find("\r\n{\"file\":\"b.c\",\"defines\":[],"), std::string::npos);
  EXPECT_NE(document.find("\r\n\"calls\":[\r\n[0,1]\r\n],\r\n\"variables\":[\r\n"),
            std::string::npos);
  EXPECT_EQ(document.substr(document.size() - 6), "]\r\n}\r\n");
}

TEST_F(RunDocumentTest, AStoppedRunLeavesTheEarlierDocument) {
  writeFileBytes(outputFolder().file(toUtf8("Mz解析結果.json")), "earlier");
  run().setProgress([this](int position, int, const std::string&) {
    if (position == 2) run().requestStop();
  });
  EXPECT_FALSE(analyse({"a.c", "b.c"}));
  EXPECT_EQ(report("Mz解析結果.json"), "earlier");
  // Nothing half-written beside it.
  EXPECT_EQ(filesInOutputFolder(), (std::vector<std::string>{"Mz解析結果.json"}));
}

}  // namespace
