// The function-length distribution: the classes of a width, the report's
// rows and bytes, and the report at the end of a run.
#include "tables/line_distribution.h"

#include "tests/support/analysis_test.h"

namespace {

using Counts = std::array<std::int32_t, LineDistribution::kClasses>;

Counts countsOf(std::vector<std::int32_t> lengths, std::int32_t width) {
  return computeDistribution(lengths, width).counts;
}

std::string labels(const LineDistribution& d) {
  std::string text;
  for (const DistributionRow& row : distributionRows(d)) text += row.label + " ";
  return text;
}

// The start of `text`, as long as `expected`.
std::string startOf(const std::string& text, const std::string& expected) {
  return text.substr(0, expected.size());
}

class LineDistributionTest : public AnalysisTest {};

TEST_F(LineDistributionTest, ClassEdgesAndTheOpenLastClass) {
  EXPECT_EQ(countsOf({9, 10, 99, 100, 250}, 10), (Counts{1, 1, 0, 0, 0, 0, 0, 0, 0, 1, 2}));
  // Each class ends one line below the next boundary.
  EXPECT_EQ(countsOf({1, 4, 5, 9, 49, 50, 54}, 5), (Counts{2, 2, 0, 0, 0, 0, 0, 0, 0, 1, 2}));
  EXPECT_EQ(countsOf({2147483647}, 30), (Counts{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1}));
}

TEST_F(LineDistributionTest, AWidthChangeRecountsTheSameLengths) {
  std::vector<std::int32_t> lengths{3, 7, 12, 25, 31, 64};
  EXPECT_EQ(countsOf(lengths, 5), (Counts{1, 1, 1, 0, 0, 1, 1, 0, 0, 0, 1}));
  EXPECT_EQ(countsOf(lengths, 30), (Counts{4, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST_F(LineDistributionTest, NothingToCountOrNoUsableWidth) {
  EXPECT_EQ(countsOf({}, 10), Counts{});
  EXPECT_EQ(countsOf({5, 50}, 0), Counts{});
  EXPECT_EQ(countsOf({5, 50}, -10), Counts{});
}

TEST_F(LineDistributionTest, RowsNameEachClassByItsBoundary) {
  EXPECT_EQ(labels(computeDistribution({}, 30)),
            "30行未満 60行未満 90行未満 120行未満 150行未満 180行未満 210行未満 240行未満 "
            "270行未満 300行未満 300行以上 ");
  std::vector<DistributionRow> rows = distributionRows(computeDistribution({}, 5));
  EXPECT_EQ(rows.front().label + rows.back().label, "5行未満50行以上");
}

TEST_F(LineDistributionTest, CsvHasOneLinePerClassWithCrLf) {
  writeDistributionCsv(reports(), computeDistribution({1, 12, 12, 300}, 10));
  EXPECT_EQ(report("Mz関数分布.csv"),
            "10行未満,1\r\n20行未満,2\r\n30行未満,0\r\n40行未満,0\r\n50行未満,0\r\n"
            "60行未満,0\r\n70行未満,0\r\n80行未満,0\r\n90行未満,0\r\n100行未満,0\r\n"
            "100行以上,1\r\n");
}

TEST_F(LineDistributionTest, ARunWritesItOnlyWhenAskedFor) {
  file("/src/a.c", "void a(void) { }\nint b(int x)\n{\n  x = c(x);\n  return x;\n}\n");
  analyse({"/src/a.c"});
  EXPECT_FALSE(reportExists("Mz関数分布.csv"));
  options().lineDistribution = 1;
  options().distributionStep = 3;
  options().outputFormat = OutputFormat::Html;
  renewRun();
  analyse({"/src/a.c"});
  // a: 1 line, b: 5 lines; c is only called and has no length.
  std::string expected = "3行未満,1\r\n6行未満,1\r\n9行未満,0\r\n";
  EXPECT_EQ(startOf(report("Mz関数分布.csv"), expected), expected);
}

TEST_F(LineDistributionTest, ARunWithAWidthBelowOneTakesTen) {
  writeDistributionReport(reports(), {1, 15}, 0);
  EXPECT_EQ(takeLog(), " 行数分布の行数[0]は使えないため、10行区切りで出力します\n");
  std::string expected = "10行未満,1\r\n20行未満,1\r\n";
  EXPECT_EQ(startOf(report("Mz関数分布.csv"), expected), expected);
}

}  // namespace
