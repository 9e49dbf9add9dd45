#include "scan/condition_evaluator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "context/options.h"
#include "context/source_context.h"
#include "tables/type_table.h"
#include "report/error_log.h"
#include "scan/define_table.h"
#include "context/language_mode.h"
#include "scan/lexical_rules.h"
#include "tests/support/analysis_test.h"

namespace {

class ConditionEvaluatorTest : public AnalysisTest {
 protected:
  void SetUp() override { startFile("a.c"); }
  void type(const char* name, int size) {
    types().registerType(name, TypeTable::kTypedef, size, false, kModeC);
  }
  // Value at line 7, and the log it wrote.
  std::pair<int, std::string> at7(const std::string& text, bool isCondition = true) {
    takeLog();
    int value = evaluateExpressionAt(run().scan().expressions(), text, isCondition, 7).value;
    return {value, takeLog()};
  }
};

TEST_F(ConditionEvaluatorTest, ValuesWithoutMessages) {
  define("A", {"2"});
  define("B", {"(", "A", "+", "1", ")"});
  define("FOO", {"1"});
  type("int", 4);
  type("tm", 36);
  type("long", 8);
  struct Case {
    const char* text;
    int value;
  } cases[] = {
      {"B == 3", 1},  // B -> (A+1) -> (2+1)
      {"B * A", 6},
      {"defined(FOO)", 1},
      {"defined FOO", 1},
      {"defined(BAR)", 0},
      {"defined BAR || 1", 1},
      {"defined ( FOO )", 1},
      {"!defined(FOO)", 0},
      {"sizeof(int) == 4", 1},
      {"sizeof(struct tm)", 36},
      {"sizeof(unsigned long)", 8},
      {"sizeof( int )*2", 8},
      {"sizeof(long *) + sizeof(tm*)", 8},  // pointers: 4 bytes
      {"0x10 == 16", 1},
      {"0x1F", 31},
      {"1/2", 0},  // 0.5 truncates to 0
      {"7/2", 3},
      {"-7/2", -3},
      {"4294967296", 0},  // the value keeps only its low 32 bits
      {"4294967297", 1},
      {"0x100000000", 0},
      {"1 ? 2 : 3", 2},
      {"0 ? 2 : 1 ? 4 : 5", 4},
      {"(A > 1 ? 10 : 20) + 1", 11},
      {"defined(FOO) ? (B ? 7 : 8) : 9", 7},
      {"0 ? 1/0 : 3", 3},
      {"2147483648", std::numeric_limits<int>::min()},
      {"", 0},
  };
  for (const Case& c : cases) {
    auto [value, log] = at7(c.text);
    EXPECT_EQ(value, c.value) << c.text;
    EXPECT_EQ(log, "") << c.text;
  }
}

// A condition is true when its whole value is non-zero, as the compiler
// tests it, past the low 32 bits of the value; a fraction is not.
TEST_F(ConditionEvaluatorTest, TruthOfTheWholeValue) {
  for (auto [text, truth] : {std::pair{"4294967296", true},
                             {"0x100000000", true},
                             {"1/2", false},
                             {"-1", true},
                             {"0", false},
                             {"1 ? 0 : 1", false}}) {
    EXPECT_EQ(evaluateExpressionAt(run().scan().expressions(), text, true, 7).nonZero, truth)
        << text;
  }
  EXPECT_EQ(at7("1 ? 2").second, "    a.c 7: #if､#elif文解析ｴﾗｰ [数式エラー]\n");
  ExpressionTables quiet = run().scan().expressions();
  quiet.quiet = true;
  EXPECT_FALSE(evaluateExpressionAt(quiet, "sizeof(nothing) + x", false, 7).ok);
  EXPECT_EQ(takeLog(), "");
}

TEST_F(ConditionEvaluatorTest, Expansions) {
  define("A", {"2"});
  define("B", {"(", "A", "+", "1", ")"});
  define("EMPTY", {});
  type("int", 4);
  ExpansionStack stack;
  auto condition = [&](const char* text) {
    return expandExpression(run().scan().expressions(), text, stack, 7, true);
  };
  EXPECT_EQ(condition("B==3"), "(2+1)==3");
  EXPECT_EQ(condition("EMPTY"), "");  // a macro defined empty is nothing
  EXPECT_EQ(condition("defined(A)&&sizeof(int)"), "1&&4");
  EXPECT_EQ(condition("0x0 + 0xff"), "0 + 255");
  // An array bound keeps a name it cannot expand, for its message.
  EXPECT_EQ(expandExpression(run().scan().expressions(), "EMPTY", stack, 7, false), "EMPTY");
  EXPECT_TRUE(stack.empty());
}

// Conditions of C files read as the compiler reads them: constants with
// suffixes and in every base, character constants, function-like macros
// with their arguments and "##", and a name left after expansion as 0.
TEST_F(ConditionEvaluatorTest, CConditionsAsTheCompilerReadsThem) {
  define("A", {"2"});
  define("FITS", {"(", "(", "x", ")", "<", "5", ")"}, {"(", "x", ")"});
  define("SUM", {"(", "a", ")", "+", "(", "b", ")"}, {"(a, b)"});
  define("CAT", {"a", "##", "b"}, {"(a,b)"});
  define("AB", {"1"});
  define("EMPTY", {});
  struct Case {
    const char* text;
    int value;
  } cases[] = {
      {"'A'==65", 1},
      {"'\\n'==10", 1},
      {"'\\x41'==65", 1},
      {"'\\0'==0", 1},
      {"'ab'==24930", 1},
      {"'\\377'<0", 1},
      {"0xffffffffUL==4294967295", 1},
      {"10U==10", 1},
      {"10ul+1LL==11", 1},
      {"010==8", 1},
      {"0b101==5", 1},
      {"0X1F==31", 1},
      {"FITS(3)", 1},
      {"FITS(7)", 0},
      {"FITS (A)", 1},
      {"SUM(2,5)==7", 1},
      {"SUM((1+2),3)==6", 1},
      {"CAT(A,B)==1", 1},
      {"FITS", 0},
      {"UNKNOWN_NAME", 0},
      {"!defined(X)||X<199901L", 1},
      {"__has_include(<stdio.h>)||2", 1},
      {"EMPTY+1", 1},
      {"true", 0},
  };
  for (const Case& c : cases) {
    auto [value, log] = at7(c.text);
    EXPECT_EQ(value, c.value) << c.text;
    EXPECT_EQ(log, "") << c.text;
  }
}

// C++ knows true and false. VB and Delphi read their conditions in their
// own syntax: a name nothing defined is 0 (VB's Empty), True is -1, = and
// <> compare, Not And Or (not and or, div) are operators, Delphi's
// Defined(X) and Declared(X) ask the #define table.
TEST_F(ConditionEvaluatorTest, NamesLeftOverByLanguage) {
  startFile("a.cpp");
  EXPECT_EQ(at7("true&&!false").first, 1);
  define("LEVEL", {"2"});
  struct Case {
    const char* file;
    const char* text;
    bool value;
  } cases[] = {{"m.bas", "Win32", false},
               {"m.bas", "Not DEBUG", true},
               {"m.bas", "True And Not False", true},
               {"m.bas", "LEVEL = 2", true},
               {"m.bas", "LEVEL <> 2", false},
               {"m.bas", "LEVEL >= 3 Or DEBUG", false},
               {"m.bas", "LEVEL Mod 2 = 0", true},
               {"m.bas", "not debug and true", true},
               {"u.pas", "Win32", false},
               {"u.pas", "defined(LEVEL)or defined(X)", true},
               {"u.pas", "not Defined(LEVEL)", false},
               {"u.pas", "Declared(X)", false},
               {"u.pas", "FPC_FULLVERSION>=30000", false},
               {"u.pas", "(7 div 2)=3", true}};
  for (const Case& c : cases) {
    startFile(c.file);
    auto [value, log] = at7(c.text);
    EXPECT_EQ(value != 0, c.value) << c.file << ": " << c.text;
    EXPECT_EQ(log, "") << c.file << ": " << c.text;
  }
}

TEST_F(ConditionEvaluatorTest, EachMessage) {
  define("X", {"Y"});
  define("Y", {"X"});
  define("EMPTY", {});
  struct Case {
    const char* text;
    bool isCondition;
    const char* log;
  } cases[] = {
      {"X", true, "  a.c 7 : #if文の解析において無限ﾙｰﾌﾟに陥りました\n"},
      {"1 + Y", true, "  a.c 7 : #if文の解析において無限ﾙｰﾌﾟに陥りました\n"},
      {"defined\tX", true, "  a.c 7 : #if defined文の解析においてｴﾗｰが発生しました\n"},
      {"defined", true, "  a.c 7 : #if defined文の解析においてｴﾗｰが発生しました\n"},
      {"sizeof int", true,
       "  a.c 7 : 数式の解析においてｴﾗｰが発生しました(sizeof演算子)\n  input[sizeof int]\n"},
      {"sizeof(nosuch)", true,
       "  a.c 7 : #if文解析ｴﾗｰ(sizeof演算子で不明な型[nosuch]が使用されています)\n"},
      {"(1", true, "    a.c 7: #if､#elif文解析ｴﾗｰ [括弧数の不整合]\n"},
      {"1/0", true, "    a.c 7: #if､#elif文解析ｴﾗｰ \n"},
      {"sqrt(0-1)", false, "    a.c 7: ｽﾀｯｸｻｲｽﾞ計測ｴﾗｰ[数式エラー]\n"},
      {"(1", false, "    a.c 7: ｽﾀｯｸｻｲｽﾞ計測ｴﾗｰ[括弧数の不整合]\n"},
      {"N", false, "    a.c 7: ｽﾀｯｸｻｲｽﾞ計測ｴﾗｰ[不明な文字][N]\n"},
  };
  for (const Case& c : cases) {
    auto [value, log] = at7(c.text, c.isCondition);
    EXPECT_EQ(value, 0) << c.text;
    EXPECT_EQ(log, c.log) << c.text;
  }
}

// A condition is reported on the line before the current one (its line
// break has been counted); a stack-size expression on the current line.
TEST_F(ConditionEvaluatorTest, LineOfTheMessage) {
  for (int k = 0; k < 4; ++k) context().countLine();  // line 5
  takeLog();
  EXPECT_EQ(evaluateCondition(run().scan().expressions(), "(1", true), 0);
  EXPECT_EQ(takeLog(), "    a.c 4: #if､#elif文解析ｴﾗｰ [括弧数の不整合]\n");
  takeLog();
  EXPECT_EQ(evaluateCondition(run().scan().expressions(), "Q", false), 0);
  EXPECT_EQ(takeLog(), "    a.c 5: ｽﾀｯｸｻｲｽﾞ計測ｴﾗｰ[不明な文字][Q]\n");
  EXPECT_EQ(evaluateCondition(run().scan().expressions(), "2*3", false), 6);
}

TEST_F(ConditionEvaluatorTest, LowBitsOfAnyDouble) {
  const double inf = std::numeric_limits<double>::infinity();
  struct Case {
    double in;
    int out;
  } cases[] = {
      {0.99, 0},
      {-0.99, 0},
      {1.5, 1},
      {-1.5, -1},
      {-1.0, -1},
      {4294967297.0, 1},
      {-4294967297.0, -1},
      {1e300, 0},
      {-1e300, 0},
      {inf, 0},
      {-inf, 0},
      {std::nan(""), 0},
      {9007199254740993.0, 0},  // 2^53 + 1 rounds to 2^53
  };
  for (const Case& c : cases) EXPECT_EQ(lowBitsOf(c.in), c.out) << c.in;
}

// ---------------------------------------------------------------------------
// Hostile input

TEST_F(ConditionEvaluatorTest, LoopThroughTenMacros) {
  for (int i = 0; i < 11; ++i)
    define("M" + std::to_string(i), {"M" + std::to_string((i + 1) % 11)});
  auto [value, log] = at7("M3 + 1");
  EXPECT_EQ(value, 0);
  EXPECT_EQ(log, "  a.c 7 : #if文の解析において無限ﾙｰﾌﾟに陥りました\n");
}

TEST_F(ConditionEvaluatorTest, LongChainIsCutWithoutDeepCalls) {
  const int n = 20000;
  for (int i = 0; i < n; ++i) define("C" + std::to_string(i), {"C" + std::to_string(i + 1)});
  define("C" + std::to_string(n), {"1"});
  auto [value, log] = at7("C0");
  EXPECT_EQ(value, 0);
  EXPECT_EQ(log, "  a.c 7 : #if文の解析において無限ﾙｰﾌﾟに陥りました\n");
  // A chain within the depth bound expands whole.
  EXPECT_EQ(at7("C" + std::to_string(n - 100)).first, 1);
}

TEST_F(ConditionEvaluatorTest, DoublingMacrosStopAtTheSizeBound) {
  // D0 -> D1+D1 -> ... : 2^40 copies if nothing stopped it.
  for (int i = 0; i < 40; ++i) {
    std::string next = "D" + std::to_string(i + 1);
    define("D" + std::to_string(i), {next, "+", next});
  }
  define("D40", {"1"});
  auto [value, log] = at7("D0");
  EXPECT_EQ(value, 0);
  EXPECT_EQ(log, "  a.c 7 : #if文の解析において無限ﾙｰﾌﾟに陥りました\n");
  EXPECT_EQ(at7("D30").first, 1024);  // 2^10 ones
}

TEST_F(ConditionEvaluatorTest, LongConditionAndLongBody) {
  std::string sum = "1";
  while (sum.size() < 100000) sum += "+1";
  auto [value, log] = at7(sum);
  EXPECT_EQ(value, static_cast<int>(sum.size() / 2 + 1));
  EXPECT_EQ(log, "");
  std::vector<std::string> body;
  for (int i = 0; i < 100000; ++i) body.push_back(i ? "+3" : "3");
  define("BIG", body);
  EXPECT_EQ(at7("BIG").first, 300000);
}

}  // namespace
