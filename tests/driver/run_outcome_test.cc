#include "driver/run_outcome.h"

#include <gtest/gtest.h>

namespace {

TEST(RunOutcome, OneLineTellsWhatWasLostAndWhere) {
  RunOutcome all;
  all.ran = true;
  all.analysed = 2;
  all.outputFolder = "/out/";
  EXPECT_EQ(all.message(), "2 ファイルを解析しました。レポート: /out/\n");
  EXPECT_EQ(all.exitStatus(), 0);

  RunOutcome lost = all;
  lost.unreadable = 1;
  lost.refused = 2;
  lost.notSources = 3;
  lost.unmatched = 4;
  lost.unwritten = {"/out/MzStepLog.txt"};
  lost.workbookAsText = true;
  EXPECT_EQ(lost.message(),
            "レポートを書けません: /out/MzStepLog.txt\n"
            "2 ファイルを解析しました (開けないファイル 1、C系とVB/Delphi系の混在で除外 2、"
            "対象外の拡張子 3、ソースファイルのない指定 4)。レポート: /out/ "
            "(書けないレポート 1) (xlsの代わりにテキスト形式)\n");
  EXPECT_EQ(lost.exitStatus(), 1);
  lost.badCommandLine = true;
  EXPECT_EQ(lost.exitStatus(), 2);

  RunOutcome noRun;  // paths named, none of them a source file
  noteNotSource(noRun, "readme.txt");
  EXPECT_EQ(noRun.message(),
            "0 ファイルを解析しました (対象外の拡張子 1)\n  対象外の拡張子: readme.txt\n");
  EXPECT_EQ(noRun.exitStatus(), 1);
}

// Before the summary what the settings name but cannot serve; under it
// the lost inputs by name (the first ten, then how many more) and the
// reports written.
TEST(RunOutcome, LostInputsAndWrittenReportsByName) {
  RunOutcome run;
  run.ran = true;
  run.analysed = 1;
  run.outputFolder = "/prog/";
  run.iniUnknown = {"[ﾌｧｲﾙ出力設定] 関数一覧", "[X]"};
  run.missingOutputFolder = "/gone";
  run.written = {"MizentaErrLog.txt", "MzStepLog.txt"};
  noteUnmatched(run, "/src/*.cpp");
  for (int i = 0; i < 11; ++i) noteUnreadable(run, "/src/" + std::to_string(i) + ".c");
  run.unreadable = 11;
  EXPECT_EQ(run.message(),
            "INIﾌｧｲﾙの不明なｷｰです: [ﾌｧｲﾙ出力設定] 関数一覧\n"
            "INIﾌｧｲﾙの不明なｾｸｼｮﾝです: [X]\n"
            "出力先ﾌｫﾙﾀﾞがありません: /gone\n"
            "1 ファイルを解析しました (開けないファイル 11、ソースファイルのない指定 1)。"
            "レポート: /prog/\n"
            "  ソースファイルのない指定: /src/*.cpp\n"
            "  開けないファイル: /src/0.c\n  開けないファイル: /src/1.c\n"
            "  開けないファイル: /src/2.c\n  開けないファイル: /src/3.c\n"
            "  開けないファイル: /src/4.c\n  開けないファイル: /src/5.c\n"
            "  開けないファイル: /src/6.c\n  開けないファイル: /src/7.c\n"
            "  開けないファイル: /src/8.c\n"
            "  ほか 2 件\n"
            "  書いたレポート: MizentaErrLog.txt MzStepLog.txt\n");
  EXPECT_EQ(run.exitStatus(), 1);
  RunOutcome onlyFolder;
  onlyFolder.missingOutputFolder = "/gone";
  EXPECT_EQ(onlyFolder.exitStatus(), 1);  // the reports went elsewhere
}

// Files of settings that are missing are no loss (the program has its
// defaults); those that are there but cannot serve are, each with its
// reason. An output folder in use leaves nothing else to tell.
TEST(RunOutcome, FilesOfSettingsAndAFolderInUse) {
  RunOutcome run;
  run.ran = true;
  run.analysed = 1;
  run.outputFolder = "/out/";
  run.iniPath = "/p/Mizenta.ini";
  run.settingsDataPath = "/p/Mizenta設定.dat";
  run.iniProblem = run.settingsDataProblem = platform::FileProblem::kMissing;
  EXPECT_FALSE(run.somethingLost());
  struct Case {
    platform::FileProblem problem;
    const char* reason;
  } cases[] = {{platform::FileProblem::kFolder, "ﾌｫﾙﾀﾞです"},
               {platform::FileProblem::kNotRegularFile, "通常のﾌｧｲﾙではありません"},
               {platform::FileProblem::kUnreadable, "開けません"},
               {platform::FileProblem::kTooLarge, "大きすぎます"},
               {platform::FileProblem::kNotText, "ﾃｷｽﾄではありません"}};
  for (const Case& c : cases) {
    RunOutcome lost = run;
    lost.iniProblem = c.problem;
    lost.settingsDataProblem = c.problem;
    EXPECT_EQ(lost.message(),
              std::string("INIﾌｧｲﾙが読み込めません(") + c.reason +
                  ")。既定の設定を使用します: /p/Mizenta.ini\n" +
                  "Mizentaの設定ﾌｧｲﾙが読み込めません(" + c.reason +
                  ")。内部確保してある予約語、型情報を使用します: /p/Mizenta設定.dat\n" +
                  "1 ファイルを解析しました。レポート: /out/\n");
    EXPECT_EQ(lost.exitStatus(), 1);
    EXPECT_EQ(iniUnusableLogLine(c.problem, "/p/Mizenta.ini"),
              std::string(" INIﾌｧｲﾙが読み込めません(") + c.reason +
                  ")。既定の設定を使用します [/p/Mizenta.ini]");
  }
  RunOutcome busy;
  busy.folderInUse = true;
  busy.outputFolder = "/out/";
  busy.unwritten = {"/out/MizentaErrLog.txt"};
  EXPECT_EQ(busy.message(), "出力先ﾌｫﾙﾀﾞは他のMIZENTAが使用中です: /out/\n");
  EXPECT_EQ(busy.exitStatus(), 1);
}

}  // namespace
