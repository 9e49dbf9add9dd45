// The reserved-word dump "Mz予約語確認.txt": every word of the table with
// the languages it is reserved for, written before any source is read.
#include <string>

#include "report/report.h"
#include "scan/reserved_word_table.h"

namespace {

// Group names of the masks that have one; any other mask has none.
struct Group {
  std::int32_t mask;
  const char* name;
};
const Group kGroups[] = {{1, "C"},       {2, "CPP"},       {3, "C/CPP"},      {4, "JAVA"},
                         {5, "C/JAVA"},  {6, "CPP/JAVA"},  {7, "C/CPP/JAVA"}, {16, "VB"},
                         {32, "DELPHI"}, {48, "VB/DELPHI"}};

const char* groupName(std::int32_t mask) {
  for (const Group& g : kGroups)
    if (g.mask == mask) return g.name;
  return "";
}

// "  0, C         , int,"
constexpr Column kColumns[] = {
    {.width = 3, .right = true},
    {.width = 10, .before = ", "},
    {.before = ", ", .after = ","},
};
constexpr Table kTable{.columns = kColumns};

}  // namespace

void ReservedWordTable::dump(ReportSession& session) const {
  // Text whatever the run's format: a listing for the developer.
  Report report(session, ReportStyle{});
  if (!report.create(ReportId::kReservedWords)) return;
  report->literal("予約語を書き出します。", kAllForms);
  report->beginTable(kTable);
  for (size_t i = 0; i < size(); ++i)
    report->row({Cell::number(static_cast<long long>(i)), Cell::of(groupName(at(i).languages)),
                 Cell::of(at(i).word)});
  report->endTable();
  report->literal("↑以上が予約語です。定義数：" + std::to_string(size()) + "個", kAllForms);
}
