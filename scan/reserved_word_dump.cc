// The reserved-word dump "Mz予約語確認.txt": every word of the table with
// the languages it is reserved for, written before any source is read.
#include <ostream>

#include "report/report_file.h"
#include "report/text_layout.h"
#include "scan/reserved_word_table.h"

const char kReservedWordDumpName[] = "Mz予約語確認.txt";

namespace {

// Group names of the masks that have one; any other mask has none.
const char* groupName(std::int32_t mask) {
  switch (mask) {
    case 1: return "C";
    case 2: return "CPP";
    case 3: return "C/CPP";
    case 4: return "JAVA";
    case 5: return "C/JAVA";
    case 6: return "CPP/JAVA";
    case 7: return "C/CPP/JAVA";
    case 16: return "VB";
    case 32: return "DELPHI";
    case 48: return "VB/DELPHI";
    default: return "";
  }
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
