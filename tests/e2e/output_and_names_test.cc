// Runs of the installed program that a golden folder cannot set up: a
// program folder that takes no file, report names taken by folders, a
// program folder and sources named outside CP932, a header included by its
// absolute path and a link back to a folder above. Natively and, where the
// build has mizenta.exe, under Wine.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include "platform/file_names.h"
#include "tests/support/test_files.h"

namespace {

namespace fs = std::filesystem;

class OutputAndNames : public testing::TestWithParam<ProgramKind> {
 protected:
  void SetUp() override {
    if (GetParam() == ProgramKind::Wine) {
      ASSERT_TRUE(fs::exists(fs::path(MZ_WINDOWS_BIN) / "mizenta.exe"));
    }
    fs::create_directories(work_);
  }
  bool wine() const { return GetParam() == ProgramKind::Wine; }
  std::string sep() const { return wine() ? "\\" : "/"; }
  // A folder as the program names it, with its separator.
  std::string named(const std::string& folder) const {
    return platform::cp932NameFromUtf8(nativePathFor(GetParam(), folder)) + sep();
  }
  // CP932 text as the program writes it on standard error: Linux turns
  // the stand-ins back into UTF-8 for its terminal.
  std::string said(const std::string& text) const {
    return wine() ? text : platform::utf8FromCp932Name(text);
  }
  ProgramResult run(const std::vector<std::string>& args) {
    ProgramResult r = runInstalledProgram(GetParam(), prog_, work_, args);
    for (size_t at; (at = r.standardError.find("\r\n")) != std::string::npos;)
      r.standardError.erase(at, 1);
    // The lines under the summary (lost inputs by name, the reports
    // written) are the subject of terminal_use_test.cc.
    r.standardError = std::regex_replace(r.standardError, std::regex("\n  [^\n]*"), "");
    return r;
  }

  TempDir temp_;
  std::string prog_ = temp_.file("prog"), work_ = temp_.file("work");
};

// Without a folder in the INI file, a program folder that takes no file
// leaves the reports to the current folder; what cannot be written there
// is named, in the log too when the log itself could be written.
TEST_P(OutputAndNames, ReportsGoWhereTheyCanBeWritten) {
  const char* reports[] = {"MizentaErrLog.txt", "MizentaLog.txt", "MzFileTree.txt",
                           "MzStepLog.txt"};
  for (int blocked : {0, 1, 4}) {
    SCOPED_TRACE(blocked);
    TempDir temp;
    prog_ = temp.file("prog");
    work_ = temp.file("work");
    installProgram(GetParam(), prog_);
    writeFileBytes(work_ + "/a.c", "int main(void) { return 0; }\n");
    // The superuser writes anywhere, but a folder without write permission
    // is read-only for the program; Windows knows no such mark.
    if (wine())
      fs::create_directory(prog_ + "/MizentaErrLog.txt");
    else
      fs::permissions(prog_,
                      fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                      fs::perm_options::remove);
    std::string unwritten, where = named(work_);
    for (int k = 4 - blocked; k < 4; ++k) {
      fs::create_directory(work_ + "/" + reports[k]);
      unwritten += "レポートを書けません: " + where + reports[k] + "\n";
    }
    ProgramResult r = run({"a.c"});
    fs::permissions(prog_, fs::perms::owner_all, fs::perm_options::add);
    EXPECT_EQ(r.exitCode, blocked ? 1 : 0);
    std::string tail = blocked ? " (書けないレポート " + std::to_string(blocked) + ")\n" : "\n";
    EXPECT_EQ(r.standardError,
              said(unwritten + "1 ファイルを解析しました。レポート: " + where + tail));
    EXPECT_TRUE(fs::is_directory(prog_ + "/MizentaErrLog.txt") ||
                !fs::exists(prog_ + "/MizentaErrLog.txt"));
    std::string log = blocked == 4 ? "" : "a.cを処理中\n";
    if (blocked == 1) log += " 書き込めません [" + where + "MzStepLog.txt]\n";
    if (blocked < 4) {
      EXPECT_EQ(readFileBytes(work_ + "/MizentaErrLog.txt"), withCrLf(log));
    }
    EXPECT_EQ(fs::is_regular_file(work_ + "/MizentaLog.txt"), blocked < 2);
  }
}

// The call tree is written beside the function details and the reports
// after them; the reports that cannot be written are still named in the
// order of the reports: the tree, the details, then the ones after them.
TEST_P(OutputAndNames, UnwrittenReportsKeepTheirOrder) {
  installProgram(GetParam(), prog_);
  writeFileBytes(prog_ + "/Mizenta.ini",
                 withCrLf("[ﾌｧｲﾙ出力設定]\n関数詳細情報の表示=ON\nｸﾞﾛｰﾊﾞﾙ変数一覧=ON\n"));
  writeFileBytes(work_ + "/a.c",
                 "int g;\nint f(void) { return g; }\nint main(void) { return f(); }\n");
  std::string unwritten;
  for (const char* report :
       {"MizentaLog.txt", "Mz関数詳細情報.txt", "Mz一覧Obj.txt", "MzStepLog.txt"}) {
    fs::create_directory(prog_ + "/" + platform::utf8FromCp932Name(report));
    unwritten += "レポートを書けません: " + named(prog_) + report + "\n";
  }
  ProgramResult r = run({"a.c"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.standardError, said(unwritten + "1 ファイルを解析しました。レポート: " +
                                  named(prog_) + " (書けないレポート 4)\n"));
}

// The program's folder, its INI file (which asks for the function list)
// and two sources named with characters that CP932 lacks: every file is
// found, and the reports show the names by their stand-ins.
TEST_P(OutputAndNames, NamesOutsideCp932) {
  prog_ = temp_.file("caf\xC3\xA9");
  installProgram(GetParam(), prog_);
  writeFileBytes(prog_ + "/Mizenta.ini", withCrLf("[ﾌｧｲﾙ出力設定]\n関数一覧の表示=ON\n"));
  writeFileBytes(work_ + "/caf\xC3\xA9.c", "int cafe(void) { return 0; }\n");
  writeFileBytes(work_ + "/\xED\x95\x9C.c", "int han(void) { return 0; }\n");
  // Absolute: a Windows command line splits only before a drive or a switch.
  ProgramResult r = run({nativePathFor(GetParam(), work_ + "/caf\xC3\xA9.c"),
                         nativePathFor(GetParam(), work_ + "/\xED\x95\x9C.c")});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.standardError, said("2 ファイルを解析しました。レポート: " + named(prog_) + "\n"));
  EXPECT_EQ(readFileBytes(prog_ + "/MizentaErrLog.txt"),
            withCrLf("[U+D55C].cを処理中\ncaf[U+00E9].cを処理中\n"));
  std::string list = readFileBytes(prog_ + "/" + toUtf8("Mz一覧Func.txt"));
  EXPECT_NE(list.find("caf[U+00E9].c"), std::string::npos) << toUtf8(list);
  EXPECT_NE(list.find("[U+D55C].c"), std::string::npos) << toUtf8(list);
}

// A header by its absolute path (from the root of the drive under Wine)
// is read, and a link back to the folder above is not followed.
TEST_P(OutputAndNames, AbsoluteIncludeAndALinkBack) {
  installProgram(GetParam(), prog_);
  std::string header = nativePathFor(GetParam(), work_ + "/inc/x.h");
  if (wine()) header = header.substr(2);  // "\tmp\...": no drive
  writeFileBytes(work_ + "/src/main.c",
                 "#include \"" + header + "\"\nint main(void) { return x(); }\n");
  writeFileBytes(work_ + "/inc/x.h", "int x(void) { return 0; }\n");
  writeFileBytes(work_ + "/src/sub/b.c", "int b;\n");
  fs::create_directory_symlink(work_ + "/src", work_ + "/src/sub/up");
  ProgramResult r = run({"src"});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.standardError, said("2 ファイルを解析しました。レポート: " + named(prog_) + "\n"));
  std::string link = "src" + sep() + "sub" + sep() + "up";
  EXPECT_EQ(readFileBytes(prog_ + "/MizentaErrLog.txt"),
            withCrLf(" 検索済みのﾌｫﾙﾀﾞです [" + link + "]\n" + "b.cを処理中\nmain.cを処理中\n  " +
                     header + "を処理中\n"));
}

std::vector<ProgramKind> kinds() {
  if (std::string(MZ_WINDOWS_BIN).empty()) return {ProgramKind::Linux};
  return {ProgramKind::Linux, ProgramKind::Wine};
}

INSTANTIATE_TEST_SUITE_P(Runs, OutputAndNames, testing::ValuesIn(kinds()),
                         [](const testing::TestParamInfo<ProgramKind>& kind) {
                           return std::string(kind.param == ProgramKind::Wine ? "on_wine"
                                                                              : "on_linux");
                         });

}  // namespace
