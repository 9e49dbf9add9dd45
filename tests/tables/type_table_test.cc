#include "tables/type_table.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>

#include "context/options.h"
#include "context/source_context.h"
#include "report/error_log.h"
#include "context/language_mode.h"
#include "scan/lexical_rules.h"
#include "tests/support/analysis_test.h"

namespace {

using FindMode = TypeTable::FindMode;

class Types : public AnalysisTest {
 protected:
  void SetUp() override { mode(kModeC); }
  // The current file's language (the context takes it while no file is open).
  void mode(int m) {
    context().reset();
    context().setLanguageMask(m);
  }
  TypeTable& base() { return baseTypes(); }
  TypeTable& work() { return types(); }
  std::string sizeText(TypeTable& t, const char* name) {
    TypeTable::Size s = t.sizeOf(name);
    return std::to_string(s.bytes) + (s.inexact ? "?" : "");
  }
  // Read without a lookup, which would mark the type itself.
  bool used(TypeTable& t, const char* name) {
    for (size_t i = 0; i < t.size(); ++i)
      if (t.at(i).name == name) return (t.at(i).flags & TypeTable::kUsed) != 0;
    return false;
  }
};

TEST_F(Types, BuiltInSizesPerLanguage) {
  base().loadBuiltIn();
  struct Case {
    int mode;
    const char* name;
    const char* size;
  } cases[] = {
      {kModeC, "char", "1"},
      {kModeC, "short", "2"},
      {kModeC, "Integer", "0"},
      {kModeCOrCpp, "long", "4"},
      {kModeCpp, "int", "0"},
      {kModeVb, "Integer", "2"},
      {kModeVb, "Variant", "44"},
      {kModeVb, "int", "0"},
      {kModeDelphi, "Integer", "4"},
      {kModeDelphi, "Extended", "10"},
      {kModeDelphi, "PWordArray", "4"},
      {kModeJava, "int", "0"},
  };
  for (const Case& c : cases) {
    mode(c.mode);
    EXPECT_EQ(sizeText(base(), c.name), c.size) << c.name << " in " << c.mode;
  }
}

TEST_F(Types, FoldedRunMergesTheSpellingsOfOneName) {
  setCaseInsensitiveNames(true);
  base().loadBuiltIn();
  mode(kModeDelphi);
  EXPECT_EQ(sizeText(base(), "DOUBLE"), "8");
  EXPECT_EQ(sizeText(base(), "single"), "4");
  mode(kModeVb);
  EXPECT_EQ(sizeText(base(), "single"), "2");
  EXPECT_EQ(takeLog(), "");
}

TEST_F(Types, ASecondSizeIsRefused) {
  base().registerType("INT16", TypeTable::kTypedef, 2, false, kModeC);
  base().registerType("INT16", TypeTable::kTypedef, 2, false, kModeC);
  EXPECT_EQ(takeLog(), "");
  base().registerType("INT16", TypeTable::kTypedef, 4, false, kModeC);
  EXPECT_EQ(sizeText(base(), "INT16"), "2");
  EXPECT_EQ(takeLog(),
            "(内部ｴﾗｰ)型のｻｲｽﾞは既に決定済みです。型名[INT16] 現在のｻｲｽﾞ[2] 新規ｻｲｽﾞ[4]\n");
}

TEST_F(Types, RegistrationMergesKindsLanguagesAndEmptySlots) {
  base().registerType("X", TypeTable::kTypedef, 0, false, kModeC);
  base().registerType("X", TypeTable::kClass, 8, false, kModeCpp);
  base().registerType("X", TypeTable::kTypedef, 0, true, kModeC);
  base().registerType("X", TypeTable::kTypedef, 2, false, kModeC);
  const TypeRecord& x = *base().findType("X", FindMode::kAnyLanguage);
  EXPECT_EQ(x.kinds, TypeTable::kTypedef | TypeTable::kClass);
  EXPECT_EQ(x.languages, kModeCOrCpp);
  EXPECT_EQ(x.sizes[0], 2);
  EXPECT_EQ(x.sizes[1], 8);
  // Inexact once, inexact for good.
  EXPECT_EQ(x.flags & TypeTable::kInexact, TypeTable::kInexact);
}

TEST_F(Types, TwoBitModeFillsBothSlotsAndReadsTheFirst) {
  mode(kModeCOrCpp);
  base().registerType("S", TypeTable::kStructure, 12, false, kModeCOrCpp);
  EXPECT_EQ(sizeText(base(), "S"), "12");
  mode(kModeCpp);
  EXPECT_EQ(sizeText(base(), "S"), "12");
  mode(kModeC);
  EXPECT_EQ(sizeText(base(), "S"), "12");
}

TEST_F(Types, LookupKeysAndModes) {
  base().registerType("DWORD", TypeTable::kTypedef, 4, false, kModeC);
  base().registerType("vector", TypeTable::kClass, 0, false, kModeCpp);
  base().registerType("PFN", TypeTable::kFunctionPointer, 4, false, kModeC);
  struct Case {
    const char* name;
    FindMode findMode;
    bool found;
  } cases[] = {
      {"DWORD", FindMode::kCurrentLanguage, true},
      {"typedef DWORD", FindMode::kCurrentLanguage, true},
      {"dword", FindMode::kCurrentLanguage, false},
      {"vector<int>", FindMode::kCurrentLanguage, false},  // a C++ type in a C file
      {"vector<int>", FindMode::kAnyLanguage, true},
      {"PFN", FindMode::kFunctionPointer, true},
      {"DWORD", FindMode::kFunctionPointer, false},
      {"", FindMode::kAnyLanguage, false},
      {"<int>", FindMode::kAnyLanguage, false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(base().findType(c.name, c.findMode) != nullptr, c.found) << c.name;
  EXPECT_EQ(base().kindOf("vector"), TypeTable::kClass);
  EXPECT_EQ(base().kindOf("nothing"), 0);
}

TEST_F(Types, UnknownAndInexactSizes) {
  base().registerType("MYINT", TypeTable::kTypedef, 0, true, kModeC);
  EXPECT_EQ(sizeText(base(), "MYINT"), "0?");
  EXPECT_EQ(sizeText(base(), "nothing"), "0");
}

TEST_F(Types, OnlyTheAnalysisTableMarksUsedTypes) {
  base().loadBuiltIn();
  work().copyFrom(base());
  base().isType("int");
  EXPECT_FALSE(used(base(), "int"));

  work().setRegistrationMode(true);
  work().isType("int");
  EXPECT_FALSE(used(work(), "int"));
  work().setRegistrationMode(false);

  work().findType("Integer", FindMode::kAnyLanguage);  // a VB type in a C file
  EXPECT_FALSE(used(work(), "Integer"));
  work().isTypeQuietly("char");
  EXPECT_FALSE(used(work(), "char"));
  work().sizeOf("int");
  EXPECT_TRUE(used(work(), "int"));
}

TEST_F(Types, PerFileCopies) {
  base().loadBuiltIn();
  base().setPointerSize(8);
  work().copyFrom(base());
  work().registerType("DWORD", TypeTable::kTypedef, 4, false, kModeC);
  EXPECT_TRUE(work().isType("DWORD"));
  EXPECT_FALSE(base().isType("DWORD"));
  EXPECT_EQ(work().pointerSize(), 8);

  // End of a C file: the analysis table is emptied; the next file starts
  // from the settings again.
  work().endFile(kModeC);
  EXPECT_EQ(work().size(), 0u);
  work().copyFrom(base());
  EXPECT_FALSE(work().isType("DWORD"));
  EXPECT_TRUE(work().isType("int"));
}

// Every file of the C family starts from a copy of the same table: the
// copy is that table as it stands, whatever the last file changed in its
// copy and whether or not the table itself changed in between.
TEST_F(Types, EachCopyIsTheTableAsItStands) {
  auto records = [](const TypeTable& t) {
    std::ostringstream text;
    for (size_t i = 0; i < t.size(); ++i) {
      const TypeRecord& r = t.at(i);
      text << r.name << ' ' << r.flags << ' ' << r.kinds << ' ' << r.languages;
      for (int size : r.sizes) text << ' ' << size;
      text << '\n';
    }
    return text.str();
  };
  base().registerType("int", TypeTable::kTypedef, 4, false, kModeC);
  base().registerType("BYTE", TypeTable::kTypedef, 1, false, kModeC);
  TypeTable other(options(), context(), false);
  other.registerType("WORD", TypeTable::kTypedef, 2, false, kModeC);
  const std::function<void()> files[] = {
      [&] { work().isType("int"); },
      [&] { work().registerType("int", TypeTable::kStructure, 0, true, kModeVb); },
      [&] { work().registerType("DWORD", TypeTable::kTypedef, 4, false, kModeC); },
      [&] { base().registerType("LONG", TypeTable::kTypedef, 4, false, kModeC); },
      [&] { base().registerType("BYTE", TypeTable::kStructure, 0, false, kModeC); },
      [&] { work().copyFrom(other); },
  };
  work().copyFrom(base());
  for (const auto& file : files) {
    file();
    work().endFile(kModeC);
    work().copyFrom(base());
    EXPECT_EQ(records(work()), records(base()));
  }
  // Types registered into the emptied table before the copy.
  work().endFile(kModeC);
  for (const char* name : {"A1", "A2", "A3", "A4"})
    work().registerType(name, TypeTable::kTypedef, 1, false, kModeC);
  work().copyFrom(base());
  EXPECT_EQ(records(work()), records(base()));
}

TEST_F(Types, VbAndDelphiKeepTheirTypesAcrossFiles) {
  mode(kModeVb);
  work().registerType("Point", TypeTable::kStructure, 8, false, kModeVb);
  work().isType("Point");
  work().endFile(kModeVb);
  EXPECT_FALSE(used(work(), "Point"));
  EXPECT_TRUE(work().isType("Point"));
}

TEST_F(Types, PointerSizeUntilTheSettingsGiveOne) {
  EXPECT_EQ(base().pointerSize(), 4);
  base().loadBuiltIn();
  work().copyFrom(base());
  EXPECT_TRUE(work().registerMacroType("PSTR", "char*"));
  EXPECT_EQ(sizeText(work(), "PSTR"), "4");
}

TEST_F(Types, MacroBodiesThatNameTypes) {
  base().loadBuiltIn();
  struct Case {
    const char* body;
    bool registered;
    const char* size;
  } cases[] = {
      {"unsigned long", true, "4"}, {"char*", true, "4"},    {"const short", true, "2"},
      {"short * *", true, "4"},     {"static", true, "0?"},  {"", false, "0"},
      {"  ", false, "0"},           {"10", false, "0"},      {"int x", false, "0"},
      {"f()", false, "0"},          {"Integer", false, "0"},
  };
  int n = 0;
  for (const Case& c : cases) {
    std::string name = "T" + std::to_string(n++);
    work().copyFrom(base());
    EXPECT_EQ(work().registerMacroType(name, c.body), c.registered) << c.body;
    EXPECT_EQ(sizeText(work(), name.c_str()), c.size) << c.body;
  }
}

}  // namespace
