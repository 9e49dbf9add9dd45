// The namespace list "Mz名前空間一覧": the known namespaces in sorted order,
// one section per source file or one for the whole run.
#include "app/options.h"
#include "app/run_tables.h"
#include "parse/namespace_table.h"
#include "report/html.h"
#include "report/report_file.h"
#include "scan/define_list.h"

namespace {

const char kListBaseName[] = "Mz名前空間一覧";

void writeCaption(std::ostream& out, ListScope scope, const std::string& fileName) {
  if (scope == ListScope::kWholeRun)
    out << "解析対象ｿｰｽに含まれる全名前空間";
  else
    out << fileName << "に含まれる名前空間";
}

void writeHtmlSection(std::ostream& out, ListScope scope, const std::string& fileName,
                      const NameSet& names) {
  out << "<p>";
  writeCaption(out, scope, fileName);
  out << "</p>\n<table border=\"1\" cellpadding=\"1\" width=\"200\">\n";
  for (size_t i = 0; i < names.count(); ++i)
    out << "    <tr>\n        <td valign=\"top\" width=\"100%\">" << *names.at(i)
        << "</td>\n    </tr>\n";
  out << "</table>\n<br>\n";
}

void writeTextSection(std::ostream& out, ListScope scope, const std::string& fileName,
                      const NameSet& names) {
  out << "\n";
  writeDashLine(out);
  writeCaption(out, scope, fileName);
  out << "\n";
  writeDashLine(out);
  for (size_t i = 0; i < names.count(); ++i) out << *names.at(i) << "\n";
  out << "\n";
}

}  // namespace

void NamespaceTable::writeNamespaceList(ListScope scope, const std::string& fileName) {
  OutputFormat format = (tables_ ? tables_->options() : liveOptions()).outputFormat;
  std::string name = std::string(kListBaseName) + listFileExtension(format);
  bool html = isHtmlList(format);
  ReportFile out;
  if (scope == ListScope::kFinish) {
    if (sections_ == 0 || !html) return;
    openReportAppend(name, out);
    writeHtmlEnd(out);
    return;
  }
  if (known_.count() == 0) return;
  if (sections_ == 0)
    openReport(name, out);
  else
    openReportAppend(name, out);
  if (html && sections_ == 0) writeHtmlHead(out, "名前空間一覧");
  ++sections_;
  if (html)
    writeHtmlSection(out, scope, fileName, known_);
  else
    writeTextSection(out, scope, fileName, known_);
  // A whole-run list is the only section: its page is complete now.
  if (html && scope == ListScope::kWholeRun) writeHtmlEnd(out);
}
