#include "tables/function_details.h"

#include <ostream>
#include <string>
#include <vector>

#include "app/run_tables.h"
#include "report/html.h"
#include "report/report_file.h"
#include "tables/call_tree.h"
#include "tables/function_list.h"
#include "tables/function_table.h"

namespace {

const char kStackIncompleteMark[] = "×";
const char kContinuationLabel[] = "　　　　　　　：";

bool detailed(const RunTables& tables, const FunctionRecord& r) {
  return !recordFileName(tables, r).empty();
}

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

// ---------------------------------------------------------------------------
// Text

void writeTextGroup(std::ostream& out, const char* label, const std::vector<std::string>& names) {
  for (size_t i = 0; i < names.size(); ++i)
    out << (i == 0 ? label : kContinuationLabel) << names[i] << '\n';
}

void writeTextBlock(std::ostream& out, const RunTables& tables, const FunctionRecord& r) {
  const FunctionTable& table = *tables.functions;
  out << table.commentOf(r);
  out << "■関数名　　　：" << table.displayName(r) << '\n'
      << "■関数の型　　：" << r.returnType << '\n'
      << "■関数の引数　：" << r.arguments << '\n'
      << "■ソース　　　：" << recordFileName(tables, r) << "  " << r.line << " :行目\n"
      << "■ステップ数　：" << r.steps << '\n'
      << "■使用スタック：";
  if (r.flags & FunctionFlag::kStackIncomplete) out << kStackIncompleteMark;
  out << r.stackBytes << '\n' << "■備考　　　　：" << remarkOf(r.flags).details << '\n';
  writeTextGroup(out, "■親関数　　　：", linkedNames(table, r.callers, false));
  writeTextGroup(out, "■子関数　　　：", calleeNames(table, r));
  writeTextGroup(out, "■参照変数　　：", r.referencedVariables);
  out << "\n\n\n";
}

// ---------------------------------------------------------------------------
// CSV

void writeCsvGroup(std::ostream& out, const char* label, const std::vector<std::string>& names) {
  if (names.empty()) return;
  out << label << ',';
  for (const std::string& name : names) out << name << ',';
  out << '\n';
}

void writeCsvBlock(std::ostream& out, const RunTables& tables, const FunctionRecord& r) {
  const FunctionTable& table = *tables.functions;
  out << table.commentOf(r);
  out << "関数名," << table.displayName(r) << '\n'
      << "関数の型," << r.returnType << '\n'
      << "関数の引数," << r.arguments << '\n'
      << "ソース," << recordFileName(tables, r) << ',' << r.line << '\n'
      << "ステップ数," << r.steps << '\n'
      << "使用スタック,";
  if (r.flags & FunctionFlag::kStackIncomplete) out << kStackIncompleteMark;
  out << r.stackBytes << '\n' << "備考," << remarkOf(r.flags).details << '\n';
  writeCsvGroup(out, "親関数", linkedNames(table, r.callers, false));
  writeCsvGroup(out, "子関数", calleeNames(table, r));
  writeCsvGroup(out, "参照変数", r.referencedVariables);
  out << "\n\n";
}

// ---------------------------------------------------------------------------
// HTML

const char kValueCellStart[] = "        <td valign=\"top\" width=\"80%\">";

void writeHtmlRow(std::ostream& out, const char* label, const std::string& value) {
  out << "    <tr>\n";
  textCell(out, "20%", label);
  textCell(out, "80%", value);
  out << "    </tr>\n";
}

// The names are written as they are, joined by line breaks.
void writeHtmlGroup(std::ostream& out, const char* label, const std::vector<std::string>& names) {
  if (names.empty()) return;
  out << "    <tr>\n";
  textCell(out, "20%", label);
  out << kValueCellStart;
  for (size_t i = 0; i < names.size(); ++i) out << (i == 0 ? "" : "<br>") << names[i];
  out << "</td>\n"
      << "    </tr>\n";
}

void writeHtmlHeading(std::ostream& out, const std::string& comment) {
  out << "<table border=\"1\" cellpadding=\"2\" width=\"800\">\n"
      << "    <tr>\n"
      << "        <th align=\"left\" valign=\"top\" colspan=\"2\">";
  if (comment.empty())
    out << "　";
  else
    out << "<pre>" << comment << "</pre>\n";
  out << "</th>\n"
      << "    </tr>\n";
}

void writeHtmlBlock(std::ostream& out, const RunTables& tables, const FunctionRecord& r) {
  const FunctionTable& table = *tables.functions;
  writeHtmlHeading(out, table.commentOf(r));
  writeHtmlRow(out, "関数名", table.displayName(r));
  writeHtmlRow(out, "関数の型", r.returnType);
  writeHtmlRow(out, "関数の引数", r.arguments);
  out << "    <tr>\n";
  textCell(out, "20%", "ソース");
  out << kValueCellStart << recordFileName(tables, r) << ' ' << r.line << "行目</td>\n"
      << "    </tr>\n";
  writeHtmlRow(out, "ステップ数", std::to_string(r.steps));
  std::string stack = std::to_string(r.stackBytes);
  if (r.flags & FunctionFlag::kStackIncomplete) stack.insert(0, kStackIncompleteMark);
  writeHtmlRow(out, "使用スタック", stack);
  writeHtmlRow(out, "備考", remarkOf(r.flags).details);
  writeHtmlGroup(out, "親関数", linkedNames(table, r.callers, false));
  writeHtmlGroup(out, "子関数", calleeNames(table, r));
  writeHtmlGroup(out, "参照変数", r.referencedVariables);
  out << "</table>\n"
      << "<br>\n"
      << "<br>\n";
}

using BlockWriter = void (*)(std::ostream&, const RunTables&, const FunctionRecord&);

void writeBlocks(std::ostream& out, const RunTables& tables, BlockWriter block) {
  const FunctionTable& table = *tables.functions;
  for (int n : table.sortedIndex())
    if (detailed(tables, table.record(n))) block(out, tables, table.record(n));
}

}  // namespace

void writeFunctionDetails(const RunTables& tables, OutputFormat format) {
  ReportFile out;
  switch (format) {
    case OutputFormat::Html:
      openReport("Mz関数詳細情報.html", out);
      writeHtmlHead(out, "関数詳細情報");
      writeBlocks(out, tables, writeHtmlBlock);
      writeHtmlEnd(out);
      break;
    case OutputFormat::Csv:
      openReport("Mz関数詳細情報.csv", out);
      writeBlocks(out, tables, writeCsvBlock);
      break;
    case OutputFormat::Text:
    case OutputFormat::Excel:
      openReport("Mz関数詳細情報.txt", out);
      writeBlocks(out, tables, writeTextBlock);
      break;
  }
}
