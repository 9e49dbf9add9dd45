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
  EXPECT_EQ(noRun.message(), "0 ファイルを解析しました (対象外の拡張子 1)\n");
  EXPECT_EQ(noRun.exitStatus(), 1);
}

}  // namespace
