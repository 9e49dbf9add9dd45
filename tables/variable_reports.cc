// The global variable list "Mz一覧Obj" and the variable details
// "Mz変数詳細情報", from the variable table's rows.
#include "context/file_name_pool.h"
#include "context/language_mode.h"
#include "context/options.h"
#include "context/file_name_pool.h"
#include "tables/type_table.h"
#include "tables/variable_table.h"
#include "report/error_log.h"
#include "report/json_writer.h"
#include "report/report.h"

namespace {

const char kInexactText[] = "不正確";

// Every column gives up its padding to take back what the cells before it
// pushed the line right; the last column is not padded.
constexpr unsigned kCarry = kSpills | kAbsorbs;
constexpr Column kListColumns[] = {
    {.width = 24, .html = "17%", .flags = kCarry},
    {.width = 26, .html = "20%", .flags = kBar | kCarry},
    {.width = 6, .right = true, .html = "8%", .flags = kBar | kCarry},
    {.width = 6, .html = "8%", .flags = kBar | kCarry},
    {.width = 28, .html = "22%", .flags = kBar | kCarry},
    {.width = 26, .html = "25%", .flags = kBar},
};
constexpr Table kListTable{.columns = kListColumns,
                           .html = "border=\"1\" cellpadding=\"6\" width=\"900\"",
                           .heading = kAllForms};

constexpr Form kDetailsForm{.labelWidth = 10,
                            .html = "border=\"1\" cellpadding=\"2\" width=\"800\"",
                            .after = {.text = 2, .csv = 2, .htmlBreaks = 2, .sheet = 1}};

}  // namespace

// ---------------------------------------------------------------------------
// Row values

bool VariableTable::listed(const VariableRecord& r) const {
  if (!(r.flags & VariableRecord::kNotParameter)) return false;
  return classOf(r).empty() || !functionOf(r).empty() || options_.outputMemberVariables;
}

std::vector<int> VariableTable::rows() const {
  settleNameOrder();
  std::vector<int> list;
  for (int n : sorted_)
    if (listed(records_[n])) list.push_back(n);
  return list;
}

int VariableTable::rowCount() const { return static_cast<int>(rows().size()); }

std::string VariableTable::field(Field kind, int row, int column) const {
  std::vector<int> list = rows();
  if (row < 0 || row >= static_cast<int>(list.size())) return std::string();
  const VariableRecord& r = records_[list[row]];
  switch (kind) {
    case Field::kType:
      return typeWithPrefix(r);
    case Field::kName:
      return std::string(writtenNameOf(r));
    case Field::kReferencingFunction:
      if (column < 0 || column >= static_cast<int>(r.referencingFunctions.size()))
        return std::string();
      return std::string(texts_.text(r.referencingFunctions[column]));
  }
  return std::string();
}

std::string VariableTable::typeWithPrefix(const VariableRecord& r, int* prefixLength) const {
  const char* prefix = "";
  if (r.typeKind & TypeTable::kClass)
    prefix = "class ";
  else if (r.typeKind & TypeTable::kStructure)
    prefix = (r.language & kModeVbOrDelphi) ? "Type " : "struct ";
  if (prefixLength) *prefixLength = static_cast<int>(std::string_view(prefix).size());
  return prefix + r.type;
}

std::string VariableTable::sizeText(const VariableRecord& r) const {
  return (r.typeKind & TypeTable::kClass) ? std::string("-") : std::to_string(r.size);
}

std::string VariableTable::remark(const VariableRecord& r) const {
  if (!(r.flags & VariableRecord::kOwned)) return std::string();
  if (r.flags & VariableRecord::kClassSet) {
    if (!(r.flags & VariableRecord::kFunctionSet)) return std::string();  // a data member
    if (classOf(r).empty() || functionOf(r).empty()) {
      errorLog() << "(内部ｴﾗｰ)ｵﾌﾞｼﾞｪｸﾄの所有で発生(messod)\n";
      return std::string();
    }
    return std::string(classOf(r)) + "ｸﾗｽの" + std::string(functionOf(r)) + "ﾒｿｯﾄﾞ所有";
  }
  if (functionOf(r).empty()) {
    errorLog() << "(内部ｴﾗｰ)ｵﾌﾞｼﾞｪｸﾄの所有で発生(func)\n";
    return std::string();
  }
  return std::string(functionOf(r)) + "関数所有";
}

std::string VariableTable::fileName(const VariableRecord& r) const {
  return fileNames_.name(r.file);
}

// ---------------------------------------------------------------------------
// Global variable list

void VariableTable::writeListRow(ReportWriter& out, const VariableRecord& r) const {
  const bool isClass = (r.typeKind & TypeTable::kClass) != 0;
  out.row({Cell::of(typeWithPrefix(r)), Cell::of(writtenNameOf(r)),
           isClass ? Cell::of("-", CellKind::kNumber) : Cell::number(r.size),
           Cell::of((r.flags & VariableRecord::kInexact) ? kInexactText : ""), Cell::of(remark(r)),
           Cell::of(fileName(r))});
}

void VariableTable::writeVariableList(ReportSession& session) {
  Report report(session);
  if (!report.create(ReportId::kVariableList)) return;
  report->beginPage("グローバル変数一覧");
  report->beginTable(kListTable);
  report->heading({Cell::of("型名"), Cell::of("変数名"), Cell::of("サイズ"), Cell::of("計測"),
                   Cell::of("備考"), Cell::of("ファイル名")});
  std::string rule;
  for (int i = 0; i < 38; ++i) rule += "─";
  report->literal(rule, kCsvForm);
  for (int i : rows()) writeListRow(report.writer(), records_[i]);
  report->endTable();
  report->endPage();
}

void VariableTable::writeVariablesJson(JsonWriter& out) const {
  for (int i : rows()) {
    const VariableRecord& r = records_[i];
    out.beginObject();
    out.member("type", typeWithPrefix(r));
    out.member("name", writtenNameOf(r));
    out.key("size");
    if (r.typeKind & TypeTable::kClass)
      out.null();
    else
      out.number(r.size);
    out.memberBool("exact", !(r.flags & VariableRecord::kInexact));
    out.member("remark", remark(r));
    out.member("file", fileName(r));
    out.member("line", r.file != 0 ? r.line : 0);
    if (options_.variableDetails) {
      out.key("functions");
      out.beginArray();
      for (const std::string& f : referencingFunctions(r)) out.string(f);
      out.endArray();
    }
    out.endObject();
  }
}

// ---------------------------------------------------------------------------
// Variable details

void VariableTable::writeDetailsBlock(ReportWriter& out, const VariableRecord& r) const {
  const std::string file = fileName(r);
  const std::string line = std::to_string(r.line);
  const std::string source = r.file != 0 ? file + "  " + line + " :行目" : file;
  const std::string sheetSource = r.file != 0 ? file + " " + line + "行目" : file;
  out.beginBlock(kDetailsForm, std::nullopt);
  out.field("型名", Cell::of(typeWithPrefix(r)));
  out.field("変数名", Cell::of(writtenNameOf(r)));
  out.field("サイズ", Cell::of(sizeText(r)));
  out.field("計測", Cell::of((r.flags & VariableRecord::kInexact) ? kInexactText : ""));
  out.field("備考", Cell::of(remark(r)));
  out.field("ソース", Cell::of(source)
                          .in(ReportFormat::kCsv, file)
                          .thenInCsv(r.file != 0 ? std::string_view(line) : std::string_view())
                          .in(ReportFormat::kWorkbook, sheetSource));
  const std::vector<std::string> functions = referencingFunctions(r);
  out.field("参照関数", Cell::listOf(functions));
  out.endBlock();
}

void VariableTable::writeVariableDetails(ReportSession& session) {
  Report report(session);
  if (!report.create(ReportId::kVariableDetails)) return;
  report->beginPage("変数詳細情報");
  for (int i : rows()) writeDetailsBlock(report.writer(), records_[i]);
  report->endPage();
}
