#include "report/report_catalogue.h"

#include <iterator>

namespace {

constexpr signed char T = static_cast<signed char>(ReportFormat::kText);
constexpr signed char H = static_cast<signed char>(ReportFormat::kHtml);
constexpr signed char C = static_cast<signed char>(ReportFormat::kCsv);
constexpr signed char kNone = -1;

struct Entry {
  ReportId id;
  const char* baseName;
  // The form written for each chosen format, in ReportFormat order.
  signed char written[kReportFormats];
};

// ORDER: ReportId. Nothing goes to the workbook yet: the lists that it will
// take as sheets are not written at all, the others stay text files.
constexpr Entry kCatalogue[] = {
    {ReportId::kCallTree, "MizentaLog", {T, H, T, T}},
    {ReportId::kFunctionList, "Mz一覧Func", {T, H, C, T}},
    {ReportId::kFunctionDetails, "Mz関数詳細情報", {T, H, C, T}},
    {ReportId::kClassList, "Mz一覧class", {T, H, C, kNone}},
    {ReportId::kDefineList, "Mz一覧define", {T, H, C, T}},
    {ReportId::kConstList, "Mz一覧const", {T, H, C, T}},
    {ReportId::kTypeList, "Mz一覧type", {T, H, C, T}},
    {ReportId::kNamespaceList, "Mz名前空間一覧", {T, H, C, T}},
    {ReportId::kVariableList, "Mz一覧Obj", {T, H, C, kNone}},
    {ReportId::kVariableDetails, "Mz変数詳細情報", {T, H, C, kNone}},
    {ReportId::kStepLog, "MzStepLog", {T, H, C, kNone}},
    {ReportId::kFileTree, "MzFileTree", {T, H, T, T}},
    {ReportId::kReservedWords, "Mz予約語確認", {T, T, T, T}},
    {ReportId::kLineDistribution, "Mz関数分布", {C, C, C, kNone}},
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
  }
  return "";
}

}  // namespace

std::optional<ReportFormat> writtenForm(ReportId id, ReportFormat chosen) {
  signed char form = entryOf(id).written[static_cast<int>(chosen)];
  if (form == kNone) return std::nullopt;
  return static_cast<ReportFormat>(form);
}

std::string reportFileName(ReportId id, ReportFormat written, int number) {
  std::string name = entryOf(id).baseName;
  if (number > 0) name += '_' + std::to_string(number);
  return name + extensionOf(written);
}
