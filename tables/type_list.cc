// The type list "Mz一覧type": every type that the analysed sources used in
// the current language, with its size and whether that size is exact; one
// section per source file or one for the whole run.
#include "context/language_mode.h"
#include "context/options.h"
#include "tables/type_table.h"
#include "report/json_writer.h"
#include "report/report.h"
#include "scan/sorted_search.h"

namespace {

constexpr Caption kCaption{};
// "   1, name,       4": a name longer than its column eats into the
// size's field.
constexpr Column kColumns[] = {
    {.width = 4, .right = true, .html = "10%"},
    {.width = 20, .html = "50%", .flags = kSpills, .before = ", ", .after = ","},
    {.width = 6, .right = true, .html = "20%", .flags = kAbsorbs},
    {.html = "20%"},
};
constexpr Table kTable{.columns = kColumns,
                       .html = "border=\"1\" cellpadding=\"4\" width=\"400\"",
                       .heading = kCsvForm | kWorkbookForm,
                       .after = {.text = 2, .csv = 2, .htmlBreaks = 1, .sheet = 2}};

// The section's caption: its text, and the sheet's shorter title.
struct SectionTitle {
  std::string text;
  std::string sheet;
};
SectionTitle captionOf(ListScope scope, const std::string& fileName) {
  if (scope == ListScope::kWholeRun)
    return {"解析対象ｿｰｽで使用した全型情報を書き出します。", "解析対象ｿｰｽで使用した全型情報"};
  return {fileName + "で使用した型情報を書き出します。", fileName + "で使用した型情報"};
}

// A class has no size of its own: "-" stands for it.
void writeRow(ReportWriter& out, const TypeRecord& record, int number, int size, bool isClass) {
  bool inexact = (record.flags & TypeTable::kInexact) != 0;
  out.row({Cell::number(number), Cell::of(record.name),
           isClass ? Cell::of("-") : Cell::number(size),
           Cell::of(inexact ? "不正確" : "").in(ReportFormat::kText, inexact ? ",(不正確)" : "")});
}

}  // namespace

// The types the lists show, in name order: used, and of the file's
// language. Few used types are sorted by themselves instead of walking the
// whole table.
std::vector<std::uint32_t> TypeTable::listedInNameOrder(int mode) const {
  std::vector<std::uint32_t> used;
  bool few = fewInNameOrder(
      usedRecords_, order_.size(), index_.usable(),
      [this](std::uint32_t p) -> std::string_view { return records_[p].name; }, used);
  std::vector<std::uint32_t> listed;
  for (std::uint32_t position : few ? used : order_) {
    const TypeRecord& record = records_[position];
    if ((record.languages & mode) && (record.flags & kUsed)) listed.push_back(position);
  }
  return listed;
}

void TypeTable::writeTypesJson(JsonWriter& out) const {
  int mode = currentMode();
  int slot = slotOfMode(mode);
  if (slot < 0) return;
  for (std::uint32_t position : listedInNameOrder(mode)) {
    const TypeRecord& record = records_[position];
    out.beginObject();
    out.member("name", record.name);
    out.key("size");
    if (record.kinds & kClass)
      out.null();
    else
      out.number(record.sizes[slot]);
    out.memberBool("exact", !(record.flags & kInexact));
    out.endObject();
  }
}

void TypeTable::writeTypeList(ReportSession& session, ListScope scope,
                              const std::string& fileName) {
  if (scope == ListScope::kFinish && sections_.count() > 0) {
    sections_.finish(session, ReportId::kTypeList);
    return;
  }
  // Finishing a run in which no per-file section was written.
  if (scope == ListScope::kFinish) scope = ListScope::kWholeRun;
  Report report(session);
  if (!sections_.open(report, ReportId::kTypeList, "型情報一覧")) return;
  ReportWriter& out = report.writer();
  const SectionTitle title = captionOf(scope, fileName);
  out.caption(kCaption, Cell::of(title.text).in(ReportFormat::kWorkbook, title.sheet));
  out.beginTable(kTable);
  out.heading({Cell::of("No"), Cell::of("型名"), Cell::of("サイズ"), Cell::of("計測結果")});
  int mode = currentMode();
  int slot = slotOfMode(mode);
  int number = 0;
  if (slot >= 0) {
    for (std::uint32_t position : listedInNameOrder(mode)) {
      const TypeRecord& record = records_[position];
      writeRow(out, record, ++number, record.sizes[slot], (record.kinds & kClass) != 0);
    }
  }
  out.endTable();
  if (scope == ListScope::kWholeRun) out.endPage();
}
