// The class list "Mz一覧class": the used classes with their base classes,
// one section per source file or one for the whole run, in text, HTML or
// CSV. The first section of a run creates the file, later ones append.
#include <ostream>

#include "app/options.h"
#include "app/run_tables.h"
#include "app/source_context.h"
#include "report/html.h"
#include "report/report_file.h"
#include "tables/class_table.h"

namespace {

const char kRule[] = "----------------------------------------------";
const char kWholeRunHeading[] = "解析対象ｿｰｽで使用した全ｸﾗｽ名を表示します。";
const char kFileHeadingTail[] = "で使用したｸﾗｽ名を表示します。";

const char* fileNameFor(OutputFormat format) {
  switch (format) {
    case OutputFormat::Html: return "Mz一覧class.html";
    case OutputFormat::Csv: return "Mz一覧class.csv";
    case OutputFormat::Text: return "Mz一覧class.txt";
    case OutputFormat::Excel: return nullptr;  // the workbook has its own sheet
  }
  return nullptr;
}

}  // namespace

bool ClassTable::listed(const ClassRecord& r) const {
  return !r.name.empty() && r.used && r.kind == kClass;
}

void ClassTable::writeTextSection(std::ostream& out, const std::string& heading) const {
  out << kRule << "\n" << heading << "\n" << kRule << "\n";
  for (const ClassRecord& r : records_) {
    if (!listed(r)) continue;
    out << "  class " << r.name << "\n";
    for (const std::string& base : r.bases)
      if (!base.empty()) out << "    基本ｸﾗｽ：" << base << "\n";
  }
  out << "\n";
}

void ClassTable::writeCsvSection(std::ostream& out, const std::string& heading) const {
  out << kRule << "\n" << heading << "\n" << kRule << "\n";
  out << "class,ｸﾗｽ名,基本ｸﾗｽ\n";
  for (const ClassRecord& r : records_) {
    if (!listed(r)) continue;
    out << "class," << r.name;
    bool first = true;
    for (const std::string& base : r.bases) {
      if (base.empty()) continue;
      out << (first ? "," : "") << base << ",";
      first = false;
    }
    out << "\n";
  }
  out << "\n";
}

void ClassTable::writeHtmlSection(std::ostream& out, const std::string& heading) const {
  out << "<p>" << heading << "</p>\n";
  out << "<table border=\"1\" cellpadding=\"3\" width=\"400\">\n";
  out << "    <tr>\n";
  headerCell(out, "20%", "class");
  headerCell(out, "40%", "クラス名");
  headerCell(out, "40%", "基本クラス");
  out << "    </tr>\n";
  for (const ClassRecord& r : records_) {
    if (!listed(r)) continue;
    out << "    <tr>\n";
    textCell(out, "20%", "class");
    textCell(out, "40%", r.name);
    out << "        <td valign=\"top\" width=\"40%\">";
    if (r.bases.empty()) out << "　";
    for (size_t i = 0; i < r.bases.size(); ++i) {
      out << r.bases[i];
      if (i + 1 < r.bases.size() && !r.bases[i + 1].empty()) out << "<br>";
    }
    out << "</td>\n";
    out << "    </tr>\n";
  }
  out << "</table>\n<br>\n\n\n";
}

// Per-file sections are headed by the file just finished (the main file,
// still on top of the source context); the whole-run section by the run.
void ClassTable::writeClassList(ListScope scope) {
  OutputFormat format = tables_.options().outputFormat;
  const char* fileName = fileNameFor(format);
  if (!fileName) return;
  bool html = format == OutputFormat::Html;
  if (scope == ListScope::kFinish && sections_ > 0) {
    if (!html) return;
    ReportFile out;
    openReportAppend(fileName, out);
    writeHtmlEnd(out);
    return;
  }
  if (records_.empty()) return;
  std::string heading = kWholeRunHeading;
  if (scope == ListScope::kPerFile) {
    const SourceContext* context = tables_.context;
    heading = (context ? context->item(0) : std::string()) + kFileHeadingTail;
  }
  ReportFile out;
  if (sections_ == 0)
    openReport(fileName, out);
  else
    openReportAppend(fileName, out);
  if (html && sections_ == 0) writeHtmlHead(out, "クラス一覧");
  ++sections_;
  if (html) writeHtmlSection(out, heading);
  else if (format == OutputFormat::Csv) writeCsvSection(out, heading);
  else writeTextSection(out, heading);
  if (html && scope != ListScope::kPerFile) writeHtmlEnd(out);
}
