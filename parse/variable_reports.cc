// The global variable list "Mz一覧Obj" and the variable details
// "Mz変数詳細情報", in text, HTML or CSV, from the variable table's rows.
#include <ostream>

#include "app/file_name_pool.h"
#include "app/options.h"
#include "app/run_tables.h"
#include "parse/type_table.h"
#include "parse/variable_table.h"
#include "report/error_log.h"
#include "report/html.h"
#include "report/report_file.h"
#include "app/language_mode.h"

namespace {

const char kListHeader[] =
    "型名                    │変数名                    │サイズ│計測  │備考                        │ファイル名";
const char kListHeaderPc98[] =
    "型名                    ・変数名                    ・サイズ・計測  ・備考                        ・ファイル名";
const char kListRule[] =
    "────────────┼─────────────┼───┼───┼──────────────┼─────────────";
const char kInexactText[] = "不正確";

// Column widths of the text list (bytes); the last column is not padded.
constexpr int kTypeWidth = 24;
constexpr int kNameWidth = 26;
constexpr int kSizeWidth = 6;
constexpr int kMeasureWidth = 6;
constexpr int kRemarkWidth = 28;

void spaces(std::ostream& out, int n) {
  for (; n > 0; --n) out << ' ';
}

// Writes fixed-width columns; a value wider than its column pushes the rest
// of the line right, and the following columns give up their padding until
// that overflow is used up.
class ColumnLine {
 public:
  explicit ColumnLine(std::ostream& out) : out_(out) {}
  void left(std::string_view text, int width) {
    out_ << text;
    settle(width - static_cast<int>(text.size()));
  }
  void right(std::string_view text, int width) {
    int pad = width - static_cast<int>(text.size()) - carry_;
    spaces(out_, pad);
    carry_ = pad < 0 ? -pad : 0;
    out_ << text;
  }

 private:
  void settle(int pad) {
    pad -= carry_;
    spaces(out_, pad);
    carry_ = pad < 0 ? -pad : 0;
  }
  std::ostream& out_;
  int carry_ = 0;
};

const char* reportName(OutputFormat format, const char* text, const char* html, const char* csv) {
  switch (format) {
    case OutputFormat::Text: return text;
    case OutputFormat::Html: return html;
    case OutputFormat::Csv: return csv;
    case OutputFormat::Excel: return nullptr;  // the workbook has its own sheets
  }
  return nullptr;
}

// A cell whose text is markup already (type and remark texts).
void rawCell(std::ostream& out, std::string_view width, std::string_view text) {
  out << "        <td valign=\"top\" width=\"" << width << "\">" << (text.empty() ? "　" : text)
      << "</td>\n";
}

}  // namespace

// ---------------------------------------------------------------------------
// Row values

bool VariableTable::listed(const VariableRecord& r) const {
  if (!(r.flags & VariableRecord::kNotParameter)) return false;
  return r.className.empty() || !r.function.empty() || tables_.options().outputMemberVariables;
}

std::vector<int> VariableTable::rows() const {
  std::vector<int> list;
  for (int n : sorted_)
    if (listed(records_[n])) list.push_back(n);
  return list;
}

int VariableTable::rowCount() const { return static_cast<int>(rows().size()); }

std::string VariableTable::field(Field kind, int row, int column) const {
  std::vector<int> list = rows();
  if (row < 0 || row >= static_cast<int>(list.size())) return std::string();
  const VariableRecord& r = records_[list[row]];
  switch (kind) {
    case Field::kType: return typeWithPrefix(r);
    case Field::kName: return r.writtenName;
    case Field::kReferencingFunction:
      if (column < 0 || column >= static_cast<int>(r.referencingFunctions.size())) return std::string();
      return r.referencingFunctions[column];
  }
  return std::string();
}

std::string VariableTable::typeWithPrefix(const VariableRecord& r, int* prefixLength) const {
  const char* prefix = "";
  if (r.typeKind & TypeTable::kClass)
    prefix = "class ";
  else if (r.typeKind & TypeTable::kStructure)
    prefix = (r.language & kModeVbOrDelphi) ? "Type " : "struct ";
  if (prefixLength) *prefixLength = static_cast<int>(std::string_view(prefix).size());
  return prefix + r.type;
}

std::string VariableTable::sizeText(const VariableRecord& r) const {
  return (r.typeKind & TypeTable::kClass) ? std::string("-") : std::to_string(r.size);
}

std::string VariableTable::remark(const VariableRecord& r) const {
  if (!(r.flags & VariableRecord::kOwned)) return std::string();
  if (r.flags & VariableRecord::kClassSet) {
    if (!(r.flags & VariableRecord::kFunctionSet)) return std::string();  // a data member
    if (r.className.empty() || r.function.empty()) {
      errorLog() << "(内部ｴﾗｰ)ｵﾌﾞｼﾞｪｸﾄの所有で発生(messod)\n";
      return std::string();
    }
    return r.className + "ｸﾗｽの" + r.function + "ﾒｿｯﾄﾞ所有";
  }
  if (r.function.empty()) {
    errorLog() << "(内部ｴﾗｰ)ｵﾌﾞｼﾞｪｸﾄの所有で発生(func)\n";
    return std::string();
  }
  return r.function + "関数所有";
}

std::string VariableTable::fileName(const VariableRecord& r) const {
  return tables_.fileNames ? tables_.fileNames->name(r.file) : std::string();
}

// ---------------------------------------------------------------------------
// Global variable list

void VariableTable::writeTextList(std::ostream& out, const std::vector<int>& list) const {
  bool pc98 = tables_.options().pc98Lines != 0;
  const char* bar = pc98 ? "・" : "│";
  out << (pc98 ? kListHeaderPc98 : kListHeader) << "\n";
  if (pc98)
    for (int i = 0; i < 63; ++i) out << "・";
  else
    out << kListRule;
  out << "\n";
  for (int i : list) {
    const VariableRecord& r = records_[i];
    ColumnLine line(out);
    line.left(typeWithPrefix(r), kTypeWidth);
    out << bar;
    line.left(r.writtenName, kNameWidth);
    out << bar;
    line.right(sizeText(r), kSizeWidth);
    out << bar;
    line.left((r.flags & VariableRecord::kInexact) ? kInexactText : "", kMeasureWidth);
    out << bar;
    line.left(remark(r), kRemarkWidth);
    out << bar << fileName(r) << "\n";
  }
}

void VariableTable::writeCsvList(std::ostream& out, const std::vector<int>& list) const {
  out << "型名,変数名,サイズ,計測,備考,ファイル名\n";
  for (int i = 0; i < 38; ++i) out << "─";
  out << "\n";
  for (int i : list) {
    const VariableRecord& r = records_[i];
    out << typeWithPrefix(r) << "," << r.writtenName << "," << sizeText(r) << ","
        << ((r.flags & VariableRecord::kInexact) ? kInexactText : "") << "," << remark(r) << ","
        << fileName(r) << "\n";
  }
}

void VariableTable::writeHtmlList(std::ostream& out, const std::vector<int>& list) const {
  writeHtmlHead(out, "グローバル変数一覧");
  out << "<table border=\"1\" cellpadding=\"6\" width=\"900\">\n";
  out << "    <tr>\n";
  headerCell(out, "17%", "型名");
  headerCell(out, "20%", "変数名");
  headerCell(out, "8%", "サイズ");
  headerCell(out, "8%", "計測");
  headerCell(out, "22%", "備考");
  headerCell(out, "25%", "ファイル名");
  out << "    </tr>\n";
  for (int i : list) {
    const VariableRecord& r = records_[i];
    out << "    <tr>\n";
    rawCell(out, "17%", typeWithPrefix(r));
    textCell(out, "20%", r.writtenName);
    if (r.typeKind & TypeTable::kClass)
      out << "        <td align=\"right\" valign=\"top\" width=\"8%\">-</td>\n";
    else
      numberCell(out, "8%", r.size);
    textCell(out, "8%", (r.flags & VariableRecord::kInexact) ? kInexactText : "");
    rawCell(out, "22%", remark(r));
    textCell(out, "25%", fileName(r));
    out << "    </tr>\n";
  }
  out << "</table>\n";
  writeHtmlEnd(out);
}

void VariableTable::writeVariableList() {
  OutputFormat format = tables_.options().outputFormat;
  const char* name = reportName(format, "Mz一覧Obj.txt", "Mz一覧Obj.html", "Mz一覧Obj.csv");
  if (!name) return;
  ReportFile out;
  openReport(name, out);
  std::vector<int> list = rows();
  if (format == OutputFormat::Html) writeHtmlList(out, list);
  else if (format == OutputFormat::Csv) writeCsvList(out, list);
  else writeTextList(out, list);
}

// ---------------------------------------------------------------------------
// Variable details

void VariableTable::writeTextDetails(std::ostream& out, const std::vector<int>& list) const {
  for (int i : list) {
    const VariableRecord& r = records_[i];
    out << "■型名　　　：" << typeWithPrefix(r) << "\n";
    out << "■変数名　　：" << r.writtenName << "\n";
    out << "■サイズ　　：" << sizeText(r) << "\n";
    out << "■計測　　　：" << ((r.flags & VariableRecord::kInexact) ? kInexactText : "") << "\n";
    out << "■備考　　　：" << remark(r) << "\n";
    out << "■ソース　　：" << fileName(r);
    if (r.file != 0) out << "  " << r.line << " :行目";
    out << "\n■参照関数　：";
    for (size_t k = 0; k < r.referencingFunctions.size(); ++k)
      out << (k ? "\n　　　　　　：" : "") << r.referencingFunctions[k];
    out << "\n\n\n";
  }
}

void VariableTable::writeCsvDetails(std::ostream& out, const std::vector<int>& list) const {
  for (int i : list) {
    const VariableRecord& r = records_[i];
    out << "型名," << typeWithPrefix(r) << "\n";
    out << "変数名," << r.writtenName << "\n";
    out << "サイズ," << sizeText(r) << "\n";
    out << "計測," << ((r.flags & VariableRecord::kInexact) ? kInexactText : "") << "\n";
    out << "備考," << remark(r) << "\n";
    out << "ソース," << fileName(r);
    if (r.file != 0) out << "," << r.line;
    out << "\n";
    if (!r.referencingFunctions.empty()) {
      out << "参照関数,";
      for (const std::string& f : r.referencingFunctions) out << f << ",";
      out << "\n";
    }
    out << "\n\n";
  }
}

void VariableTable::writeHtmlDetails(std::ostream& out, const std::vector<int>& list) const {
  writeHtmlHead(out, "変数詳細情報");
  auto row = [&out](std::string_view label, std::string_view value, bool markup) {
    out << "    <tr>\n";
    textCell(out, "20%", label);
    if (markup) rawCell(out, "80%", value);
    else textCell(out, "80%", value);
    out << "    </tr>\n";
  };
  for (int i : list) {
    const VariableRecord& r = records_[i];
    out << "<table border=\"1\" cellpadding=\"2\" width=\"800\">\n";
    row("型名", typeWithPrefix(r), true);
    row("変数名", r.writtenName, false);
    row("サイズ", sizeText(r), false);
    row("計測", (r.flags & VariableRecord::kInexact) ? kInexactText : "", false);
    row("備考", remark(r), false);
    std::string source = fileName(r);
    if (r.file != 0) source += "  " + std::to_string(r.line) + " :行目";
    row("ソース", source, false);
    std::string functions;
    for (size_t k = 0; k < r.referencingFunctions.size(); ++k)
      functions += (k ? "<br>" : "") + r.referencingFunctions[k];
    row("参照関数", functions, false);
    out << "</table>\n<br>\n<br>\n";
  }
  writeHtmlEnd(out);
}

void VariableTable::writeVariableDetails() {
  OutputFormat format = tables_.options().outputFormat;
  const char* name =
      reportName(format, "Mz変数詳細情報.txt", "Mz変数詳細情報.html", "Mz変数詳細情報.csv");
  if (!name) return;
  ReportFile out;
  openReport(name, out);
  std::vector<int> list = rows();
  if (format == OutputFormat::Html) writeHtmlDetails(out, list);
  else if (format == OutputFormat::Csv) writeCsvDetails(out, list);
  else writeTextDetails(out, list);
}
