// The program as a person at a terminal meets it: wrong command lines that
// do nothing, the help and the README naming the same switches, the
// version with the build's identity, an INI template and INI files in
// UTF-8, switches that override the INI file for one run, a missing output
// folder, lost inputs by name, the reports written, and the progress line.
// Natively and, where the Windows program has the point, under Wine.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <set>

#include "driver/command_line.h"
#include "driver/switch_table.h"
#include "platform/text_encoding.h"
#include "tests/support/test_files.h"

namespace {

namespace fs = std::filesystem;

class TerminalUse : public testing::TestWithParam<ProgramKind> {
 protected:
  void SetUp() override {
    if (wine()) {
      ASSERT_TRUE(fs::exists(fs::path(MZ_WINDOWS_BIN) / "mizenta.exe"));
    }
    installProgram(GetParam(), prog_);
    installed_ = visibleNames(prog_);
    fs::create_directories(work_);
    writeFileBytes(work_ + "/a.c", "int f(void) { return 0; }\nint main(void) { return f(); }\n");
  }
  bool wine() const { return GetParam() == ProgramKind::Wine; }
  std::string native(const std::string& path) const { return nativePathFor(GetParam(), path); }
  // The program's standard error as CP932 text with LF line ends.
  ProgramResult run(const std::vector<std::string>& args) {
    ProgramResult r = runInstalledProgram(GetParam(), prog_, work_, args);
    std::string err;
    for (char c : r.standardError)
      if (c != '\r') err += c;
    r.standardError = wine() ? err : toCp932(err);
    r.standardOutput = wine() ? r.standardOutput : toCp932(r.standardOutput);
    return r;
  }
  // Names in `folder` without the hidden lock files.
  static std::set<std::string> visibleNames(const std::string& folder) {
    std::set<std::string> names;
    for (const std::string& n : namesIn(folder))
      if (n[0] != '.') names.insert(n);
    return names;
  }
  // What the run wrote beside the program (the INI file is the test's).
  std::set<std::string> written() const {
    std::set<std::string> names;
    for (const std::string& n : visibleNames(prog_))
      if (!installed_.count(n) && n != "Mizenta.ini") names.insert(toCp932(n));
    return names;
  }
  std::string log() const { return readFileBytes(prog_ + "/MizentaErrLog.txt"); }

  TempDir temp_;
  std::string prog_ = temp_.file("prog"), work_ = temp_.file("work");
  std::set<std::string> installed_;
};

class TerminalUseLinux : public TerminalUse {};

const std::set<std::string> kAlwaysWritten = {"MizentaErrLog.txt", "MizentaLog.txt",
                                              "MzFileTree.txt", "MzStepLog.txt"};

// A wrong command line writes nothing anywhere, tells why and how to get
// help, and ends with status 2.
TEST_P(TerminalUseLinux, AWrongCommandLineDoesNothing) {
  struct Case {
    std::vector<std::string> args;
    std::string told;
  } cases[] = {
      {{"--bogus", "a.c"}, "コマンド[--bogus]は存在しません"},
      {{"a.c", "-T"}, "コマンド[-T]は存在しません"},
      {{"a.c", "--format"}, "コマンド[--format]に値がありません"},
      {{"--format", "doc", "a.c"}, "コマンド[--format]: 形式[doc]はありません"},
      {{"--reports=list,callers", "a.c"},
       "コマンド[--reports=list,callers]: ﾚﾎﾟｰﾄ[callers]はありません"},
      {{"--headers", "sometimes", "a.c"}, "コマンド[--headers]: 読み方[sometimes]はありません"},
      {{"-Inone", "a.c"}, "コマンド[-Inone]: ﾌｫﾙﾀﾞ[none]がありません"},
      {{"-o", "out", "--encoding", "latin1", "a.c"},
       "コマンド[--encoding]: 文字ｺｰﾄﾞ[latin1]はありません"},
      {{"--write-ini", "x.ini", "--crlf", "-q"}, "コマンド[-q]は存在しません"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.told);
    ProgramResult r = run(c.args);
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.standardError, c.told + "\nmizenta --help で使い方を表示します\n");
    EXPECT_EQ(r.standardOutput, "");
    EXPECT_TRUE(written().empty());
    EXPECT_EQ(visibleNames(work_), std::set<std::string>{"a.c"});
  }
}

// The help names every switch with its line and the exit statuses; the
// README's switch table names exactly the same spellings.
TEST_P(TerminalUseLinux, HelpAndReadmeNameTheSameSwitches) {
  ProgramResult help = run({"--help"});
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_EQ(run({"-h"}).standardOutput, help.standardOutput);
  EXPECT_EQ(run({"/?"}).standardOutput, help.standardOutput);
  EXPECT_NE(help.standardOutput.find("終了ステータス:"), std::string::npos);
  std::set<std::string> spellings;
  for (size_t at = 0, end; (end = allSwitchSpellings().find('\n', at)) != std::string::npos;
       at = end + 1)
    spellings.insert(allSwitchSpellings().substr(at, end - at));
  for (const std::string& s : spellings)
    EXPECT_TRUE(
        std::regex_search(help.standardOutput,
                          std::regex("(^|\n)  ([^ ]+, )*" +
                                     std::regex_replace(s, std::regex("[?/]"), "\\$&") + "[ ,\n]")))
        << s;
  // The README's table: the first cell of each row, each spelling in
  // backticks, a value after a blank.
  std::string readme = readFileBytes(std::string(MZ_SOURCE_DIR) + "/README.md");
  size_t from = readme.find("| switch | effect |");
  ASSERT_NE(from, std::string::npos);
  std::set<std::string> documented;
  std::istringstream rows(readme.substr(from));
  std::string row;
  std::getline(rows, row);
  std::getline(rows, row);  // the rule under the heading
  while (std::getline(rows, row) && row.rfind("| ", 0) == 0) {
    std::string cell = row.substr(2, row.find(" | ") - 2);
    std::regex tick("`([^` ]+)[^`]*`");
    for (std::sregex_iterator m(cell.begin(), cell.end(), tick), e; m != e; ++m)
      documented.insert((*m)[1]);
  }
  EXPECT_EQ(documented, spellings);
}

// "--version" and "-V" add the build's version and commit to the version
// text; "/v" prints the version text alone, as the Windows program does.
TEST_P(TerminalUseLinux, VersionNamesTheBuild) {
  for (const char* spelling : {"--version", "-V"}) {
    ProgramResult r = run({spelling});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(std::regex_match(
        r.standardOutput,
        std::regex(std::string(kVersionText) +
                   "\nﾋﾞﾙﾄﾞ 1\\.19(\\.[0-9]+)? \\(git ([0-9a-f]{7,}\\+?|unknown)\\)\n")))
        << toUtf8(r.standardOutput);
  }
  EXPECT_EQ(run({"/v"}).standardOutput, std::string(kVersionText) + "\n");
  EXPECT_TRUE(written().empty());
}

// The template in UTF-8 is UTF-8 with LF line ends, in Shift-JIS the same
// text with CR LF; put beside the program it changes nothing, and an
// existing file is never written over.
TEST_P(TerminalUseLinux, TheIniTemplateGivesTheDefaults) {
  const std::string ini = prog_ + "/Mizenta.ini";
  ProgramResult r = run({"--write-ini", ini, "--encoding", "utf-8"});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.standardError, "");
  const std::string utf8 = readFileBytes(ini);
  EXPECT_EQ(utf8.find('\r'), std::string::npos);
  bool ok = false;
  const std::string text = platform::utf8ToCp932(utf8, &ok);
  EXPECT_TRUE(ok);
  EXPECT_EQ(run({"--write-ini", work_ + "/sjis.ini"}).exitCode, 0);
  EXPECT_EQ(readFileBytes(work_ + "/sjis.ini"), withCrLf(text));
  EXPECT_NE(text.find("\n[ﾌｧｲﾙ出力設定]\n"), std::string::npos);

  r = run({"a.c"});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(written(), kAlwaysWritten);
  EXPECT_EQ(log(), withCrLf("a.cを処理中\n"));

  r = run({"--write-ini", ini});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.standardError, "ﾌｧｲﾙが既にあるため書きません: " + ini + "\n");
  EXPECT_EQ(readFileBytes(ini), utf8);
}

// Switches override the INI file for the run they are given to, and the
// summary names the reports that the run wrote.
TEST_P(TerminalUseLinux, SwitchesOverrideTheIniForOneRun) {
  const std::string ini = withCrLf("[ﾌｧｲﾙ出力設定]\n関数一覧の表示=ON\nﾌｧｲﾙ出力形式=html\n");
  writeFileBytes(prog_ + "/Mizenta.ini", ini);
  ProgramResult r = run({"--reports", "details", "--format", "txt", "a.c"});
  EXPECT_EQ(r.exitCode, 0);
  std::set<std::string> expected = kAlwaysWritten;
  expected.insert("Mz関数詳細情報.txt");
  EXPECT_EQ(written(), expected);
  EXPECT_EQ(r.standardError, "1 ファイルを解析しました。レポート: " + prog_ +
                                 "/\n  書いたレポート: MizentaErrLog.txt MizentaLog.txt "
                                 "MzFileTree.txt MzStepLog.txt Mz関数詳細情報.txt\n");
  EXPECT_EQ(readFileBytes(prog_ + "/Mizenta.ini"), ini);
  for (const std::string& name : written()) fs::remove(prog_ + "/" + toUtf8(name));
  EXPECT_EQ(run({"a.c"}).exitCode, 0);
  EXPECT_EQ(written(),
            (std::set<std::string>{"MizentaErrLog.txt", "MizentaLog.html", "MzFileTree.html",
                                   "MzStepLog.html", "Mz一覧Func.html"}));
}

// Past ten lost inputs the summary counts the rest. The files are read in
// the order of their names, and named so.
TEST_P(TerminalUseLinux, LostInputsAreNamedUpToTen) {
  std::vector<std::string> args = {"a.c"};
  std::string named;
  for (int i = 0; i < 12; ++i) {
    args.push_back(work_ + "/gone" + std::to_string(100 + i) + ".c");
    if (i < 10) named += "  開けないファイル: " + args.back() + "\n";
  }
  ProgramResult r = run(args);
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.standardError, "1 ファイルを解析しました (開けないファイル 12)。レポート: " + prog_ +
                                 "/\n" + named + "  ほか 2 件\n  書いたレポート: " +
                                 "MizentaErrLog.txt MizentaLog.txt MzFileTree.txt MzStepLog.txt\n");
}

// On a terminal the progress line names the file being read, then each
// report being written.
TEST_P(TerminalUseLinux, TheProgressLineNamesTheReportBeingWritten) {
  TempDir capture;
  std::string command = "cd '" + work_ + "' && LC_ALL=C.UTF-8 script -qec \"'" + prog_ +
                        "/mizenta' --reports types a.c\" /dev/null > '" + capture.file("out") +
                        "' 2>&1 </dev/null";
  ASSERT_EQ(std::system(command.c_str()), 0);
  std::string shown = readFileBytes(capture.file("out"));
  size_t at = 0;
  for (const char* step : {"(   1/   1) a.cを処理中", "関数ツリー図を出力中", "型情報一覧を出力中",
                           "ﾌｧｲﾙﾂﾘｰを出力中", "ｽﾃｯﾌﾟ数を出力中", "1 ファイルを解析しました"}) {
    at = shown.find(toUtf8(step), at);
    EXPECT_NE(at, std::string::npos) << step;
  }
}

// The INI file in UTF-8 (here with its byte-order mark) is read as the
// Shift-JIS one; what it holds that the program does not know is named.
TEST_P(TerminalUse, Utf8IniFilesAndUnknownKeys) {
  writeFileBytes(prog_ + "/Mizenta.ini",
                 "\xEF\xBB\xBF" +
                     platform::cp932ToUtf8("[ﾌｧｲﾙ出力設定]\n関数一覧の表示=ON\n関数詳細の表示=ON\n"
                                           "[ﾌｧｲﾙ設定]\n型情報の表示=ON\n"));
  ProgramResult r = run({native(work_ + "/a.c")});
  EXPECT_EQ(r.exitCode, 0);
  std::set<std::string> expected = kAlwaysWritten;
  expected.insert("Mz一覧Func.txt");
  EXPECT_EQ(written(), expected);
  EXPECT_EQ(log(), withCrLf(" INIﾌｧｲﾙの不明なｷｰです [ﾌｧｲﾙ出力設定] 関数詳細の表示\n"
                            " INIﾌｧｲﾙの不明なｾｸｼｮﾝです [ﾌｧｲﾙ設定]\n"
                            "a.cを処理中\n"));
  if (!wine()) {
    EXPECT_EQ(r.standardError.substr(0, r.standardError.find("1 ファイル")),
              "INIﾌｧｲﾙの不明なｷｰです: [ﾌｧｲﾙ出力設定] 関数詳細の表示\n"
              "INIﾌｧｲﾙの不明なｾｸｼｮﾝです: [ﾌｧｲﾙ設定]\n");
  }
}

// An output folder named in the INI file that is not there: the reports go
// to the program's folder, and the log, standard error and the exit status
// say so.
TEST_P(TerminalUse, AMissingOutputFolderIsTold) {
  const std::string gone = native(work_ + "/gone");
  writeFileBytes(prog_ + "/Mizenta.ini", withCrLf("[ﾃﾞｨﾚｸﾄﾘ設定]\n出力先ﾌｫﾙﾀﾞ=" + gone + "\n"));
  ProgramResult r = run({native(work_ + "/a.c")});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(written(), kAlwaysWritten);
  EXPECT_EQ(log(), withCrLf(" 出力先ﾌｫﾙﾀﾞがありません [" + gone + "]\na.cを処理中\n"));
  if (!wine()) {
    EXPECT_EQ(r.standardError.substr(0, r.standardError.find('\n') + 1),
              "出力先ﾌｫﾙﾀﾞがありません: " + gone + "\n");
  }
  EXPECT_FALSE(fs::exists(work_ + "/gone"));
}

std::vector<ProgramKind> kinds() {
  if (std::string(MZ_WINDOWS_BIN).empty()) return {ProgramKind::Linux};
  return {ProgramKind::Linux, ProgramKind::Wine};
}

std::string kindName(const testing::TestParamInfo<ProgramKind>& kind) {
  return kind.param == ProgramKind::Wine ? "on_wine" : "on_linux";
}

INSTANTIATE_TEST_SUITE_P(Runs, TerminalUseLinux, testing::Values(ProgramKind::Linux), kindName);
INSTANTIATE_TEST_SUITE_P(Runs, TerminalUse, testing::ValuesIn(kinds()), kindName);

}  // namespace
