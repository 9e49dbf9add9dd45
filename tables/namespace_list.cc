// The namespace list "Mz名前空間一覧": the known namespaces in sorted order,
// one section per source file or one for the whole run.
#include "context/options.h"
#include "tables/namespace_table.h"
#include "report/report.h"

namespace {

constexpr Caption kCaption{.blankBefore = true};
constexpr Column kColumns[] = {{.html = "100%"}};
// Only the sheet has a header row.
constexpr Table kTable{.columns = kColumns,
                       .html = "border=\"1\" cellpadding=\"1\" width=\"200\"",
                       .heading = kWorkbookForm,
                       .after = {.text = 1, .csv = 1, .htmlBreaks = 1, .sheet = 2}};

}  // namespace

void NamespaceTable::writeNamespaceList(ListScope scope, const std::string& fileName) {
  const ReportStyle style = reportStyle(options_);
  if (scope == ListScope::kFinish) {
    sections_.finish(ReportId::kNamespaceList, style);
    return;
  }
  if (known_.count() == 0) return;
  Report report;
  if (!sections_.open(report, ReportId::kNamespaceList, style, "名前空間一覧")) return;
  ReportWriter& out = report.writer();
  const bool wholeRun = scope == ListScope::kWholeRun;
  const std::string caption =
      wholeRun ? std::string("解析対象ｿｰｽに含まれる全名前空間") : fileName + "に含まれる名前空間";
  const std::string sheetTitle = wholeRun ? std::string("解析対象ソースで使用した全名前空間")
                                          : fileName + "で使用した名前空間";
  out.caption(kCaption, Cell::of(caption).in(ReportFormat::kWorkbook, sheetTitle));
  out.beginTable(kTable);
  out.heading({Cell::of("名前空間名")});
  for (size_t i = 0; i < known_.count(); ++i) out.row({Cell::of(*known_.at(i))});
  out.endTable();
  // A whole-run list is the only section: its page is complete now.
  if (scope == ListScope::kWholeRun) out.endPage();
}
