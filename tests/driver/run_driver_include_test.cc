// Include handling of a whole run, on files in memory: resolution beside
// the including file and in the include folders, the three header read
// modes, missing headers, relative names, and files that cannot be read.
#include <gtest/gtest.h>

#include <string>

#include "driver/include_reading.h"
#include "tests/support/analysis_test.h"

namespace {

class RunDriverIncludeTest : public AnalysisTest {
 protected:
  // Runs over `paths`; the log lines about files being read or missing,
  // joined by '|'.
  std::string readingLog(const std::vector<std::string>& paths) {
    renewRun();
    analyse(paths);
    std::string log = takeLog(), out, line;
    for (char c : log) {
      if (c != '\n') {
        line += c;
        continue;
      }
      if (line.find("を処理中") != std::string::npos ||
          line.find("Can't open") != std::string::npos)
        out += (out.empty() ? "" : "|") + line;
      line.clear();
    }
    return out;
  }
  std::array<std::int32_t, 8> counts(int entry) { return sourceList().entries()[entry].stepCounts; }
};

TEST_F(RunDriverIncludeTest, HeaderIncludedTwiceIsReadOnce) {
  file("/src/main.c", "#include \"a.h\"\n#include \"a.h\"\n");
  file("/src/a.h", "int a;\n");
  EXPECT_EQ(readingLog({"/src/main.c"}), "main.cを処理中|  a.hを処理中");
  // The header's counts are not kept: main.c alone.
  EXPECT_EQ(counts(0), (std::array<std::int32_t, 8>{3, 0, 1, 0, 0, 0, 2, 0}));
}

TEST_F(RunDriverIncludeTest, MissingHeaderReportedOnce) {
  file("/src/main.c", "#include <m.h>\n#include <m.h>\n");
  EXPECT_EQ(readingLog({"/src/main.c"}), "main.cを処理中|  Can't open [m.h]");
}

TEST_F(RunDriverIncludeTest, IncludeFoldersInOrder) {
  file("/src/main.c", "#include <x.h>\n#include <y.h>\n");
  file("/inc1/x.h", "#include <y.h>\n");
  file("/inc2/y.h", "int y;\n");
  options().includeDirectories = {"/inc1/", "/inc2/"};
  EXPECT_EQ(readingLog({"/src/main.c"}), "main.cを処理中|  x.hを処理中|  y.hを処理中");
}

// A header found in an include folder is read under the path it opened
// at: its own includes are looked for beside it, and a back-include of it
// through another folder route is the same header.
TEST_F(RunDriverIncludeTest, HeaderFromIncludeFolderReadsBesideItself) {
  file("/src/main.c", "#include <lib/a.h>\n");
  file("/inc/lib/a.h", "#include \"b.h\"\n");
  file("/inc/lib/b.h", "#include \"../lib/a.h\"\n#include <lib/a.h>\n");
  options().includeDirectories = {"/inc/"};
  EXPECT_EQ(readingLog({"/src/main.c"}), "main.cを処理中|  lib/a.hを処理中|  b.hを処理中");
}

// Past the depth limit one line tells where the chain was cut.
TEST_F(RunDriverIncludeTest, IncludeDepthIsBounded) {
  const int limit = IncludeReader::kIncludeDepthLimit;
  file("/src/main.c", "#include \"h0.h\"\n");
  for (int i = 0; i <= limit + 5; ++i)
    file("/src/h" + std::to_string(i) + ".h", "#include \"h" + std::to_string(i + 1) + ".h\"\n");
  renewRun();
  analyse({"/src/main.c"});
  std::string log = takeLog();
  size_t read = 0;
  for (size_t at = 0; (at = log.find("を処理中", at)) != std::string::npos; ++at) ++read;
  EXPECT_EQ(read, static_cast<size_t>(1 + limit));
  const std::string cut = "ｲﾝｸﾙｰﾄﾞの入れ子が200段を超えるため読みません [h200.h]";
  EXPECT_NE(log.find(cut), std::string::npos);
  EXPECT_EQ(log.find(cut), log.rfind(cut));
}

TEST_F(RunDriverIncludeTest, NameWithBackslashIsNotSearchedInIncludeFolders) {
  file("/src/main.c", "#include <sys\\x.h>\n");
  file("/inc/sys\\x.h", "int x;\n");
  options().includeDirectories = {"/inc/"};
  EXPECT_EQ(readingLog({"/src/main.c"}), "main.cを処理中|  Can't open [sys\\x.h]");
}

// Not joined to /src/, and not looked for in the include folder either.
TEST_F(RunDriverIncludeTest, AbsoluteNamesAreOpenedAsWritten) {
  file("/src/main.c", "#include \"/inc/a.h\"\n#include </inc/c.h>\n");
  file("/inc/a.h", "int a;\n");
  file("/other//inc/c.h", "int c;\n");
  options().includeDirectories = {"/other/"};
  EXPECT_EQ(readingLog({"/src/main.c"}),
            "main.cを処理中|  /inc/a.hを処理中|  Can't open [/inc/c.h]");
}

TEST_F(RunDriverIncludeTest, HeaderThatIncludesItsIncluder) {
  file("/src/main.c", "#include \"sub/b.h\"\n");
  file("/src/sub/b.h", "#include \"../main.c\"\n");
  // main.c is read once more as a header; there the registry stops b.h.
  EXPECT_EQ(readingLog({"/src/main.c"}), "main.cを処理中|  sub/b.hを処理中|  ../main.cを処理中");
}

TEST_F(RunDriverIncludeTest, HeaderReadModes) {
  file("/src/a.c", "#include \"h.h\"\n#include \"m.h\"\n");
  file("/src/b.c", "#include \"h.h\"\n#include \"m.h\"\n");
  file("/src/h.h", "int h;\n");
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
    options().headerReadMode = c.mode;
    EXPECT_EQ(readingLog({"/src/a.c", "/src/b.c"}), c.log) << static_cast<int>(c.mode);
  }
}

// A pipe or a device where a header or a source is looked for is not read
// (its reading could wait for ever): the log says so, and a header is
// still looked for in the next include folder.
TEST_F(RunDriverIncludeTest, PipesAndDevicesAreNotRead) {
  file("/src/main.c", "#include <p.h>\n#include <q.h>\n#include <q.h>\n");
  files().addUnreadable("/src/p.h", platform::FileProblem::kNotRegularFile);
  files().addUnreadable("/inc1/p.h", platform::FileProblem::kNotRegularFile);
  file("/inc2/p.h", "int p;\n");
  files().addUnreadable("/src/q.h", platform::FileProblem::kNotRegularFile);
  files().addUnreadable("/src/pipe.c", platform::FileProblem::kNotRegularFile);
  files().addUnreadable("/src/no.c", platform::FileProblem::kUnreadable);
  options().includeDirectories = {"/inc1/", "/inc2/"};
  settingsFile("");
  renewRun();
  analyse({"/src/main.c", "/src/pipe.c", "/src/no.c"});
  EXPECT_EQ(takeLog(),
            "main.cを処理中\n  p.hを処理中\n  通常のﾌｧｲﾙではないため読みません [q.h]\n"
            " Can't open [no.c]\n 通常のﾌｧｲﾙではないため読みません [pipe.c]\n");
  EXPECT_EQ(run().filesUnreadable(), 2);
}

TEST_F(RunDriverIncludeTest, UnreadableFilesDoNotStopTheRun) {
  std::string junk;
  for (int i = 0; i < 5000; ++i) junk += static_cast<char>((i * 7919) % 256);
  file("/src/a.c", junk);
  file("/src/b.c", "/*");
  file("/src/c.c", std::string("\xFF\xFE"
                               "a\0b",
                               5));
  file("/src/d.c", "int d;\n");
  std::string log = readingLog({"/src/a.c", "/src/b.c", "/src/c.c", "/src/d.c", "/src/gone.c"});
  EXPECT_NE(log.find("d.cを処理中"), std::string::npos);
  EXPECT_NE(log.find(" Can't open [gone.c]"), std::string::npos);
  EXPECT_EQ(counts(3)[0], 2);
}

// A stop request ends the run between files: nothing more is read and no
// report is written.
TEST_F(RunDriverIncludeTest, StoppedRunWritesNoReport) {
  file("/src/a.c", "int a;\n");
  run().requestStop();
  EXPECT_FALSE(analyse({"/src/a.c"}));
  EXPECT_EQ(takeLog().find("a.cを処理中"), std::string::npos);
  EXPECT_FALSE(reportExists("MzStepLog.txt"));
}

}  // namespace
