// The settings data file that ships beside the program, as the build
// wrote it: it knows at least what the built-in lists know, and a run's
// reserved-word dump has every keyword of the run's language.
#include <gtest/gtest.h>

#include <sstream>

#include "context/options.h"
#include "driver/settings_data.h"
#include "context/source_file_list.h"
#include "tables/type_table.h"
#include "scan/reserved_word_table.h"
#include "tests/support/analysis_test.h"

namespace {

class ShippedSettingsTest : public AnalysisTest {
 protected:
  void SetUp() override {
    settingsFile(readFileBytes(std::string(MZ_BINARY_DIR) + "/" + toUtf8(kSettingsDataName)));
  }
  // Loads the file for a run of the one file `fileName`; that file's mode.
  int loadFor(const char* fileName) {
    renewRun();
    loadSettings({std::string("/src/") + fileName});
    EXPECT_EQ(takeLog(), "") << fileName;
    return sourceList().entries()[0].languageMask;
  }
};

// Every built-in reserved word and type is there for the files for which
// the built-in lists have them.
TEST_F(ShippedSettingsTest, HoldsEveryEntryOfTheBuiltInLists) {
  for (const char* fileName : {"a.cpp", "m.bas", "u.pas"}) {
    int mode = loadFor(fileName);
    // Sorted under the name comparison the load set for this language.
    ReservedWordTable builtInWords(context());
    builtInWords.loadBuiltIn();
    TypeTable builtInTypes(options(), context(), false);
    builtInTypes.loadBuiltIn();
    for (size_t i = 0; i < builtInWords.size(); ++i) {
      const ReservedWord& w = builtInWords.at(i);
      if (!(w.languages & mode)) continue;
      EXPECT_NE(reservedWords().isReserved(w.word, mode), 0) << w.word;
    }
    for (size_t i = 0; i < builtInTypes.size(); ++i) {
      const TypeRecord& t = builtInTypes.at(i);
      if (!(t.languages & mode)) continue;
      const TypeRecord* found = baseTypes().findType(t.name, TypeTable::FindMode::kAnyLanguage);
      EXPECT_TRUE(found && (found->languages & mode)) << t.name;
    }
  }
}

// The keywords of each language as its definition lists them (contextual
// words that stay names left out): a run's reserved-word dump has them all.
TEST_F(ShippedSettingsTest, DumpListsEveryKeywordOfTheRunsLanguage) {
  const char* c11 =
      "auto break case char const continue default do double else enum extern float for goto if "
      "inline int long register restrict return short signed sizeof static struct switch typedef "
      "union unsigned void volatile while _Alignas _Alignof _Atomic _Bool _Complex _Generic "
      "_Imaginary _Noreturn _Static_assert _Thread_local";
  const struct {
    const char* fileName;
    std::string keywords;
  } cases[] = {
      {"a.c", c11},
      {"a.cpp", std::string(c11) +
                    " alignas alignof and and_eq asm bitand bitor bool catch char16_t char32_t "
                    "class compl constexpr const_cast decltype delete dynamic_cast explicit export "
                    "false friend mutable namespace new noexcept not not_eq nullptr operator or "
                    "or_eq private protected public reinterpret_cast static_assert static_cast "
                    "template this thread_local throw true try typeid typename using virtual "
                    "wchar_t xor xor_eq"},
      {"a.java",
       "abstract assert boolean break byte case catch char class const continue default do double "
       "else enum extends final finally float for goto if implements import instanceof int "
       "interface long native new package private protected public return short static strictfp "
       "super switch synchronized this throw throws transient try void volatile while _ true "
       "false null"},
      {"m.bas",
       "And As Boolean ByRef Byte ByVal Call Case Const Currency Date Declare Dim Do Double Each "
       "Else ElseIf End Enum Erase Error Event Exit False For Friend Function Get Global GoSub "
       "GoTo If Implements In Integer Is Let Lib Like Long Loop Me Mod New Next Not Nothing "
       "Object On Option Optional Or ParamArray Preserve Private Property Public RaiseEvent ReDim "
       "Rem Resume Return Select Set Single Static Step Stop String Sub Then To True Type TypeOf "
       "Until Variant Wend While With WithEvents Xor AddHandler AddressOf Alias AndAlso Catch "
       "CBool CByte CChar CDate CDbl CDec Char CInt Class CLng CObj Continue CSByte CShort CSng "
       "CStr CType CUInt CULng CUShort Decimal Default Delegate DirectCast Finally GetType "
       "GetXMLNamespace Handles Imports Inherits Interface IsNot Module MustInherit MustOverride "
       "MyBase MyClass NameOf Namespace Narrowing NotInheritable NotOverridable Of Operator "
       "OrElse Out Overloads Overridable Overrides Partial Protected ReadOnly RemoveHandler SByte "
       "Shadows Shared Short Structure SyncLock Throw Try TryCast UInteger ULong UShort Using "
       "When Widening WriteOnly"},
      {"u.pas",
       "and array as asm begin case class const constructor destructor dispinterface div do "
       "downto else end except exports file finalization finally for function goto if "
       "implementation in inherited initialization inline interface is label library mod nil not "
       "object of or out packed procedure program property raise record repeat resourcestring "
       "set shl shr string then threadvar to try type unit until uses var while with xor"},
  };
  options().reservedWordDump = 1;
  for (const auto& c : cases) {
    renewRun();
    file(std::string("/src/") + c.fileName, "");
    analyse({std::string("/src/") + c.fileName});
    std::string dump = report("Mz予約語確認.txt");
    std::istringstream words(c.keywords);
    for (std::string word; words >> word;)
      EXPECT_NE(dump.find(", " + word + ",\r\n"), std::string::npos) << c.fileName << " " << word;
  }
}

// A C++ file is read as a C++17 compiler reads it: __cplusplus is
// 201703L. A C file is not, also beside C++ files (its shared header takes
// the C branch); the names each compiler and target defines for itself
// are left to the user.
TEST_F(ShippedSettingsTest, CppFilesSeeTheCppStandardMacro) {
  const char* header =
      "#ifdef __cplusplus\nextern \"C\" {\n#endif\nint shared(int);\n"
      "#ifdef __cplusplus\n}\n#endif\n";
  auto source = [](const std::string& prefix) {
    return "#include \"h.h\"\n"
           "#if __cplusplus >= 201703L\nint " +
           prefix +
           "_standard17() { return 0; }\n#endif\n"
           "#ifndef __cplusplus\nint " +
           prefix +
           "_plainC() { return 0; }\n#endif\n"
           "#if defined(__GNUC__) || defined(_MSC_VER) || defined(__x86_64__)\n"
           "int " +
           prefix + "_compilerOwn() { return 0; }\n#endif\n";
  };
  file("/src/h.h", header);
  file("/src/a.c", source("c"));
  file("/src/a.cpp", source("cpp"));
  const std::vector<std::vector<std::string>> runs = {
      {"/src/a.c", "/src/a.cpp"}, {"/src/a.c"}, {"/src/a.cpp"}};
  for (const std::vector<std::string>& paths : runs) {
    renewRun();
    analyse(paths);
    for (const std::string& path : paths) {
      bool cpp = path == "/src/a.cpp";
      std::string prefix = cpp ? "cpp" : "c";
      EXPECT_EQ(functions().exists(prefix + "_standard17"), cpp) << paths.size() << path;
      EXPECT_EQ(functions().exists(prefix + "_plainC"), !cpp) << paths.size() << path;
      EXPECT_FALSE(functions().exists(prefix + "_compilerOwn")) << paths.size() << path;
    }
  }
}

// bool is a C++ type of the shipped lists: an object returned from a
// function that returns bool is tested as a truth value and calls its
// conversion operator; returned as itself, or as a pointer, it calls none.
TEST_F(ShippedSettingsTest, ObjectsReturnedAsBoolConvert) {
  file("/src/a.cpp",
       "class Ref { public: explicit operator bool() const; };\n"
       "struct Holder { Ref m; };\n"
       "bool byName(Ref& r) { return r; }\n"
       "bool byMember(Holder& h) { return h.m; }\n"
       "bool byPointer(Ref* p) { return p; }\n"
       "Ref itself(Ref& r) { return r; }\n");
  analyse({"/src/a.cpp"});
  auto callees = [&](const char* key) {
    std::string out;
    int n = functions().recordOf(key);
    if (n < 0) return std::string("<none>");
    for (int c : functions().record(n).callees) out += functions().record(c).key + " ";
    return out;
  };
  EXPECT_EQ(callees("byName"), "Ref::bool ");
  EXPECT_EQ(callees("byMember"), "Ref::bool ");
  EXPECT_EQ(callees("byPointer"), "");
  EXPECT_EQ(callees("itself"), "");
}

// The definition list shows, for each file, the settings' macros it
// started with.
TEST_F(ShippedSettingsTest, DefinitionListShowsEachFilesSettingsMacros) {
  options().defineList = 1;
  file("/src/a.c", "");
  file("/src/a.cpp", "");
  analyse({"/src/a.c", "/src/a.cpp"});
  std::string listed = report("Mz一覧define.txt");
  size_t c = listed.find("a.cに含まれる定義内容");
  size_t cpp = listed.find("a.cppに含まれる定義内容");
  ASSERT_NE(c, std::string::npos);
  ASSERT_NE(cpp, std::string::npos);
  ASSERT_LT(c, cpp);
  std::string cSection = listed.substr(c, cpp - c);
  std::string cppSection = listed.substr(cpp);
  EXPECT_NE(cSection.find("__STDC_VERSION__"), std::string::npos);
  EXPECT_EQ(cSection.find("__cplusplus"), std::string::npos);
  EXPECT_NE(cppSection.find("__STDC_VERSION__"), std::string::npos);
  EXPECT_NE(cppSection.find("__cplusplus"), std::string::npos);
}

}  // namespace
