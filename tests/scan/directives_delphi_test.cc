// Delphi compiler directives read through the source reader.
#include <gtest/gtest.h>

#include "scan/define_table.h"
#include "tests/scan/directive_scan.h"

namespace {

using directive_test::DirectiveScanTest;

class DelphiDirectives : public DirectiveScanTest {};

TEST_F(DelphiDirectives, GroupsAndSwitches) {
  struct Case {
    const char* text;
    const char* live;
    const char* log;
  } cases[] = {
      // A directive ends at its '}': the line break after it is ordinary (a
      // second one in a row is not handed over).
      {"{$IFDEF X}\na\n{$ELSE}\nb\n{$ENDIF}\n", "<lf>|b|<lf>", ""},
      {"{$IFNDEF X}\na\n{$ENDIF}\n", "<lf>|a|<lf>", ""},
      {"{$DEFINE X}\n{$IFDEF X}\na\n{$ENDIF}\n{$UNDEF X}\n{$IFNDEF X}\nb\n{$ENDIF}\n",
       "<lf>|a|<lf>|b|<lf>", ""},
      {"{$IF 1}\na\n{$ELSE}\nb\n{$ENDIF}\n", "<lf>|a|<lf>", ""},
      // {$ELSEIF} continues and {$IFEND} closes an {$IF} group.
      {"{$IF 0}\na\n{$ELSEIF 1}\nb\n{$IFEND}\nc", "<lf>|b|<lf>|c", ""},
      // Conditions in Delphi's syntax: = compares.
      {"{$if 0x10 = 16}\na\n{$endif}\n", "<lf>|a|<lf>", ""},
      // Resource and option switches have no effect.
      {"{$R *.res}\n{$H+}\n{$MODE DELPHI}\nx", "<lf>|x", ""},
      {"{$ifdef X}a{$endif}b", "b", ""},
      // Groups nested in a switched-off region stay off whatever they test.
      {"{$IFDEF X}\n{$IFNDEF Y}\na\n{$ELSE}\nq\n{$ENDIF}\nb\n{$ELSE}\nc\n{$ENDIF}\n", "<lf>|c|<lf>",
       ""},
      {"{$IFDEF X}\n{$DEFINE Z}\n{$ENDIF}\n{$IFDEF Z}\nz\n{$ENDIF}\n", "<lf>", ""},
      // {$IFOPT} opens a group of its own, taken as on.
      {"{$IFOPT R+}\na\n{$ENDIF}\nb", "<lf>|a|<lf>|b", ""},
      {"{$ENDIF}\n", "",
       "    u.pas 1: #endifの数が#if､#ifdefの数を上回りました。\n"
       "  [u.pas]で内部ｴﾗｰが発生しました。(ｺﾒﾝﾄ部)\n"},
      {"{$DEFINE X}{$DEFINE X}", "", "  Xは既に登録済みです[define]\n"},
      {"{$IFDEF X}\n", "",
       "  [u.pas]で#if文の数が合いません。\n    #ifdef文の数 = 1\n"
       "    #無効な位置にある#ifdef文の数 = 0\n"},
  };
  for (const auto& c : cases) {
    Scan s = scan("u.pas", c.text);
    EXPECT_EQ(s.live, c.live) << c.text;
    EXPECT_EQ(s.log, c.log) << c.text;
  }
}

TEST_F(DelphiDirectives, DefineHasNoBody) {
  scan("u.pas", "{$define Debug}");
  ASSERT_EQ(defines().size(), 1u);
  EXPECT_EQ(defines().at(0).name, "Debug");
  EXPECT_EQ(defines().at(0).body, "");
  EXPECT_TRUE(defines().at(0).complete);
}

TEST_F(DelphiDirectives, DisabledLineCounters) {
  // 1 {$IFDEF} (pp), 2 code (disabled), 3 // comment (disabled), 4 {$ENDIF}
  // (pp), 5 code, 6 the empty last line.
  Scan s = scan("u.pas", "{$IFDEF X}\nx := 1;\n// c\n{$ENDIF}\ny := 2;\n");
  EXPECT_EQ(s.counts, (directive_test::Counts{6, 1, 1, 1, 2, 1, 2}));
}

}  // namespace
