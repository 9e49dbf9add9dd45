// The definition list "Mz一覧define" / "Mz一覧const": every entry of the
// #define table with its body and file, one section per source file or one
// for the whole run. A list file that has grown past the size limit is
// closed and the next section starts a numbered file ("_1", "_2" …).
#include "scan/define_list.h"

#include "app/file_name_pool.h"
#include "app/options.h"
#include "app/run_tables.h"
#include "app/source_context.h"
#include "report/html.h"
#include "report/report_file.h"
#include "report/text_layout.h"
#include "scan/define_table.h"
#include "app/language_mode.h"

const char* listFileExtension(OutputFormat format) {
  switch (format) {
    case OutputFormat::Html:
      return ".html";
    case OutputFormat::Csv:
      return ".csv";
    case OutputFormat::Text:
    case OutputFormat::Excel:
      return ".txt";
  }
  return ".txt";
}

bool isHtmlList(OutputFormat format) { return format == OutputFormat::Html; }
bool isCsvList(OutputFormat format) { return format == OutputFormat::Csv; }

void writeDashLine(std::ostream& out) {
  out << "------------------------------------------------\n";
}

namespace {

constexpr int kNameColumns = 24;
constexpr int kBodyColumns = 30;

// The words of the list follow the language of the current file.
struct ListWords {
  const char* kind;   // "#define" or "Const"
  const char* title;  // HTML page title
  const char* baseName;
};

ListWords wordsFor(int mode) {
  if (mode & kModeVbOrDelphi) return {"Const", "Const定数一覧", "Mz一覧const"};
  return {"#define", "#define定義一覧", "Mz一覧define"};
}

struct ListSection {
  const ListWords& words;
  ListScope scope;
  const std::string& fileName;  // the source file of a per-file section
  const FileNamePool* names;
};

void writeCaption(std::ostream& out, const ListSection& section) {
  if (section.scope == ListScope::kWholeRun)
    out << "解析対象ｿｰｽに含まれる全定義内容";
  else
    out << section.fileName << "に含まれる定義内容";
}

const std::string& fileOf(const ListSection& section, const DefineEntry& entry) {
  static const std::string kNone;
  return section.names ? section.names->name(entry.fileId) : kNone;
}

// Name and parameters fill 24 columns; a longer name pushes the body to the
// right, and the body's field gives the overflow back when the body fits,
// so that the file names stay in their column.
void writeTextEntry(std::ostream& out, const ListSection& section, const DefineEntry& entry) {
  out << section.words.kind << ' ' << entry.name << entry.params;
  int nameColumns = static_cast<int>(entry.name.size() + entry.params.size());
  int bodyField = kBodyColumns;
  if (nameColumns < kNameColumns) {
    writeLeft(out, "", kNameColumns - nameColumns);
  } else {
    out << ' ';
    int shortened = kBodyColumns - (nameColumns + 1 - kNameColumns);
    if (static_cast<int>(entry.body.size()) <= shortened) bodyField = shortened;
  }
  writeLeft(out, entry.body, bodyField);
  out << " [" << fileOf(section, entry) << "]\n";
}

void writeTextSection(std::ostream& out, const ListSection& section, const DefineTable& table) {
  out << "\n";
  writeDashLine(out);
  writeCaption(out, section);
  out << "\n";
  writeDashLine(out);
  for (size_t i = 0; i < table.size(); ++i) writeTextEntry(out, section, table.at(i));
}

void writeCsvSection(std::ostream& out, const ListSection& section, const DefineTable& table) {
  out << "\n";
  writeDashLine(out);
  writeCaption(out, section);
  out << "\n";
  writeDashLine(out);
  out << section.words.kind << ",定義名,定義内容,ﾌｧｲﾙ名\n";
  for (size_t i = 0; i < table.size(); ++i) {
    const DefineEntry& e = table.at(i);
    out << section.words.kind << ",\"" << e.name << e.params << "\",\"" << e.body << "\","
        << fileOf(section, e) << "\n";
  }
}

void writeHtmlSection(std::ostream& out, const ListSection& section, const DefineTable& table) {
  out << "<p>";
  writeCaption(out, section);
  out << "</p>\n<table border=\"1\" cellpadding=\"4\" width=\"800\">\n";
  for (size_t i = 0; i < table.size(); ++i) {
    const DefineEntry& e = table.at(i);
    out << "    <tr>\n";
    textCell(out, "10%", section.words.kind);
    out << "        <td valign=\"top\" width=\"30%\">" << e.name << e.params << "</td>\n";
    textCell(out, "30%", e.body);
    textCell(out, "30%", fileOf(section, e));
    out << "    </tr>\n";
  }
  out << "</table>\n<br>\n";
}

std::string numberedName(const ListWords& words, int number, OutputFormat format) {
  std::string name = words.baseName;
  if (number > 0) {
    name += '_';
    name += std::to_string(number);
  }
  return name + listFileExtension(format);
}

}  // namespace

void DefineTable::writeList(ListScope scope) {
  OutputFormat format = tables_.options().outputFormat;
  bool html = isHtmlList(format);
  int mode = tables_.context ? tables_.context->languageFlavour() : 0;
  ListWords words = wordsFor(mode);
  ReportFile out;
  if (scope == ListScope::kFinish) {
    if (listOutputs_ == 0 || !html) return;
    openReportAppend(numberedName(words, listFileNumber_, format), out);
    writeHtmlEnd(out);
    return;
  }
  bool fresh = listOutputs_ == 0;
  if (!fresh) {
    openReportAppend(numberedName(words, listFileNumber_, format), out);
    if (out.size() > listSizeLimit_) {
      if (html) writeHtmlEnd(out);
      out.close();
      ++listFileNumber_;
      fresh = true;
    }
  }
  if (fresh) openReport(numberedName(words, listFileNumber_, format), out);
  if (fresh && html) writeHtmlHead(out, words.title);
  ++listOutputs_;
  static const std::string kNoFile;
  const std::string& fileName = tables_.context ? tables_.context->mainFileName(true) : kNoFile;
  ListSection section{words, scope, fileName, tables_.fileNames};
  if (html)
    writeHtmlSection(out, section, *this);
  else if (isCsvList(format))
    writeCsvSection(out, section, *this);
  else
    writeTextSection(out, section, *this);
  if (html && scope == ListScope::kWholeRun) writeHtmlEnd(out);
}
