#include "scan/step_log.h"

#include <gtest/gtest.h>

#include <string>

#include "context/options.h"
#include "context/source_file_list.h"
#include "tests/report/row_dump.h"
#include "tests/support/analysis_test.h"
#include "tests/support/test_files.h"

namespace {

class StepLogTest : public AnalysisTest {
 protected:
  void add(const std::string& name, std::array<std::int32_t, 8> counts) {
    SourceFileEntry e;
    e.name = name;
    e.stepCounts = counts;
    files_.entries().push_back(e);
  }
  std::string rows() {
    writeStepLog(reports(), options(), files_);
    return report("MzStepLog.txt");
  }

  RowDump dump_{reports()};
  SourceFileList files_;
};

// The files up to the first without a name, and their sums.
TEST_F(StepLogTest, RowsOfEveryFileAndTheTotals) {
  add("a.c", {4, 3, 1, 0, 0, 0, 0, 2});
  add("b.c", {10, 6, 2, 2, 1, 1, 3, 1});
  add("", {1, 1, 1, 1, 1, 1, 1, 1});
  add("c.c", {1, 1, 1, 1, 1, 1, 1, 1});
  EXPECT_EQ(
      rows(),
      withCrLf("page: ステップ数一覧\n"
               "head: ファイル名 {t:     ファイル名} | 全行数 {t:  全行数} | 実行数 {t:  実行数} | "
               "空行数 {t:  空行数} | ｺﾒﾝﾄ行数 | 無効(全) | 無効(実) | ﾌﾟﾘﾌﾟﾛ行 | "
               "関  数 {t:  関  数, c:  関数}\n"
               "row: a.c | #4 | #3 | #1 | #0 | #0 | #0 | #0 | #2\n"
               "row: b.c | #10 | #6 | #2 | #2 | #1 | #1 | #3 | #1\n"
               "literal: " +
               std::string(100, '=') +
               "\n"
               "row: 全ファイル(2) {t: 全ファイル(       2)} @17% | #14 | #9 | #3 | #2 | #1 | "
               "#1 | #3 | #3\n"
               "end\n"));
}

// "ｽﾃｯﾌﾟ数の表示を個別": a block of labelled counts per file, then the totals.
TEST_F(StepLogTest, PerFileBlocks) {
  options().separateStepCounts = 1;
  add("a.c", {4, 3, 1, 0, 5, 6, 7, 12});
  std::string block =
      "row: 全行数 | #4\nrow: 実行数 | #3\nrow: 空行数 | #1\nrow: コメント行数 | #0\n"
      "row: if文による無効行数(全行数) | #5\nrow:                   (実行数) | #6\n"
      "row: プリプロセッサ命令行 | #7\nrow: 関数の数 | #12\nend\n";
  EXPECT_EQ(
      rows(),
      withCrLf("page: ステップ数一覧\n"
               "literal: ------------------[a.c]----------------------\n" +
               block + "literal: ==================== 全ファイル合計(1)====================\n" +
               block));
}

}  // namespace
