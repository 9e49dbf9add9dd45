// Include handling of a whole run: resolution beside the including file and
// in the include folders, the three header read modes, missing headers, and
// include names written the Windows way.
#include <gtest/gtest.h>

#include <string>

#include "app/options.h"
#include "app/run_driver.h"
#include "app/source_file_list.h"
#include "tests/support/test_files.h"

namespace {

class RunDriverIncludeTest : public testing::Test {
 protected:
  void SetUp() override {
    saved_ = liveOptions();
    Options& o = liveOptions();
    o.extensionLanguages = parseExtensionList(kDefaultExtensionList);
    o.outputFolder = dir_.path() + "/out/";
    o.headerReadMode = HeaderReadMode::PerSourceFile;
    o.includeDirectories.clear();
    setProgramFolder(dir_.path() + "/out/");
    writeFileBytes(dir_.file("out/.keep"), "");
    sourceFiles().clear();
  }
  void TearDown() override {
    sourceFiles().clear();
    liveOptions() = saved_;
    setProgramFolder("");
  }

  void file(const std::string& name, const std::string& text) { writeFileBytes(dir_.file(name), text); }
  void registerFile(const std::string& name) {
    sourceFiles().registerSourceFile(name, dir_.path() + "/src/");
  }
  // The log lines about files being read or missing, joined by '|'.
  std::string readingLog() {
    runAnalysis();
    std::string bytes = readFileBytes(dir_.file("out/MizentaErrLog.txt")), out, line;
    for (char c : bytes) {
      if (c == '\r') continue;
      if (c != '\n') {
        line += c;
        continue;
      }
      if (line.find("を処理中") != std::string::npos || line.find("Can't open") != std::string::npos)
        out += (out.empty() ? "" : "|") + line;
      line.clear();
    }
    return out;
  }
  std::array<std::int32_t, 8> counts(int entry) { return sourceFiles().entries()[entry].stepCounts; }

  TempDir dir_;
  Options saved_;
};

TEST_F(RunDriverIncludeTest, BackslashAndLetterCaseResolveOnDisk) {
  file("src/main.c", "#include \"sub\\Util.H\"\nint x;\n");
  file("src/sub/util.h", "int u;\n");
  registerFile("main.c");
  EXPECT_EQ(readingLog(), "main.cを処理中|  sub\\Util.Hを処理中");
  // The header's counts are not kept: main.c alone.
  EXPECT_EQ(counts(0), (std::array<std::int32_t, 8>{3, 1, 1, 0, 0, 0, 1, 0}));
}

TEST_F(RunDriverIncludeTest, HeaderIncludedTwiceIsReadOnce) {
  file("src/main.c", "#include \"a.h\"\n#include \"a.h\"\n");
  file("src/a.h", "int a;\n");
  registerFile("main.c");
  EXPECT_EQ(readingLog(), "main.cを処理中|  a.hを処理中");
}

TEST_F(RunDriverIncludeTest, MissingHeaderReportedOnce) {
  file("src/main.c", "#include <m.h>\n#include <m.h>\n");
  registerFile("main.c");
  EXPECT_EQ(readingLog(), "main.cを処理中|  Can't open [m.h]");
}

TEST_F(RunDriverIncludeTest, IncludeFoldersInOrder) {
  file("src/main.c", "#include <x.h>\n#include <y.h>\n");
  file("inc1/x.h", "#include <y.h>\n");
  file("inc2/y.h", "int y;\n");
  liveOptions().includeDirectories = {dir_.path() + "/inc1/", dir_.path() + "/inc2/"};
  registerFile("main.c");
  EXPECT_EQ(readingLog(), "main.cを処理中|  x.hを処理中|  y.hを処理中");
}

TEST_F(RunDriverIncludeTest, NameWithBackslashIsNotSearchedInIncludeFolders) {
  file("src/main.c", "#include <sys\\x.h>\n");
  file("inc/sys/x.h", "int x;\n");
  liveOptions().includeDirectories = {dir_.path() + "/inc/"};
  registerFile("main.c");
  EXPECT_EQ(readingLog(), "main.cを処理中|  Can't open [sys\\x.h]");
}

TEST_F(RunDriverIncludeTest, HeaderThatIncludesItsIncluder) {
  file("src/main.c", "#include \"sub\\b.h\"\n");
  file("src/sub/b.h", "#include \"..\\main.c\"\n");
  registerFile("main.c");
  // main.c is read once more as a header; there the registry stops b.h.
  EXPECT_EQ(readingLog(), "main.cを処理中|  sub\\b.hを処理中|  ..\\main.cを処理中");
}

TEST_F(RunDriverIncludeTest, HeaderReadModes) {
  file("src/a.c", "#include \"h.h\"\n#include \"m.h\"\n");
  file("src/b.c", "#include \"h.h\"\n#include \"m.h\"\n");
  file("src/h.h", "int h;\n");
  registerFile("a.c");
  registerFile("b.c");
  struct Case {
    HeaderReadMode mode;
    const char* log;
  } cases[] = {
      // Per source file: read again for b.c; the missing one stays known.
      {HeaderReadMode::PerSourceFile,
       "a.cを処理中|  h.hを処理中|  Can't open [m.h]|b.cを処理中|  h.hを処理中"},
      {HeaderReadMode::ReadOnce, "a.cを処理中|  h.hを処理中|  Can't open [m.h]|b.cを処理中"},
      {HeaderReadMode::NoRead, "a.cを処理中|b.cを処理中"},
  };
  for (const Case& c : cases) {
    liveOptions().headerReadMode = c.mode;
    EXPECT_EQ(readingLog(), c.log) << static_cast<int>(c.mode);
  }
}

TEST_F(RunDriverIncludeTest, UnreadableFilesDoNotStopTheRun) {
  std::string junk;
  for (int i = 0; i < 5000; ++i) junk += static_cast<char>((i * 7919) % 256);
  file("src/a.c", junk);
  file("src/b.c", "/*");
  file("src/c.c", std::string("\xFF\xFE" "a\0b", 5));
  file("src/d.c", "int d;\n");
  for (const char* n : {"a.c", "b.c", "c.c", "d.c", "gone.c"}) registerFile(n);
  std::string log = readingLog();
  EXPECT_NE(log.find("d.cを処理中"), std::string::npos);
  EXPECT_NE(log.find(" Can't open [gone.c]"), std::string::npos);
  EXPECT_EQ(counts(3)[0], 2);
}

}  // namespace
