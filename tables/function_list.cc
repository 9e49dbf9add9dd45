#include "tables/function_list.h"

#include <ostream>
#include <string>

#include "app/run_tables.h"
#include "report/html.h"
#include "report/report_file.h"
#include "report/text_layout.h"
#include "tables/call_tree.h"
#include "tables/function_table.h"

namespace {

// Order of the rows is the order of the tests in remarkOf.
const FunctionRemark kRemarks[] = {
    {" 割込 ", "割　込", "割り込み,", "割り込み"},
    {"関／再", "関数ﾎﾟｲﾝﾀ/再回帰", "関数ﾎﾟｲﾝﾀ/再回帰,", "関数ポインタ／再回帰"},
    {"関数ポ", "関数ﾎﾟｲﾝﾀ", "関数ﾎﾟｲﾝﾀ,", "関数ポインタ"},
    {"再回帰", "再回帰", "再回帰,", "再回帰"},
    {nullptr, "　", ",", ""},
};

constexpr int kNameColumns = 30;
constexpr int kNumberColumns = 6;
const char kStackIncompleteMark[] = "×";

bool listed(const FunctionRecord& r) { return (r.flags & FunctionFlag::kKnown) != 0; }

// Columns for a number right-adjusted in a field of `field` columns. A name
// wider than its column has pushed the line `overflow` columns right; the
// number gives up its leading blanks to take that back.
int absorbingWidth(long long number, int field, int& overflow) {
  int digits = decimalWidth(number);
  if (overflow == 0 || digits >= field) return field;
  if (field - digits < overflow) {
    overflow -= field - digits;
    return digits;
  }
  int width = field - overflow;
  overflow = 0;
  return width;
}

// The remark field: a flagged remark always, otherwise the free field
// takes back what is left of the overflow.
void writeTextRemark(std::ostream& out, const FunctionRecord& r, int overflow) {
  const FunctionRemark& remark = remarkOf(r.flags);
  if (remark.listText)
    out << remark.listText;
  else if (overflow < kNumberColumns)
    writeLeft(out, "", kNumberColumns - overflow);
}

void writeTextLine(std::ostream& out, const RunTables& tables, const FunctionRecord& r,
                   const std::string& bar) {
  writeLeft(out, r.key, kNameColumns);
  int overflow = r.key.size() > kNameColumns ? static_cast<int>(r.key.size()) - kNameColumns : 0;
  out << bar;
  writeRight(out, r.steps, absorbingWidth(r.steps, kNumberColumns, overflow));
  out << bar;
  int field = kNumberColumns;
  if (r.flags & FunctionFlag::kStackIncomplete) {
    out << kStackIncompleteMark;
    field -= 2;
  }
  writeRight(out, r.stackBytes, absorbingWidth(r.stackBytes, field, overflow));
  out << bar;
  writeTextRemark(out, r, overflow);
  out << bar << recordFileName(tables, r) << '\n';
}

void writeText(std::ostream& out, const RunTables& tables) {
  const FunctionTable& table = *tables.functions;
  bool pc98 = tables.options().pc98Lines != 0;
  if (pc98) {
    out << "関数名                        ・STEP数・ ｽﾀｯｸ ・その他・ファイル名\n";
    for (int i = 0; i < 44; ++i) out << "・";
    out << '\n';
  } else {
    out << "関数名                        │STEP数│ ｽﾀｯｸ │その他│ファイル名\n"
        << "───────────────┼───┼───┼───┼────────────────\n";
  }
  std::string bar = pc98 ? "・" : "│";
  for (int n : table.sortedIndex())
    if (listed(table.record(n))) writeTextLine(out, tables, table.record(n), bar);
}

void writeHtmlRow(std::ostream& out, const RunTables& tables, const FunctionRecord& r) {
  out << "    <tr>\n";
  textCell(out, "35%", r.key);
  numberCell(out, "10%", r.steps);
  if (r.flags & FunctionFlag::kStackIncomplete)
    out << "        <td align=\"right\" valign=\"top\" width=\"10%\">× " << r.stackBytes
        << "</td>\n";
  else
    numberCell(out, "10%", r.stackBytes);
  textCell(out, "10%", remarkOf(r.flags).listHtml);
  textCell(out, "35%", recordFileName(tables, r));
  out << "    </tr>\n";
}

void writeHtml(std::ostream& out, const RunTables& tables) {
  writeHtmlHead(out, "関数一覧");
  out << "<table border=\"1\" cellpadding=\"5\" width=\"800\">\n"
      << "    <tr>\n";
  headerCell(out, "35%", "関数名");
  headerCell(out, "10%", "STEP数");
  headerCell(out, "10%", "ｽﾀｯｸ");
  headerCell(out, "10%", "その他");
  headerCell(out, "35%", "ファイル名");
  out << "    </tr>\n";
  const FunctionTable& table = *tables.functions;
  for (int n : table.sortedIndex())
    if (listed(table.record(n))) writeHtmlRow(out, tables, table.record(n));
  out << "</table>\n";
  writeHtmlEnd(out);
}

void writeCsv(std::ostream& out, const RunTables& tables) {
  out << "関数名,STEP数,ｽﾀｯｸ,その他,ファイル名\n";
  const FunctionTable& table = *tables.functions;
  for (int n : table.sortedIndex()) {
    const FunctionRecord& r = table.record(n);
    if (!listed(r)) continue;
    out << r.key << ',' << r.steps << ',';
    if (r.flags & FunctionFlag::kStackIncomplete) out << kStackIncompleteMark;
    out << r.stackBytes << ',' << remarkOf(r.flags).listCsv << recordFileName(tables, r) << '\n';
  }
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

void writeFunctionList(const RunTables& tables, OutputFormat format) {
  ReportFile out;
  switch (format) {
    case OutputFormat::Html:
      openReport("Mz一覧Func.html", out);
      writeHtml(out, tables);
      break;
    case OutputFormat::Csv:
      openReport("Mz一覧Func.csv", out);
      writeCsv(out, tables);
      break;
    case OutputFormat::Text:
    case OutputFormat::Excel:
      openReport("Mz一覧Func.txt", out);
      writeText(out, tables);
      break;
  }
}
