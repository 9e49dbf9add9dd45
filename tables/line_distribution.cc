#include "tables/line_distribution.h"

#include <algorithm>

#include "context/text_util.h"
#include "report/error_log.h"
#include "report/report.h"

namespace {

constexpr std::int32_t kDefaultWidth = 10;
constexpr int kLastClass = LineDistribution::kClasses - 1;

// Two plain fields a line, without a heading.
constexpr Column kColumns[2] = {};
constexpr Table kTable{kColumns};

void writeDistribution(ReportSession& session, const LineDistribution& d,
                       const ReportStyle& style) {
  Report report(session, style);
  if (!report.create(ReportId::kLineDistribution)) return;
  report->beginPage("関数の行数分布");
  report->beginTable(kTable);
  for (const DistributionRow& row : distributionRows(d))
    report->row({Cell::of(row.label), Cell::number(row.count)});
  report->endTable();
  report->endPage();
  report.close();
}

}  // namespace

std::int64_t LineDistribution::boundary(int k) const {
  return static_cast<std::int64_t>(std::min(k + 1, kLastClass)) * width;
}

LineDistribution computeDistribution(const std::vector<std::int32_t>& lengths, std::int32_t width) {
  LineDistribution d;
  d.width = width;
  if (width < 1) return d;
  for (std::int32_t length : lengths) {
    // A negative length cannot come from a body; it counts as the shortest.
    std::int32_t k = std::clamp<std::int32_t>(length / width, 0, kLastClass);
    ++d.counts[k];
  }
  return d;
}

std::vector<DistributionRow> distributionRows(const LineDistribution& d) {
  std::vector<DistributionRow> rows;
  for (int k = 0; k < LineDistribution::kClasses; ++k) {
    const char* unit = k < kLastClass ? "行未満" : "行以上";
    rows.push_back({decimalText(d.boundary(k)) + unit, d.counts[k]});
  }
  return rows;
}

void writeDistributionCsv(ReportSession& session, const LineDistribution& distribution) {
  ReportStyle style;
  style.format = ReportFormat::kCsv;
  writeDistribution(session, distribution, style);
}

void writeDistributionReport(ReportSession& session, const std::vector<std::int32_t>& lengths,
                             std::int32_t width) {
  if (width < 1) {
    session.log() << " 行数分布の行数[" << width << "]は使えないため、" << kDefaultWidth
                  << "行区切りで出力します\n";
    width = kDefaultWidth;
  }
  writeDistribution(session, computeDistribution(lengths, width), session.style());
}
