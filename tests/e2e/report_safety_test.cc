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
  std::string command = "/usr/bin/python3 " MZ_SOURCE_DIR "/tests/e2e/read_reports.py '" + folder + "'";
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
    const std::string link = wine() ? "=HYPERLINK(x,y).c" : "=HYPERLINK(\"x\",\"y\").c";
    const std::string header = wine() ? "b&tag.h" : "<b>tag</b>.h";
    writeFileBytes(src + "/" + script,
                   "#include \"" + header + "\"\n"
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
  const std::string own =
      ": /body /font /head /html /p /title body br font head html meta p title";
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
        "text Mz一覧Obj.html: class std::vector<int>",
        "text MzStepLog.html: " + names_[1], "text Mz一覧Func.html: " + names_[1],
        "text MzFileTree.html: " + names_[1]})
    EXPECT_TRUE(has(found, text)) << text;
  if (!wine()) {
    EXPECT_TRUE(has(found, "text MzFileTree.html: <script>alert(3)<.script>.c"));
    EXPECT_TRUE(has(found, "text Mz一覧define.html: <script>alert(3)<.script>.cに含まれる定義内容"));
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
    if (line.starts_with("rows ")) rows[line.substr(5, line.find(':') - 5)] = line.substr(line.find(':') + 2);
  // Heading, four files and the total; heading and the seven functions.
  EXPECT_EQ(rows["MzStepLog.csv"], "9 9 9 9 9 9");
  EXPECT_EQ(rows["Mz一覧Func.csv"], "5 5 5 5 5 5 5 5");
  for (const std::string file : {"MzStepLog.csv", "Mz一覧Func.csv", "Mz関数詳細情報.csv"}) {
    EXPECT_TRUE(has(found, "field " + file + ": 'a,b.c'")) << file;
    EXPECT_TRUE(has(found, "field " + file + ": '" + names_[1] + "'")) << file;
  }
  EXPECT_TRUE(has(found, "field Mz関数詳細情報.csv: '/* <script>alert(4)</script> \"quoted\", comma */'"));
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

// A run into a folder that fills up: each file may grow to 64 KiB only
// (the limit of the file size binds the program as a full disk would; a
// small file system of its own cannot be mounted here). The reports that
// do not fit are named and keep the earlier run's bytes; the ones that fit
// are this run's, whole; nothing else is left in the folder. Linux only:
// under Wine the limit would bind the Wine server and the display too.
TEST(ReportSafetyOnLinux, AFullFolderKeepsTheEarlierReports) {
  TempDir temp;
  const std::string prog = temp.file("prog");
  installProgram(ProgramKind::Linux, prog);
  writeFileBytes(prog + "/Mizenta.ini",
                 withCrLf("[ﾌｧｲﾙ出力設定]\n関数一覧の表示=ON\n関数詳細情報の表示=ON\n#define文確認=ON\n"));
  // 2,000 functions that main calls and as many macros: the call tree, the
  // lists and the details each pass 64 KiB, the step counts stay small.
  auto source = [](const std::string& prefix) {
    std::string text, calls;
    for (int i = 0; i < 2000; ++i) {
      const std::string name = prefix + std::to_string(i);
      text += "#define " + name + "_M " + std::to_string(i) + "\n";
      text += "int " + name + "(void) { return " + std::to_string(i) + "; }\n";
      calls += " " + name + "();";
    }
    return text + "int main(void) {" + calls + " return 0; }\n";
  };
  // Named in the order they failed: the list, written file by file, first.
  const std::vector<std::string> big = {"Mz一覧define.txt", "MizentaLog.txt", "Mz一覧Func.txt",
                                        "Mz関数詳細情報.txt"};
  writeFileBytes(temp.file("a.c"), source("first"));
  ProgramResult first = runInstalledProgram(ProgramKind::Linux, prog, temp.path(), {"a.c"});
  ASSERT_EQ(first.exitCode, 0) << first.standardError;
  std::map<std::string, std::string> earlier;
  for (const std::string& name : big) {
    earlier[name] = readFileBytes(prog + "/" + toUtf8(name));
    ASSERT_GT(earlier[name].size(), 65536u) << name;
  }
  const std::string steps = readFileBytes(prog + "/MzStepLog.txt");
  const std::vector<std::string> installed = namesIn(prog);

  writeFileBytes(temp.file("a.c"), "int added;\n" + source("second"));
  ProgramResult second;
  {
    FileSizeLimit full(65536);
    second = runInstalledProgram(ProgramKind::Linux, prog, temp.path(), {"a.c"});
  }
  EXPECT_EQ(second.exitCode, 1);
  std::string named;
  for (const std::string& name : big) {
    EXPECT_EQ(readFileBytes(prog + "/" + toUtf8(name)), earlier[name]) << name;
    named += "レポートを書けません: " + prog + "/" + name + "\n";
  }
  EXPECT_EQ(toCp932(second.standardError),
            named + "1 ファイルを解析しました。レポート: " + prog + "/ (書けないレポート 4)\n");
  // The step counts fit: this run's, whole.
  const std::string now = readFileBytes(prog + "/MzStepLog.txt");
  EXPECT_NE(now, steps);
  EXPECT_EQ(now.size(), steps.size());
  EXPECT_TRUE(now.ends_with("\r\n\r\n"));
  std::string log = readFileBytes(prog + "/MizentaErrLog.txt");
  for (const std::string& name : big)
    EXPECT_NE(log.find(" 書き込めません [" + prog + "/" + name + "]"), std::string::npos) << name;
  EXPECT_EQ(namesIn(prog), installed);
}

}  // namespace
