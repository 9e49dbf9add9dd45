// The program's runs as the window starts them: the function lengths that
// a finished run leaves for the distribution dialog (a stopped one leaves
// those before it), and the distribution written from them on request.
#include "driver/run_driver.h"

#include <gtest/gtest.h>

#include "context/language_mode.h"
#include "context/options.h"
#include "context/source_file_list.h"
#include "tests/support/test_files.h"

namespace {

class RunDriverTest : public testing::Test {
 protected:
  // No INI file: the reports go to the program folder.
  void SetUp() override {
    setProgramFolder(dir_.path() + "/");
    loadOptions();
  }
  void source(const std::string& name, const std::string& text) {
    writeFileBytes(dir_.file(name), text);
    sourceFiles().add(name, dir_.path() + "/", kModeC);
  }
  std::string distributionCsv() { return readFileBytes(dir_.file(toUtf8("Mz関数分布.csv"))); }

  TempDir dir_;
};

TEST_F(RunDriverTest, AFinishedRunLeavesItsLengthsAndAStoppedOneKeepsThem) {
  // a: one line; b: five; c is only called.
  source("a.c", "void a(void) { }\nint b(int x)\n{\n  x = c(x);\n  return x;\n}\n");
  ASSERT_TRUE(runAnalysis());
  EXPECT_EQ(lastFunctionLengths(), (std::vector<std::int32_t>{1, 5}));
  EXPECT_TRUE(distributionCsv().empty());  // the option is off
  ASSERT_EQ(writeLastDistribution(5), "");
  std::string twoClasses = "5行未満,1\r\n10行未満,1\r\n";
  EXPECT_EQ(distributionCsv().substr(0, twoClasses.size()), twoClasses);

  source("d.c", "void d(void)\n{\n}\n");
  setProgressDisplay([](const std::string&) { stopAnalysis(); });
  EXPECT_FALSE(runAnalysis());
  EXPECT_EQ(lastFunctionLengths(), (std::vector<std::int32_t>{1, 5}));
}

}  // namespace
