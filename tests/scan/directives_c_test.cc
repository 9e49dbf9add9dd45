// C-family directives read through the source reader: which lines stay
// live, what the #define table holds, the counters and the log lines.
#include <gtest/gtest.h>

#include "parsers/languages.h"
#include "tables/type_table.h"
#include "scan/define_table.h"
#include "context/language_mode.h"
#include "scan/reserved_word_table.h"
#include "tables/function_table.h"
#include "tests/scan/directive_scan.h"

namespace {

using directive_test::Counts;
using directive_test::DirectiveScanTest;

struct LiveCase {
  const char* text;
  const char* live;
  const char* log;
};

class CDirectives : public DirectiveScanTest {
 protected:
  template <size_t N>
  void expectLive(const LiveCase (&cases)[N]) {
    for (const LiveCase& c : cases) {
      Scan s = scan("a.c", c.text);
      EXPECT_EQ(s.live, c.live) << c.text;
      EXPECT_EQ(s.log, c.log) << c.text;
    }
  }
};

TEST_F(CDirectives, GroupsAndBranches) {
  const LiveCase cases[] = {
      // The inner group of a switched-off region is counted, not evaluated.
      {"#if 0\na\n#if 1\nb\n#endif\nc\n#else\nd\n#endif\ne", "d|<lf>|e", ""},
      // Only the first true branch is live; later conditions are not
      // evaluated (C would be an unknown word).
      {"#if 0\na\n#elif 1\nb\n#elif C\nc\n#else\nd\n#endif\n", "b|<lf>", ""},
      {"#if 0\na\n#elif 0\nb\n#else\nd\n#endif\n", "d|<lf>", ""},
      {"#if 1\na\n#else\nb\n#endif\n", "a|<lf>", ""},
      {"#if 1\na\n#elif 1\nb\n#else\nc\n#endif\n", "a|<lf>", ""},
      {"#ifdef X\na\n#endif\n#ifndef X\nb\n#endif\n", "b|<lf>", ""},
      {"#define X\n#ifdef X\na\n#else\nb\n#endif\n", "a|<lf>", ""},
      // Directives of every kind nested in switched-off regions.
      {"#if 0\n#ifdef A\n#elif 1\nx\n#else\ny\n#endif\n#ifndef B\nz\n#endif\n#endif\nw", "w", ""},
      {"#if 0\n#define D 1\n#endif\n#ifdef D\nx\n#endif\n", "", ""},
      {"#ifdef NONE\n#if 1\n#if 1\n#endif\n#endif\n#elif 1\nq\n#endif\n", "q|<lf>", ""},
      // A switched-off #error is a guard, not a finding.
      {"#if 0\n#error no\n#endif\nk", "k", ""},
      // An unknown directive is skipped whole, on and off, over its '\'
      // continuations: a keyword later on its line is text.
      {"#foo define X 1\n#ifdef X\ny\n#endif\n", "", ""},
      {"#warning if this \\\n include that\nz\n", "z|<lf>", ""},
      {"#if 0\n#warning if\n#endif\nz\n", "z|<lf>", ""},
      {"# 12 \"a.c\"\nz\n", "z|<lf>", ""},
      // Character constants of a condition reach it whole.
      {"#if 'A' == 65 && '\\n' == 10\nc\n#endif\n", "c|<lf>", ""},
      {"#import <x.tlb> \\\n more\nv", "v", ""},
      // #else and #elif without a group change nothing.
      {"#else\nm\n#elif 0\nn", "m|<lf>|n", ""},
      // The settings data file's words are nothing in a source.
      {"#MZ設定Mode 型情報\n#ifdef MZ_C\nx\n#endif\n#ifndef MZ_C\ny\n#endif\n", "y|<lf>", ""},
      // Spaces around the '#' and a condition built from macros.
      {"#define A 2\n#define B (A+1)\n  #  if B == 3\nt\n#endif\n", "t|<lf>", ""},
      {"#if defined(A) || defined B\n1\n#else\n2\n#endif\n", "2|<lf>", ""},
  };
  expectLive(cases);
}

// A condition continued with '\' goes on over the next line, which is
// then no code of its own; a '\' inside a line stays in the condition.
TEST_F(CDirectives, ConditionsContinueOverLines) {
  const LiveCase cases[] = {
      {"#if defined A \\\n    || 1\nx\n#endif\n", "x|<lf>", ""},
      {"#if 1 \\\n && 0\nx\n#else\ny\n#endif\n", "y|<lf>", ""},
      {"#if 0\n#elif 0 || \\\n 1\nz\n#endif\n", "z|<lf>", ""},
      {"#if 1 \\\n\\\n  + 1\nw\n#endif\n", "w|<lf>", ""},
  };
  expectLive(cases);
}

TEST_F(CDirectives, MessagesOfGroups) {
  const LiveCase cases[] = {
      // A second #endif: the rest is not live, and the end of the file says so.
      {"#if 1\n#endif\n#endif\nx\n", "",
       "    a.c 3: #endifの数が#if､#ifdefの数を上回りました。\n"
       "  [a.c]で内部ｴﾗｰが発生しました。(ｺﾒﾝﾄ部)\n"},
      {"#if 0\na\n", "",
       "  [a.c]で#if文の数が合いません。\n    #ifdef文の数 = 1\n"
       "    #無効な位置にある#ifdef文の数 = 0\n"},
      {"#if 0\n#if 1\n#ifdef Q\n", "",
       "  [a.c]で#if文の数が合いません。\n    #ifdef文の数 = 1\n"
       "    #無効な位置にある#ifdef文の数 = 2\n"},
      // A taken group left open: also the output-count line.
      {"#if 1\na\n", "a|<lf>",
       "  [a.c]で#if文の数が合いません。\n    #ifdef文の数 = 1\n"
       "    #無効な位置にある#ifdef文の数 = 0\n  [a.c]で#if文解析出力数に不合理が発生しました。\n"},
      {"\n#ifdef (X)\nb\n#endif\n", "<lf>",
       "    a.c 2: #ifdef文で不正な文字を検出しました。  \n不正な文字 = \"(\"  \n"},
      // A name no macro stands for is 0, as the compiler reads it.
      {"#if NOPE\na\n#else\nb\n#endif\n", "b|<lf>", ""},
      {"#if 0\n#elif (1\nb\n#endif\n", "", "    a.c 2: #if､#elif文解析ｴﾗｰ [括弧数の不整合]\n"},
      {"#error stop\nx\n", "x|<lf>", "    a.c 1: #errorを検出しました。\n"},
  };
  expectLive(cases);
}

// An included header has a reader of its own: a fresh reader starts live
// with an empty stack whatever the last file left.
TEST_F(CDirectives, EachFileStartsLive) {
  openReader("a.c");
  read("#if 0\n");
  context().pop();
  openReader("b.c");
  Scan s = read("x\n");
  EXPECT_EQ(s.live, "x|<lf>");
  EXPECT_EQ(s.log, "");
}

TEST_F(CDirectives, DisabledLineCounters) {
  struct Case {
    const char* text;
    Counts counts;  // total, exec, blank, comment, disabled, disabled code, preprocessor
  } cases[] = {
      // Disabled: the code line, the empty line and the comment line; the
      // directive lines that switch the region off and on are not.
      {"#if 0\nint a;\n\n// c\n#endif\nb;\n", {7, 1, 2, 1, 3, 1, 2}},
      // A literal is no code of the disabled line, though the line is not blank.
      {"#if 0\n\"s\"\n#endif\n", {4, 0, 1, 0, 1, 0, 2}},
      {"#ifdef X\na;\n#else\nb;\n#endif\n", {6, 1, 1, 0, 1, 1, 3}},
      // The nested directive lines are preprocessor lines, not disabled.
      {"#if 0\n#if 1\nq;\n#endif\n#endif\n", {6, 0, 1, 0, 1, 1, 4}},
      // A last line without a line break inside a switched-off region.
      {"#if 0\nx", {2, 0, 0, 0, 1, 1, 1}},
      // #error: the rest of its line is a comment.
      {"#error here\nx;\n", {3, 1, 1, 1, 0, 0, 1}},
      // A continued #define: its second line is no blank line.
      {"#define L 1+\\\n2\nx;\n", {4, 1, 1, 0, 0, 0, 1}},
  };
  for (const Case& c : cases) {
    Scan s = scan("a.c", c.text);
    EXPECT_EQ(s.counts, c.counts) << c.text;
  }
}

TEST_F(CDirectives, DefineForms) {
  Scan s = scan("a.c",
                "#define F(x) x\n#define G (x) x\n#define L 1+\\\n2\n"
                "#define P(a, \\\n b) ((a)+(b))\n#define H(x\n#define O\n");
  EXPECT_EQ(s.log, "");
  const DefineTable& d = defines();
  // Parameters and bodies without their blanks (how blanks join the words
  // is the #define table's rule).
  auto solid = [](std::string text) {
    std::erase(text, ' ');
    return text;
  };
  struct Entry {
    const char* name;
    const char* params;
    const char* body;
  } expected[] = {{"F", "(x)", "x"}, {"G", "", "(x)x"}, {"H", "(x", ""},
                  {"L", "", "1+2"},  {"O", "", ""},     {"P", "(a,b)", "((a)+(b))"}};
  ASSERT_EQ(d.size(), std::size(expected));
  for (size_t i = 0; i < d.size(); ++i) {
    EXPECT_EQ(d.at(i).name, expected[i].name);
    EXPECT_EQ(solid(d.at(i).params), expected[i].params) << expected[i].name;
    EXPECT_EQ(solid(d.at(i).body), expected[i].body) << expected[i].name;
    EXPECT_TRUE(d.at(i).complete) << expected[i].name;
  }
}

// Strings and character constants of a body are part of it, quotes and
// all; a '#' there is a body token, and the next line is code again.
TEST_F(CDirectives, DefineBodiesKeepTheirLiterals) {
  Scan s = scan("a.c",
                "#define MSG \"in /* no comment */ f(x)\"\n"
                "#define Q \"a\\\"b\"\n"
                "#define CH '\\n'\n"
                "#define S(x) #x \" \" 'y'\n"
                "#define E \"\"\n"
                "int v;\n");
  EXPECT_EQ(s.log, "");
  EXPECT_EQ(s.live, "int|v|;|<lf>");
  const DefineTable& d = defines();
  auto solid = [](std::string text) {
    std::erase(text, ' ');
    return text;
  };
  EXPECT_EQ(solid(d.bodyOf("MSG")), "\"in/*nocomment*/f(x)\"");
  EXPECT_EQ(solid(d.bodyOf("Q")), "\"a\\\"b\"");
  EXPECT_EQ(d.bodyOf("CH"), "'\\n'");
  EXPECT_EQ(solid(d.bodyOf("S")), "#x\"\"'y'");
  EXPECT_EQ(d.bodyOf("E"), "\"\"");
}

TEST_F(CDirectives, RedefinitionKeepsTheFirst) {
  Scan s = scan("a.c", "#define A 1\n#define A 2 \\\n 3\n#if A == 1\nok\n#endif\n");
  EXPECT_EQ(s.log, "  Aは既に登録済みです[define]\n");
  EXPECT_EQ(s.live, "ok|<lf>");
  EXPECT_EQ(defines().bodyOf("A"), "1");
}

TEST_F(CDirectives, UndefByHeaderMode) {
  const char* text = "#define A 1\n#undef A\n#ifdef A\nx\n#endif\n";
  EXPECT_EQ(scan("a.c", text).live, "");
  options().headerReadMode = HeaderReadMode::ReadOnce;
  EXPECT_EQ(scan("a.c", text).live, "x|<lf>");
  options().headerReadMode = HeaderReadMode::NoRead;
  EXPECT_EQ(scan("a.c", text).live, "x|<lf>");
  options().headerReadMode = HeaderReadMode::PerSourceFile;
  EXPECT_EQ(scan("a.c", "#undef NOPE\n").log, "  NOPEは定義されていません[undef]\n");
}

TEST_F(CDirectives, PragmaInterruptFunctions) {
  openReader("a.c");
  reservedWords().loadBuiltIn();
  types().registerType("HANDLER", TypeTable::kTypedef, 4, false, kModeC);
  reader().setInterruptKeywords({"interrupt", "vector"});
  Scan s = read(
      "#pragma interrupt on_tick int HANDLER 3x on_key\n"
      "#pragma vector \\\n  on_dma\n"
      "#pragma once other\n#if 0\n#pragma interrupt off\n#endif\n");
  EXPECT_EQ(s.live, "");
  FunctionTable& f = functions();
  for (const char* name : {"on_tick", "on_key", "on_dma"}) {
    int n = f.recordOf(name);
    ASSERT_GE(n, 0) << name;
    EXPECT_TRUE(f.record(n).flags & FunctionFlag::kInterrupt) << name;
  }
  for (const char* name : {"int", "HANDLER", "3x", "other", "once", "off"})
    EXPECT_LT(f.recordOf(name), 0) << name;
}

// ---------------------------------------------------------------------------
// Hostile input

TEST_F(CDirectives, TenThousandNestedGroups) {
  std::string text;
  for (int i = 0; i < 10000; ++i) text += "#if 1\n";
  text += "x\n";
  for (int i = 0; i < 10000; ++i) text += "#endif\n";
  text += "#if 0\n";
  for (int i = 0; i < 10000; ++i) text += "#if 1\n";
  for (int i = 0; i < 10000; ++i) text += "#endif\n";
  text += "#endif\ny\n";
  Scan s = scan("a.c", text);
  EXPECT_EQ(s.live, "x|<lf>|y|<lf>");
  EXPECT_EQ(s.log, "");
  // Left open: reported with the counts, no crash.
  std::string open;
  for (int i = 0; i < 10000; ++i) open += "#if 1\n";
  s = scan("a.c", open);
  EXPECT_NE(s.log.find("    #ifdef文の数 = 10000\n"), std::string::npos);
}

TEST_F(CDirectives, MegabyteDefineBody) {
  std::string body;
  while (body.size() < (1u << 20)) body += "1+";
  std::string text = "#define BIG " + body + "1\n#if BIG\nx\n#endif\n";
  Scan s = scan("a.c", text);
  EXPECT_EQ(s.live, "x|<lf>");
  EXPECT_EQ(s.log, "");
  EXPECT_EQ(defines().bodyOf("BIG").size(), body.size() + 1);
}

TEST_F(CDirectives, HundredThousandCharacterCondition) {
  std::string cond = "0";
  while (cond.size() < 100000) cond += "+0";
  Scan s = scan("a.c", "#if " + cond + "\nx\n#else\ny\n#endif\n");
  EXPECT_EQ(s.live, "y|<lf>");
  EXPECT_EQ(s.log, "");
}

TEST_F(CDirectives, MacroLoopThroughTenOthers) {
  std::string text;
  for (int i = 0; i < 11; ++i)
    text += "#define M" + std::to_string(i) + " (M" + std::to_string((i + 1) % 11) + "+1)\n";
  text += "#if M0\nx\n#else\ny\n#endif\n";
  Scan s = scan("a.c", text);
  EXPECT_EQ(s.live, "y|<lf>");  // the failed condition leaves the group to #else
  EXPECT_EQ(s.log, "  a.c 12 : #if文の解析において無限ﾙｰﾌﾟに陥りました\n");
}

}  // namespace
