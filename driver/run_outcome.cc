#include "driver/run_outcome.h"

#include "context/text_util.h"

const char kWorkbookAsTextLine[] = " xls形式は出力できないため、テキスト形式で出力します";

namespace {

void note(RunOutcome& outcome, const char* text, const std::string& path) {
  outcome.notes.push_back(std::string(" ") + text + " [" + path + "]");
}

// Why a file of settings was not used, as the messages say it.
const char* problemText(platform::FileProblem problem) {
  switch (problem) {
    case platform::FileProblem::kFolder:
      return "ﾌｫﾙﾀﾞです";
    case platform::FileProblem::kNotRegularFile:
      return "通常のﾌｧｲﾙではありません";
    case platform::FileProblem::kUnreadable:
      return "開けません";
    case platform::FileProblem::kTooLarge:
      return "大きすぎます";
    case platform::FileProblem::kNotText:
      return "ﾃｷｽﾄではありません";
    case platform::FileProblem::kNone:
    case platform::FileProblem::kMissing:
      break;
  }
  return "";
}

std::string iniUnusableText(platform::FileProblem problem) {
  return std::string("INIﾌｧｲﾙが読み込めません(") + problemText(problem) +
         ")。既定の設定を使用します";
}

std::string settingsDataUnusableText(platform::FileProblem problem) {
  return std::string("Mizentaの設定ﾌｧｲﾙが読み込めません(") + problemText(problem) +
         ")。内部確保してある予約語、型情報を使用します";
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

bool settingsFileUnusable(platform::FileProblem problem) {
  return problem != platform::FileProblem::kNone && problem != platform::FileProblem::kMissing;
}

std::string notRegularFileLine(const std::string& name) {
  return "通常のﾌｧｲﾙではないため読みません [" + name + "]";
}

std::string iniUnusableLogLine(platform::FileProblem problem, const std::string& path) {
  return " " + iniUnusableText(problem) + " [" + path + "]";
}

std::string unwrittenLogLine(const std::string& path) { return " 書き込めません [" + path + "]"; }

std::string unwrittenReportText(const std::string& path) { return "レポートを書けません: " + path; }

std::string folderInUseText(const std::string& folder) {
  return "出力先ﾌｫﾙﾀﾞは他のMIZENTAが使用中です: " + folder;
}

bool RunOutcome::somethingLost() const {
  return refused + notSources + unmatched + unreadable > 0 || !unwritten.empty() || folderInUse ||
         workbookAsText || settingsFileUnusable(iniProblem) ||
         settingsFileUnusable(settingsDataProblem);
}

int RunOutcome::exitStatus() const {
  if (badCommandLine) return 2;
  return somethingLost() ? 1 : 0;
}

std::string RunOutcome::message() const {
  std::string text;
  if (settingsFileUnusable(iniProblem)) text += iniUnusableText(iniProblem) + ": " + iniPath + "\n";
  if (settingsFileUnusable(settingsDataProblem))
    text += settingsDataUnusableText(settingsDataProblem) + ": " + settingsDataPath + "\n";
  if (folderInUse) return text + folderInUseText(outputFolder) + "\n";
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
