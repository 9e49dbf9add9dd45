#include "driver/run_outcome.h"

#include <algorithm>

#include "context/text_util.h"

const char kWorkbookAsTextLine[] = " xls形式は出力できないため、テキスト形式で出力します";

namespace {

void note(RunOutcome& outcome, const char* text, const std::string& path) {
  outcome.notes.push_back(std::string(" ") + text + " [" + path + "]");
}

// The summary's words for each kind of loss, in its order.
const char kUnreadableText[] = "開けないファイル";
const char kRefusedText[] = "C系とVB/Delphi系の混在で除外";
const char kNotSourceText[] = "対象外の拡張子";
const char kUnmatchedText[] = "ソースファイルのない指定";

const char kIniUnknownSectionText[] = "INIﾌｧｲﾙの不明なｾｸｼｮﾝです";
const char kIniUnknownKeyText[] = "INIﾌｧｲﾙの不明なｷｰです";
const char kMissingOutputFolderText[] = "出力先ﾌｫﾙﾀﾞがありません";

// "[section]" alone is a section; "[section] key" a key.
const char* iniUnknownText(const std::string& entry) {
  return entry.back() == ']' ? kIniUnknownSectionText : kIniUnknownKeyText;
}

// Under the summary: the first lost inputs by name, then the reports.
std::string detailLines(const RunOutcome& o) {
  std::string text;
  size_t shown = std::min(o.lost.size(), kLostNamesShown);
  for (size_t i = 0; i < shown; ++i)
    text += std::string("  ") + o.lost[i].reason + ": " + o.lost[i].path + "\n";
  if (o.lost.size() > shown) text += "  ほか " + decimalText(o.lost.size() - shown) + " 件\n";
  if (o.ran && !o.written.empty()) {
    text += "  書いたレポート:";
    for (const std::string& name : o.written) text += " " + name;
    text += "\n";
  }
  return text;
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
  outcome.lost.push_back({kRefusedText, path});
}

void noteNotSource(RunOutcome& outcome, const std::string& path) {
  ++outcome.notSources;
  note(outcome, "解析対象外のﾌｧｲﾙです", path);
  outcome.lost.push_back({kNotSourceText, path});
}

void noteUnmatched(RunOutcome& outcome, const std::string& path) {
  ++outcome.unmatched;
  note(outcome, "ｿｰｽﾌｧｲﾙがありません", path);
  outcome.lost.push_back({kUnmatchedText, path});
}

void noteFolderSearched(RunOutcome& outcome, const std::string& path) {
  note(outcome, "検索済みのﾌｫﾙﾀﾞです", path);
}

void noteUnreadable(RunOutcome& outcome, const std::string& path) {
  outcome.lost.push_back({kUnreadableText, path, true});
}

std::string iniUnknownLogLine(const std::string& entry) {
  return std::string(" ") + iniUnknownText(entry) + " " + entry;
}

std::string missingOutputFolderLogLine(const std::string& folder) {
  return std::string(" ") + kMissingOutputFolderText + " [" + folder + "]";
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
         !missingOutputFolder.empty() || workbookAsText || settingsFileUnusable(iniProblem) ||
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
  for (const std::string& entry : iniUnknown)
    text += std::string(iniUnknownText(entry)) + ": " + entry + "\n";
  if (!missingOutputFolder.empty())
    text += std::string(kMissingOutputFolderText) + ": " + missingOutputFolder + "\n";
  if (folderInUse) return text + folderInUseText(outputFolder) + "\n";
  for (const std::string& path : unwritten) text += unwrittenReportText(path) + "\n";
  text += decimalText(analysed) + " ファイルを解析しました";
  std::string parts;
  addPart(parts, kUnreadableText, unreadable);
  addPart(parts, kRefusedText, refused);
  addPart(parts, kNotSourceText, notSources);
  addPart(parts, kUnmatchedText, unmatched);
  if (!parts.empty()) text += " (" + parts + ")";
  if (ran) {
    text += "。レポート: " + outputFolder;
    if (!unwritten.empty()) text += " (書けないレポート " + decimalText(unwritten.size()) + ")";
    if (workbookAsText) text += " (xlsの代わりにテキスト形式)";
  }
  return text + "\n" + detailLines(*this);
}
