#include "tables/function_details.h"

#include <string>
#include <vector>

#include "context/options.h"
#include "context/file_name_pool.h"
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

// The texts of one block. They live from block to block, so that their
// buffers serve the next block instead of being made again for each.
struct BlockTexts {
  std::string source;
  std::string htmlSource;
  std::string csvSource;  // the file; its line follows as a field of its own
  std::string line;
  std::string sheetSource;
  std::string scratch;
  std::vector<std::string> callers;
  std::vector<std::string> callees;
  std::vector<std::string> variables;
};

// Fills `names` with the display names of the callers (all) or the callees
// (defined ones), reusing its strings.
void fillLinkedNames(std::vector<std::string>& names, const FunctionTable& table,
                     const std::vector<int>& links, bool knownOnly, std::string& scratch) {
  size_t count = 0;
  for (int n : links) {
    if (knownOnly && !isKnown(table, n)) continue;
    if (count == names.size()) names.emplace_back();
    names[count++].assign(table.displayName(table.record(n), scratch));
  }
  names.resize(count);
}

// The function's place, as each form words it.
void fillSources(BlockTexts& t, const std::string& file, const std::string& line) {
  t.source.assign(file).append("  ").append(line).append(" :行目");
  t.htmlSource.assign(file).append(" ").append(line).append("行目");
  t.csvSource.assign(file);
  t.line.assign(line);
  t.sheetSource.assign(file).append("  ").append(line).append(" 行目");
}

void writeBlock(ReportWriter& out, const FunctionReportTables& tables, const FunctionRecord& r,
                BlockTexts& t) {
  const FunctionTable& table = tables.functions;
  fillSources(t, recordFileName(tables, r), std::to_string(r.line));
  std::string stack = std::to_string(r.stackBytes);
  if (r.flags & FunctionFlag::kStackIncomplete) stack.insert(0, kStackIncompleteMark);
  fillLinkedNames(t.callers, table, r.callers, false, t.scratch);
  if (r.visibleCalleeCount == 0)
    t.callees.clear();
  else
    fillLinkedNames(t.callees, table, r.callees, true, t.scratch);
  t.variables.resize(r.referencedVariables.size());
  for (size_t k = 0; k < t.variables.size(); ++k)
    t.variables[k].assign(table.referencedVariableOf(r, k));
  out.beginBlock(kForm, table.commentOf(r));
  out.field("関数名", Cell::of(table.displayName(r, t.scratch)));
  out.field("関数の型", Cell::of(table.returnTypeOf(r)));
  out.field("関数の引数", Cell::of(table.argumentsOf(r)));
  out.field("ソース", Cell::of(t.source)
                          .in(ReportFormat::kHtml, t.htmlSource)
                          .in(ReportFormat::kCsv, t.csvSource)
                          .thenInCsv(t.line)
                          .in(ReportFormat::kWorkbook, t.sheetSource));
  out.field("ステップ数", Cell::of(std::to_string(r.steps)));
  out.field("使用スタック", Cell::of(stack));
  out.field("備考", Cell::of(remarkOf(r.flags).details));
  out.field("親関数", Cell::listOf(t.callers, CellKind::kInline), true);
  out.field("子関数", Cell::listOf(t.callees, CellKind::kInline), true);
  out.field("参照変数", Cell::listOf(t.variables, CellKind::kInline), true);
  out.endBlock();
}

}  // namespace

void writeFunctionDetails(const FunctionReportTables& tables) {
  Report report;
  if (!report.create(ReportId::kFunctionDetails, reportStyle(tables.options))) return;
  report->beginPage("関数詳細情報");
  const FunctionTable& table = tables.functions;
  BlockTexts texts;
  for (int n : table.sortedIndex())
    if (!recordFileName(tables, table.record(n)).empty())
      writeBlock(report.writer(), tables, table.record(n), texts);
  report->endPage();
}
