// The definition list "Mz一覧define" / "Mz一覧const": every entry of the
// #define table with its body and file, one section per source file or one
// for the whole run. A list file that has grown past the size limit is
// finished and the next section starts a numbered file ("_1", "_2" …).
#include "context/file_name_pool.h"
#include "context/language_mode.h"
#include "context/options.h"
#include "context/source_context.h"
#include "report/json_writer.h"
#include "report/report.h"
#include "scan/define_table.h"

namespace {

// The words of the list follow the language of the current file.
struct ListWords {
  const char* kind;   // "#define" or "Const"
  const char* title;  // HTML page title
  ReportId id;
};

ListWords wordsFor(int mode) {
  if (mode & kModeVbOrDelphi) return {"Const", "Const定数一覧", ReportId::kConstList};
  return {"#define", "#define定義一覧", ReportId::kDefineList};
}

constexpr Caption kCaption{.blankBefore = true};
// Name and parameters fill 24 columns; a longer name is followed by one
// blank and pushes the body right, and the body's field gives the overflow
// back when the body then fits, so that the file names stay in their column.
constexpr Column kColumns[] = {
    {.html = "10%"},
    {.width = 24, .html = "30%", .flags = kSpills | kGap | kQuoted, .before = " "},
    {.width = 30, .html = "30%", .flags = kAbsorbsWhole | kQuoted},
    {.html = "30%", .before = " [", .after = "]"},
};
constexpr Table kTable{.columns = kColumns,
                       .html = "border=\"1\" cellpadding=\"4\" width=\"800\"",
                       .heading = kCsvForm | kWorkbookForm,
                       .after = {.htmlBreaks = 1, .sheet = 2}};

void writeSection(ReportWriter& out, const ListWords& words, const std::string& caption,
                  const DefineTable& table, const FileNamePool* names) {
  static const std::string kNoFile;
  out.caption(kCaption, caption);
  out.beginTable(kTable);
  out.heading({Cell::of(words.kind), Cell::of("定義名"), Cell::of("定義内容"),
               Cell::of("ﾌｧｲﾙ名").in(ReportFormat::kWorkbook, "ファイル名")});
  std::string name;  // name and parameters, one buffer for all rows
  for (size_t i = 0; i < table.size(); ++i) {
    const DefineEntry& e = table.at(i);
    name.assign(e.name).append(e.params);
    out.row({Cell::of(words.kind), Cell::of(name), Cell::of(e.body),
             Cell::of(names ? names->name(e.fileId) : kNoFile)});
  }
  out.endTable();
}

}  // namespace

void DefineTable::writeDefinesJson(JsonWriter& out) const {
  const char* kind = wordsFor(context_.languageFlavour()).kind;
  for (size_t i = 0; i < size(); ++i) {
    const DefineEntry& e = at(i);
    out.beginObject();
    out.member("kind", kind);
    out.member("name", e.name);
    out.member("parameters", e.params);
    out.member("body", e.body);
    out.member("file", fileNames_.name(e.fileId));
    out.endObject();
  }
}

void DefineTable::writeList(ReportSession& session, ListScope scope) {
  ListWords words = wordsFor(context_.languageFlavour());
  if (scope == ListScope::kFinish) {
    listSections_.finish(session, words.id);
    return;
  }
  Report report(session);
  if (!listSections_.open(report, words.id, words.title)) return;
  const std::string& fileName = context_.mainFileName(true);
  writeSection(report.writer(), words,
               scope == ListScope::kWholeRun ? "解析対象ｿｰｽに含まれる全定義内容"
                                             : fileName + "に含まれる定義内容",
               *this, &fileNames_);
  if (scope == ListScope::kWholeRun) report->endPage();
}
