// The function-length distribution: how many functions of a run fall into
// eleven classes of one width (in lines), taken from the step counts of the
// functions that are not 0, and its report "Mz関数分布.csv". The run writes
// it when "関数の行数分布を出力" is on; the window's dialog shows it for
// other widths and writes it on request.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "report/report_model.h"

class ReportSession;

struct LineDistribution {
  static constexpr int kClasses = 11;
  // Class k < 10 holds the lengths from k * width to (k + 1) * width - 1;
  // the last class every length of at least 10 * width.
  std::int32_t width = 0;
  std::array<std::int32_t, kClasses> counts{};

  // The number in front of the class's label: its upper end (exclusive)
  // for k < 10, its lower end for the last class.
  std::int64_t boundary(int k) const;
};

// The counts of `lengths` in classes of `width`; a width below 1 counts
// nothing (all classes 0).
LineDistribution computeDistribution(const std::vector<std::int32_t>& lengths, std::int32_t width);

// One row of the report: "10行未満" (k < 10) or "100行以上" (the last
// class), and the class's count.
struct DistributionRow {
  std::string label;
  std::int32_t count = 0;
};
std::vector<DistributionRow> distributionRows(const LineDistribution& distribution);

// Writes "Mz関数分布.csv" in the session's folder (truncating): one line
// per class, the label and the count joined by ",". A file that cannot be
// written is told to the session as unwritten.
void writeDistributionCsv(ReportSession& session, const LineDistribution& distribution);

// The end of a run: the distribution of `lengths` in classes of `width`,
// written as CSV beside the reports of every format the session may choose
// but the workbook (which will take it as a sheet). A width below 1 (a
// hand-edited "行数分布の行数") takes the default 10, and the log says so.
void writeDistributionReport(ReportSession& session, const std::vector<std::int32_t>& lengths,
                             std::int32_t width);
