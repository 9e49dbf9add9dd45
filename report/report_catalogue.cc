#include "report/report_catalogue.h"

#include <iterator>

namespace {

constexpr signed char T = static_cast<signed char>(ReportFormat::kText);
constexpr signed char H = static_cast<signed char>(ReportFormat::kHtml);
constexpr signed char C = static_cast<signed char>(ReportFormat::kCsv);
constexpr signed char W = static_cast<signed char>(ReportFormat::kWorkbook);
constexpr signed char J = static_cast<signed char>(ReportFormat::kJson);
constexpr signed char D = static_cast<signed char>(ReportFormat::kDot);
constexpr signed char kNone = -1;

struct Entry {
  ReportId id;
  const char* baseName;
  // The form written for each chosen format, in ReportFormat order.
  signed char written[kChosenFormats];
  SheetLayout sheet;
};

// ORDER: ReportId. The reports a workbook has no sheet for stay files.
// In the JSON form the run document holds the lists and the step counts;
// the trees, the reserved words and the distribution stay files, as they
// do beside the workbook.
constexpr Entry kCatalogue[] = {
    {ReportId::kCallTree, "MizentaLog", {T, H, T, T, T}, {}},
    {ReportId::kFunctionList,
     "Mz一覧Func",
     {T, H, C, W, kNone},
     {"関数一覧", {{"A", 35}, {"E", 35}}, true}},
    {ReportId::kFunctionDetails,
     "Mz関数詳細情報",
     {T, H, C, W, kNone},
     {"関数詳細情報", {{"A", 13}, {"B", 70}}}},
    {ReportId::kClassList,
     "Mz一覧class",
     {T, H, C, W, kNone},
     {"クラス一覧", {{"B", 30}, {"C", 30}}}},
    {ReportId::kDefineList,
     "Mz一覧define",
     {T, H, C, W, kNone},
     {"define一覧", {{"B", 30}, {"C", 40}, {"D", 30}}}},
    {ReportId::kConstList,
     "Mz一覧const",
     {T, H, C, W, kNone},
     {"定数一覧", {{"B", 30}, {"C", 40}, {"D", 30}}}},
    {ReportId::kTypeList, "Mz一覧type", {T, H, C, W, kNone}, {"型情報一覧", {{"B", 30}}}},
    {ReportId::kNamespaceList,
     "Mz名前空間一覧",
     {T, H, C, W, kNone},
     {"名前空間一覧", {{"A", 40}}}},
    {ReportId::kVariableList,
     "Mz一覧Obj",
     {T, H, C, W, kNone},
     {"オブジェクト一覧", {{"A", 25}, {"B", 25}, {"E", 30}, {"F", 30}}}},
    {ReportId::kVariableDetails,
     "Mz変数詳細情報",
     {T, H, C, W, kNone},
     {"変数詳細", {{"A", 10}, {"B", 60}}}},
    {ReportId::kStepLog, "MzStepLog", {T, H, C, W, kNone}, {"ステップ数", {{"A", 30}}}},
    {ReportId::kFileTree, "MzFileTree", {T, H, T, T, T}, {}},
    {ReportId::kReservedWords, "Mz予約語確認", {T, T, T, T, T}, {}},
    {ReportId::kLineDistribution, "Mz関数分布", {C, C, C, W, C}, {"関数分布", {{"A", 12}}}},
    {ReportId::kRunDocument, "Mz解析結果", {kNone, kNone, kNone, kNone, J}, {}},
    {ReportId::kCallGraph, "Mz関数呼出図", {D, D, D, D, D}, {}},
};

constexpr bool inOrder() {
  for (size_t i = 0; i < std::size(kCatalogue); ++i)
    if (static_cast<size_t>(kCatalogue[i].id) != i) return false;
  return true;
}
static_assert(inOrder(), "the catalogue's rows follow ReportId");

const Entry& entryOf(ReportId id) { return kCatalogue[static_cast<int>(id)]; }

const char* extensionOf(ReportFormat form) {
  switch (form) {
    case ReportFormat::kText:
      return ".txt";
    case ReportFormat::kHtml:
      return ".html";
    case ReportFormat::kCsv:
      return ".csv";
    case ReportFormat::kWorkbook:
      return "";
    case ReportFormat::kJson:
      return ".json";
    case ReportFormat::kDot:
      return ".dot";
  }
  return "";
}

}  // namespace

std::optional<ReportFormat> writtenForm(ReportId id, ReportFormat chosen) {
  signed char form = entryOf(id).written[static_cast<int>(chosen)];
  if (form == kNone) return std::nullopt;
  return static_cast<ReportFormat>(form);
}

const SheetLayout& sheetLayout(ReportId id) { return entryOf(id).sheet; }

std::string reportFileName(ReportId id, ReportFormat written, int number) {
  std::string name = entryOf(id).baseName;
  if (number > 0) name += '_' + std::to_string(number);
  return name + extensionOf(written);
}
