// Routines, calls, constants, types and declarations found by the VB
// parser in small modules read through the real reader.
#include "tests/parsers/c_parser_fixture.h"

#include "tables/type_table.h"
#include "tables/variable_table.h"
#include "scan/define_table.h"

namespace {

class VbParserTest : public CParserTest {
 protected:
  // Reads `source` as `name` on a new run that folds names, as a run with
  // VB files does; the known functions of the function table's dump.
  std::string vb(const std::string& source, const std::string& name = "m.bas") {
    renewRun();
    startCaseInsensitiveRun();
    useBuiltInSettings();
    file(kFolder + name, source);
    fileNames().add(name);
    readMain(kFolder + name);
    EXPECT_EQ(functions().checkLinks(), "");
    log_ = takeLog();
    return knownFunctions();
  }
  // `body` as the lines of Sub P, with the routines that it may call
  // defined after it.
  std::string callsOfP(const std::string& body) {
    vb("Sub P()\n" + body + "\nEnd Sub\nSub Foo(n)\nEnd Sub\nFunction Bar(n)\nEnd Function\n");
    return calleesOf("P");
  }
  // The variable table's line of `name` without its size and place.
  std::string declared(const std::string& name) {
    std::string dump = variables().dump();
    size_t at = dump.find(" " + name + " ");
    if (at == std::string::npos) return "<none>";
    size_t start = dump.rfind('\n', at) + 1;  // npos + 1 == 0
    return dump.substr(start, at - start) + " " + name;
  }
  std::string log_;
};

TEST_F(VbParserTest, RoutinesWithTypesArgumentsAndResults) {
  options().functionDetails = 1;
  EXPECT_EQ(vb("' adds\n"
                "Private Function Add(ByVal a As Integer, ByVal b As Integer) As Integer\n"
                "    Add = a + b\n"
                "End Function\n"
                "Public Sub Main()\n"
                "    Main\n"
                "End Sub\n"),
            // Add's own name is its result, no call; Main calling itself recurses.
            "Integer Add(ByVal a As Integer, ByVal b As Integer) m.bas:2 #3 [BK]\n"
            "Main() m.bas:5 #3 [BKR]\n");
  EXPECT_EQ(log_, "");
}

TEST_F(VbParserTest, CallsWithAndWithoutParentheses) {
  struct Case {
    const char* body;
    const char* callees;
  } cases[] = {
      {"Call Foo(1)", "Foo"},
      {"Foo 1", "Foo"},
      {"Foo", "Foo"},
      {"x = Bar(1)", "Bar x"},
      // ':' separates statements; `:=` names an argument.
      {"x = 1: Foo", "Foo x"},
      {"Foo n:=1", "Foo"},
      // A continued line is one statement.
      {"Foo 1, _\n  2", "Foo"},
      {"If x Then Call Foo(1)", "Foo"},
  };
  for (const Case& c : cases) EXPECT_EQ(callsOfP(c.body), c.callees) << c.body;
}

// A routine called before its definition is the defined one.
TEST_F(VbParserTest, CalledBeforeDefined) {
  EXPECT_EQ(vb("Sub A()\n  B 1\nEnd Sub\nSub B(n)\nEnd Sub\n"),
            "A() m.bas:1 #3 [BK] > B\nB(n) m.bas:4 #2 [BCK]\n");
}

TEST_F(VbParserTest, DeclareConstAndType) {
  vb("Declare Function GetTickCount Lib \"kernel32\" () As Long\n"
     "Const MAX_N = 100\n"
     "Const MAX_M As Integer = 100\n"
     "Private Type POINTL\n"
     "    x As Long\n"
     "    y As Long\n"
     "End Type\n");
  // Declared, without a place in the sources.
  EXPECT_EQ(knownFunctions(), "Long GetTickCount() [K]\n");
  EXPECT_EQ(defines().bodyOf("MAX_N"), "100");
  EXPECT_FALSE(defines().isDefined("MAX_M"));
  ASSERT_GT(types().sizeInBytes("Long"), 0);
  EXPECT_EQ(types().sizeInBytes("POINTL"), types().sizeInBytes("Long") * 2);
  EXPECT_EQ(log_, "");
}

TEST_F(VbParserTest, DimDeclarations) {
  vb("Const N = 10\n"
     "Dim a As Integer, b As Long\n"
     "Global g As New Collection\n"
     "Private grid(N) As Integer\n"
     "Sub P()\n"
     "    Dim t As String\n"
     "End Sub\n");
  // Every declaration of a line counts, not only the last one.
  EXPECT_EQ(declared("a"), "Integer a");
  EXPECT_EQ(declared("b"), "Long b");
  EXPECT_EQ(declared("g"), "Collection g");
  EXPECT_EQ(declared("grid(10)"), "Integer grid(10)");
}

// Methods of a class, the members that declare only, and calls on objects.
TEST_F(VbParserTest, ClassesAndObjects) {
  EXPECT_EQ(vb("Public Interface IShape\n"
                "    Function Area() As Double\n"
                "End Interface\n"
                "Public Class Widget\n"
                "    Public MustOverride Sub Draw()\n"
                "    Public Sub New()\n"
                "    End Sub\n"
                "    Public Sub Refresh()\n"
                "    End Sub\n"
                "End Class\n"
                "Module Main\n"
                "    Sub Run()\n"
                "        Dim w As Widget\n"
                "        w.Refresh\n"
                "        w.Refresh 1\n"
                "    End Sub\n"
                "End Module\n",
                "w.vb"),
            "Run() w.vb:12 #5 [BK] > Widget::Refresh\n"
            "Widget::New() w.vb:6 #2 [BK]\n"
            "Widget::Refresh() w.vb:8 #2 [BK]\n");
}

// Property Get gives a value under its own name; Let and Set do not.
TEST_F(VbParserTest, Properties) {
  EXPECT_EQ(vb("Public Property Get Count() As Long\n    Count = 1\nEnd Property\n"),
            "Long Count() m.bas:1 #3 [BK]\n");
  EXPECT_EQ(vb("Public Property Let Count(ByVal v As Long)\n    Count = v\nEnd Property\n"),
            "Count(ByVal v As Long) m.bas:1 #3 [BKR]\n");
}

// Words that open statements only at a statement's start.
TEST_F(VbParserTest, KeywordsOnlyAtTheStart) {
  EXPECT_EQ(callsOfP("x.Type = 1\nFoo\nDim f = Function(n) n + 1"), "Foo x");
  EXPECT_EQ(log_, "");
}

// A form's designer section names nothing; its code follows Attribute.
TEST_F(VbParserTest, FormsReadFromTheirCode) {
  EXPECT_EQ(vb("VERSION 5.00\n"
                "Begin VB.Form Form1\n"
                "   Caption = \"Form1\"\n"
                "   Begin VB.CommandButton Command1\n"
                "   End\n"
                "End\n"
                "Attribute VB_Name = \"Form1\"\n"
                "Private Sub Command1_Click()\n"
                "    Unload Me\n"
                "End Sub\n",
                "f.frm"),
            "Command1_Click() f.frm:8 #3 [BK] > Unload\n");
  EXPECT_EQ(log_, "");
}

TEST_F(VbParserTest, UnbalancedFilesAndStrayContinuations) {
  vb("Sub P()\n  Foo (1\nEnd Sub\n");
  EXPECT_EQ(log_, "[ m.bas ]で丸括弧の数が合いません。\n丸括弧数 = 1\n");
  vb("Sub P()\n  x = _ y\nEnd Sub\n");
  EXPECT_EQ(log_, "    m.bas 2: 不正な文字'_'があります。\n");
  vb("Type T\n  x As Long\n");
  EXPECT_EQ(log_, "[ m.bas ]でｽﾃｰﾀｽｴﾗｰを起こしました。[27]\n");
}

}  // namespace
