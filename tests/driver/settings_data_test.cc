// The settings data file as a run loads it: language sections against the
// run's languages, the three kinds of entries (namespaces, member lists,
// sizes, two-word names, the pointer size), the file's own directives, the
// missing file; and what a run hands to its files.
#include "driver/settings_data.h"

#include <gtest/gtest.h>

#include "context/language_mode.h"
#include "context/options.h"
#include "tables/type_table.h"
#include "tables/variable_table.h"
#include "scan/lexical_rules.h"
#include "scan/reserved_word_table.h"
#include "tables/class_table.h"
#include "tables/function_table.h"
#include "tests/support/analysis_test.h"

namespace {

struct EntryCase {
  std::vector<std::string> files;
  const char* text;
  const char* entries;
};

class SettingsDataTest : public AnalysisTest {
 protected:
  void SetUp() override { setProgramFolder("/opt/mz/"); }

  void load(std::string_view text, const std::vector<std::string>& files) {
    settingsFile(text);
    std::vector<std::string> paths;
    for (const std::string& name : files) paths.push_back("/src/" + name);
    loadSettings(paths);
  }

 public:
  // What a load made, one form each (public: the cases name them).
  // "word:mask …" in table order.
  std::string reserved() {
    std::string out;
    for (size_t i = 0; i < reservedWords().size(); ++i)
      out += (out.empty() ? "" : " ") + reservedWords().at(i).word + ":" +
             std::to_string(reservedWords().at(i).languages);
    return out;
  }
  // "name=size[~]:languages …" of the settings types (the size of the
  // first language's slot; "~" when inexact), after "*n" for a pointer
  // size other than 4.
  std::string types() {
    int pointer = baseTypes().pointerSize();
    std::string out = pointer == 4 ? "" : "*" + std::to_string(pointer);
    for (size_t i = 0; i < baseTypes().size(); ++i) {
      const TypeRecord& t = baseTypes().at(i);
      out += (out.empty() ? "" : " ") + t.name + "=" +
             std::to_string(t.sizes[slotOfMode(t.languages)]) +
             (t.flags & TypeTable::kInexact ? "~" : "") + ":" + std::to_string(t.languages);
    }
    return out;
  }
  // "name:languages …" of the classes, then "| type name:languages …".
  std::string classDefinitions() {
    std::string out;
    for (const ClassDefinition& c : settingsData().classes.classes())
      out += c.name + ":" + std::to_string(c.languages) + " ";
    out += "|";
    for (const VariableDefinition& v : settingsData().classes.variables())
      out += " " + v.type + " " + v.name + ":" + std::to_string(v.languages);
    return out;
  }

  // Each case's text, after `head`, loaded for its files: what `shown`
  // lists, and no log line.
  template <size_t N>
  void expectEntries(std::string_view head, const EntryCase (&cases)[N],
                     std::string (SettingsDataTest::*shown)()) {
    for (const EntryCase& c : cases) {
      renewRun();
      load(std::string(head) + c.text, c.files);
      EXPECT_EQ((this->*shown)(), c.entries) << c.text;
      EXPECT_EQ(takeLog(), "") << c.text;
    }
  }
};

TEST_F(SettingsDataTest, SectionsAgainstTheRunsLanguages) {
  const char* sections =
      "all\n#ifdef MZ_C\nc\n#endif\n#ifdef MZ_VB\nvb\n#endif\n#ifndef MZ_JAVA\nnever\n#endif\n"
      "#ifdef MZ_CPP\ncpp\n#endif\n#ifdef MZ_CPP_OLD\nold\n#endif\n#ifdef MZ_C_CPP\nboth\n#endif\n"
      "#ifdef MZ_DELPHI\npas\n#endif\n";
  // The run's languages: its files' (C++ files bring 8 too); no file, none.
  const EntryCase cases[] = {
      {{"a.c"}, sections, "all:255 both:3 c:1"},
      {{"a.cpp"}, sections, "all:255 both:3 c:1 cpp:2 old:8"},
      {{"m.bas", "f.frm"}, sections, "all:255 vb:16"},
      {{"a.java", "b.c"}, sections, "all:255 both:3 c:1"},
      {{"u.pas"}, sections, "all:255 pas:32"},
      {{}, sections, ""},
      // A section ends at its own #endif, at the next section and at a
      // mode line; a defined macro of the name opens no section.
      {{"a.c"}, "#ifdef MZ_C\n#ifdef MZ_VB\nv\n#endif\nafter\n#endif\n", "after:255"},
      {{"a.c"}, "#ifdef MZ_VB\nv\n#ifdef MZ_C\nc\n#endif\n#endif\n", "c:1"},
      {{"a.c"}, "#ifdef MZ_VB\n#MZ設定Mode 予約語\nw\n#endif\n", "w:255"},
      {{"a.c"}, "#define MZ_VB\n#ifdef MZ_VB\nw\n#endif\n#ifndef MZ_VB\nx\n#endif\n", "w:255"},
      {{"a.c"}, "#ifdef MZ_CPP_OLDER\nw\n#endif\n#if 0\n#ifdef MZ_C\nx\n#endif\n#endif\n", ""},
      // A word listed twice gains languages; punctuation is no entry.
      {{"a.cpp"}, "#ifdef MZ_C\nw ; ( ) *\n#endif\n#ifdef MZ_CPP\nw\n#endif\n\x1A z", "w:3"},
  };
  expectEntries("", cases, &SettingsDataTest::reserved);
}

TEST_F(SettingsDataTest, ClassDefinitions) {
  const EntryCase cases[] = {
      {{"a.cpp"},
       "CFoo(theFoo) CBar ( a b ) CFoo",
       "CFoo:255 CBar:255 | CFoo theFoo:255 CBar a:255 CBar b:255"},
      {{"a.cpp"},
       "namespace std { string ostream(cout) } after",
       "std::string:255 std::ostream:255 after:255 | std::ostream cout:255"},
      {{"a.cpp"}, "namespace A { namespace B { X(x) } Y }", "A::B::X:255 A::Y:255 | A::B::X x:255"},
      {{"a.cpp"},
       "#ifdef MZ_C\nK(k)\n#endif\n#ifdef MZ_CPP\nK(k)\n#endif\n#ifdef MZ_VB\nV\n#endif",
       "K:3 | K k:3"},
      // Parentheses too deep or unopened: words inside are still members.
      {{"a.cpp"}, "C((a)) b ) c ( (", "C:255 b:255 c:255 | C a:255"},
      {{"a.cpp"}, "(orphan) namespace", "|"},
  };
  expectEntries("#MZ設定Mode class定義\n", cases, &SettingsDataTest::classDefinitions);
}

TEST_F(SettingsDataTest, TypeEntries) {
  const EntryCase cases[] = {
      {{"a.c"}, "int(4) unsigned int(4)", "int=4:255 unsigned=0:255 unsigned int=4:255"},
      {{"a.c"},
       "unsigned(4) unsigned int(4) long(4) long long(8)",
       "long=4:255 long long=8:255 unsigned=4:255 unsigned int=4:255"},
      // "void" never joins; anything but a word in between keeps two names.
      {{"a.c"}, "unsigned void ; char(1)", "char=1:255 unsigned=0:255 void=0:255"},
      {{"a.c"}, "void long(4)", "void=0:255 void long=4:255"},
      // Inexact sizes: "_n" about n bytes, below 1 unknown.
      {{"a.c"}, "a(_8) b(0) c(x) d(99999999999)", "a=8~:255 b=0~:255 c=0~:255 d=2147483647:255"},
      {{"a.c"}, "namespace std { size_t(4) }", "std::size_t=4:255"},
      {{"a.c"}, "#ifdef MZ_C\nint(4)\n#endif\n#ifdef MZ_JAVA\nlong(8)\n#endif", "int=4:1"},
      // Pointer sizes, "*(n)" or "(*n)", of at least 1 byte.
      {{"a.c"}, "int (*2)", "*2 int=0:255"},
      {{"a.c"}, "*(8) * 16", "*16"},
      {{"a.c"}, "*(0)", ""},
  };
  expectEntries("#MZ設定Mode 型情報\n", cases, &SettingsDataTest::types);
}

// The macros of the file are every file's starting macros; the interrupt
// keywords reach #pragma in the sources (and nothing else of the file).
TEST_F(SettingsDataTest, MacrosAndInterruptKeywordsReachTheSources) {
  settingsFile(
      "#define LIMIT 3\n#MZ割り込みキーワード interrupt , __interrupt\n"
      "#pragma interrupt early\n");
  file("/src/a.c", "#if LIMIT == 3\n#pragma interrupt isr\n#endif\n");
  analyse({"/src/a.c"});
  EXPECT_EQ(run().settings().interruptKeywords,
            (std::vector<std::string>{"interrupt", "__interrupt"}));
  ASSERT_EQ(run().settings().definitions.size(), 1u);
  EXPECT_EQ(run().settings().definitions[0].name, "LIMIT");
  EXPECT_TRUE(functions().exists("isr"));
  EXPECT_FALSE(functions().exists("early"));
  EXPECT_EQ(takeLog(), "a.cを処理中\n");
}

TEST_F(SettingsDataTest, MissingFileLogsTwoLinesAndTakesTheBuiltInLists) {
  loadSettings({"/src/a.c"});
  EXPECT_EQ(takeLog(),
            "  Mizentaの設定ﾌｧｲﾙが読み込めません。[/opt/mz/Mizenta設定.dat]\n"
            "  内部確保してある予約語、型情報を使用します。\n");
  EXPECT_EQ(settingsData().languageMask, kModeC);
  EXPECT_EQ(reservedWords().isReserved("while", kModeC), kModeC);
  EXPECT_EQ(baseTypes().findType("short", TypeTable::FindMode::kAnyLanguage) != nullptr, true);
  EXPECT_EQ(baseTypes().pointerSize(), 4);
  EXPECT_TRUE(settingsData().definitions.empty());
}

// A file that is there but cannot serve gives the same two lines and the
// built-in lists as a missing one; the load tells why, for the user.
TEST_F(SettingsDataTest, UnusableFileTakesTheBuiltInListsToo) {
  const std::string path = "/opt/mz/Mizenta設定.dat";
  const char kNoText[] = "#MZ設定Mode 予約語\nkw\0x\n";  // a NUL byte
  struct Case {
    const char* what;
    platform::FileProblem problem;
    std::string bytes;  // when there is a file
  } cases[] = {
      {"missing", platform::FileProblem::kMissing, ""},
      {"folder", platform::FileProblem::kFolder, ""},
      {"pipe", platform::FileProblem::kNotRegularFile, ""},
      {"no text", platform::FileProblem::kNotText, std::string(kNoText, sizeof kNoText - 1)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    renewRun();
    if (c.problem == platform::FileProblem::kNotText)
      settingsFile(c.bytes);
    else if (c.problem != platform::FileProblem::kMissing)
      files().addUnreadable(path, c.problem);
    registerAll({"/src/a.c"});
    SettingsData data;
    EXPECT_EQ(
        loadSettingsData(run().scan(), reservedWords(), baseTypes(), data, sourceList(), files()),
        c.problem);
    EXPECT_EQ(takeLog(),
              "  Mizentaの設定ﾌｧｲﾙが読み込めません。[/opt/mz/Mizenta設定.dat]\n"
              "  内部確保してある予約語、型情報を使用します。\n");
    EXPECT_EQ(reservedWords().isReserved("while", kModeC), kModeC);
    EXPECT_EQ(reservedWords().isReserved("kw", kModeC), 0);
  }
}

TEST_F(SettingsDataTest, NameComparisonFollowsTheRegisteredFamily) {
  load("Dim", {"m.bas"});
  EXPECT_TRUE(caseInsensitiveNames());
  EXPECT_EQ(reservedWords().isReserved("DIM", kModeVb), kModeVb);

  // The next run, of C files, must not keep the folded comparison.
  renewRun();
  load("Dim", {"a.c"});
  EXPECT_FALSE(caseInsensitiveNames());
  EXPECT_EQ(reservedWords().isReserved("DIM", kModeC), 0);
}

// ---------------------------------------------------------------------------
// What the run hands to its files

const char kLibrary[] =
    "#MZ設定Mode class定義\n#ifdef MZ_CPP\nCApp(theApp)\n#endif\n"
    "#ifdef MZ_JAVA\nJThing(jt)\n#endif\n";

// Once for the run, each class and object under its own languages.
TEST_F(SettingsDataTest, HeadersReadOnceRegisterTheLibraryOnceUnderItsLanguages) {
  options().headerReadMode = HeaderReadMode::ReadOnce;
  settingsFile(kLibrary);
  file("/src/a.cpp", "");
  file("/src/b.java", "");
  analyse({"/src/a.cpp", "/src/b.java"});
  EXPECT_EQ(classes().dump(),
            "CApp(0,2,0,0/0)\n"
            "JThing(0,4,0,0/0)\n");
  EXPECT_EQ(variables().dump(), "JThing jt 0 0:0 16 4\nCApp theApp 0 0:0 16 4\n");
}

// Per file, only the classes of the file's languages; a source definition
// of a library object is the variable the lists show.
TEST_F(SettingsDataTest, EachFileGetsTheLibraryOfItsLanguage) {
  options().typeList = options().globalVariableList = 1;
  settingsFile(kLibrary);
  file("/src/a.cpp", "CApp theApp;\nvoid f(void) { JThing j; }\n");
  analyse({"/src/a.cpp", "/src/b.java"});
  std::string typesListed = report("Mz一覧type.txt");
  EXPECT_NE(typesListed.find("CApp"), std::string::npos);
  EXPECT_EQ(typesListed.find("JThing"), std::string::npos);
  std::string globals = report("Mz一覧Obj.txt");
  EXPECT_NE(globals.find("theApp"), std::string::npos);
  EXPECT_NE(globals.find("a.cpp"), std::string::npos);
}

// Every file of a language starts with the same library, also when another
// language's file came between (each section of the type list shows the
// class of its own file's language).
TEST_F(SettingsDataTest, EveryFileOfALanguageStartsWithItsLibrary) {
  options().typeList = 1;
  settingsFile(kLibrary);
  file("/src/a.cpp", "CApp a1;\n");
  file("/src/b.java", "class B { JThing j; }\n");
  file("/src/c.cpp", "CApp c1;\n");
  file("/src/d.cpp", "int d;\n");
  analyse({"/src/a.cpp", "/src/b.java", "/src/c.cpp", "/src/d.cpp"});
  std::string listed = report("Mz一覧type.txt");
  auto section = [&listed](const std::string& file) {
    size_t from = listed.find(file + "で使用した型情報");
    size_t to = listed.find("で使用した型情報", from + file.size() + 1);
    return from == std::string::npos ? std::string("<none>") : listed.substr(from, to - from);
  };
  EXPECT_NE(section("a.cpp").find("CApp"), std::string::npos);
  EXPECT_NE(section("b.java").find("JThing"), std::string::npos);
  EXPECT_EQ(section("b.java").find("CApp"), std::string::npos);
  EXPECT_NE(section("c.cpp").find("CApp"), std::string::npos);
  EXPECT_EQ(section("d.cpp").find("CApp"), std::string::npos);
}

// Macros of every language section, one defined outside the sections only
// where a C++ section's macro is.
const char kLanguageMacros[] =
    "#define EVERY 1\n"
    "#ifdef MZ_C\n#define IN_C 1\n#endif\n"
    "#ifdef MZ_CPP\n#define IN_CPP 1\n#endif\n"
    "#ifdef IN_CPP\n#define AFTER_CPP 1\n#endif\n"
    "#ifdef MZ_VB\n#define IN_VB 1\n#endif\n"
    "#ifdef MZ_DELPHI\n#define IN_DELPHI 1\n#endif\n";
const char* const kLanguageMacroNames[] = {"EVERY",     "IN_C",  "IN_CPP",
                                           "AFTER_CPP", "IN_VB", "IN_DELPHI"};

class FileMacrosTest : public SettingsDataTest {
 protected:
  // A C file that defines `prefix`_NAME for each macro NAME defined at its
  // start.
  void cFile(const std::string& path, const std::string& prefix) {
    std::string text;
    for (const char* name : kLanguageMacroNames)
      text +=
          std::string("#ifdef ") + name + "\nvoid " + prefix + "_" + name + "(void) {}\n#endif\n";
    file(path, text);
  }
  // The macros whose function of `prefix` the run registered.
  std::string seen(const std::string& prefix) {
    std::string out;
    for (const char* name : kLanguageMacroNames)
      if (functions().exists(prefix + "_" + name))
        out += (out.empty() ? "" : " ") + std::string(name);
    return out;
  }
};

// A file starts with the macros that a run of its own languages alone
// would give it: a C file of a run with C++ files has none of the C++
// section's, nor what the file defines because of them.
TEST_F(FileMacrosTest, EachFileStartsWithTheMacrosOfItsLanguages) {
  settingsFile(kLanguageMacros);
  cFile("/src/a.c", "a");
  cFile("/src/b.cpp", "b");
  cFile("/src/c.c", "c");
  analyse({"/src/a.c", "/src/b.cpp", "/src/c.c"});
  EXPECT_EQ(seen("a"), "EVERY IN_C");
  EXPECT_EQ(seen("b"), "EVERY IN_C IN_CPP AFTER_CPP");
  EXPECT_EQ(seen("c"), "EVERY IN_C");

  renewRun();
  analyse({"/src/a.c"});
  EXPECT_EQ(seen("a"), "EVERY IN_C");
}

// Tables that start once for the run start with the macros that every
// file's languages have: no file reads another language's branches. A run
// of one language set takes all of its macros.
TEST_F(FileMacrosTest, TablesStartedOnceTakeTheMacrosEveryFileHas) {
  for (HeaderReadMode mode : {HeaderReadMode::ReadOnce, HeaderReadMode::NoRead}) {
    options().headerReadMode = mode;
    renewRun();
    settingsFile(kLanguageMacros);
    cFile("/src/a.c", "a");
    cFile("/src/b.cpp", "b");
    analyse({"/src/a.c", "/src/b.cpp"});
    EXPECT_EQ(seen("a"), "EVERY IN_C");
    EXPECT_EQ(seen("b"), "EVERY IN_C");

    renewRun();
    settingsFile(kLanguageMacros);
    analyse({"/src/b.cpp"});
    EXPECT_EQ(seen("b"), "EVERY IN_C IN_CPP AFTER_CPP");
  }
}

// VB and Delphi files go on with the tables of the file before; their
// macros are still their own languages'.
TEST_F(FileMacrosTest, KeptTablesStillStartWithTheFilesMacros) {
  settingsFile(kLanguageMacros);
  auto vb = [](const std::string& prefix) {
    std::string text;
    for (const char* name : kLanguageMacroNames)
      text += std::string("#If ") + name + " Then\nSub " + prefix + "_" + name +
              "()\nEnd Sub\n#End If\n";
    return text;
  };
  std::string delphi = "unit u;\ninterface\nimplementation\n";
  for (const char* name : kLanguageMacroNames)
    delphi +=
        std::string("{$IFDEF ") + name + "}\nprocedure u_" + name + ";\nbegin\nend;\n{$ENDIF}\n";
  file("/src/m.bas", vb("m"));
  file("/src/n.bas", vb("n"));
  file("/src/u.pas", delphi + "end.\n");
  analyse({"/src/m.bas", "/src/u.pas", "/src/n.bas"});
  EXPECT_EQ(seen("m"), "EVERY IN_VB");
  EXPECT_EQ(seen("n"), "EVERY IN_VB");
  EXPECT_EQ(seen("u"), "EVERY IN_DELPHI");
}

// Reading the file for other languages writes no log line a second time.
TEST_F(FileMacrosTest, OtherLanguagesMacrosLogNothingAgain) {
  settingsFile("#ifdef MZ_C\n#define IN_C 1\n");
  file("/src/a.c", "");
  file("/src/b.cpp", "");
  analyse({"/src/a.c", "/src/b.cpp"});
  std::string log = takeLog();
  size_t first = log.find("#if文の数が合いません");
  ASSERT_NE(first, std::string::npos) << log;
  EXPECT_EQ(log.find("#if文の数が合いません", first + 1), std::string::npos) << log;
}

}  // namespace
