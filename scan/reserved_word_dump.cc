// The reserved-word dump "Mz予約語確認.txt": every word of the table with
// the languages it is reserved for, written before any source is read.
#include <ostream>

#include "report/report_file.h"
#include "report/text_layout.h"
#include "scan/reserved_word_table.h"

const char kReservedWordDumpName[] = "Mz予約語確認.txt";

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

}  // namespace

void ReservedWordTable::dump() const {
  ReportFile out;
  openReport(kReservedWordDumpName, out);
  out << "予約語を書き出します。\n";
  for (size_t i = 0; i < entries_.size(); ++i) {
    writeRight(out, static_cast<long long>(i), 3);
    out << ", ";
    writeLeft(out, groupName(entries_[i].languages), 10);
    out << ", " << entries_[i].word << ",\n";
  }
  out << "↑以上が予約語です。定義数：" << entries_.size() << "個\n";
  out.close();
}
