#include "scan/define_table.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <map>
#include <random>
#include <sstream>

#include "context/file_name_pool.h"
#include "context/options.h"
#include "context/source_context.h"
#include "tables/type_table.h"
#include "report/error_log.h"
#include "context/language_mode.h"
#include "scan/lexical_rules.h"
#include "scan/reserved_word_table.h"
#include "tests/support/analysis_test.h"

namespace {

using ParamState = DefineTable::ParamState;

class DefineTableTest : public AnalysisTest {
 protected:
  void SetUp() override { context().setLanguageMask(kModeC); }
  void defineFunction(const std::string& name, const std::vector<std::string>& params,
                      const std::vector<std::string>& body) {
    ASSERT_TRUE(define(name, body, params));
  }
  // "name params=body" of every entry, in table order.
  std::string listing() {
    std::string out;
    for (size_t i = 0; i < defines().size(); ++i) {
      const DefineEntry& e = defines().at(i);
      out += e.name + e.params + "=" + e.body + (e.complete ? "" : "(open)") + ";";
    }
    return out;
  }
};

TEST_F(DefineTableTest, BodiesJoinWordsWithOneBlankAndKeepDelimitersTight) {
  struct Case {
    std::vector<std::string> tokens;
    const char* body;
  } cases[] = {
      {{"1"}, "1"},
      {{"foo", "bar"}, "foo bar"},
      {{"a", "+", "b"}, "a+b"},
      // Blanks delivered as tokens (whitespace kept for the function
      // details) change nothing but between a word and '(', where the reader
      // delivers them in any case.
      {{" ", "foo", " ", "bar", " "}, "foo bar"},
      {{"(", "x", ")", " ", "x"}, "(x)x"},
      {{"a", " ", "+", " ", "b"}, "a+b"},
      {{"f", " ", "(", "x", ")", " ", "+", " ", "(", "y", ")"}, "f (x)+(y)"},
      {{"1", "\r"}, "1"},
      {{"(", "(", "a", ")", "+", "(", "b", ")", ")"}, "((a)+(b))"},
      {{}, ""},
  };
  int n = 0;
  for (const Case& c : cases) {
    std::string name = "M" + std::to_string(n++);
    ASSERT_TRUE(define(name, c.tokens));
    EXPECT_EQ(defines().bodyOf(name), c.body) << name;
  }
}

TEST_F(DefineTableTest, ContinuedLinesGoOnWithTheSameBody) {
  // "#define S a + \" / "b" and "#define T foo \" / "bar": the processor
  // drops the backslash and its line break, the next line's tokens follow.
  ASSERT_TRUE(defines().beginDefine("S"));
  for (const char* token : {"a", "+", "b", "\n"}) defines().defineBodyToken(token);
  ASSERT_TRUE(defines().beginDefine("T"));
  for (const char* token : {"foo", "bar", "\n"}) defines().defineBodyToken(token);
  EXPECT_EQ(listing(), "S=a+b;T=foo bar;");
}

TEST_F(DefineTableTest, ParameterListsAsTheirTokensCame) {
  ASSERT_TRUE(defines().beginDefine("F"));
  std::vector<ParamState> states;
  for (const char* token : {"(", "a", ",", "b", ")"})
    states.push_back(defines().defineParamToken(token));
  EXPECT_EQ(states,
            (std::vector<ParamState>{ParamState::kMore, ParamState::kMore, ParamState::kMore,
                                     ParamState::kMore, ParamState::kClosed}));
  for (const char* token : {"(", "(", "a", ")", "+", "(", "b", ")", ")", "\n"})
    defines().defineBodyToken(token);
  defineFunction("G", {"(", "x", ",", " ", "y", ")"}, {"x"});
  defineFunction("H", {"(", "p", "(", ")", ")"}, {"p"});
  EXPECT_EQ(listing(), "F(a,b)=((a)+(b));G(x, y)=x;H(p())=p;");
}

TEST_F(DefineTableTest, UnclosedParameterListEndsWithoutBody) {
  ASSERT_TRUE(defines().beginDefine("P"));
  EXPECT_EQ(defines().defineParamToken("("), ParamState::kMore);
  EXPECT_EQ(defines().defineParamToken("x"), ParamState::kMore);
  EXPECT_EQ(defines().defineParamToken("\r"), ParamState::kMore);
  EXPECT_EQ(defines().defineParamToken("\n"), ParamState::kAbandoned);
  EXPECT_EQ(defines().defineParamToken(")"), ParamState::kAbandoned);
  defines().defineBodyToken("late");
  EXPECT_EQ(listing(), "P(x=;");
}

TEST_F(DefineTableTest, TokensAfterTheLineBreakAreIgnored) {
  ASSERT_TRUE(define("A", {"1"}));
  defines().defineBodyToken("2");
  defines().defineBodyToken("\n");
  EXPECT_EQ(listing(), "A=1;");
}

TEST_F(DefineTableTest, RedefinitionKeepsTheFirstAndIsLogged) {
  ASSERT_TRUE(define("A", {"1"}));
  EXPECT_FALSE(define("A", {"2"}));
  EXPECT_EQ(listing(), "A=1;");
  EXPECT_EQ(takeLog(), "  Aは既に登録済みです[define]\n");
}

TEST_F(DefineTableTest, UndefineRemovesOrReports) {
  define("A", {"1"});
  define("B", {"2"});
  defines().undefine("A");
  defines().undefine("NOPE");
  EXPECT_EQ(listing(), "B=2;");
  EXPECT_FALSE(defines().isDefined("A"));
  EXPECT_EQ(takeLog(), "  NOPEは定義されていません[undef]\n");
}

TEST_F(DefineTableTest, SortedUnderEitherComparison) {
  for (const char* name : {"b", "a", "C"}) define(name, {"1"});
  EXPECT_EQ(listing(), "C=1;a=1;b=1;");
  EXPECT_FALSE(defines().isDefined("B"));
  DefineTable::Lookup at = defines().findDefine("aa");
  EXPECT_FALSE(at.found);
  EXPECT_EQ(at.index, 2u);

  defines().clear();
  setCaseInsensitiveNames(true);
  for (const char* name : {"b", "a", "C"}) define(name, {"1"});
  EXPECT_EQ(listing(), "a=1;b=1;C=1;");
  EXPECT_TRUE(defines().isDefined("B"));
}

TEST_F(DefineTableTest, VbConstantsCollideWhateverTheCase) {
  setCaseInsensitiveNames(true);
  // A constant is its name and one value token.
  ASSERT_TRUE(defines().beginDefine("MAX"));
  defines().defineBodyToken("10");
  EXPECT_FALSE(defines().beginDefine("max"));
  // The refused declaration's value must not reach the first constant.
  defines().defineBodyToken("20");
  EXPECT_EQ(defines().bodyOf("Max"), "10");
  EXPECT_EQ(takeLog(), "  maxは既に登録済みです[define]\n");
}

TEST_F(DefineTableTest, TypeMacrosInCAndCppFiles) {
  baseTypes().loadBuiltIn();
  types().copyFrom(baseTypes());
  define("PCHAR", {"char", "*"});
  define("ULONG", {"unsigned", "long"});
  define("N", {"10"});
  define("GUARD_H", {});
  define("CALL", {"f", "(", ")"});
  TypeTable& working = types();
  EXPECT_EQ(working.sizeOf("PCHAR").bytes, TypeTable::kDefaultPointerSize);
  EXPECT_EQ(working.sizeOf("ULONG").bytes, 4);
  EXPECT_FALSE(working.isType("N"));
  EXPECT_FALSE(working.isType("GUARD_H"));
  EXPECT_FALSE(working.isType("CALL"));
}

TEST_F(DefineTableTest, NoTypeMacrosOutsideCAndCpp) {
  context().setLanguageMask(kModeVb);
  baseTypes().loadBuiltIn();
  types().copyFrom(baseTypes());
  define("PINT", {"Integer", "*"});
  EXPECT_EQ(types().findType("PINT", TypeTable::FindMode::kAnyLanguage), nullptr);
}

TEST_F(DefineTableTest, EntriesRememberTheirFile) {
  context().push("/src/a.c");
  define("A", {"1"});
  EXPECT_EQ(fileNames().name(defines().at(0).fileId), "a.c");
}

TEST_F(DefineTableTest, StartingStateReplacesEveryEntry) {
  define("FROM_SETTINGS", {"1"});
  std::vector<DefineEntry> starting = defines().definitions();
  defines().clear();
  define("LOCAL", {"2"});
  defines().setStartingState(starting);
  EXPECT_EQ(listing(), "FROM_SETTINGS=1;");
  // The copy does not share the table's state: a later definition in the
  // table leaves the copy alone.
  define("LATER", {"3"});
  EXPECT_EQ(starting.size(), 1u);
}

TEST_F(DefineTableTest, AnyOrderOfDefinitionsAndRemovalsKeepsTheTableInNameOrder) {
  // A model of what the table must hold: the first body of each name still
  // defined. Enough removals to make the table drop its removed entries.
  attachErrorLog(nullptr);
  std::map<std::string, std::string> model;
  std::mt19937 random(5);
  for (int step = 0; step < 20000; ++step) {
    std::string name = "N" + std::to_string(random() % 3000);
    if (random() % 3 == 0) {
      defines().undefine(name);
      model.erase(name);
      continue;
    }
    std::string body = std::to_string(step);
    if (define(name, {body.c_str()})) model.emplace(name, body);
  }
  ASSERT_EQ(defines().size(), model.size());
  size_t i = 0;
  for (const auto& [name, body] : model) {
    EXPECT_EQ(defines().at(i).name, name);
    EXPECT_EQ(defines().at(i++).body, body);
    EXPECT_EQ(defines().bodyOf(name), body);
  }
  std::vector<DefineEntry> copy = defines().definitions();
  defines().setStartingState(copy);
  EXPECT_EQ(defines().size(), model.size());
  EXPECT_EQ(defines().bodyOf(model.begin()->first), model.begin()->second);
}

}  // namespace
