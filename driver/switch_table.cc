#include "driver/switch_table.h"

#include <cstring>
#include <string_view>

#include "context/text_util.h"

namespace {

std::string taken() { return std::string(); }

// ---- what the rows set

struct ReportName {
  const char* name;
  std::int32_t Options::*flags[2];  // the second may be null
};

// The optional reports of "--reports"; the call tree, the step counts and
// the file tree are always written.
const ReportName kReportNames[] = {
    {"list", {&Options::functionList, nullptr}},
    {"details", {&Options::functionDetails, nullptr}},
    {"classes", {&Options::classList, nullptr}},
    {"defines", {&Options::defineList, nullptr}},
    {"types", {&Options::typeList, nullptr}},
    {"namespaces", {&Options::namespaceList, nullptr}},
    {"variables", {&Options::globalVariableList, &Options::variableDetails}},
    {"distribution", {&Options::lineDistribution, nullptr}},
};

void setReport(Options& o, const ReportName& r, std::int32_t on) {
  for (std::int32_t Options::*flag : r.flags)
    if (flag) o.*flag = on;
}

// "list,details": exactly these optional reports.
std::string chooseReports(Options& o, const std::string& value) {
  Options chosen = o;
  for (const ReportName& r : kReportNames) setReport(chosen, r, 0);
  size_t pos = 0;
  while (pos <= value.size()) {
    size_t comma = value.find(',', pos);
    if (comma == std::string::npos) comma = value.size();
    std::string name = value.substr(pos, comma - pos);
    pos = comma + 1;
    const ReportName* found = nullptr;
    for (const ReportName& r : kReportNames)
      if (name == r.name) found = &r;
    if (!found) return "ﾚﾎﾟｰﾄ[" + name + "]はありません";
    setReport(chosen, *found, 1);
  }
  o = chosen;
  return taken();
}

std::string allReports(Options& o, const std::string&) {
  for (const ReportName& r : kReportNames) setReport(o, r, 1);
  return taken();
}

std::string chooseFormat(Options& o, const std::string& value) {
  return outputFormatFromText(value, o.outputFormat) ? taken() : "形式[" + value + "]はありません";
}

std::string chooseEncoding(Options& o, const std::string& value) {
  return outputEncodingFromText(value, o.outputEncoding) ? taken()
                                                         : "文字ｺｰﾄﾞ[" + value + "]はありません";
}

std::string chooseSourceEncoding(Options& o, const std::string& value) {
  return sourceEncodingFromText(value, o.sourceEncoding) ? taken()
                                                         : "文字ｺｰﾄﾞ[" + value + "]はありません";
}

const char* const kHeaderModeSpellings[] = {"per-file", "once", "none"};

std::string chooseHeaderMode(Options& o, const std::string& value) {
  for (int i = 0; i < 3; ++i) {
    if (value != kHeaderModeSpellings[i]) continue;
    o.headerReadMode = static_cast<HeaderReadMode>(i);
    return taken();
  }
  return "読み方[" + value + "]はありません";
}

std::string addInclude(Options& o, const std::string& value) {
  if (!folderExists(value)) return "ﾌｫﾙﾀﾞ[" + value + "]がありません";
  addIncludeDirectory(o, value);
  return taken();
}

// "/file" lowers the header mode to read-once, but never lifts "/No_h".
std::string readHeadersOnce(Options& o, const std::string&) {
  if (o.headerReadMode != HeaderReadMode::NoRead) o.headerReadMode = HeaderReadMode::ReadOnce;
  return taken();
}

template <std::int32_t Options::*Flag>
std::string turnOn(Options& o, const std::string&) {
  o.*Flag = 1;
  return taken();
}

std::string noHeaders(Options& o, const std::string&) {
  o.headerReadMode = HeaderReadMode::NoRead;
  return taken();
}

constexpr SwitchAction kSet = SwitchAction::kSet;

// ORDER: the order of the help text.
const SwitchRow kSwitches[] = {
    {"-h|--help|/?", nullptr, "この説明を表示して終了", SwitchAction::kHelp, nullptr},
    {"-V|--version", nullptr, "版とビルドの版・コミットを表示して終了", SwitchAction::kVersion,
     nullptr},
    {"/v", nullptr, "版を表示して終了", SwitchAction::kShortVersion, nullptr},
    {"-o|--output", "DIR", "この実行のレポートの出力先フォルダ (無ければ作ります)",
     SwitchAction::kOutput, nullptr},
    {"--reports", "LIST",
     "書くレポート (コンマ区切り): list,details,classes,defines,types,namespaces,"
     "variables,distribution",
     kSet, chooseReports},
    {"--all-reports", nullptr, "--reports の全てのレポートを書く", kSet, allReports},
    {"--format", "FORMAT", "レポートの形式: txt, html, csv, xls, json", kSet, chooseFormat},
    {"--encoding", "ENC", "レポートとメッセージの文字コード: sjis (CR LF) か utf-8 (LF)", kSet,
     chooseEncoding},
    {"--crlf", nullptr, "utf-8 でも行末を CR LF にする", kSet, turnOn<&Options::utf8CrLf>},
    {"--source-encoding", "ENC", "ソースの文字コード: auto, sjis, utf-8, euc-jp", kSet,
     chooseSourceEncoding},
    {"--headers", "MODE",
     "ヘッダーファイルの読み方: per-file (ソースごと), once (一回), none (読まない)", kSet,
     chooseHeaderMode},
    {"-I", "DIR", "インクルードフォルダを加える (繰り返せます。無いフォルダは誤り)", kSet,
     addInclude},
    {"--hide-repeated|/func", nullptr, "関数ツリー図で既に出した部分ツリーを再び展開しない", kSet,
     turnOn<&Options::hideRepeatedSubtrees>},
    {"--macros-not-functions", nullptr, "関数形式マクロを関数として扱わない", kSet,
     turnOn<&Options::macrosAreNotFunctions>},
    {"--graph", nullptr, "関数呼出図 Mz関数呼出図.dot (Graphviz) も書く", kSet,
     turnOn<&Options::callGraphDot>},
    {"--write-ini", "FILE",
     "全てのキーを既定値で書いた INI ファイルを作って終了 (--encoding に従う)",
     SwitchAction::kWriteIni, nullptr},
    {"/98", nullptr, "罫線を「・」で描く (PC-98x1)", kSet, turnOn<&Options::pc98Lines>},
    {"/t", nullptr, "処理時間をログに書き、表示する", kSet, turnOn<&Options::showElapsedTime>},
    {"/rsv", nullptr, "予約語の一覧 Mz予約語確認.txt を書く", kSet,
     turnOn<&Options::reservedWordDump>},
    {"/file", nullptr, "ヘッダーファイルを一回だけ読む (/No_h が無ければ)", kSet, readHeadersOnce},
    {"/No_h", nullptr, "ヘッダーファイルを読まない", kSet, noHeaders},
    {"/def", nullptr, "#define 一覧を書く", kSet, turnOn<&Options::defineList>},
};

// The spellings of `row`, one by one.
template <typename Visit>
void forEachSpelling(const SwitchRow& row, Visit visit) {
  std::string_view names = row.names;
  while (!names.empty()) {
    size_t bar = names.find('|');
    visit(names.substr(0, bar));
    names = bar == std::string_view::npos ? std::string_view() : names.substr(bar + 1);
  }
}

// What `token` is to `spelling`: the switch itself, or it with its value
// ("--name=value"; "-Xvalue" for a one-letter spelling).
bool matches(std::string_view spelling, const SwitchRow& row, const std::string& token,
             SwitchMatch& match) {
  if (token == spelling) {
    match.row = &row;
    return true;
  }
  if (!row.argument || token.compare(0, spelling.size(), spelling) != 0) return false;
  std::string_view rest = std::string_view(token).substr(spelling.size());
  bool longForm = spelling.size() > 2 && spelling[1] == '-' && rest[0] == '=';
  bool shortForm = spelling.size() == 2 && spelling[0] == '-';
  if (!longForm && !shortForm) return false;
  match.row = &row;
  match.valueGiven = true;
  match.value = std::string(longForm ? rest.substr(1) : rest);
  return true;
}

// "-h, --help, /?" and the value's name.
std::string helpHead(const SwitchRow& row) {
  std::string head;
  forEachSpelling(row,
                  [&](std::string_view s) { head += (head.empty() ? "" : ", ") + std::string(s); });
  if (row.argument) head += std::string(" ") + row.argument;
  return head;
}

const char kUsage[] =
    "使い方: mizenta [スイッチ...] ファイル|フォルダ|'*.拡張子' ...\n"
    "  フォルダはその下の全てのソースファイル、'dir/*.c' はパターンに合うファイルを解析し、\n"
    "  レポートを出力先フォルダ (既定はプログラムのフォルダ) に書きます。関数ツリー図、\n"
    "  ステップ数、ファイルツリーとログは常に、他のレポートは --reports か Mizenta.ini で。\n";

const char kExitStatuses[] =
    "終了ステータス:\n"
    "  0  指定した全てのファイルを解析し、全てのレポートを書いた\n"
    "  1  失われたものがある "
    "(開けない・対象外のファイル、書けないレポート、使えない設定ファイル、\n"
    "     無い出力先フォルダ、二重起動); 標準エラー出力とログ MizentaErrLog.txt に理由\n"
    "  2  使い方の誤り (不明なスイッチ、値の無いスイッチ、使えない値、ファイルの指定なし);\n"
    "     何も解析せず、何も書かない\n";

}  // namespace

SwitchMatch findSwitch(const std::string& token, bool slashOnly) {
  SwitchMatch match;
  for (const SwitchRow& row : kSwitches) {
    bool found = false;
    forEachSpelling(row, [&](std::string_view s) {
      if (found || (slashOnly && s[0] != '/')) return;
      found = matches(s, row, token, match);
    });
    if (found) return match;
  }
  return SwitchMatch();
}

std::string shortUsageText() {
  return std::string(kUsage) + "  mizenta --help で全てのスイッチを表示します。\n";
}

std::string switchHelpText() {
  std::string text = std::string(kUsage) +
                     "  スイッチはこの実行だけ Mizenta.ini の設定に優先します (保存されません)。\n"
                     "\nスイッチ:\n";
  const size_t width = 28;
  for (const SwitchRow& row : kSwitches) {
    std::string head = "  " + helpHead(row);
    head += head.size() < width ? std::string(width - head.size(), ' ')
                                : "\n" + std::string(width, ' ');
    text += head + row.help + "\n";
  }
  return text + "\n" + kExitStatuses;
}

std::string allSwitchSpellings() {
  std::string all;
  for (const SwitchRow& row : kSwitches)
    forEachSpelling(row, [&](std::string_view s) { all += std::string(s) + "\n"; });
  return all;
}
