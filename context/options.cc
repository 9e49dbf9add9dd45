#include "context/options.h"

#include <set>

#include "context/text_util.h"
#include "platform/excel_automation.h"
#include "platform/file_system.h"
#include "platform/profile.h"
#include "report/xlsx_workbook.h"

const char kSectionDirectories[] = "ﾃﾞｨﾚｸﾄﾘ設定";
const char kSectionTextOutput[] = "ﾃｷｽﾄ出力設定";
const char kSectionFileOutput[] = "ﾌｧｲﾙ出力設定";
const char kSectionOther[] = "その他設定";
const char kKeyFastSpeed[] = "処理ｽﾋﾟｰﾄﾞ";
const char kDefaultExtensionList[] = "c:0,cpp:1,java:2,frm:3,bas:3,cls:3,ctl:3,vb:3,pas:4,dpr:4";

namespace {

const char kKeyIncludeCount[] = "標準ｲﾝｸﾙｰﾄﾞ設定数";
const char kKeyIncludeFormat[] = "標準ｲﾝｸﾙｰﾄﾞ";
const char kKeyOutputFolder[] = "出力先ﾌｫﾙﾀﾞ";
const char kKeyDistributionStep[] = "行数分布の行数";
const char kKeyOutputFormat[] = "ﾌｧｲﾙ出力形式";
const char kKeyHeaderMode[] = "ﾍｯﾀﾞｰﾌｧｲﾙ読取設定";
const char kKeyExtensions[] = "拡張子および言語";
const char kKeyOutputEncoding[] = "出力文字ｺｰﾄﾞ";
const char kKeyUtf8CrLf[] = "UTF-8の改行をCRLF";
const char kKeySourceEncoding[] = "ｿｰｽ文字ｺｰﾄﾞ";
const char* const kHeaderModeNames[3] = {"通常", "一回読み込み", "読取禁止"};

struct FlagKey {
  const char* key;
  std::int32_t Options::*field;
};

// In the order in which they are read (and written) in "ﾃｷｽﾄ出力設定".
const FlagKey kTextFlags[] = {
    {"関数ｿｰﾄしない", &Options::noFunctionSort},
    {"重複した子関数を全て表示", &Options::showDuplicateChildren},
    {"ﾏｸﾛを関数として認めない", &Options::macrosAreNotFunctions},
    {"既述関数非表示", &Options::hideRepeatedSubtrees},
    {"PC-98x1", &Options::pc98Lines},
    {"ｽﾃｯﾌﾟ数の表示を個別", &Options::separateStepCounts},
    {"ﾂﾘｰ出力をﾀｸﾞ形式", &Options::tagJumpTree},
    {"メンバ変数を出力", &Options::outputMemberVariables},
};

// "ﾌｧｲﾙ出力設定" in reading order; saving puts the namespace list before
// the function lists (kFileFlagSaveOrder).
const FlagKey kFileFlags[] = {
    {"使用ｸﾗｽ確認", &Options::classList},
    {"#define文確認", &Options::defineList},
    {"予約語表示", &Options::reservedWordDump},
    {"ｸﾞﾛｰﾊﾞﾙ変数一覧", &Options::globalVariableList},
    {"変数詳細情報の表示", &Options::variableDetails},
    {"型情報の表示", &Options::typeList},
    {"関数一覧の表示", &Options::functionList},
    {"関数詳細情報の表示", &Options::functionDetails},
    {"名前空間一覧の表示", &Options::namespaceList},
    {"関数の行数分布を出力", &Options::lineDistribution},
    {"関数呼出図の出力", &Options::callGraphDot},
};
// The settings sheet has no place for the call graph: its key is left as
// the user wrote it.
const int kFileFlagSaveOrder[] = {0, 1, 2, 3, 4, 5, 8, 6, 7, 9};

const FlagKey kOtherFlagsSaved[] = {
    {"処理時間表示", &Options::showElapsedTime},
    {"ﾂｰﾙﾊﾞｰ非表示", &Options::hideToolbar},
};

// What the program knows of its settings for its whole life: where it is,
// the options in force and what became of its INI file.
struct ProgramSettings {
  std::string folder;
  Options options;
  platform::FileProblem iniProblem = platform::FileProblem::kMissing;
};

ProgramSettings& programSettings() {
  static ProgramSettings settings;
  return settings;
}

std::string readValue(const platform::ProfileReader& ini, const char* section, const char* key,
                      const char* fallback) {
  return ini.read(section, key, fallback, 256);
}

std::int32_t readFlag(const platform::ProfileReader& ini, const char* section, const char* key,
                      const char* fallback = "OFF") {
  return readValue(ini, section, key, fallback) == "ON" ? 1 : 0;
}

void writeValue(const char* section, const char* key, const std::string& value) {
  platform::writeProfileString(section, key, value, iniPath());
}

bool endsWithSeparator(const std::string& s) {
  return !s.empty() && lastSeparator(s) == s.size() - 1;
}

void appendSeparator(std::string& s) {
  if (!endsWithSeparator(s)) s += platform::kPathSeparator;
}

const char* const kFormatNames[] = {"txt", "html", "csv", "xls", "json"};
const char* const kOutputEncodingNames[] = {"sjis", "utf-8"};
const char* const kSourceEncodingNames[] = {"auto", "sjis", "utf-8", "euc-jp"};

template <typename Enum, size_t N>
bool enumFromText(const char* const (&names)[N], const std::string& text, Enum& out) {
  for (size_t i = 0; i < N; ++i) {
    if (!equalsIgnoreCase(text, names[i])) continue;
    out = static_cast<Enum>(i);
    return true;
  }
  return false;
}

OutputFormat formatFromText(const std::string& text) {
  OutputFormat format = OutputFormat::Text;
  outputFormatFromText(text, format);
  return format;
}

const char* formatText(OutputFormat format) { return kFormatNames[static_cast<int>(format)]; }

HeaderReadMode headerModeFromText(const std::string& text) {
  if (text == kHeaderModeNames[2]) return HeaderReadMode::NoRead;
  if (text == kHeaderModeNames[1]) return HeaderReadMode::ReadOnce;
  return HeaderReadMode::PerSourceFile;
}

// `text` as an include folder (ending with a separator), or empty when no
// such folder exists.
std::string includeFolder(const std::string& text) {
  if (!folderExists(text)) return std::string();
  std::string folder = text;
  appendSeparator(folder);
  return folder;
}

struct IgnoringCase {
  bool operator()(const std::string& a, const std::string& b) const {
    return compareIgnoreCase(a, b) < 0;
  }
};

// As addIncludeDirectory() would take them one by one, with the folders
// taken so far in a set: thousands of folders cost no comparison of each
// with every other.
void loadIncludeDirectories(const platform::ProfileReader& ini, Options& o) {
  std::int32_t count = parseDecimal(readValue(ini, kSectionDirectories, kKeyIncludeCount, ""));
  std::set<std::string, IgnoringCase> taken;
  for (std::int32_t i = 0; i < count; ++i) {
    std::string key = kKeyIncludeFormat + decimalText(i);
    std::string text = readValue(ini, kSectionDirectories, key.c_str(), "");
    if (text.empty()) break;
    std::string folder = includeFolder(text);
    if (!folder.empty() && taken.insert(folder).second) o.includeDirectories.push_back(folder);
  }
}

void loadOtherSettings(const platform::ProfileReader& ini, Options& o) {
  o.showElapsedTime = readFlag(ini, kSectionOther, "処理時間表示");
  o.fastSpeed = readFlag(ini, kSectionOther, kKeyFastSpeed, "ON");
  o.hideToolbar = readFlag(ini, kSectionOther, "ﾂｰﾙﾊﾞｰ非表示");
  o.headerReadMode =
      headerModeFromText(readValue(ini, kSectionOther, kKeyHeaderMode, kHeaderModeNames[0]));
  o.extensionLanguages =
      parseExtensionList(readValue(ini, kSectionOther, kKeyExtensions, kDefaultExtensionList));
  outputEncodingFromText(readValue(ini, kSectionOther, kKeyOutputEncoding, ""), o.outputEncoding);
  o.utf8CrLf = readFlag(ini, kSectionOther, kKeyUtf8CrLf);
  sourceEncodingFromText(readValue(ini, kSectionOther, kKeySourceEncoding, ""), o.sourceEncoding);
}

void saveDirectories(const Options& o) {
  writeValue(kSectionDirectories, kKeyIncludeCount, decimalText(o.includeDirectories.size()));
  for (size_t i = 0; i < o.includeDirectories.size(); ++i)
    writeValue(kSectionDirectories, (kKeyIncludeFormat + decimalText(i)).c_str(),
               o.includeDirectories[i]);
  // Without a folder of its own the record holds the program folder as a
  // stand-in; saved, that would pin the reports there for good.
  writeValue(kSectionDirectories, kKeyOutputFolder, o.outputFolderExists ? o.outputFolder : "");
}

void saveFlags(const Options& o) {
  for (const FlagKey& f : kTextFlags) writeFlag(kSectionTextOutput, f.key, o.*f.field);
  for (int i : kFileFlagSaveOrder)
    writeFlag(kSectionFileOutput, kFileFlags[i].key, o.*kFileFlags[i].field);
  writeValue(kSectionFileOutput, kKeyDistributionStep, decimalText(o.distributionStep));
  writeValue(kSectionFileOutput, kKeyOutputFormat, formatText(o.outputFormat));
  for (const FlagKey& f : kOtherFlagsSaved) writeFlag(kSectionOther, f.key, o.*f.field);
}

}  // namespace

ReportStyle reportStyle(const Options& options) {
  ReportStyle style;
  style.pc98Lines = options.pc98Lines != 0;
  style.encoding.utf8 = options.outputEncoding == OutputEncoding::Utf8;
  style.encoding.crLf = !style.encoding.utf8 || options.utf8CrLf != 0;
  switch (options.outputFormat) {
    case OutputFormat::Text:
      style.format = ReportFormat::kText;
      break;
    case OutputFormat::Html:
      style.format = ReportFormat::kHtml;
      break;
    case OutputFormat::Csv:
      style.format = ReportFormat::kCsv;
      break;
    case OutputFormat::Excel:
      style.format = ReportFormat::kWorkbook;
      break;
    case OutputFormat::Json:  // the reports beside the run's document are text
      style.format = ReportFormat::kText;
      break;
  }
  return style;
}

Options& liveOptions() { return programSettings().options; }

void setProgramFolder(const std::string& folder) { programSettings().folder = folder; }

const std::string& programFolder() { return programSettings().folder; }

std::string iniPath() { return programFolder() + "Mizenta.ini"; }

bool workbookOffered(const Options& options) {
  return options.excelAvailable || xlsxWorkbookAvailable();
}

// The file is read once; every key is then looked up in memory.
void loadOptions() {
  const platform::ProfileReader ini(iniPath());
  programSettings().iniProblem = ini.problem();
  Options& o = liveOptions();
  o = Options();
  o.fastSpeed = 0;
  o.distributionStep = 0;
  loadIncludeDirectories(ini, o);
  setOutputFolder(o, readValue(ini, kSectionDirectories, kKeyOutputFolder, ""));
  for (const FlagKey& f : kTextFlags) o.*f.field = readFlag(ini, kSectionTextOutput, f.key);
  o.excelVersion = platform::probeExcelVersion();
  o.excelAvailable = o.excelVersion > 0 ? 1 : 0;
  for (const FlagKey& f : kFileFlags) o.*f.field = readFlag(ini, kSectionFileOutput, f.key);
  o.distributionStep = parseDecimal(readValue(ini, kSectionFileOutput, kKeyDistributionStep, "10"));
  o.outputFormat = formatFromText(readValue(ini, kSectionFileOutput, kKeyOutputFormat, ""));
  loadOtherSettings(ini, o);
}

platform::FileProblem iniFileProblem() { return programSettings().iniProblem; }

// The settings in force are the user's from now on, not the defaults.
void saveOptions(const Options& edited) {
  programSettings().iniProblem = platform::FileProblem::kNone;
  Options& o = liveOptions();
  o.outputFolder.clear();
  o.includeDirectories.clear();
  o.extensionLanguages.clear();
  o = edited;
  saveDirectories(o);
  saveFlags(o);
  int mode = static_cast<int>(o.headerReadMode);
  if (mode >= 0 && mode <= 2) writeValue(kSectionOther, kKeyHeaderMode, kHeaderModeNames[mode]);
  writeValue(kSectionOther, kKeyExtensions, formatExtensionList(o.extensionLanguages));
}

void writeFlag(const char* section, const char* key, std::int32_t flag) {
  writeValue(section, key, flag ? "ON" : "OFF");
}

void setOutputFolder(Options& options, const std::string& text) {
  if (folderExists(text)) {
    options.outputFolder = text;
    options.outputFolderExists = 1;
  } else {
    options.outputFolder = programFolder();
    options.outputFolderExists = 0;
  }
  appendSeparator(options.outputFolder);
}

int addIncludeDirectory(Options& options, const std::string& text) {
  std::string folder = includeFolder(text);
  if (folder.empty()) return 0;
  for (const std::string& existing : options.includeDirectories)
    if (equalsIgnoreCase(existing, folder)) return 0;
  options.includeDirectories.push_back(folder);
  return 1;
}

bool folderExists(const std::string& text) {
  if (text.empty() || text.size() > 256) return false;
  std::string copy = text;
  if (endsWithSeparator(copy) && copy.size() > 1) copy.pop_back();
  if (copy.size() == 2 && copy[1] == ':') return true;
  return platform::fileStatus(copy).isDirectory;
}

void checkOutputFolder() {
  Options& o = liveOptions();
  if (o.outputFolder.empty() || !folderExists(o.outputFolder)) o.outputFolder = programFolder();
  appendSeparator(o.outputFolder);
}

bool outputFormatFromText(const std::string& text, OutputFormat& out) {
  return enumFromText(kFormatNames, text, out);
}

bool outputEncodingFromText(const std::string& text, OutputEncoding& out) {
  return enumFromText(kOutputEncodingNames, text, out);
}

bool sourceEncodingFromText(const std::string& text, SourceEncoding& out) {
  return enumFromText(kSourceEncodingNames, text, out);
}

const char* outputEncodingText(OutputEncoding encoding) {
  return kOutputEncodingNames[static_cast<int>(encoding)];
}

const char* sourceEncodingText(SourceEncoding encoding) {
  return kSourceEncodingNames[static_cast<int>(encoding)];
}

std::vector<ExtensionLanguage> parseExtensionList(const std::string& text) {
  std::vector<ExtensionLanguage> list;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t comma = text.find(',', pos);
    bool last = comma == std::string::npos;
    std::string item = text.substr(pos, last ? std::string::npos : comma - pos);
    pos = last ? text.size() : comma + 1;
    if (item.empty()) continue;
    size_t colon = item.find(':');
    if (colon == std::string::npos) {
      if (!last) list.push_back({item, 0});
      continue;
    }
    list.push_back({item.substr(0, colon), parseDecimal(item.substr(colon + 1))});
  }
  return list;
}

std::string formatExtensionList(const std::vector<ExtensionLanguage>& list) {
  if (list.empty()) return kDefaultExtensionList;
  std::string text;
  for (const ExtensionLanguage& e : list) {
    if (!text.empty()) text += ',';
    text += e.extension + ":" + decimalText(e.language);
  }
  return text;
}

int languageOfFileName(const Options& options, const std::string& fileName) {
  size_t dot = fileName.rfind('.');
  if (dot == std::string::npos) return -1;
  std::string_view ext = std::string_view(fileName).substr(dot + 1);
  for (const ExtensionLanguage& e : options.extensionLanguages)
    if (equalsIgnoreCase(e.extension, ext)) return e.language;
  return -1;
}
