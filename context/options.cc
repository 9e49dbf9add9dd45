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
}  // namespace

const char kKeyTreeWidth[] = "ﾂﾘｰ表示幅";

namespace {

struct FlagKey {
  const char* key;
  std::int32_t Options::*field;
  const char* comment;  // its line in the INI template
};

// In the order in which they are read (and written) in "ﾃｷｽﾄ出力設定".
const FlagKey kTextFlags[] = {
    {"関数ｿｰﾄしない", &Options::noFunctionSort, "関数ツリー図を名前順でなく使われた順に"},
    {"重複した子関数を全て表示", &Options::showDuplicateChildren, "子関数を呼ばれるたびに表示"},
    {"ﾏｸﾛを関数として認めない", &Options::macrosAreNotFunctions,
     "関数形式マクロを関数として扱わない"},
    {"既述関数非表示", &Options::hideRepeatedSubtrees, "既に出した部分ツリーを再び展開しない"},
    {"PC-98x1", &Options::pc98Lines, "罫線を「・」で描く"},
    {"ｽﾃｯﾌﾟ数の表示を個別", &Options::separateStepCounts, "ステップ数をファイルごとの塊で"},
    {"ﾂﾘｰ出力をﾀｸﾞ形式", &Options::tagJumpTree,
     "タグジャンプできる関数ツリー図 (ファイル名はパス付き)"},
    {"メンバ変数を出力", &Options::outputMemberVariables, "メンバ変数も一覧に"},
};

// "ﾌｧｲﾙ出力設定" in reading order; saving puts the namespace list before
// the function lists (kFileFlagSaveOrder).
const FlagKey kFileFlags[] = {
    {"使用ｸﾗｽ確認", &Options::classList, "クラス一覧を書く"},
    {"#define文確認", &Options::defineList, "#define/Const 一覧を書く"},
    {"予約語表示", &Options::reservedWordDump, "予約語の一覧を書く"},
    {"ｸﾞﾛｰﾊﾞﾙ変数一覧", &Options::globalVariableList, "グローバル変数一覧を書く"},
    {"変数詳細情報の表示", &Options::variableDetails, "変数詳細情報を書く"},
    {"型情報の表示", &Options::typeList, "型情報一覧を書く"},
    {"関数一覧の表示", &Options::functionList, "関数一覧を書く"},
    {"関数詳細情報の表示", &Options::functionDetails, "関数詳細情報を書く"},
    {"名前空間一覧の表示", &Options::namespaceList, "名前空間一覧を書く"},
    {"関数の行数分布を出力", &Options::lineDistribution, "関数の行数分布を書く"},
    {"関数呼出図の出力", &Options::callGraphDot, "関数呼出図 (Graphviz の dot) を書く"},
};
// The settings sheet has no place for the call graph: its key is left as
// the user wrote it.
const int kFileFlagSaveOrder[] = {0, 1, 2, 3, 4, 5, 8, 6, 7, 9};

const FlagKey kOtherFlagsSaved[] = {
    {"処理時間表示", &Options::showElapsedTime, "処理時間をログに書き、表示する"},
    {"ﾂｰﾙﾊﾞｰ非表示", &Options::hideToolbar, "ウィンドウのツールバーを隠す"},
};

// The keys that are no flag of the tables above, with their defaults, in
// the order of the INI template within their sections.
struct ValueKey {
  const char* section;
  const char* key;
  const char* value;
  const char* comment;
};
const ValueKey kValueKeys[] = {
    {kSectionDirectories, kKeyIncludeCount, "0",
     "標準インクルードフォルダの数: 標準ｲﾝｸﾙｰﾄﾞ0, 標準ｲﾝｸﾙｰﾄﾞ1 … に1つずつ、探す順に"},
    {kSectionDirectories, kKeyOutputFolder, "",
     "レポートの出力先フォルダ (空: プログラムのフォルダ)"},
    {kSectionFileOutput, kKeyDistributionStep, "10", "関数の行数分布の1つの階級の行数"},
    {kSectionFileOutput, kKeyOutputFormat, "txt", "レポートの形式: txt, html, csv, xls, json"},
    {kSectionOther, kKeyFastSpeed, "ON", "ウィンドウの解析を高い優先度で"},
    {kSectionOther, kKeyTreeWidth, "200", "ウィンドウのファイルツリーの幅 (ピクセル)"},
    {kSectionOther, kKeyHeaderMode, "通常",
     "ヘッダーファイルの読み方: 通常 (ソースごと), 一回読み込み, 読取禁止"},
    {kSectionOther, kKeyExtensions, kDefaultExtensionList,
     "拡張子:言語 (0 C, 1 C++, 2 Java, 3 VB, 4 Delphi) をコンマで区切って"},
    {kSectionOther, kKeyOutputEncoding, "sjis", "レポートとログの文字コード: sjis, utf-8"},
    {kSectionOther, kKeyUtf8CrLf, "OFF", "utf-8 でも行末を CR LF に"},
    {kSectionOther, kKeySourceEncoding, "auto", "ソースの文字コード: auto, sjis, utf-8, euc-jp"},
};

// Every key of the INI file with its default and its comment, section by
// section: the template is written so, and a key of the file that is none
// of these is named.
template <typename Visit>
void forEachIniKey(Visit visit) {
  auto values = [&](const char* section) {
    for (const ValueKey& k : kValueKeys)
      if (k.section == section) visit(section, k.key, k.value, k.comment);
  };
  auto flags = [&](const char* section, const auto& table) {
    for (const FlagKey& f : table) visit(section, f.key, "OFF", f.comment);
  };
  values(kSectionDirectories);
  flags(kSectionTextOutput, kTextFlags);
  flags(kSectionFileOutput, kFileFlags);
  values(kSectionFileOutput);
  flags(kSectionOther, kOtherFlagsSaved);
  values(kSectionOther);
}

const char* const kSections[] = {kSectionDirectories, kSectionTextOutput, kSectionFileOutput,
                                 kSectionOther};

// "標準ｲﾝｸﾙｰﾄﾞ" and a decimal: one of the include folders.
bool isIncludeFolderKey(const std::string& key) {
  const size_t prefix = sizeof kKeyIncludeFormat - 1;
  if (key.size() <= prefix || key.compare(0, prefix, kKeyIncludeFormat) != 0) return false;
  for (size_t i = prefix; i < key.size(); ++i)
    if (key[i] < '0' || key[i] > '9') return false;
  return true;
}

bool knownKey(const std::string& section, const std::string& key) {
  if (equalsIgnoreCase(section, kSectionDirectories) && isIncludeFolderKey(key)) return true;
  bool known = false;
  forEachIniKey([&](const char* s, const char* k, const char*, const char*) {
    known = known || (equalsIgnoreCase(section, s) && equalsIgnoreCase(key, k));
  });
  return known;
}

// "[section]" for a section the program does not know, "[section] key" for
// an unknown key of a known one, in the order of the file.
std::vector<std::string> unknownEntries(const platform::ProfileReader& ini) {
  std::vector<std::string> unknown;
  for (const platform::IniEntry& e : ini.entries()) {
    bool sectionKnown = false;
    for (const char* s : kSections) sectionKnown = sectionKnown || equalsIgnoreCase(e.section, s);
    if (!sectionKnown && e.key.empty())
      unknown.push_back("[" + e.section + "]");
    else if (sectionKnown && !e.key.empty() && !knownKey(e.section, e.key))
      unknown.push_back("[" + e.section + "] " + e.key);
  }
  return unknown;
}

// What the program knows of its settings for its whole life: where it is,
// the options in force and what became of its INI file.
struct ProgramSettings {
  std::string folder;
  Options options;
  platform::FileProblem iniProblem = platform::FileProblem::kMissing;
  std::vector<std::string> iniUnknown;  // unknownEntries() of the file read
  std::string missingIniOutputFolder;   // named by the file, not there
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
    case OutputFormat::Json:  // the run's document; the trees beside it are text
      style.format = ReportFormat::kJson;
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
  programSettings().iniUnknown = unknownEntries(ini);
  loadIncludeDirectories(ini, o);
  const std::string folder = readValue(ini, kSectionDirectories, kKeyOutputFolder, "");
  setOutputFolder(o, folder);
  programSettings().missingIniOutputFolder = o.outputFolderExists ? "" : folder;
  for (const FlagKey& f : kTextFlags) o.*f.field = readFlag(ini, kSectionTextOutput, f.key);
  o.excelVersion = platform::probeExcelVersion();
  o.excelAvailable = o.excelVersion > 0 ? 1 : 0;
  for (const FlagKey& f : kFileFlags) o.*f.field = readFlag(ini, kSectionFileOutput, f.key);
  o.distributionStep = parseDecimal(readValue(ini, kSectionFileOutput, kKeyDistributionStep, "10"));
  o.outputFormat = formatFromText(readValue(ini, kSectionFileOutput, kKeyOutputFormat, ""));
  loadOtherSettings(ini, o);
}

platform::FileProblem iniFileProblem() { return programSettings().iniProblem; }

const std::vector<std::string>& iniUnknownEntries() { return programSettings().iniUnknown; }

std::string missingOutputFolder() {
  const Options& o = liveOptions();
  std::string wanted =
      o.outputFolderExists ? o.outputFolder : programSettings().missingIniOutputFolder;
  return wanted.empty() || folderExists(wanted) ? std::string() : wanted;
}

std::string defaultIniText() {
  std::string text =
      "; Mizenta.ini: Mizenta の設定。全てのキーが既定値です。; で始まる行は注釈です。\r\n"
      "; ON/OFF のキーは値がちょうど ON のときだけ有効です。\r\n";
  const char* current = nullptr;
  forEachIniKey([&](const char* section, const char* key, const char* value, const char* comment) {
    if (section != current) text += std::string("\r\n[") + section + "]\r\n";
    current = section;
    text += std::string("; ") + comment + "\r\n" + key + "=" + value + "\r\n";
  });
  return text;
}

// The settings in force are the user's from now on, not the defaults.
void saveOptions(const Options& edited) {
  programSettings().iniProblem = platform::FileProblem::kNone;
  programSettings().iniUnknown.clear();
  programSettings().missingIniOutputFolder.clear();
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
