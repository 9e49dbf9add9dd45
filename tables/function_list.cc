#include "tables/function_list.h"

#include <string>

#include "context/options.h"
#include "context/file_name_pool.h"
#include "report/report.h"
#include "tables/call_tree.h"
#include "tables/function_table.h"

namespace {

// Order of the rows is the order of the tests in remarkOf.
const FunctionRemark kRemarks[] = {
    {" 割込 ", "割　込", "割り込み", "割り込み"},
    {"関／再", "関数ﾎﾟｲﾝﾀ/再回帰", "関数ﾎﾟｲﾝﾀ/再回帰", "関数ポインタ／再回帰"},
    {"関数ポ", "関数ﾎﾟｲﾝﾀ", "関数ﾎﾟｲﾝﾀ", "関数ポインタ"},
    {"再回帰", "再回帰", "再回帰", "再回帰"},
    {"", "", "", ""},
};

const char kStackIncompleteMark[] = "×";

// A name wider than its column pushes the line right; the numbers give up
// their leading blanks and a missing remark its blanks to take that back.
constexpr Column kColumns[] = {
    {.width = 30, .html = "35%", .flags = kSpills},
    {.width = 6, .right = true, .html = "10%", .flags = kBar | kAbsorbs},
    {.width = 6, .right = true, .html = "10%", .flags = kBar | kAbsorbs},
    {.width = 6, .html = "10%", .flags = kBar | kAbsorbs},
    {.width = 32, .html = "35%", .flags = kBar},
};
constexpr Table kTable{.columns = kColumns,
                       .html = "border=\"1\" cellpadding=\"5\" width=\"800\"",
                       .heading = kAllForms};

void writeRow(ReportWriter& out, const FunctionReportTables& tables, const FunctionRecord& r) {
  const FunctionRemark& remark = remarkOf(r.flags);
  // The sheet keeps the figure a number; it shows the mark through the
  // cell's number format.
  Cell stack = Cell::number(r.stackBytes);
  std::string markedStack;
  if (r.flags & FunctionFlag::kStackIncomplete) {
    markedStack = std::string(kStackIncompleteMark) + " " + std::to_string(r.stackBytes);
    stack.marked(kStackIncompleteMark).in(ReportFormat::kHtml, markedStack);
  }
  out.row({Cell::of(r.key), Cell::number(r.steps), stack,
           Cell::of(remark.listCsv)
               .in(ReportFormat::kText, remark.listText)
               .in(ReportFormat::kHtml, remark.listHtml),
           Cell::of(recordFileName(tables, r))});
}

}  // namespace

const FunctionRemark& remarkOf(std::uint32_t flags) {
  bool pointer = (flags & FunctionFlag::kFunctionPointer) != 0;
  bool recursive = (flags & FunctionFlag::kRecursive) != 0;
  if (flags & FunctionFlag::kInterrupt) return kRemarks[0];
  if (pointer && recursive) return kRemarks[1];
  if (pointer) return kRemarks[2];
  if (recursive) return kRemarks[3];
  return kRemarks[4];
}

void writeFunctionList(const FunctionReportTables& tables) {
  Report report;
  if (!report.create(ReportId::kFunctionList, reportStyle(tables.options))) return;
  report->beginPage("関数一覧");
  report->beginTable(kTable);
  report->heading({Cell::of("関数名"), Cell::of("STEP数"),
                   Cell::of("ｽﾀｯｸ").in(ReportFormat::kText, " ｽﾀｯｸ"), Cell::of("その他"),
                   Cell::of("ファイル名")});
  const FunctionTable& table = tables.functions;
  for (int n : table.sortedIndex())
    if (table.record(n).flags & FunctionFlag::kKnown)
      writeRow(report.writer(), tables, table.record(n));
  report->endTable();
  report->endPage();
}
