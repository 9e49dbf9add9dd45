#include "scan/step_log.h"

#include <gtest/gtest.h>

#include <string>

#include "app/options.h"
#include "app/source_file_list.h"
#include "tests/support/test_files.h"
#include "tests/support/analysis_test.h"

namespace {

class StepLogTest : public AnalysisTest {
 protected:
  void add(const std::string& name, std::array<std::int32_t, 8> counts) {
    SourceFileEntry e;
    e.name = name;
    e.stepCounts = counts;
    files_.entries().push_back(e);
  }
  // The report as written, with CR LF turned back into LF.
  std::string report(const std::string& name) {
    writeStepLog(options(), files_);
    std::string bytes = AnalysisTest::report(name), out;
    for (size_t i = 0; i < bytes.size(); ++i)
      if (!(bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')) out += bytes[i];
    return out;
  }
  // Line `n` (0-based) of a report.
  static std::string line(const std::string& text, int n) {
    size_t at = 0;
    for (int i = 0; i < n && at != std::string::npos; ++i) at = text.find('\n', at) + 1;
    return text.substr(at, text.find('\n', at) - at);
  }

  SourceFileList files_;
};

TEST_F(StepLogTest, TableRowAlignsNameAndNumbers) {
  add("a.c", {4, 3, 1, 0, 0, 0, 0, 2});
  std::string text = report("MzStepLog.txt");
  EXPECT_EQ(line(text, 2), "a.c                 │       4│       3│       1│       0│       0│       0│"
                           "       0│       2");
}

// A name of 25 columns takes its 5 extra columns from the first field,
// which still has room for its number.
TEST_F(StepLogTest, LongNameShiftsTheFirstFields) {
  add("abcdefghijklmnopqrstuvwxy", {10, 5, 3, 2, 0, 0, 0, 1});
  add("abcdefghijklmnopqrstuvwxyz1234", {1234567, 5, 3, 0, 0, 0, 0, 0});
  std::string text = report("MzStepLog.txt");
  EXPECT_EQ(line(text, 2), "abcdefghijklmnopqrstuvwxy│ 10│       5│       3│       2│       0│       0│"
                           "       0│       1");
  // 10 extra columns: 1 from the first field (7 digits), 7 from the
  // second, the last 2 from the third.
  EXPECT_EQ(line(text, 3), "abcdefghijklmnopqrstuvwxyz1234│1234567│5│     3│       0│       0│       0│"
                           "       0│       0");
}

TEST_F(StepLogTest, NoFilesStillWritesTheFrame) {
  std::string text = report("MzStepLog.txt");
  EXPECT_EQ(line(text, 2), std::string(100, '='));
  EXPECT_EQ(line(text, 3), "全ファイル(       0)│       0│       0│       0│       0│       0│       0│"
                           "       0│       0");
  EXPECT_EQ(text.substr(text.size() - 4), "0\n\n\n");  // two empty lines end the table
}

TEST_F(StepLogTest, Pc98UsesDotsForEveryLine) {
  options().pc98Lines = 1;
  add("a.c", {1, 0, 1, 0, 0, 0, 0, 0});
  std::string text = report("MzStepLog.txt");
  std::string dots;
  for (int i = 0; i < 50; ++i) dots += "・";
  EXPECT_EQ(line(text, 1), dots);
  EXPECT_EQ(line(text, 2), "a.c                 ・       1・       0・       1・       0・       0・       0・"
                           "       0・       0");
  EXPECT_EQ(text.find("│"), std::string::npos);
}

TEST_F(StepLogTest, TotalsAddUpEveryFile) {
  options().outputFormat = OutputFormat::Csv;
  add("a.c", {4, 3, 1, 0, 0, 0, 0, 2});
  add("b.c", {10, 6, 2, 2, 1, 1, 3, 1});
  EXPECT_EQ(report("MzStepLog.csv"),
            "ファイル名,全行数,実行数,空行数,ｺﾒﾝﾄ行数,無効(全),無効(実),ﾌﾟﾘﾌﾟﾛ行, 関数\n"
            "a.c,4,3,1,0,0,0,0,2\n"
            "b.c,10,6,2,2,1,1,3,1\n"
            "全ファイル(2),14,9,3,2,1,1,3,3\n");
}

TEST_F(StepLogTest, PerFileBlocksEndTheirNumbersInColumn36) {
  options().separateStepCounts = 1;
  add("a.c", {4, 3, 1, 0, 0, 0, 0, 12});
  std::string text = report("MzStepLog.txt");
  EXPECT_EQ(line(text, 0), "------------------[a.c]----------------------");
  EXPECT_EQ(line(text, 1), "全行数" + std::string(29, ' ') + "4");
  EXPECT_EQ(line(text, 4), "コメント行数" + std::string(23, ' ') + "0");
  EXPECT_EQ(line(text, 5), "if文による無効行数(全行数)" + std::string(9, ' ') + "0");
  EXPECT_EQ(line(text, 6), "                  (実行数)" + std::string(9, ' ') + "0");
  EXPECT_EQ(line(text, 7), "プリプロセッサ命令行" + std::string(15, ' ') + "0");
  EXPECT_EQ(line(text, 8), "関数の数" + std::string(26, ' ') + "12");
  EXPECT_EQ(line(text, 11), "==================== 全ファイル合計(1)====================");
  EXPECT_EQ(line(text, 19), "関数の数" + std::string(26, ' ') + "12");
}

}  // namespace
