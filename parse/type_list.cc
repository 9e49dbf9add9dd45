// The type list "Mz一覧type": every type that the analysed sources used in
// the current language, with its size and whether that size is exact; one
// section per source file or one for the whole run.
#include "app/options.h"
#include "app/run_tables.h"
#include "parse/type_table.h"
#include "report/html.h"
#include "report/report_file.h"
#include "report/text_layout.h"
#include "scan/define_list.h"
#include "app/language_mode.h"

namespace {

const char kListBaseName[] = "Mz一覧type";
constexpr int kNameColumns = 20;

struct TypeRow {
  const TypeRecord& record;
  int number;  // from 1
  int size;
  bool inexact;
  bool isClass;  // shows "-" instead of a size
};

struct Section {
  ListScope scope;
  const std::string& fileName;
};

void writeTitle(std::ostream& out, const Section& section) {
  if (section.scope == ListScope::kWholeRun)
    out << "解析対象ｿｰｽで使用した全型情報を書き出します。";
  else
    out << section.fileName << "で使用した型情報を書き出します。";
}

std::string sizeText(const TypeRow& row) {
  return row.isClass ? std::string("-") : std::to_string(row.size);
}

// A name longer than 20 columns eats into the size field, up to 5 columns.
void writeTextRow(std::ostream& out, const TypeRow& row) {
  int n = static_cast<int>(row.record.name.size());
  writeRight(out, row.number, 4);
  out << ", " << row.record.name;
  writeLeft(out, ",", kNameColumns - n);
  int overflow = n < kNameColumns ? 0 : n <= 25 ? n - 19 : 5;
  writeRight(out, sizeText(row), 6 - overflow);
  if (row.inexact) out << ",(不正確)";
  out << "\n";
}

void writeCsvRow(std::ostream& out, const TypeRow& row) {
  out << row.number << "," << row.record.name << "," << sizeText(row) << ",";
  if (row.inexact) out << "不正確";
  out << "\n";
}

void writeHtmlRow(std::ostream& out, const TypeRow& row) {
  out << "    <tr>\n";
  numberCell(out, "10%", row.number);
  textCell(out, "50%", row.record.name);
  if (row.isClass)
    textCell(out, "20%", "-");
  else
    numberCell(out, "20%", row.size);
  textCell(out, "20%", row.inexact ? "不正確" : "");
  out << "    </tr>\n";
}

void writeFrameTitle(std::ostream& out, const Section& section) {
  writeDashLine(out);
  writeTitle(out, section);
  out << "\n";
  writeDashLine(out);
}

}  // namespace

void TypeTable::writeTypeList(ListScope scope, const std::string& fileName) {
  OutputFormat format = tables_.options().outputFormat;
  std::string name = std::string(kListBaseName) + listFileExtension(format);
  bool html = isHtmlList(format), csv = isCsvList(format);
  ReportFile out;
  if (scope == ListScope::kFinish && sections_ > 0) {
    if (!html) return;
    openReportAppend(name, out);
    writeHtmlEnd(out);
    return;
  }
  // Finishing a run in which no per-file section was written.
  if (scope == ListScope::kFinish) scope = ListScope::kWholeRun;
  if (sections_ == 0)
    openReport(name, out);
  else
    openReportAppend(name, out);
  if (html && sections_ == 0) writeHtmlHead(out, "型情報一覧");
  ++sections_;
  Section section{scope, fileName};
  if (html) {
    out << "<p>";
    writeTitle(out, section);
    out << "</p>\n<table border=\"1\" cellpadding=\"4\" width=\"400\">\n";
  } else {
    writeFrameTitle(out, section);
    if (csv) out << "No,型名,サイズ,計測結果\n";
  }
  int mode = currentMode();
  int slot = slotOfMode(mode);
  int number = 0;
  for (size_t i = 0; i < size(); ++i) {
    const TypeRecord& record = at(i);
    if (!(record.languages & mode) || !(record.flags & kUsed) || slot < 0) continue;
    TypeRow row{record, ++number, record.sizes[slot], (record.flags & kInexact) != 0,
                (record.kinds & kClass) != 0};
    if (html)
      writeHtmlRow(out, row);
    else if (csv)
      writeCsvRow(out, row);
    else
      writeTextRow(out, row);
  }
  if (html) {
    out << "</table>\n<br>\n";
    if (scope == ListScope::kWholeRun) writeHtmlEnd(out);
  } else {
    out << "\n\n";
  }
}
