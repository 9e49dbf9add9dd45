#include "scan/step_log.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "app/options.h"
#include "app/source_file_list.h"
#include "report/html.h"
#include "report/report_file.h"
#include "report/text_layout.h"

namespace {

using Counts = std::array<std::int32_t, 8>;

constexpr int kNameWidth = 20;
constexpr int kNumberWidth = 8;

// Labels of the per-file blocks and the field that right-aligns each
// number to column 36, in counter order.
struct BlockLine {
  const char* label;
  int field;
};
const BlockLine kBlockLines[8] = {
    {"全行数", 30},
    {"実行数", 30},
    {"空行数", 30},
    {"コメント行数", 24},
    {"if文による無効行数(全行数)", 10},
    {"                  (実行数)", 10},
    {"プリプロセッサ命令行", 16},
    {"関数の数", 28},
};

const char* const kColumnTitles[8] = {"全行数",   "実行数",   "空行数",    "ｺﾒﾝﾄ行数",
                                      "無効(全)", "無効(実)", "ﾌﾟﾘﾌﾟﾛ行", "関  数"};

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

// A name wider than its column takes the excess out of the number fields
// that follow, each giving up columns down to the width of its number.
void writeTableRow(std::ostream& out, const std::string& name, const Counts& counts,
                   const char* separator) {
  writeLeft(out, name, kNameWidth);
  int excess = static_cast<int>(name.size()) - kNameWidth;
  for (int k = 0; k < 8; ++k) {
    int width = kNumberWidth;
    if (excess > 0) {
      int digits = counts[k] < 0 ? static_cast<int>(std::to_string(counts[k]).size())
                                 : decimalWidth(counts[k]);
      int spare = kNumberWidth - digits;
      int take = spare < 0 ? 0 : (spare < excess ? spare : excess);
      width -= take;
      excess -= take;
    }
    out << separator;
    writeRight(out, counts[k], width);
  }
  out << '\n';
}

void writeTable(std::ostream& out, const Options& options,
                const std::vector<const SourceFileEntry*>& files) {
  bool pc98 = options.pc98Lines != 0;
  const char* separator = pc98 ? "・" : "│";
  if (pc98) {
    out << "    ファイル名      ・ 全行数 ・ 実行数 ・ 空行数 ・"
        << "ｺﾒﾝﾄ行数・無効(全)・無効(実)・ﾌﾟﾘﾌﾟﾛ行・ 関  数\n";
    for (int i = 0; i < 50; ++i) out << "・";
    out << '\n';
  } else {
    out << "    ファイル名      │ 全行数 │ 実行数 │ 空行数 │"
        << "ｺﾒﾝﾄ行数│無効(全)│無効(実)│ﾌﾟﾘﾌﾟﾛ行│ 関  数\n";
    out << "──────────┼────┼────┼────┼"
        << "────┼────┼────┼────┼────\n";
  }
  for (const SourceFileEntry* e : files) writeTableRow(out, e->name, e->stepCounts, separator);
  out << std::string(100, '=') << '\n';
  out << "全ファイル(";
  writeRight(out, static_cast<long long>(files.size()), kNumberWidth);
  out << ')';
  Counts totals = totalsOf(files);
  for (int k = 0; k < 8; ++k) {
    out << separator;
    writeRight(out, totals[k], kNumberWidth);
  }
  out << "\n\n\n";
}

void writeBlockLines(std::ostream& out, const Counts& counts) {
  for (int k = 0; k < 8; ++k) {
    out << kBlockLines[k].label;
    writeRight(out, counts[k], kBlockLines[k].field);
    out << '\n';
  }
}

void writeBlocks(std::ostream& out, const std::vector<const SourceFileEntry*>& files) {
  for (const SourceFileEntry* e : files) {
    out << "------------------[" << e->name << "]----------------------\n";
    writeBlockLines(out, e->stepCounts);
    out << "\n\n";
  }
  out << "==================== 全ファイル合計(" << files.size() << ")====================\n";
  writeBlockLines(out, totalsOf(files));
}

void writeHtml(std::ostream& out, const std::vector<const SourceFileEntry*>& files) {
  writeHtmlHead(out, "ステップ数一覧");
  out << "<table border=\"2\" cellpadding=\"9\" style=\"border-style:inset\" width=\"870\">\n";
  out << "    <tr>\n";
  headerCell(out, "20%", "ファイル名");
  for (const char* title : kColumnTitles) headerCell(out, "10%", title);
  out << "    </tr>\n";
  for (const SourceFileEntry* e : files) {
    out << "    <tr>\n";
    textCell(out, "20%", e->name);
    for (std::int32_t n : e->stepCounts) numberCell(out, "10%", n);
    out << "    </tr>\n";
  }
  out << "    <tr>\n";
  out << "        <td valign=\"top\" width=\"17%\">全ファイル(" << files.size() << ")</td>\n";
  for (std::int32_t n : totalsOf(files)) numberCell(out, "10%", n);
  out << "    </tr>\n";
  out << "</table>\n";
  writeHtmlEnd(out);
}

void writeCsv(std::ostream& out, const std::vector<const SourceFileEntry*>& files) {
  out << "ファイル名,全行数,実行数,空行数,ｺﾒﾝﾄ行数,無効(全),無効(実),ﾌﾟﾘﾌﾟﾛ行, 関数\n";
  for (const SourceFileEntry* e : files) {
    out << e->name;
    for (std::int32_t n : e->stepCounts) out << ',' << n;
    out << '\n';
  }
  out << "全ファイル(" << files.size() << ")";
  Counts totals = totalsOf(files);
  for (std::int32_t n : totals) out << ',' << n;
  out << '\n';
}

}  // namespace

void writeStepLog(const Options& options, const SourceFileList& files) {
  std::vector<const SourceFileEntry*> listed = listedFiles(files);
  ReportFile out;
  switch (options.outputFormat) {
    case OutputFormat::Html:
      openReport("MzStepLog.html", out);
      writeHtml(out, listed);
      break;
    case OutputFormat::Csv:
      openReport("MzStepLog.csv", out);
      writeCsv(out, listed);
      break;
    case OutputFormat::Text:
      openReport("MzStepLog.txt", out);
      if (options.separateStepCounts)
        writeBlocks(out, listed);
      else
        writeTable(out, options, listed);
      break;
    case OutputFormat::Excel:
      return;  // the workbook writer fills the step-count sheet
  }
  out.close();
}
