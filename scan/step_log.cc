#include "scan/step_log.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "context/options.h"
#include "context/source_file_list.h"
#include "report/json_writer.h"
#include "report/report.h"

namespace {

using Counts = std::array<std::int32_t, 8>;

// The counter columns, in counter order: their titles as each form words
// them, and the label of the counter in a per-file block.
struct Counter {
  const char* title;  // HTML
  const char* textTitle;
  const char* csvTitle;
  const char* sheetTitle;
  const char* blockLabel;
};
const Counter kCounters[8] = {
    {"全行数", " 全行数", "全行数", "全行数", "全行数"},
    {"実行数", " 実行数", "実行数", "実行数", "実行数"},
    {"空行数", " 空行数", "空行数", "空行数", "空行数"},
    {"ｺﾒﾝﾄ行数", "ｺﾒﾝﾄ行数", "ｺﾒﾝﾄ行数", "ｺﾒﾝﾄ行数", "コメント行数"},
    {"無効(全)", "無効(全)", "無効(全)", "無効(全)", "if文による無効行数(全行数)"},
    {"無効(実)", "無効(実)", "無効(実)", "無効(実)", "                  (実行数)"},
    {"ﾌﾟﾘﾌﾟﾛ行", "ﾌﾟﾘﾌﾟﾛ行", "ﾌﾟﾘﾌﾟﾛ行", "ﾌﾟﾘﾌﾟﾛ行", "プリプロセッサ命令行"},
    {"関  数", " 関  数", " 関数", "関数", "関数の数"},
};

// The counters' names in the run document, in counter order.
const char* const kJsonCounters[8] = {"lines",    "code",         "blank",      "comment",
                                      "disabled", "disabledCode", "directives", "functions"};

// A name wider than its column takes the excess out of the number fields
// that follow, each giving up columns down to the width of its number.
constexpr Column kName{.width = 20, .html = "20%", .flags = kSpills};
constexpr Column kCount{.width = 8, .right = true, .html = "10%", .flags = kBar | kAbsorbs};
constexpr Column kColumns[9] = {kName,  kCount, kCount, kCount, kCount,
                                kCount, kCount, kCount, kCount};
constexpr Table kTable{
    .columns = kColumns,
    .html = "border=\"2\" cellpadding=\"9\" style=\"border-style:inset\" width=\"870\"",
    .heading = kAllForms,
    .after = {.text = 2}};

// Per-file blocks: every number ends in column 36.
constexpr Column kBlockColumns[2] = {{.flags = kSpills},
                                     {.width = 36, .right = true, .flags = kAbsorbs}};
constexpr Table kBlock{.columns = kBlockColumns, .after = {.text = 2}};
constexpr Table kTotalsBlock{.columns = kBlockColumns};

// The files of the list up to the first empty name, in list order.
std::vector<const SourceFileEntry*> listedFiles(const SourceFileList& files) {
  std::vector<const SourceFileEntry*> out;
  for (const SourceFileEntry& e : files.entries()) {
    if (e.name.empty()) break;
    out.push_back(&e);
  }
  return out;
}

// Signed 32-bit sums, wrapping as the counters themselves do.
Counts totalsOf(const std::vector<const SourceFileEntry*>& files) {
  Counts totals{};
  for (const SourceFileEntry* e : files)
    for (int k = 0; k < 8; ++k)
      totals[k] = static_cast<std::int32_t>(static_cast<std::uint32_t>(totals[k]) +
                                            static_cast<std::uint32_t>(e->stepCounts[k]));
  return totals;
}

void writeRow(ReportWriter& out, Cell first, const Counts& counts) {
  Cell cells[9] = {first};
  for (int k = 0; k < 8; ++k) cells[k + 1] = Cell::number(counts[k]);
  out.row(cells);
}

void writeTable(ReportWriter& out, const std::vector<const SourceFileEntry*>& files) {
  out.beginTable(kTable);
  Cell titles[9] = {Cell::of("ファイル名").in(ReportFormat::kText, "    ファイル名")};
  for (int k = 0; k < 8; ++k)
    titles[k + 1] = Cell::of(kCounters[k].title)
                        .in(ReportFormat::kText, kCounters[k].textTitle)
                        .in(ReportFormat::kCsv, kCounters[k].csvTitle)
                        .in(ReportFormat::kWorkbook, kCounters[k].sheetTitle);
  out.heading(titles);
  for (const SourceFileEntry* e : files) writeRow(out, Cell::of(e->name), e->stepCounts);
  out.literal(std::string(100, '='), kTextForm);
  // The text form sets the count right-aligned in a number's eight
  // columns, so that the label fills the name's column.
  const std::string count = std::to_string(files.size());
  const std::string total = "全ファイル(" + count + ")";
  std::string textTotal = "全ファイル(";
  textTotal.append(static_cast<size_t>(kCount.width) - std::min<size_t>(count.size(), kCount.width),
                   ' ');
  textTotal += count + ")";
  writeRow(out, Cell::of(total).in(ReportFormat::kText, textTotal).width("17%"), totalsOf(files));
  out.endTable();
}

void writeBlock(ReportWriter& out, const Table& block, const Counts& counts) {
  out.beginTable(block);
  for (int k = 0; k < 8; ++k) out.row({Cell::of(kCounters[k].blockLabel), Cell::number(counts[k])});
  out.endTable();
}

void writeBlocks(ReportWriter& out, const std::vector<const SourceFileEntry*>& files) {
  for (const SourceFileEntry* e : files) {
    out.literal("------------------[" + e->name + "]----------------------", kAllForms);
    writeBlock(out, kBlock, e->stepCounts);
  }
  out.literal("==================== 全ファイル合計(" + std::to_string(files.size()) +
                  ")====================",
              kAllForms);
  writeBlock(out, kTotalsBlock, totalsOf(files));
}

}  // namespace

void writeStepLog(ReportSession& session, const Options& options, const SourceFileList& files) {
  std::vector<const SourceFileEntry*> listed = listedFiles(files);
  Report report(session);
  if (!report.create(ReportId::kStepLog)) return;
  report->beginPage("ステップ数一覧");
  if (options.separateStepCounts && report->format() == ReportFormat::kText)
    writeBlocks(report.writer(), listed);
  else
    writeTable(report.writer(), listed);
  report->endPage();
}

void writeStepCountsJson(JsonWriter& out, const SourceFileList& files) {
  for (const SourceFileEntry* e : listedFiles(files)) {
    out.beginObject();
    out.member("name", e->name);
    for (int k = 0; k < 8; ++k) out.member(kJsonCounters[k], e->stepCounts[k]);
    out.endObject();
  }
}
