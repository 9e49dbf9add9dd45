#include "driver/command_line.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <vector>

#include "context/options.h"
#include "driver/run_outcome.h"
#include "context/source_file_list.h"
#include "tests/support/test_files.h"

namespace {

std::string joined(const std::vector<std::string>& tokens) {
  std::string out;
  for (const std::string& t : tokens) out += "[" + t + "]";
  return out;
}

TEST(SplitCommandLine, SpacesEndTokensOnlyBeforeSwitchesAndDrives) {
  struct Case {
    const char* text;
    const char* tokens;
  } cases[] = {
      {"c:\\src1\\aaa.c c:\\src2\\bbb.c", "[c:\\src1\\aaa.c][c:\\src2\\bbb.c]"},
      {"/t c:\\a.c", "[/t][c:\\a.c]"},
      {"test1.c test2.c", "[test1.c test2.c]"},
      {"c:\\my files\\a.c /98", "[c:\\my files\\a.c][/98]"},
      {"a.c  /t", "[a.c ][/t]"},
      {"/file /No_h x.c", "[/file][/No_h x.c]"},
      {"x", "[x]"},
      // Quoted arguments are whole, however they are spaced.
      {"\"c:\\my files\\a.c\" \"d:\\b /c\\x.c\"", "[c:\\my files\\a.c][d:\\b /c\\x.c]"},
      {"\"my dir\\a b.c\" other.c /t", "[my dir\\a b.c][other.c][/t]"},
  };
  for (const Case& c : cases) EXPECT_EQ(joined(splitCommandLine(c.text)), c.tokens) << c.text;
}

class CommandLineTest : public testing::Test {
 protected:
  void SetUp() override {
    liveOptions().extensionLanguages = parseExtensionList(kDefaultExtensionList);
    sourceFiles().clear();
    runOutcome() = RunOutcome();
  }
  std::string registered() const {
    std::string out;
    for (const SourceFileEntry& e : sourceFiles().entries()) {
      std::string dir = e.directory.substr(0, temp_.path().size()) == temp_.path()
                            ? e.directory.substr(temp_.path().size())
                            : e.directory;
      out += dir + e.name + " ";
    }
    return out;
  }
  void touch(const std::string& rel) { writeFileBytes(temp_.file(rel), "int x;\n"); }
  TempDir temp_;
};

TEST_F(CommandLineTest, SwitchesChangeTheLiveOptions) {
  // Only switches: nothing is registered, so no run happens.
  EXPECT_EQ(runCommandLine("/98 /t /rsv /def /func"), CommandLineResult::NoFiles);
  const Options& o = liveOptions();
  EXPECT_EQ(
      o.pc98Lines + o.showElapsedTime + o.reservedWordDump + o.defineList + o.hideRepeatedSubtrees,
      5);
  runCommandLine("/file /No_h");
  EXPECT_EQ(o.headerReadMode, HeaderReadMode::NoRead);
  liveOptions().headerReadMode = HeaderReadMode::PerSourceFile;
  runCommandLine("/No_h /file");
  EXPECT_EQ(o.headerReadMode, HeaderReadMode::NoRead);  // "/file" never lifts "/No_h"
  liveOptions().headerReadMode = HeaderReadMode::PerSourceFile;
  runCommandLine("/file");
  EXPECT_EQ(o.headerReadMode, HeaderReadMode::ReadOnce);
}

TEST_F(CommandLineTest, SwitchesAreCaseSensitive) {
  runCommandLine("/T");
  EXPECT_EQ(liveOptions().showElapsedTime, 0);
}

TEST_F(CommandLineTest, FoldersRegisterEverySourceFileBelowThem) {
  touch("src/b.c");
  touch("src/a.c");
  touch("src/notes.txt");
  touch("src/sub/deep/c.c");
  touch("src/.hidden/d.c");
  registerPath(temp_.file("src"));
  EXPECT_EQ(registered(), "/src/a.c /src/b.c /src/sub/deep/c.c ");
}

// A folder's entries are taken in name order whatever order the file
// system lists them in (it differs between platforms), so same-named files
// of several folders register as the folders' names give them.
TEST_F(CommandLineTest, FoldersAreSearchedInNameOrder) {
  std::vector<std::string> folders;
  for (int i = 0; i < 12; ++i) folders.push_back("f" + std::to_string(i * 7 % 12));
  for (const std::string& f : folders) touch("top/" + f + "/x.c");
  registerPath(temp_.file("top"));
  const std::string searched = registered();
  sourceFiles().clear();
  std::sort(folders.begin(), folders.end());
  for (const std::string& f : folders)
    registerSourceFile(liveOptions(), "x.c", temp_.file("top/" + f) + "/", sourceFiles());
  EXPECT_EQ(searched, registered());
}

TEST_F(CommandLineTest, PatternsExpandOnlyWhenTheFilePartStartsWithStarDot) {
  touch("src/a1.c");
  touch("src/a2.cpp");
  touch("src/sub/z.c");      // "sub" does not match "*.c": not searched
  touch("src/lib.c/y.cpp");  // a matching folder: everything below counts
  registerPath(temp_.file("src/*.c"));
  EXPECT_EQ(registered(), "/src/a1.c /src/lib.c/y.cpp ");
  sourceFiles().clear();
  registerPath(temp_.file("src/a*.c"));  // not expanded: registered as a name
  ASSERT_EQ(sourceFiles().entries().size(), 1u);
  EXPECT_EQ(sourceFiles().entries()[0].name, "a*.c");
}

TEST_F(CommandLineTest, PosixArgumentsAreSwitchesOnlyWhenKnown) {
  // "/tmp/..." exists: a path, not an unknown switch.
  touch("x.c");
  EXPECT_EQ(runCommandLineArguments({"/98"}), CommandLineResult::NoFiles);
  EXPECT_EQ(liveOptions().pc98Lines, 1);
  registerPath(temp_.file("x.c"));
  EXPECT_EQ(registered(), "/x.c ");
}

// Absolute paths and patterns are paths, and the output folder is made.
// Nothing here registers a file, so no run starts.
TEST_F(CommandLineTest, PosixArgumentsThatLookLikePathsArePaths) {
  EXPECT_EQ(runCommandLineArguments(
                {temp_.file("gone.txt"), temp_.file("*.cpp"), "-o", temp_.file("out/deep")}),
            CommandLineResult::NoFiles);
  const RunOutcome& o = runOutcome();
  EXPECT_FALSE(o.badCommandLine);
  EXPECT_EQ(o.notSources, 1);
  EXPECT_EQ(o.unmatched, 1);
  EXPECT_EQ(liveOptions().outputFolder, temp_.file("out/deep/"));
}

// A wrong POSIX command line does nothing: no path is registered or noted,
// no output folder is made, whatever the order of its arguments.
TEST_F(CommandLineTest, AWrongPosixCommandLineDoesNothing) {
  touch("a.c");
  const std::string a = temp_.file("a.c"), out = temp_.file("made");
  const std::vector<std::vector<std::string>> cases = {
      {"/T", a},                          // switches are case-sensitive
      {"-x", "-o", out, a},               // unknown, before a good switch
      {a, "-o", out, "--format"},         // a value missing at the end
      {"--format", "doc", "-o", out, a},  // a value no format has
      {"--format=", a},                   // an empty value
      {"--reports", "list,callers", a},   // one report of the list unknown
      {"--headers=sometimes", a},
      {"--encoding", "latin1", a},
      {"--source-encoding", "utf-16", a},
      {"-I", temp_.file("no-such-folder"), a},
      {"-I" + temp_.file("no-such-folder"), a},
      {"--output"},
      {"--write-ini", a, "--bogus"},
  };
  for (const auto& args : cases) {
    SCOPED_TRACE(args[0] + (args.size() > 1 ? " " + args[1] : std::string()));
    runOutcome() = RunOutcome();
    EXPECT_EQ(runCommandLineArguments(args), CommandLineResult::UsageError);
    EXPECT_TRUE(sourceFiles().empty());
    EXPECT_TRUE(runOutcome().notes.empty());
    EXPECT_FALSE(std::filesystem::exists(out));
  }
}

// Each long switch sets its options; "--reports" sets exactly the reports
// named, "--name=value" and "-Xvalue" carry the value in the token.
TEST_F(CommandLineTest, LongSwitchesSetTheirOptions) {
  std::filesystem::create_directories(temp_.file("inc1"));
  std::filesystem::create_directories(temp_.file("inc2"));
  struct Case {
    std::vector<std::string> args;
    std::string (*seen)(const Options&);
    std::string expected;
  };
  auto reports = [](const Options& o) {
    return std::to_string(o.functionList) + std::to_string(o.functionDetails) +
           std::to_string(o.classList) + std::to_string(o.defineList) + std::to_string(o.typeList) +
           std::to_string(o.namespaceList) + std::to_string(o.globalVariableList) +
           std::to_string(o.variableDetails) + std::to_string(o.lineDistribution);
  };
  const Case cases[] = {
      {{"--reports", "details,variables"}, reports, "010000110"},
      {{"--all-reports", "--reports=classes"}, reports, "001000000"},
      {{"--reports", "list", "--all-reports"}, reports, "111111111"},
      {{"--format", "csv"},
       [](const Options& o) { return std::to_string(int(o.outputFormat)); },
       "2"},
      {{"--format=json"},
       [](const Options& o) { return std::to_string(int(o.outputFormat)); },
       "4"},
      {{"--headers", "once"},
       [](const Options& o) { return std::to_string(int(o.headerReadMode)); },
       "1"},
      {{"--headers=none", "/file"},
       [](const Options& o) { return std::to_string(int(o.headerReadMode)); },
       "2"},
      {{"--encoding", "utf-8", "--crlf", "--source-encoding", "euc-jp"},
       [](const Options& o) {
         return std::to_string(int(o.outputEncoding)) + std::to_string(o.utf8CrLf) +
                std::to_string(int(o.sourceEncoding));
       },
       "113"},
      {{"--hide-repeated", "--macros-not-functions", "--graph"},
       [](const Options& o) {
         return std::to_string(o.hideRepeatedSubtrees) + std::to_string(o.macrosAreNotFunctions) +
                std::to_string(o.callGraphDot);
       },
       "111"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args[0]);
    liveOptions() = Options();
    EXPECT_EQ(runCommandLineArguments(c.args), CommandLineResult::NoFiles);
    EXPECT_EQ(c.seen(liveOptions()), c.expected);
  }
  liveOptions() = Options();
  runCommandLineArguments(
      {"-I", temp_.file("inc1"), "-I" + temp_.file("inc2"), "-I", temp_.file("inc1/")});
  EXPECT_EQ(liveOptions().includeDirectories,
            (std::vector<std::string>{temp_.file("inc1/"), temp_.file("inc2/")}));
}

// A value the switch does not know ends the command line: nothing after
// it is registered and nothing is analysed.
TEST_F(CommandLineTest, EncodingSwitchesTakeTheirValues) {
  Options& o = liveOptions();
  EXPECT_EQ(runCommandLineArguments({"--encoding", "UTF-8", "--crlf", "--source-encoding=euc-jp"}),
            CommandLineResult::NoFiles);
  EXPECT_EQ(o.outputEncoding, OutputEncoding::Utf8);
  EXPECT_EQ(o.utf8CrLf, 1);
  EXPECT_EQ(o.sourceEncoding, SourceEncoding::EucJp);
  runCommandLineArguments({"--encoding=sjis", "--source-encoding", "auto"});
  EXPECT_EQ(o.outputEncoding, OutputEncoding::ShiftJis);
  EXPECT_EQ(o.sourceEncoding, SourceEncoding::Detect);
  EXPECT_FALSE(runOutcome().badCommandLine);
  touch("x.c");
  const std::vector<std::vector<std::string>> bad = {
      {"--encoding", "latin1", temp_.file("x.c")},
      {"--source-encoding=utf8", temp_.file("x.c")},
      {"--encoding=", temp_.file("x.c")},
      {"--source-encoding"},
  };
  for (const auto& arguments : bad) {
    EXPECT_EQ(runCommandLineArguments(arguments), CommandLineResult::UsageError) << arguments[0];
    EXPECT_EQ(registered(), "");
  }
  EXPECT_EQ(o.outputEncoding, OutputEncoding::ShiftJis);
}

TEST_F(CommandLineTest, WhatRegistrationLeavesOutIsNoted) {
  touch("src/a.c");
  touch("src/sub/b.c");
  touch("v.pas");
  touch("notes.txt");
  std::filesystem::create_directory_symlink(temp_.file("src"), temp_.file("src/sub/up"));
  for (const char* path : {"src", "v.pas", "notes.txt", "src/*.cpp"})
    registerPath(temp_.file(path));
  EXPECT_EQ(registered(), "/src/a.c /src/sub/b.c ");  // the link back to src is not followed
  std::string notes;
  for (const std::string& note : runOutcome().notes) notes += note + "\n";
  std::string t = temp_.path();
  EXPECT_EQ(notes, " 検索済みのﾌｫﾙﾀﾞです [" + t + "/src/sub/up]\n" +
                       " C,C++,Java系とVB,Delphi系は同時に処理できません [" + t + "/v.pas]\n" +
                       " 解析対象外のﾌｧｲﾙです [" + t + "/notes.txt]\n" + " ｿｰｽﾌｧｲﾙがありません [" +
                       t + "/src/*.cpp]\n");
}

// The watch is told every file met and what became of it; false stops the
// search at once, and what was registered by then stays.
TEST_F(CommandLineTest, AWatchSeesEachFileAndStopsTheSearch) {
  touch("src/a.c");
  touch("src/notes.txt");
  touch("v.pas");
  std::string seen;
  auto watch = [&](const std::string& path, AddResult result) {
    seen += path.substr(temp_.path().size()) + "=" + std::to_string(static_cast<int>(result)) + " ";
    return true;
  };
  registerPath(temp_.file("src"), watch);
  registerPath(temp_.file("v.pas"), watch);
  // Sorted: the folder's order is the file system's.
  std::vector<std::string> told;
  std::istringstream in(seen);
  for (std::string t; in >> t;) told.push_back(t);
  std::sort(told.begin(), told.end());
  EXPECT_EQ(told, (std::vector<std::string>{"/src/a.c=0", "/src/notes.txt=3", "/v.pas=2"}));

  sourceFiles().clear();
  for (int i = 0; i < 20; ++i) touch("many/f" + std::to_string(i) + ".c");
  int calls = 0;
  registerPath(temp_.file("many"), [&](const std::string&, AddResult) { return ++calls < 5; });
  EXPECT_EQ(calls, 5);
  EXPECT_EQ(sourceFiles().entries().size(), 5u);
}

TEST_F(CommandLineTest, AVeryLongPathIsHarmless) {
  registerPath(std::string(5000, 'a') + ".c");
  ASSERT_EQ(sourceFiles().entries().size(), 1u);
  registerPath(temp_.file(std::string(5000, 'b')));
  registerPath(std::string(5000, '\\') + "*.c");
  EXPECT_EQ(sourceFiles().entries().size(), 1u);
}

}  // namespace
