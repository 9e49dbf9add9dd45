#include "app/settings_data.h"

#include <gtest/gtest.h>

#include <sstream>

#include "app/options.h"
#include "app/run_tables.h"
#include "app/source_file_list.h"
#include "parse/type_table.h"
#include "report/error_log.h"
#include "scan/language_mode.h"
#include "scan/lexical_rules.h"
#include "scan/reserved_word_table.h"

namespace {

class SettingsDataTest : public testing::Test {
 protected:
  void SetUp() override {
    selectDialect(Dialect::C);
    liveOptions().extensionLanguages = parseExtensionList(kDefaultExtensionList);
    setProgramFolder("/opt/mz/");
    sourceFiles().clear();
    attachErrorLog(&log_);
    tables_.create();
  }
  void TearDown() override {
    attachErrorLog(nullptr);
    sourceFiles().clear();
    resetSettingsData();
    selectDialect(Dialect::C);
  }

  RunTables tables_{liveOptions()};
  std::stringbuf log_;
};

TEST_F(SettingsDataTest, RunMaskIsTheUnionOfTheFilesWithOldCppBesideCpp) {
  struct Case {
    std::vector<const char*> files;
    std::int32_t mask;
  } cases[] = {
      {{}, 0},
      {{"a.c"}, kModeC},
      {{"a.c", "b.java"}, kModeC | kModeJava},
      {{"a.cpp"}, kModeCOrCpp | kModeCppOld},
      {{"m.bas", "f.frm"}, kModeVb},
      {{"u.pas"}, kModeDelphi},
  };
  for (const Case& c : cases) {
    sourceFiles().clear();
    for (const char* name : c.files) sourceFiles().registerSourceFile(name, "/src/");
    EXPECT_EQ(runLanguageMask(sourceFiles()), c.mask) << c.files.size();
  }
}

TEST_F(SettingsDataTest, MissingFileLogsTwoLinesAndTakesTheBuiltInLists) {
  sourceFiles().registerSourceFile("a.c", "/src/");
  loadSettingsData(tables_);
  EXPECT_EQ(log_.str(),
            "  Mizentaの設定ﾌｧｲﾙが読み込めません。[/opt/mz/Mizenta設定.dat]\n"
            "  内部確保してある予約語、型情報を使用します。\n");
  EXPECT_EQ(settingsData().languageMask, kModeC);
  EXPECT_EQ(tables_.reservedWords->isReserved("while", kModeC), kModeC);
  EXPECT_EQ(tables_.baseTypes->findType("short", TypeTable::FindMode::kAnyLanguage).found, true);
  EXPECT_EQ(tables_.baseTypes->pointerSize(), 4);
  EXPECT_TRUE(settingsData().definitions.empty());
}

TEST_F(SettingsDataTest, NameComparisonFollowsTheRegisteredFamily) {
  sourceFiles().registerSourceFile("m.bas", "/src/");
  loadSettingsData(tables_);
  EXPECT_TRUE(caseInsensitiveNames());
  EXPECT_EQ(tables_.reservedWords->isReserved("DIM", kModeVb), kModeVb);

  // The next run, of C files, must not keep the folded comparison.
  tables_.destroy();
  tables_.create();
  sourceFiles().clear();
  sourceFiles().registerSourceFile("a.c", "/src/");
  loadSettingsData(tables_);
  EXPECT_FALSE(caseInsensitiveNames());
  EXPECT_EQ(tables_.reservedWords->isReserved("__declspec", kModeCpp), kModeCpp);
}

}  // namespace
