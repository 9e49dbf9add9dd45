// Runs of the installed program on inputs made to be hard: a header name of
// many parts, pipes and devices where files are expected, files of settings
// that cannot serve or are very long, two programs writing into one output
// folder, a line feed in a file name. Natively and, where the build has
// mizenta.exe and the case exists on Windows, under Wine.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include "platform/file_names.h"
#include "tests/support/held_program.h"
#include "tests/support/test_files.h"

namespace {

namespace fs = std::filesystem;

const std::string kSettingsData = toUtf8("Mizenta設定.dat");

class HardInputs : public testing::TestWithParam<ProgramKind> {
 protected:
  void SetUp() override {
    if (wine()) {
      ASSERT_TRUE(fs::exists(fs::path(MZ_WINDOWS_BIN) / "mizenta.exe"));
    }
    fs::create_directories(work_);
    installProgram(GetParam(), prog_);
  }
  bool wine() const { return GetParam() == ProgramKind::Wine; }
  std::string sep() const { return wine() ? "\\" : "/"; }
  // A path as the program names it (CP932).
  std::string named(const std::string& path) const {
    return platform::cp932NameFromUtf8(nativePathFor(GetParam(), path));
  }
  ProgramResult run(const std::vector<std::string>& args) {
    ProgramResult r = runInstalledProgram(GetParam(), prog_, work_, args);
    for (size_t at; (at = r.standardError.find("\r\n")) != std::string::npos;)
      r.standardError.erase(at, 1);
    // The lines under the summary (lost inputs by name, the reports
    // written) are the subject of terminal_use_test.cc.
    r.standardError = std::regex_replace(r.standardError, std::regex("\n  [^\n]*"), "");
    if (!wine()) r.standardError = toCp932(r.standardError);  // UTF-8 on its terminal
    return r;
  }
  std::string log() const { return readFileBytes(prog_ + "/MizentaErrLog.txt"); }
  void writeIni(const std::string& text) { writeFileBytes(prog_ + "/Mizenta.ini", withCrLf(text)); }
  std::string summary(int analysed, const std::string& lost = "") const {
    return std::to_string(analysed) + " ファイルを解析しました" + lost +
           "。レポート: " + named(prog_) + sep() + "\n";
  }

  TempDir temp_;
  std::string prog_ = temp_.file("prog"), work_ = temp_.file("work");
};

// A header name of 1.2 MB and 600,000 parts ("x/y/x/y/…/z.h") is missing
// beside the source and in the include folder; its parts are walked once,
// not once for each part, so the run ends at once.
TEST_P(HardInputs, LongIncludeName) {
  fs::create_directories(work_ + "/inc");
  writeIni("[ﾃﾞｨﾚｸﾄﾘ設定]\n標準ｲﾝｸﾙｰﾄﾞ設定数=1\n標準ｲﾝｸﾙｰﾄﾞ0=" +
           nativePathFor(GetParam(), work_ + "/inc") + "\n");
  std::string name;
  while (name.size() < 1200 * 1024) name += "x/y/";
  name += "z.h";
  writeFileBytes(work_ + "/a.c", "#include \"" + name + "\"\nint main(void) { return 0; }\n");
  ProgramResult r = run({"a.c"});
  EXPECT_EQ(r.exitCode, 0) << r.standardError;
  EXPECT_EQ(log(), withCrLf("a.cを処理中\n  Can't open [" + name + "]\n"));
}

// Pipes and links to /dev/zero as sources, headers, the INI file and the
// settings data file: none is read (a pipe without a writer would hold the
// run for ever, /dev/zero never ends); each is named in the log, and the
// run goes on with what it has built in.
TEST_P(HardInputs, PipesAndDevicesAreNotRead) {
  fs::remove(prog_ + "/" + kSettingsData);
  fs::create_symlink("/dev/zero", prog_ + "/" + kSettingsData);
  ASSERT_EQ(mkfifo((prog_ + "/Mizenta.ini").c_str(), 0600), 0);
  writeFileBytes(work_ + "/src/a.c",
                 "#include \"pipe.h\"\n#include \"zero.h\"\n#include \"real.h\"\n"
                 "int main(void) { return real(); }\n");
  writeFileBytes(work_ + "/src/real.h", "int real(void) { return 0; }\n");
  for (const char* pipe : {"/src/pipe.h", "/src/p.c"})
    ASSERT_EQ(mkfifo((work_ + pipe).c_str(), 0600), 0);
  for (const char* link : {"/src/zero.h", "/src/z.c"})
    fs::create_symlink("/dev/zero", work_ + link);
  ProgramResult r = run({"src"});
  std::string ini = named(prog_) + sep() + "Mizenta.ini";
  std::string data = named(prog_) + sep() + "Mizenta設定.dat";
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.standardError,
            "INIﾌｧｲﾙが読み込めません(通常のﾌｧｲﾙではありません)。既定の設定を使用します: " + ini +
                "\nMizentaの設定ﾌｧｲﾙが読み込めません(通常のﾌｧｲﾙではありません)。" +
                "内部確保してある予約語、型情報を使用します: " + data + "\n" +
                summary(1, " (開けないファイル 2)"));
  EXPECT_EQ(log(), withCrLf(" INIﾌｧｲﾙが読み込めません(通常のﾌｧｲﾙではありません)。"
                            "既定の設定を使用します [" +
                            ini +
                            "]\n"
                            "  Mizentaの設定ﾌｧｲﾙが読み込めません。[" +
                            data +
                            "]\n"
                            "  内部確保してある予約語、型情報を使用します。\n"
                            "a.cを処理中\n"
                            "  通常のﾌｧｲﾙではないため読みません [pipe.h]\n"
                            "  通常のﾌｧｲﾙではないため読みません [zero.h]\n"
                            "  real.hを処理中\n"
                            " 通常のﾌｧｲﾙではないため読みません [p.c]\n"
                            " 通常のﾌｧｲﾙではないため読みません [z.c]\n"));
}

// An INI file or a settings data file that is there but cannot serve: the
// log and standard error say why, and the defaults (reports in text, not
// the CSV asked for) or the built-in reserved words ("if" is no call)
// take its place. A folder in the place of the settings data file once
// left the run without any reserved word.
TEST_P(HardInputs, UnusableFilesOfSettings) {
  enum Kind { kUsable, kFolder, kLinkLoop, kNoPermission };
  struct Case {
    const char* what;
    Kind ini, data;
    const char* reason;
  } cases[] = {
      {"INI folder", kFolder, kUsable, "ﾌｫﾙﾀﾞです"},
      {"INI link to itself", kLinkLoop, kUsable, "開けません"},
      {"INI without permission", kNoPermission, kUsable, "開けません"},
      {"settings folder", kUsable, kFolder, "ﾌｫﾙﾀﾞです"},
      {"settings link to itself", kUsable, kLinkLoop, "開けません"},
  };
  writeFileBytes(work_ + "/a.c",
                 "int g(void) { return 0; }\nint f(void) { if (g()) return 1; return 0; }\n");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    // The superuser reads without permission, and Windows knows no such mark.
    if ((c.ini == kNoPermission || c.data == kNoPermission) && (geteuid() == 0 || wine())) continue;
    fs::remove_all(prog_);
    installProgram(GetParam(), prog_);
    std::string ini = prog_ + "/Mizenta.ini", data = prog_ + "/" + kSettingsData;
    writeIni("[ﾌｧｲﾙ出力設定]\nﾌｧｲﾙ出力形式=csv\n");
    for (const auto& [kind, path] : {std::pair{c.ini, ini}, std::pair{c.data, data}}) {
      if (kind == kUsable) continue;
      fs::remove(path);
      if (kind == kFolder) fs::create_directory(path);
      if (kind == kLinkLoop) fs::create_symlink(path, path);
      if (kind == kNoPermission) {
        writeFileBytes(path, "");
        fs::permissions(path, fs::perms::none);
      }
    }
    ProgramResult r = run({"a.c"});
    bool iniLost = c.ini != kUsable;
    std::string iniName = named(ini), dataName = named(prog_) + sep() + "Mizenta設定.dat";
    std::string said = iniLost ? "INIﾌｧｲﾙが読み込めません(" + std::string(c.reason) +
                                     ")。既定の設定を使用します: " + iniName + "\n"
                               : "Mizentaの設定ﾌｧｲﾙが読み込めません(" + std::string(c.reason) +
                                     ")。内部確保してある予約語、型情報を使用します: " + dataName +
                                     "\n";
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.standardError, said + summary(1));
    std::string logged = iniLost ? " INIﾌｧｲﾙが読み込めません(" + std::string(c.reason) +
                                       ")。既定の設定を使用します [" + iniName + "]\n"
                                 : "  Mizentaの設定ﾌｧｲﾙが読み込めません。[" + dataName +
                                       "]\n"
                                       "  内部確保してある予約語、型情報を使用します。\n";
    EXPECT_EQ(log(), withCrLf(logged + "a.cを処理中\n"));
    EXPECT_EQ(fs::exists(prog_ + "/MzStepLog.txt"), iniLost);
    std::string tree = readFileBytes(prog_ + "/MizentaLog.txt");
    EXPECT_NE(tree.find("└g"), std::string::npos) << toUtf8(tree);
    EXPECT_EQ(tree.find("if"), std::string::npos) << toUtf8(tree);
    fs::permissions(prog_, fs::perms::owner_all, fs::perm_options::add);
  }
}

// 4,000 include folders and a settings
// data file of 20,000 classes with an object each: the INI file is read
// once and its keys looked up in memory, the classes registered without a
// move of all the others for each. The header is found in the last folder;
// the last class and an object of the settings are known to the C++ file.
TEST_P(HardInputs, ManyIncludeFoldersAndClasses) {
  std::string ini = "[ﾃﾞｨﾚｸﾄﾘ設定]\n標準ｲﾝｸﾙｰﾄﾞ設定数=4000\n";
  for (int i = 0; i < 4000; ++i) {
    std::string folder = work_ + "/inc/d" + std::to_string(i);
    fs::create_directories(folder);
    ini += "標準ｲﾝｸﾙｰﾄﾞ" + std::to_string(i) + "=" + nativePathFor(GetParam(), folder) + "\n";
  }
  writeIni(ini +
           "[ﾌｧｲﾙ出力設定]\nﾌｧｲﾙ出力形式=csv\nｸﾞﾛｰﾊﾞﾙ変数一覧=ON\n"
           "変数詳細情報の表示=ON\n関数詳細情報の表示=ON\n");
  std::string settings = "#MZ設定Mode class定義\r\n";
  for (int i = 0; i < 20000; ++i)
    settings += "C" + std::to_string(i) + "(obj" + std::to_string(i) + ")\r\n";
  writeFileBytes(prog_ + "/" + kSettingsData, settings);
  writeFileBytes(work_ + "/inc/d3999/last.h", "C19999 x;\n");
  writeFileBytes(work_ + "/a.cpp", "#include \"last.h\"\nint use(void)\n{\n    return obj7;\n}\n");
  ProgramResult r = run({"a.cpp"});
  EXPECT_EQ(r.exitCode, 0) << r.standardError;
  EXPECT_EQ(log(), withCrLf("a.cppを処理中\n  last.hを処理中\n"));
  EXPECT_EQ(readFileBytes(prog_ + "/" + toUtf8("Mz一覧Obj.csv")),
            withCrLf("型名,変数名,サイズ,計測,備考,ファイル名\n"
                     "──────────────────────────────────────\n"
                     "class C19999,x,-,不正確,,last.h\n"));
  std::string details = readFileBytes(prog_ + "/" + toUtf8("Mz関数詳細情報.csv"));
  EXPECT_NE(details.find("参照変数,C7 obj7,"), std::string::npos) << toUtf8(details);
}

// While one program writes into an output folder, another (a copy in
// another folder; under Wine the Windows program) is refused there and
// writes nothing, and runs into another folder. The first program's
// reports are its own alone.
TEST_P(HardInputs, OneRunPerOutputFolder) {
  std::string first = temp_.file("first"), out = work_ + "/out", other = work_ + "/other";
  installProgram(ProgramKind::Linux, first);
  writeFileBytes(work_ + "/a.c", "int a(void) { return 0; }\n");
  writeFileBytes(work_ + "/b.c", "int b(void) { return 0; }\n");
  fs::create_directories(out);
  fs::create_directories(other);
  HeldProgram held(first, work_, {"-o", out, "a.c"});
  ASSERT_TRUE(held.waitFor(out + "/MizentaErrLog.txt")) << "the first program did not start";
  for (const std::string& folder : {out, other}) {
    SCOPED_TRACE(folder);
    writeIni("[ﾃﾞｨﾚｸﾄﾘ設定]\n出力先ﾌｫﾙﾀﾞ=" + nativePathFor(GetParam(), folder) + "\n");
    ProgramResult r = run({"b.c"});
    std::string where = named(folder) + sep();
    if (folder == out) {
      EXPECT_EQ(r.exitCode, 1);
      EXPECT_EQ(r.standardError, "出力先ﾌｫﾙﾀﾞは他のMIZENTAが使用中です: " + where + "\n");
    } else {
      EXPECT_EQ(r.exitCode, 0);
      EXPECT_EQ(r.standardError, "1 ファイルを解析しました。レポート: " + where + "\n");
      EXPECT_EQ(readFileBytes(folder + "/MizentaErrLog.txt"), withCrLf("b.cを処理中\n"));
    }
  }
  ProgramResult firstResult = held.release();
  EXPECT_EQ(firstResult.exitCode, 0);
  EXPECT_EQ(readFileBytes(out + "/MizentaErrLog.txt"), withCrLf("a.cを処理中\n"));
  std::string steps = readFileBytes(out + "/MzStepLog.txt");
  EXPECT_NE(steps.find("a.c"), std::string::npos);
  EXPECT_EQ(steps.find("b.c"), std::string::npos);
}

std::vector<ProgramKind> kinds() {
  if (std::string(MZ_WINDOWS_BIN).empty()) return {ProgramKind::Linux};
  return {ProgramKind::Linux, ProgramKind::Wine};
}

INSTANTIATE_TEST_SUITE_P(Runs, HardInputs, testing::ValuesIn(kinds()),
                         [](const testing::TestParamInfo<ProgramKind>& kind) {
                           return std::string(kind.param == ProgramKind::Wine ? "on_wine"
                                                                              : "on_linux");
                         });

// A line feed in the name of a source and of the output folder (Windows
// allows none): shown as "[U+000A]" in the log, the step counts and the
// summary line, while the files are found under their real names.
TEST(HardInputsOnLinux, LineFeedInNames) {
  TempDir temp;
  std::string prog = temp.file("prog"), work = temp.file("work");
  installProgram(ProgramKind::Linux, prog);
  writeFileBytes(work + "/src/a\nb.c", "int f(void) { return 0; }\n");
  ProgramResult r =
      runInstalledProgram(ProgramKind::Linux, prog, work, {"-o", work + "/out\nput", "src"});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(
      toCp932(r.standardError),
      "1 ファイルを解析しました。レポート: " + work +
          "/out[U+000A]put/\n"
          "  書いたレポート: MizentaErrLog.txt MizentaLog.txt MzFileTree.txt MzStepLog.txt\n");
  std::string out = work + "/out\nput";
  EXPECT_EQ(readFileBytes(out + "/MizentaErrLog.txt"), withCrLf("a[U+000A]b.cを処理中\n"));
  std::string steps = readFileBytes(out + "/MzStepLog.txt");
  EXPECT_NE(steps.find("\r\na[U+000A]b.c "), std::string::npos) << toUtf8(steps);
  EXPECT_EQ(steps.find("a\nb.c"), std::string::npos);
}

}  // namespace
