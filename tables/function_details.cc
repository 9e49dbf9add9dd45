#include "tables/function_details.h"

#include <string>
#include <vector>

#include "app/options.h"
#include "app/run_tables.h"
#include "report/report.h"
#include "tables/call_tree.h"
#include "tables/function_list.h"
#include "tables/function_table.h"

namespace {

const char kStackIncompleteMark[] = "×";

constexpr Form kForm{.labelWidth = 12,
                     .html = "border=\"1\" cellpadding=\"2\" width=\"800\"",
                     .after = {.text = 3, .csv = 2, .htmlBreaks = 2, .sheet = 2}};

bool isKnown(const FunctionTable& table, int n) {
  return (table.record(n).flags & FunctionFlag::kKnown) != 0;
}

// The names the details print for callers (all) or callees (defined ones).
std::vector<std::string> linkedNames(const FunctionTable& table, const std::vector<int>& links,
                                     bool knownOnly) {
  std::vector<std::string> names;
  for (int n : links)
    if (!knownOnly || isKnown(table, n)) names.push_back(table.displayName(table.record(n)));
  return names;
}

std::vector<std::string> calleeNames(const FunctionTable& table, const FunctionRecord& r) {
  if (r.visibleCalleeCount == 0) return {};
  return linkedNames(table, r.callees, true);
}

void writeBlock(ReportWriter& out, const RunTables& tables, const FunctionRecord& r) {
  const FunctionTable& table = *tables.functions;
  const std::string& file = recordFileName(tables, r);
  const std::string line = std::to_string(r.line);
  const std::string source = file + "  " + line + " :行目";
  const std::string htmlSource = file + " " + line + "行目";
  const std::string csvSource = file + "," + line;
  const std::string sheetSource = file + "  " + line + " 行目";
  std::string stack = std::to_string(r.stackBytes);
  if (r.flags & FunctionFlag::kStackIncomplete) stack.insert(0, kStackIncompleteMark);
  const std::vector<std::string> callers = linkedNames(table, r.callers, false);
  const std::vector<std::string> callees = calleeNames(table, r);
  const std::vector<std::string> variables = table.referencedVariablesOf(r);
  out.beginBlock(kForm, table.commentOf(r));
  out.field("関数名", Cell::of(table.displayName(r)));
  out.field("関数の型", Cell::of(table.returnTypeOf(r)));
  out.field("関数の引数", Cell::of(table.argumentsOf(r)));
  out.field(
      "ソース",
      Cell::markup(source)
          .in(ReportFormat::kHtml, htmlSource)
          .in(ReportFormat::kCsv, csvSource)
          .in(ReportFormat::kWorkbook, sheetSource));
  out.field("ステップ数", Cell::of(std::to_string(r.steps)));
  out.field("使用スタック", Cell::of(stack));
  out.field("備考", Cell::of(remarkOf(r.flags).details));
  out.field("親関数", Cell::listOf(callers, CellKind::kMarkup), true);
  out.field("子関数", Cell::listOf(callees, CellKind::kMarkup), true);
  out.field("参照変数", Cell::listOf(variables, CellKind::kMarkup), true);
  out.endBlock();
}

}  // namespace

void writeFunctionDetails(const RunTables& tables) {
  Report report;
  if (!report.create(ReportId::kFunctionDetails, reportStyle(tables.options()))) return;
  report->beginPage("関数詳細情報");
  const FunctionTable& table = *tables.functions;
  for (int n : table.sortedIndex())
    if (!recordFileName(tables, table.record(n)).empty())
      writeBlock(report.writer(), tables, table.record(n));
  report->endPage();
}
