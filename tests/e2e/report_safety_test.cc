// Reports of hostile sources and of a disk that fills up, through the
// installed program: names, bodies and comments that look like markup or
// hold commas and quotes stay text in every HTML page (as an HTML parser
// reads it) and fields of their own in every CSV file (as a CSV reader
// reads it); a run whose reports do not fit leaves the earlier ones as they
// were. Natively and, for the forms, under Wine.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sstream>

#include "platform/file_names.h"
#include "tests/support/test_files.h"

namespace {

namespace fs = std::filesystem;

// What tests/e2e/read_reports.py tells of the reports of `folder`, in
// CP932 like the texts here: one line per finding.
std::vector<std::string> readReports(const std::string& folder) {
  std::string command =
      "/usr/bin/python3 " MZ_SOURCE_DIR "/tests/e2e/read_reports.py '" + folder + "'";
  std::string out;
  if (std::FILE* p = popen(command.c_str(), "r")) {
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, p)) > 0;) {
      out.append(buffer, n);
    }
    pclose(p);
  }
  std::vector<std::string> lines;
  std::istringstream in(toCp932(out));
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

bool has(const std::vector<std::string>& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

class ReportSafety : public testing::TestWithParam<ProgramKind> {
 protected:
  void SetUp() override {
    if (wine()) {
      ASSERT_TRUE(fs::exists(fs::path(MZ_WINDOWS_BIN) / "mizenta.exe"));
    }
    installProgram(GetParam(), prog_);
  }
  bool wine() const { return GetParam() == ProgramKind::Wine; }
  // Every list on, in `format`.
  void setFormat(const std::string& format) {
    writeFileBytes(prog_ + "/Mizenta.ini",
                   withCrLf("[ﾌｧｲﾙ出力設定]\nﾌｧｲﾙ出力形式=" + format +
                            "\n使用ｸﾗｽ確認=ON\n#define文確認=ON\nｸﾞﾛｰﾊﾞﾙ変数一覧=ON\n"
                            "変数詳細情報の表示=ON\n型情報の表示=ON\n関数一覧の表示=ON\n"
                            "関数詳細情報の表示=ON\n名前空間一覧の表示=ON\n"));
  }
  // Sources whose names, bodies, comments and types look like markup or
  // hold commas and quotes. Windows names cannot hold < > or ".
  void writeSources() {
    const std::string src = temp_.file("src");
    const std::string script = wine() ? "script(3).c" : "<script>alert(3)<.script>.c";
    const std::string link = wine() ? "=HYPERLINK(x,y)&z.c" : "=HYPERLINK(\"x\",\"y\").c";
    const std::string header = wine() ? "b&tag.h" : "<b>tag</b>.h";
    writeFileBytes(src + "/" + script, "#include \"" + header +
                                           "\"\n"
                                           "#define SCRIPT \"<script>alert(1)</script>\"\n"
                                           "#define IMG <img src=x onerror=alert(2)>\n"
                                           "/* <script>alert(4)</script> \"quoted\", comma */\n"
                                           "int f_amp(int a, int b) { return a & b; }\n"
                                           "int main(void) { return f_amp(1, 2); }\n");
    writeFileBytes(src + "/a,b.c", "int g_comma(void) { return 0; }\n");
    writeFileBytes(src + "/" + link, "int h_link(void) { return g_comma(); }\n");
    writeFileBytes(src + "/" + header, "#define TAG \"<b>\"\nint tagged;\n");
    writeFileBytes(src + "/tmpl.cpp",
                   "template <class T> class Base {};\n"
                   "class Derived : public Base<int> {};\n"
                   "namespace N { int x; }\n"
                   "std::vector<int> g_list;\n"
                   "int takes(std::map<int, int>& m, const char* s) { return 0; }\n");
    names_ = {script, link, header};
  }
  void run() {
    ProgramResult r = runInstalledProgram(GetParam(), prog_, temp_.path(), {"src"});
    EXPECT_EQ(r.exitCode, 0) << r.standardError;
  }

  TempDir temp_;
  std::string prog_ = temp_.file("prog");
  std::vector<std::string> names_;  // the main file, the one with quotes, the header
};

// Every page holds the program's own elements only, and what the sources
// held is there as text.
TEST_P(ReportSafety, HtmlShowsSourceTextAsText) {
  setFormat("html");
  writeSources();
  run();
  const std::vector<std::string> found = readReports(prog_);
  const std::string own = ": /body /font /head /html /p /title body br font head html meta p title";
  const std::string tables =
      ": /body /font /head /html /p /table /td /title /tr body br font head html meta p table "
      "td title tr";
  EXPECT_TRUE(has(found, "tags MizentaLog.html" + own));
  EXPECT_TRUE(has(found, "tags MzFileTree.html" + own));
  for (const char* page : {"Mz一覧define.html", "Mz一覧type.html", "Mz一覧class.html",
                           "Mz名前空間一覧.html", "Mz変数詳細情報.html"})
    EXPECT_TRUE(has(found, "tags " + std::string(page) + tables)) << page;
  // Pages without line breaks, and the details with their comments.
  for (const char* page : {"MzStepLog.html", "Mz一覧Func.html", "Mz一覧Obj.html"}) {
    std::string line = "tags " + std::string(page) + tables;
    EXPECT_TRUE(has(found, line.replace(line.find(" br "), 3, ""))) << page;
  }
  EXPECT_TRUE(has(found,
                  "tags Mz関数詳細情報.html: /body /font /head /html /p /pre /table /td /th /title "
                  "/tr body br font head html meta p pre table td th title tr"));
  for (const std::string& text : std::vector<std::string>{
           "text Mz一覧define.html: \"<script>alert(1)</script>\"",
           "text Mz一覧define.html: <img src=x onerror=alert(2)>",
           "text Mz一覧define.html: \"<b>\"",
           "text Mz関数詳細情報.html: /* <script>alert(4)</script> \"quoted\", comma */",
           "text Mz関数詳細情報.html: std::map<int, int> &m, const char *s",
           "text Mz一覧Obj.html: class std::vector<int>", "text MzStepLog.html: " + names_[1],
           "text Mz一覧Func.html: " + names_[1], "text MzFileTree.html: " + names_[1]})
    EXPECT_TRUE(has(found, text)) << text;
  if (!wine()) {
    EXPECT_TRUE(has(found, "text MzFileTree.html: <script>alert(3)<.script>.c"));
    EXPECT_TRUE(
        has(found, "text Mz一覧define.html: <script>alert(3)<.script>.cに含まれる定義内容"));
  }
}

// The tables read back with the heading's count of fields on every row,
// and the names with commas and quotes as fields of their own.
TEST_P(ReportSafety, CsvKeepsEveryFieldInItsColumn) {
  setFormat("csv");
  writeSources();
  run();
  const std::vector<std::string> found = readReports(prog_);
  std::map<std::string, std::string> rows;
  for (const std::string& line : found)
    if (line.starts_with("rows "))
      rows[line.substr(5, line.find(':') - 5)] = line.substr(line.find(':') + 2);
  // Heading, four files and the total; heading and the seven functions.
  EXPECT_EQ(rows["MzStepLog.csv"], "9 9 9 9 9 9");
  EXPECT_EQ(rows["Mz一覧Func.csv"], "5 5 5 5 5 5 5 5");
  for (const std::string file : {"MzStepLog.csv", "Mz一覧Func.csv", "Mz関数詳細情報.csv"}) {
    EXPECT_TRUE(has(found, "field " + file + ": 'a,b.c'")) << file;
    EXPECT_TRUE(has(found, "field " + file + ": '" + names_[1] + "'")) << file;
  }
  EXPECT_TRUE(
      has(found, "field Mz関数詳細情報.csv: '/* <script>alert(4)</script> \"quoted\", comma */'"));
  EXPECT_TRUE(has(found, "field Mz関数詳細情報.csv: 'int a, int b'"));
  EXPECT_TRUE(has(found, "field Mz一覧define.csv: '\"<script>alert(1)</script>\"'"));
  EXPECT_TRUE(has(found, "field Mz一覧define.csv: 'a,b.cに含まれる定義内容'"));
  // Every line of the function details: a label and its value, the place
  // as file and line, a list with its closing separator.
  std::istringstream details(rows["Mz関数詳細情報.csv"]);
  for (int count; details >> count;) EXPECT_LE(count, 3) << rows["Mz関数詳細情報.csv"];
}

std::vector<ProgramKind> kinds() {
  if (std::string(MZ_WINDOWS_BIN).empty()) return {ProgramKind::Linux};
  return {ProgramKind::Linux, ProgramKind::Wine};
}

INSTANTIATE_TEST_SUITE_P(Runs, ReportSafety, testing::ValuesIn(kinds()),
                         [](const testing::TestParamInfo<ProgramKind>& kind) {
                           return std::string(kind.param == ProgramKind::Wine ? "on_wine"
                                                                              : "on_linux");
                         });

// A C file of 2,000 functions that main calls and as many macros: the call
// tree, the function list and details and the macro list each pass 64 KiB,
// the step counts stay small. `prefix` names them all.
std::string bigSource(const std::string& prefix) {
  std::string text, calls;
  for (int i = 0; i < 2000; ++i) {
    const std::string name = prefix + std::to_string(i);
    text += "#define " + name + "_M " + std::to_string(i) + "\n";
    text += "int " + name + "(void) { return " + std::to_string(i) + "; }\n";
    calls += " " + name + "();";
  }
  return text + "int main(void) {" + calls + " return 0; }\n";
}

// Named in the order they fail: the list, written file by file, first.
const std::vector<std::string> kBigReports = {"Mz一覧define.txt", "MizentaLog.txt",
                                              "Mz一覧Func.txt", "Mz関数詳細情報.txt"};

// Runs the program of `prog` on a.c of `work` twice, the second time with
// other functions through `secondRun` (a run whose big reports do not fit),
// and checks that the reports that did not fit kept the first run's bytes
// and were named, that the step counts are the second run's, whole, and
// that `out` holds nothing else than after the first run.
class FullFolder {
 public:
  FullFolder() {
    installProgram(ProgramKind::Linux, prog_);
    fs::create_directories(out_);
    writeFileBytes(prog_ + "/Mizenta.ini",
                   withCrLf("[ﾃﾞｨﾚｸﾄﾘ設定]\n出力先ﾌｫﾙﾀﾞ=" + out_ +
                            "\n[ﾌｧｲﾙ出力設定]\n関数一覧の表示=ON\n関数詳細情報の表示=ON\n"
                            "#define文確認=ON\n"));
    writeFileBytes(temp_.file("a.c"), bigSource("first"));
    ProgramResult first = runInstalledProgram(ProgramKind::Linux, prog_, temp_.path(), {"a.c"});
    EXPECT_EQ(first.exitCode, 0) << first.standardError;
    for (const std::string& name : kBigReports) {
      earlier_[name] = readFileBytes(out_ + "/" + toUtf8(name));
      EXPECT_GT(earlier_[name].size(), 65536u) << name;
    }
    steps_ = readFileBytes(out_ + "/MzStepLog.txt");
    names_ = namesIn(out_);
    writeFileBytes(temp_.file("a.c"), "int added;\n" + bigSource("second"));
  }
  const std::string& prog() const { return prog_; }
  const std::string& out() const { return out_; }
  const std::string& work() const { return temp_.path(); }

  void check(const ProgramResult& second, const std::string& folder) {
    EXPECT_EQ(second.exitCode, 1);
    std::string named;
    for (const std::string& name : kBigReports) {
      EXPECT_EQ(readFileBytes(folder + "/" + toUtf8(name)), earlier_[name]) << name;
      named += "レポートを書けません: " + out_ + "/" + name + "\n";
    }
    EXPECT_EQ(toCp932(second.standardError),
              named + "1 ファイルを解析しました。レポート: " + out_ +
                  "/ (書けないレポート 4)\n"
                  "  書いたレポート: MizentaErrLog.txt MzFileTree.txt MzStepLog.txt\n");
    const std::string steps = readFileBytes(folder + "/MzStepLog.txt");
    EXPECT_NE(steps, steps_);
    EXPECT_EQ(steps.size(), steps_.size());
    EXPECT_TRUE(steps.ends_with("\r\n\r\n"));
    std::string log = readFileBytes(folder + "/MizentaErrLog.txt");
    for (const std::string& name : kBigReports)
      EXPECT_NE(log.find(" 書き込めません [" + out_ + "/" + name + "]"), std::string::npos) << name;
    EXPECT_EQ(namesIn(folder), names_);
  }

 private:
  TempDir temp_;
  std::string prog_ = temp_.file("prog"), out_ = temp_.file("out");
  std::map<std::string, std::string> earlier_;
  std::string steps_;
  std::vector<std::string> names_;
};

// A run into a folder that fills up, as each file may grow to 64 KiB only:
// the limit of the file size binds the program as a full disk would, on
// every Linux. Linux only: under Wine the limit would bind the Wine server
// and the display too.
TEST(ReportSafetyOnLinux, AFullFolderKeepsTheEarlierReports) {
  FullFolder folder;
  ProgramResult second;
  {
    FileSizeLimit full(65536);
    second = runInstalledProgram(ProgramKind::Linux, folder.prog(), folder.work(), {"a.c"});
  }
  folder.check(second, folder.out());
}

// The same on a disk that is full indeed: a small file system of its own
// (a tmpfs in a mount namespace of the run, holding the first run's
// reports and 96 KiB more). Where no namespace can be made (no privilege)
// the case is skipped; the one above stands for it.
TEST(ReportSafetyOnLinux, AFullDiskKeepsTheEarlierReports) {
  if (std::system("unshare -m true 2>/dev/null") != 0) GTEST_SKIP() << "no mount namespace";
  FullFolder folder;
  TempDir after;
  unsigned long long bytes = 96 * 1024;
  for (const auto& e : fs::directory_iterator(folder.out()))
    bytes += (e.file_size() + 4095) / 4096 * 4096;
  // The first run's files (the hidden lock too) go onto the small disk, the run writes there,
  // and what it left is copied out before the namespace (and the disk)
  // goes away.
  writeFileBytes(after.file("run.sh"),
                 "set -e\n"
                 "saved=$(mktemp -d)\n"
                 "cp -a \"$1\"/. \"$saved\"/\n"
                 "mount -t tmpfs -o size=" +
                     std::to_string(bytes) +
                     " tmpfs \"$1\"\n"
                     "cp -a \"$saved\"/. \"$1\"/\n"
                     "rm -rf \"$saved\"\n"
                     "cd \"$2\"\n"
                     "set +e\n"
                     "LC_ALL=C.UTF-8 \"$3/mizenta\" a.c >\"$4/out\" 2>\"$4/err\"\n"
                     "echo $? >\"$4/status\"\n"
                     "mkdir \"$4/reports\"\n"
                     "cp -a \"$1\"/. \"$4/reports\"/\n");
  const std::string command = "unshare -m sh '" + after.file("run.sh") + "' '" + folder.out() +
                              "' '" + folder.work() + "' '" + folder.prog() + "' '" + after.path() +
                              "'";
  ASSERT_EQ(std::system(command.c_str()), 0);
  ProgramResult second;
  second.exitCode = std::stoi(readFileBytes(after.file("status")));
  second.standardError = readFileBytes(after.file("err"));
  folder.check(second, after.file("reports"));
}

}  // namespace
