// Visual Basic directives read through the source reader.
#include <gtest/gtest.h>

#include "tests/scan/directive_scan.h"

namespace {

using directive_test::DirectiveScanTest;

class VbDirectives : public DirectiveScanTest {};

TEST_F(VbDirectives, GroupsAndBranches) {
  struct Case {
    const char* text;
    const char* live;
    const char* log;
  } cases[] = {
      // The directive ends at "Then": the line break after it is ordinary.
      {"#If 1 Then\na\n#Else\nb\n#End If\n", "<lf>|a|<lf>", ""},
      // A constant no #Const set is Empty, false: #Else is live.
      {"#If DEBUG Then\na\n#Else\nb\n#End If\n", "b|<lf>", ""},
      {"#If Not DEBUG Then\na\n#Else\nb\n#End If\n", "<lf>|a|<lf>", ""},
      {"#If 1 And Not DEBUG Then\na\n#End If\n", "<lf>|a|<lf>", ""},
      // Words of the condition keep a blank between them, operators none.
      {"\n#If 2 * 3 > 5 Then\na\n#End If\n", "<lf>|a|<lf>", ""},
      {"#If 0 Then\na\n#ElseIf 1 Then\nb\n#ElseIf 1 Then\nc\n#Else\nd\n#End If\n", "<lf>|b|<lf>",
       ""},
      // #End If inside a switched-off region closes exactly one group.
      {"#If 0 Then\n#If 1 Then\nx\n#End If\ny\n#Else\nz\n#End If\nw", "z|<lf>|w", ""},
      // Keywords in any letter case.
      {"#if 1 then\na\n#else\nb\n#end if\n", "<lf>|a|<lf>", ""},
      {"#Region \"R\"\na\n#End Region\nb\n", "a|<lf>|b|<lf>", ""},
      // A region inside a switched-off group stays off, and its #End
      // Region does not close the group.
      {"#If 0 Then\n#Region x\na\n#End Region\nb\n#End If\nc\n", "c|<lf>", ""},
      // After "Then" the line is ordinary.
      {"#If 1 Then x\n#End If\n", "x|<lf>", ""},
      {"#End If\nx\n", "",
       "    m.bas 1: #endifの数が#if､#ifdefの数を上回りました。\n"
       "  [m.bas]で内部ｴﾗｰが発生しました。(ｺﾒﾝﾄ部)\n"},
      {"#If 0 Then\na\n", "",
       "  [m.bas]で#if文の数が合いません。\n    #ifdef文の数 = 1\n"
       "    #無効な位置にある#ifdef文の数 = 0\n"},
  };
  for (const auto& c : cases) {
    Scan s = scan("m.bas", c.text);
    EXPECT_EQ(s.live, c.live) << c.text;
    EXPECT_EQ(s.log, c.log) << c.text;
  }
}

TEST_F(VbDirectives, DisabledLineCounters) {
  // 1 #If (pp), 2 code (disabled), 3 comment (disabled), 4 #Else (pp),
  // 5 code, 6 #End If (pp), 7 the empty last line.
  Scan s = scan("f.frm", "#If 0 Then\nx = 1\n' c\n#Else\ny = 2\n#End If\n");
  EXPECT_EQ(s.counts, (directive_test::Counts{7, 1, 1, 1, 2, 1, 3}));
}

}  // namespace
