#include "driver/run_outcome.h"

#include "context/text_util.h"

const char kWorkbookAsTextLine[] = " xls形式は出力できないため、テキスト形式で出力します";

namespace {

void note(RunOutcome& outcome, const char* text, const std::string& path) {
  outcome.notes.push_back(std::string(" ") + text + " [" + path + "]");
}

void addPart(std::string& parts, const char* text, int count) {
  if (count == 0) return;
  parts += (parts.empty() ? "" : "、") + std::string(text) + " " + decimalText(count);
}

}  // namespace

void noteRefused(RunOutcome& outcome, const std::string& path) {
  ++outcome.refused;
  note(outcome, "C,C++,Java系とVB,Delphi系は同時に処理できません", path);
}

void noteNotSource(RunOutcome& outcome, const std::string& path) {
  ++outcome.notSources;
  note(outcome, "解析対象外のﾌｧｲﾙです", path);
}

void noteUnmatched(RunOutcome& outcome, const std::string& path) {
  ++outcome.unmatched;
  note(outcome, "ｿｰｽﾌｧｲﾙがありません", path);
}

void noteFolderSearched(RunOutcome& outcome, const std::string& path) {
  note(outcome, "検索済みのﾌｫﾙﾀﾞです", path);
}

std::string unwrittenLogLine(const std::string& path) { return " 書き込めません [" + path + "]"; }

std::string unwrittenReportText(const std::string& path) { return "レポートを書けません: " + path; }

bool RunOutcome::somethingLost() const {
  return refused + notSources + unmatched + unreadable > 0 || !unwritten.empty() ||
         workbookAsText;
}

int RunOutcome::exitStatus() const {
  if (badCommandLine) return 2;
  return somethingLost() ? 1 : 0;
}

std::string RunOutcome::message() const {
  std::string text;
  for (const std::string& path : unwritten) text += unwrittenReportText(path) + "\n";
  text += decimalText(analysed) + " ファイルを解析しました";
  std::string lost;
  addPart(lost, "開けないファイル", unreadable);
  addPart(lost, "C系とVB/Delphi系の混在で除外", refused);
  addPart(lost, "対象外の拡張子", notSources);
  addPart(lost, "ソースファイルのない指定", unmatched);
  if (!lost.empty()) text += " (" + lost + ")";
  if (ran) {
    text += "。レポート: " + outputFolder;
    if (!unwritten.empty()) text += " (書けないレポート " + decimalText(unwritten.size()) + ")";
    if (workbookAsText) text += " (xlsの代わりにテキスト形式)";
  }
  return text + "\n";
}
