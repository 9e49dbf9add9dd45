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
    run().calls().linkAll();
    EXPECT_EQ(functions().checkLinks(), "");
    log_ = takeLog();
    return knownFunctions();
  }
  // The files read in order as one run reads them (modules first), the
  // calls linked after the last one; the known functions.
  std::string project(const SourceFiles& sources) {
    renewRun();
    startCaseInsensitiveRun();
    useBuiltInSettings();
    for (const auto& [name, text] : sources) {
      file(kFolder + name, text);
      fileNames().add(name);
    }
    for (const auto& source : sources) readMain(kFolder + source.first);
    run().calls().linkAll();
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
            "A() m.bas:1 #3 [BK] > B\nB(n) m.bas:4 #2 [BK]\n");
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
            "Main::Run() w.vb:12 #5 [BK] > Widget::Refresh\n"
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

// Words that open statements only at a statement's start; the object of
// an assignment is no call.
TEST_F(VbParserTest, KeywordsOnlyAtTheStart) {
  EXPECT_EQ(callsOfP("x.Type = 1\nFoo\nDim f = Function(n) n + 1"), "Foo");
  EXPECT_EQ(log_, "");
}

// A form's designer section names no routine; its code follows Attribute,
// and its procedures are the form's methods.
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
            "Form1::Command1_Click() f.frm:8 #3 [BK] > Unload\n");
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

// A VB6 project: a module's routines are plain, its Private ones its own;
// a class's and a form's routines are their methods, called through
// objects of every kind of declaration, through the module's, form's and
// class's names, and through Me.
const SourceFiles kVb6Project = {
    {"Module1.bas",
     "Attribute VB_Name = \"Strings\"\n"
     "Public Function Equal(a As String, b As String) As Boolean\n"
     "    Equal = (a = b)\n"
     "End Function\n"
     "Private Sub Helper()\n"
     "End Sub\n"
     "Public Sub UseHelper()\n"
     "    Helper\n"
     "End Sub\n"},
    {"Module2.bas",
     "Attribute VB_Name = \"Other\"\n"
     "Public Gs As cStream\n"
     "Private Sub Helper()\n"
     "End Sub\n"
     "Sub Caller2()\n"
     "    Helper\n"
     "    If Strings.Equal(\"a\", \"b\") Then Gs.Skip\n"
     "    Other.Helper\n"
     "End Sub\n"},
    {"cStream.cls",
     "VERSION 1.0 CLASS\n"
     "BEGIN\n"
     "  MultiUse = -1  'True\n"
     "END\n"
     "Attribute VB_Name = \"cStream\"\n"
     "Public Function ReadLong() As Long\n"
     "End Function\n"
     "Public Sub Skip()\n"
     "End Sub\n"
     "Private Sub Class_Initialize()\n"
     "    Skip\n"
     "End Sub\n"
     "Public Sub Reset(ByVal other As cStream)\n"
     "    Me.Skip\n"
     "    other.ReadLong\n"
     "    UseHelper\n"
     "End Sub\n"},
    {"Form1.frm",
     "VERSION 5.00\n"
     "Begin VB.Form frmMain\n"
     "   Caption = \"Main\"\n"
     "   Begin VB.CommandButton Command1\n"
     "   End\n"
     "End\n"
     "Attribute VB_Name = \"frmMain\"\n"
     "Private m_Stream As cStream\n"
     "Private Sub Command1_Click()\n"
     "    Dim s As New cStream\n"
     "    Dim o As Object\n"
     "    Set o = New cStream\n"
     "    s.ReadLong\n"
     "    m_Stream.Skip\n"
     "    o.Reset s\n"
     "    frmMain.Refresh\n"
     "    Me.Refresh\n"
     "    Command1.SetFocus\n"
     "    Refresh2\n"
     "End Sub\n"
     "Private Sub Refresh2()\n"
     "    cStream.Skip\n"
     "End Sub\n"},
};

TEST_F(VbParserTest, Vb6ProjectCallsThroughObjectsModulesAndForms) {
  EXPECT_EQ(project(kVb6Project),
            "Caller2() Module2.bas:5 #5 [BK] > cStream::Skip Equal Helper\n"
            "cStream::Class_Initialize() cStream.cls:10 #3 [BK] > cStream::Skip\n"
            "Long cStream::ReadLong() cStream.cls:6 #2 [BK]\n"
            "cStream::Reset(ByVal other As cStream) cStream.cls:13 #5 [BK] > cStream::ReadLong "
            "cStream::Skip UseHelper\n"
            "cStream::Skip() cStream.cls:8 #2 [BK]\n"
            "Boolean Equal(a As String, b As String) Module1.bas:2 #3 [BK]\n"
            "frmMain::Command1_Click() Form1.frm:9 #12 [BK] > CommandButton::SetFocus "
            "cStream::ReadLong cStream::Reset cStream::Skip frmMain::Refresh frmMain::Refresh2\n"
            "frmMain::Refresh2() Form1.frm:21 #3 [BK] > cStream::Skip\n"
            "Helper() Module1.bas:5 #2 [BK]\n"
            "Helper() Module2.bas:3 #2 [BK]\n"
            "UseHelper() Module1.bas:7 #3 [BK] > Helper\n");
  EXPECT_EQ(log_, "");
  // Each module's Helper is its own, and each caller reaches its own.
  const FunctionTable& f = functions();
  auto calleeFile = [&](const char* caller) {
    return fileNames().name(f.record(f.record(f.recordOf(caller)).callees.back()).fileNo);
  };
  EXPECT_EQ(calleeFile("UseHelper"), "Module1.bas");
  EXPECT_EQ(calleeFile("Caller2"), "Module2.bas");
}

// An object nothing declares and no module or class names: the member
// rule's unknown class, and a line in the log.
TEST_F(VbParserTest, UnknownObjectsAreNamedAndLogged) {
  EXPECT_EQ(callsOfP("Thing.Go 1\nx = Other.Value(2)"), "(不明)Other::Value (不明)Thing::Go x");
  EXPECT_EQ(log_,
            "    m.bas 2: ｸﾗｽ名が不明です。不明なｵﾌﾞｼﾞｪｸﾄ名[Thing]\n"
            "    m.bas 3: ｸﾗｽ名が不明です。不明なｵﾌﾞｼﾞｪｸﾄ名[Other]\n");
}

// A VB6 module may be called Interface: no VB.NET block opens, and the
// routines after the call through it are found.
TEST_F(VbParserTest, Vb6ModuleNamedInterface) {
  EXPECT_EQ(project({{"Interface.bas", "Attribute VB_Name = \"Interface\"\nSub Foo(n)\nEnd Sub\n"},
                     {"m.bas", "Sub A()\n    Interface.Foo 1\nEnd Sub\nSub B()\nEnd Sub\n"}}),
            "A() m.bas:1 #3 [BK] > Foo\nB() m.bas:4 #2 [BK]\nFoo(n) Interface.bas:2 #2 [BK]\n");
}

// Labels and the places GoTo, On Error and Resume jump to are no calls;
// a single-line If's statements after Then and Else are.
TEST_F(VbParserTest, LabelsAndSingleLineIf) {
  EXPECT_EQ(callsOfP("If x Then Foo Else Bar 2\n"
                     "If y Then Call Foo(1): Bar 3\n"
                     "Retry:\n"
                     "GoTo Retry\n"
                     "On Error GoTo Handler\n"
                     "Handler: Foo\n"
                     "Resume Next"),
            "Bar Foo");
}

// #Const sets a constant for the file's #If.
TEST_F(VbParserTest, ConstDirectiveDecidesIf) {
  EXPECT_EQ(vb("#Const TRACE = 1\n#If TRACE Then\nSub A()\nEnd Sub\n#Else\nSub B()\nEnd Sub\n"
               "#End If\n#Const TRACE = 0\n#If TRACE = 0 Then\nSub C()\nEnd Sub\n#End If\n"),
            "A() m.bas:3 #2 [BK]\nC() m.bas:11 #2 [BK]\n");
  EXPECT_EQ(log_, "");
}

// VB.NET: calls inside a class go to its own methods and its base's first,
// a module's name qualifies its routines (keyed by it), New calls the constructor; an
// attribute continued onto a header, a bracketed name, a property with Get
// and a multi-line lambda keep their routines.
TEST_F(VbParserTest, VbNetClassesModulesAndConstructors) {
  EXPECT_EQ(vb("Public Class Widget\n"
               "    Inherits BaseWidget\n"
               "    Public Sub New(n As Integer)\n"
               "        Init()\n"
               "    End Sub\n"
               "    Private Sub Init()\n"
               "        Paint()\n"
               "    End Sub\n"
               "    <Obsolete(\"x\")> _\n"
               "    Public Function [Default]() As Integer\n"
               "        Return Helper.Twice(2)\n"
               "    End Function\n"
               "    Public ReadOnly Property Size As Integer\n"
               "        Get\n"
               "            Return Compute()\n"
               "        End Get\n"
               "    End Property\n"
               "    Private Function Compute() As Integer\n"
               "        Dim g = Sub()\n"
               "                    Log()\n"
               "                End Sub\n"
               "        Return 1\n"
               "    End Function\n"
               "End Class\n"
               "Public Class BaseWidget\n"
               "    Public Sub Paint()\n"
               "    End Sub\n"
               "End Class\n"
               "Module Helper\n"
               "    Public Function Twice(n As Integer) As Integer\n"
               "        Dim w As New Widget(1)\n"
               "        Return n * New Widget(2).Size\n"
               "    End Function\n"
               "    Sub Log()\n"
               "    End Sub\n"
               "End Module\n",
               "w.vb"),
            "BaseWidget::Paint() w.vb:26 #2 [BK]\n"
            "Helper::Log() w.vb:34 #2 [BK]\n"
            "Integer Helper::Twice(n As Integer) w.vb:30 #4 [BK] > Widget::New\n"
            "Integer Widget::Compute() w.vb:18 #6 [BK] > Helper::Log\n"
            "Integer Widget::Default() w.vb:10 #3 [BK] > Helper::Twice\n"
            "Widget::Init() w.vb:6 #3 [BK] > BaseWidget::Paint\n"
            "Widget::New(n As Integer) w.vb:3 #3 [BK] > Widget::Init\n"
            "Widget::Size() w.vb:13 #5 [BK] > Widget::Compute\n");
  EXPECT_EQ(log_, "");
}

// VB.NET modules of one program may each have a Run: each stays its
// module's, reached through the module's name; a name only one module has
// is reached without it, from a class as from another module. A UTF-8
// byte-order mark before the first word changes nothing.
TEST_F(VbParserTest, VbNetModulesWithRoutinesOfOneName) {
  EXPECT_EQ(project({{"a.vb",
                      "\xEF\xBB\xBF"
                      "Public Module Fight\n    Public Sub Run()\n        Roll()\n"
                      "    End Sub\nEnd Module\n"},
                     {"b.vb",
                      "Module Shop\n    Sub Run()\n        Fight.Run()\n    End Sub\n"
                      "    Function Roll() As Integer\n    End Function\nEnd Module\n"},
                     {"c.vb",
                      "Class Game\n    Sub Start()\n        Shop.Run()\n        Roll()\n"
                      "    End Sub\nEnd Class\n"}}),
            "Fight::Run() a.vb:2 #3 [BK] > Shop::Roll\n"
            "Game::Start() c.vb:2 #4 [BK] > Shop::Roll Shop::Run\n"
            "Integer Shop::Roll() b.vb:5 #2 [BK]\n"
            "Shop::Run() b.vb:2 #3 [BK] > Fight::Run\n");
  // The byte-order mark makes a.vb a UTF-8 file, named once in the log.
  EXPECT_EQ(log_, "  文字ｺｰﾄﾞ UTF-8 として読みました: /src/a.vb\n");
}

// Separate VB6 projects read together may each have a Form1: the second
// file's routines stay its own, and its calls (plain or through Me) reach
// its own routines, the first file's reach the first's.
TEST_F(VbParserTest, Vb6FormsOfOneNameInTwoFilesStayApart) {
  const std::string head =
      "VERSION 5.00\nBegin VB.Form Form1\nEnd\nAttribute VB_Name = \"Form1\"\n";
  EXPECT_EQ(project({{"One.frm", head + "Private Sub Command1_Click()\n    Draw\nEnd Sub\n"
                                        "Sub Draw()\nEnd Sub\n"},
                     {"Two.frm", head + "Private Sub Command1_Click()\n    Me.Draw\n    Paint\n"
                                        "End Sub\nSub Draw()\nEnd Sub\nSub Paint()\nEnd Sub\n"}}),
            "Form1::Command1_Click() One.frm:5 #3 [BK] > Form1::Draw\n"
            "Form1::Command1_Click() Two.frm:5 #4 [BK] > Form1::Draw Form1::Paint\n"
            "Form1::Draw() One.frm:8 #2 [BK]\n"
            "Form1::Draw() Two.frm:9 #2 [BK]\n"
            "Form1::Paint() Two.frm:11 #2 [BK]\n");
  // Each Command1_Click calls the Draw of its own file.
  const FunctionTable& f = functions();
  for (int n = 0; n < f.recordCount(); ++n) {
    const FunctionRecord& caller = f.record(n);
    if (caller.key.find("Command1_Click") == std::string::npos) continue;
    ASSERT_FALSE(caller.callees.empty());
    EXPECT_EQ(fileNames().name(f.record(caller.callees.front()).fileNo),
              fileNames().name(caller.fileNo));
  }
}

// Two VB6 projects read together, each with a module Protocol whose public
// routines have the same names: the second project's stay its own, and a
// call reaches the routine of the module nearest the caller's file.
TEST_F(VbParserTest, Vb6ModulesOfTwoProjectsStayApart) {
  const std::string protocol =
      "Attribute VB_Name = \"Protocol\"\nPublic Sub Handle()\n    Helper\n"
      "End Sub\nPublic Sub Helper()\nEnd Sub\n";
  project({{"Client/Protocol.bas", protocol},
           {"Server/Protocol.bas", protocol},
           {"Server/Main.bas",
            "Attribute VB_Name = \"Main\"\nSub Start()\n    Handle\n"
            "    Protocol.Helper\nEnd Sub\n"}});
  const FunctionTable& f = functions();
  auto callees = [&](const std::string& key) {
    std::string out;
    int n = f.recordOf(key);
    if (n < 0) return std::string("<none>");
    for (int c : f.record(n).callees) out += f.record(c).key + " ";
    return out;
  };
  const std::string server = "@" + kFolder + "Server/Protocol.bas";
  EXPECT_EQ(callees("Handle"), "Helper ");
  EXPECT_EQ(callees("Handle" + server), "Helper" + server + " ");
  EXPECT_EQ(callees("Start"), "Handle" + server + " Helper" + server + " ");
  EXPECT_EQ(log_, "");
}

// Words inside a statement call a routine only where the sources define
// one that they name: a Property Get read, a Property Let by assignment, a
// parameterless Function; fields, variables, and members of classes or
// objects the sources do not know are no calls and log nothing.
TEST_F(VbParserTest, NamesInExpressionsCallOnlyRoutinesOfTheSources) {
  project({{"Gauge.cls",
            "VERSION 1.0 CLASS\nBEGIN\n  MultiUse = -1  'True\nEND\n"
            "Attribute VB_Name = \"Gauge\"\nPublic Hidden As Boolean\n"
            "Public Property Get Value() As Long\nEnd Property\n"
            "Public Property Let Value(ByVal v As Long)\nEnd Property\n"},
           {"m.bas",
            "Attribute VB_Name = \"M\"\nSub P()\n    Dim g As Gauge\n    Dim n As Integer\n"
            "    n = g.Value + 1\n    If g.Hidden Then n = 2\n    n = Total * 2\n"
            "    n = n + Later\n    x.Caption = 2\n    Label1.Caption = Total\nEnd Sub\n"
            "Function Total() As Integer\nEnd Function\n"},
           {"s.bas",
            "Attribute VB_Name = \"S\"\nSub Q()\n    Dim g As New Gauge\n    g.Value = 3\n"
            "End Sub\n"}});
  EXPECT_EQ(calleesOf("P"), "Gauge::Value Total");
  EXPECT_EQ(calleesOf("Q"), "Gauge::Value");
  EXPECT_EQ(log_, "");
}

// VB.NET interface members have no body: a call on an object of an
// interface goes to the one class that implements it; with two, to the
// interface's member.
TEST_F(VbParserTest, VbNetCallsThroughAnInterfaceReachItsOneImplementation) {
  const std::string shapes =
      "Public Interface IShape\n    Sub Draw()\nEnd Interface\n"
      "Public Interface IPen\n    Sub Draw()\nEnd Interface\n"
      "Public Class Circle\n    Implements IShape, IPen\n"
      "    Public Sub Draw() Implements IShape.Draw, IPen.Draw\n    End Sub\nEnd Class\n"
      "Public Class Nib\n    Implements IPen\n"
      "    Public Sub Draw() Implements IPen.Draw\n    End Sub\nEnd Class\n";
  project({{"s.vb", shapes},
           {"m.vb",
            "Module Main\n    Sub Run(s As IShape, p As IPen)\n        s.Draw()\n"
            "        p.Draw()\n    End Sub\nEnd Module\n"}});
  EXPECT_EQ(calleesOf("Main::Run"), "Circle::Draw IPen::Draw");
  EXPECT_EQ(log_, "");
}

// A member named like a statement keyword (Write, Open, Close) is called
// on an object of a known class (on an unknown object such as the built-in
// Debug it stays no call: the golden VB6 project shows it). `As New
// C(args)` gives the object the class C.
TEST_F(VbParserTest, MembersNamedLikeKeywordsAndObjectsCreatedWithArguments) {
  project({{"log.vb",
            "Public Class Log\n    Public Sub New(ByVal path As String)\n    End Sub\n"
            "    Public Sub Write(ByVal t As String)\n    End Sub\n"
            "    Public Sub Open()\n    End Sub\n    Public Sub Close()\n    End Sub\nEnd Class\n"},
           {"m.vb",
            "Module Main\n    Sub Run()\n        Dim l As New Log(\"a.txt\")\n        l.Open()\n"
            "        l.Write(\"x\")\n        l.Close\n    End Sub\nEnd Module\n"}});
  EXPECT_EQ(calleesOf("Main::Run"), "Log::Close Log::New Log::Open Log::Write");
  EXPECT_EQ(log_, "");
}

// VB.NET: an extension method of a module is called on an object whose
// class has no routine of its name, with or without parentheses, and a
// module's routine by the module's name inside an expression; a local
// declared without As (`Dim n = …`) is a variable, no call.
TEST_F(VbParserTest, VbNetExtensionMethodsAndModuleMembersInExpressions) {
  project({{"e.vb",
            "Module Extensions\n    <Extension>\n    Function Jools(c As Hero) As Integer\n"
            "    End Function\n    Sub SetJools(c As Hero, n As Integer)\n    End Sub\n"
            "    Function Stock() As Integer\n    End Function\nEnd Module\n"},
           {"h.vb", "Public Class Hero\n    Public Sub Hit()\n    End Sub\nEnd Class\n"},
           {"s.vb",
            "Module Shop\n    Sub Buy(c As Hero)\n        Dim n = c.Jools + Extensions.Stock\n"
            "        c.SetJools(n - 1)\n        c.Hit()\n        n = c.Missing\n"
            "    End Sub\nEnd Module\n"}});
  EXPECT_EQ(calleesOf("Shop::Buy"),
            "Extensions::Jools Extensions::SetJools Extensions::Stock Hero::Hit");
  EXPECT_EQ(log_, "");
}

// VB.NET: a property whose type has a parameter list of its own (generics)
// and an initial value is field-like, no routine; one with a Get block
// after such a type is a routine.
TEST_F(VbParserTest, VbNetPropertiesWithGenericTypes) {
  EXPECT_EQ(vb("Module Verbs\n"
               "    Public ReadOnly Property All As List(Of String) = New List(Of String)\n"
               "    Public ReadOnly Property Names As List(Of String)\n"
               "        Get\n"
               "            Return All\n"
               "        End Get\n"
               "    End Property\n"
               "End Module\n",
               "v.vb"),
            "Verbs::Names() v.vb:3 #5 [BK]\n");
  EXPECT_EQ(log_, "");
}

}  // namespace
