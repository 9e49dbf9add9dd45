// The class list "Mz一覧class": the used classes with their base classes,
// one section per source file or one for the whole run. The first section
// of a run creates the file, later ones append.
#include "context/options.h"
#include "context/source_context.h"
#include "context/file_name_pool.h"
#include "report/json_writer.h"
#include "report/report.h"
#include "scan/sorted_search.h"
#include "tables/class_table.h"

namespace {

// The heading of a section, and as a sheet words it.
const char kWholeRunHeading[] = "解析対象ｿｰｽで使用した全ｸﾗｽ名を表示します。";
const char kFileHeadingTail[] = "で使用したｸﾗｽ名を表示します。";
const char kWholeRunSheetHeading[] = "解析対象ソースで使用した全クラス名";
const char kFileSheetHeadingTail[] = "で使用したクラス名";

constexpr Caption kCaption{.rule = 46};
// The text form is "  class name" and a line per base class.
constexpr Column kColumns[] = {
    {.html = "20%", .before = "  "},
    {.html = "40%", .before = " "},
    {.html = "40%", .listPrefix = "    基本ｸﾗｽ："},
};
constexpr Table kTable{.columns = kColumns,
                       .html = "border=\"1\" cellpadding=\"3\" width=\"400\"",
                       .heading = kHtmlForm | kCsvForm | kWorkbookForm,
                       .after = {.text = 1, .csv = 1, .htmlBreaks = 1, .htmlLines = 2, .sheet = 2}};

}  // namespace

bool ClassTable::listed(const ClassRecord& r) const {
  return !r.name.empty() && r.used && r.kind == kClass;
}

void ClassTable::writeSection(ReportWriter& out, const Cell& heading) const {
  out.caption(kCaption, heading);
  out.beginTable(kTable);
  out.heading({Cell::of("class"), Cell::of("クラス名").in(ReportFormat::kCsv, "ｸﾗｽ名"),
               Cell::of("基本クラス").in(ReportFormat::kCsv, "基本ｸﾗｽ")});
  for (std::uint32_t position : listedPositions()) {
    const ClassRecord& r = store_[position];
    out.row({Cell::of("class"), Cell::of(r.name),
             Cell::listOf(r.bases, CellKind::kInline).skippingEmpty()});
  }
  out.endTable();
}

std::vector<std::uint32_t> ClassTable::listedPositions() const {
  std::vector<std::uint32_t> used;
  bool few = fewInNameOrder(
      usedRecords_, order_.size(), byName_.usable(),
      [this](std::uint32_t at) -> std::string_view { return store_[at].name; }, used);
  std::vector<std::uint32_t> rows;
  for (std::uint32_t position : few ? used : order_)
    if (listed(store_[position])) rows.push_back(position);
  return rows;
}

// The list leaves out empty base names; so does the document.
void ClassTable::writeClassesJson(JsonWriter& out) const {
  for (std::uint32_t position : listedPositions()) {
    const ClassRecord& r = store_[position];
    out.beginObject();
    out.member("name", r.name);
    out.member("file", fileNames_.name(r.fileNo));
    out.key("bases");
    out.beginArray();
    for (const std::string& base : r.bases)
      if (!base.empty()) out.string(base);
    out.endArray();
    out.key("methods");
    out.beginArray();
    for (const std::string& method : r.methods) out.string(method);
    out.endArray();
    out.key("members");
    out.beginArray();
    for (const MemberVariable& member : r.members) {
      out.beginObject();
      out.member("type", member.type);
      out.member("name", member.name);
      out.endObject();
    }
    out.endArray();
    out.endObject();
  }
}

// Per-file sections are headed by the file just finished (the main file,
// still on top of the source context); the whole-run section by the run.
void ClassTable::writeClassList(ReportSession& session, ListScope scope) {
  if (scope == ListScope::kFinish && sections_.count() > 0) {
    sections_.finish(session, ReportId::kClassList);
    return;
  }
  if (order_.empty()) return;
  std::string heading = kWholeRunHeading;
  std::string sheetHeading = kWholeRunSheetHeading;
  if (scope == ListScope::kPerFile) {
    const std::string file = context_.item(0);
    heading = file + kFileHeadingTail;
    sheetHeading = file + kFileSheetHeadingTail;
  }
  Report report(session);
  if (!sections_.open(report, ReportId::kClassList, "クラス一覧")) return;
  writeSection(report.writer(), Cell::of(heading).in(ReportFormat::kWorkbook, sheetHeading));
  if (scope != ListScope::kPerFile) report->endPage();
}
