#include "app/settings_data.h"

#include <gtest/gtest.h>

#include <sstream>

#include "app/options.h"
#include "app/run_tables.h"
#include "app/command_line.h"
#include "app/source_file_list.h"
#include "parse/type_table.h"
#include "report/error_log.h"
#include "app/language_mode.h"
#include "scan/lexical_rules.h"
#include "scan/reserved_word_table.h"
#include "tests/support/analysis_test.h"

namespace {

class SettingsDataTest : public AnalysisTest {
 protected:
  void SetUp() override { setProgramFolder("/opt/mz/"); }

  // The list of `names` (in /src/), each in its extension's language.
  SourceFileList& files(std::initializer_list<const char*> names) {
    list_.clear();
    for (const char* name : names) registerSourceFile(options(), name, "/src/", list_);
    return list_;
  }
  void load(std::initializer_list<const char*> names) { loadSettingsData(tables(), data_, files(names)); }

  SourceFileList list_;
  SettingsData data_;
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
    list_.clear();
    for (const char* name : c.files) registerSourceFile(options(), name, "/src/", list_);
    EXPECT_EQ(runLanguageMask(list_), c.mask) << c.files.size();
  }
}

TEST_F(SettingsDataTest, MissingFileLogsTwoLinesAndTakesTheBuiltInLists) {
  load({"a.c"});
  EXPECT_EQ(takeLog(),
            "  Mizentaの設定ﾌｧｲﾙが読み込めません。[/opt/mz/Mizenta設定.dat]\n"
            "  内部確保してある予約語、型情報を使用します。\n");
  EXPECT_EQ(data_.languageMask, kModeC);
  EXPECT_EQ(reservedWords().isReserved("while", kModeC), kModeC);
  EXPECT_EQ(baseTypes().findType("short", TypeTable::FindMode::kAnyLanguage).found, true);
  EXPECT_EQ(baseTypes().pointerSize(), 4);
  EXPECT_TRUE(data_.definitions.empty());
}

TEST_F(SettingsDataTest, NameComparisonFollowsTheRegisteredFamily) {
  load({"m.bas"});
  EXPECT_TRUE(caseInsensitiveNames());
  EXPECT_EQ(reservedWords().isReserved("DIM", kModeVb), kModeVb);

  // The next run, of C files, must not keep the folded comparison.
  renewRun();
  load({"a.c"});
  EXPECT_FALSE(caseInsensitiveNames());
  EXPECT_EQ(reservedWords().isReserved("__declspec", kModeCpp), kModeCpp);
}

}  // namespace
