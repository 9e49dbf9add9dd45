// Routines, calls, classes, records and block counting found by the Delphi
// parser in small units read through the real reader.
#include "parsers/delphi_words.h"
#include "tests/parsers/c_parser_fixture.h"

namespace {

class DelphiParserTest : public CParserTest {
 protected:
  // Reads `source` as u.pas on a new run that folds names, as a run with
  // Delphi files does; the function table's dump (see CParserTest).
  std::string delphi(const std::string& source) { return delphiUnits({{"u.pas", source}}); }
  // A unit whose implementation holds `body`.
  std::string unit(const std::string& interfacePart, const std::string& body) {
    return delphi("unit u;\ninterface\n" + interfacePart + "implementation\n" + body + "end.\n");
  }
  // Reads the units in order on one run that folds names, as a run with
  // Delphi files does; the function table's known functions.
  std::string delphiUnits(const SourceFiles& units) {
    renewRun();
    startCaseInsensitiveRun();
    useBuiltInSettings();
    for (const auto& [name, text] : units) {
      file(kFolder + name, text);
      fileNames().add(name);
    }
    for (const auto& [name, text] : units) readMain(kFolder + name);
    run().calls().linkAll();
    EXPECT_EQ(functions().checkLinks(), "");
    log_ = takeLog();
    return knownFunctions();
  }
  std::string log_;
};

const char kClasses[] =
    "type\n"
    "  TBase = class\n"
    "    constructor Create;\n"
    "    procedure Run; virtual;\n"
    "  end;\n"
    "  TFoo = class(TBase)\n"
    "    constructor Create;\n"
    "    function Count: Integer;\n"
    "    procedure Run; override;\n"
    "  end;\n";

TEST_F(DelphiParserTest, MethodsImplementedOutOfLine) {
  options().functionDetails = 1;
  EXPECT_EQ(unit(kClasses,
                 "function TFoo.Count: Integer;\nbegin\n  Result := 0;\nend;\n"
                 "procedure TFoo.Run(Sender: TObject; n: Integer);\nbegin\nend;\n"),
            "Integer TFoo::Count() u.pas:14 #4 [BK]\n"
            "TFoo::Run(Sender:TObject;n:Integer) u.pas:18 #3 [BK]\n");
  EXPECT_EQ(log_, "");
  EXPECT_EQ(
      classes().dump().find("TFoo(0,32,1,0/0) : TBase {Create Count Run}") != std::string::npos,
      true)
      << classes().dump();
}

TEST_F(DelphiParserTest, CallsWithoutParentheses) {
  struct Case {
    const char* body;
    const char* callees;
  } cases[] = {
      // A first word that is no known variable is taken for a call.
      {"X := 1; DoIt;", "DoIt X"},
      // The first statement of a block, and those after then, else and do.
      {"DoIt;", "DoIt"},
      {"if X then DoIt else Other;", "DoIt Other"},
      {"while X do Step;", "Step"},
      {"Obj.Method;", "Obj Obj.Method"},
      {"A.B.Method;", "A A.B.Method"},
      {"Later(1); Later;", "Later"},
      // Inside a statement a name without '(' is a call only where a
      // routine of the sources answers it.
      {"if Later > 0 then X := 1;", "Later X"},
      {"Y := Unknown + 1;", "Y"},
  };
  for (const Case& c : cases) {
    delphi(std::string("unit u;\ninterface\nimplementation\nprocedure P;\nbegin\n  ") + c.body +
           "\nend;\nprocedure Later;\nbegin\nend;\nend.\n");
    EXPECT_EQ(calleesOf("P"), c.callees) << c.body;
  }
}

TEST_F(DelphiParserTest, ResultAssignmentAndRecursion) {
  EXPECT_EQ(unit("",
                 "function F: Integer;\nbegin\n  F := 3;\nend;\n"
                 "procedure P;\nbegin\n  P;\nend;\n"),
            "Integer F() u.pas:4 #4 [BK]\n"
            "P() u.pas:8 #4 [BKR]\n");
}

TEST_F(DelphiParserTest, WithBlockOverTwoObjects) {
  unit(
      "type\n  TQuery = class\n    procedure Open;\n  end;\n"
      "  TTable = class\n    procedure Open;\n  end;\n"
      "var\n  Q: TQuery;\n  T: TTable;\n",
      "procedure P;\nbegin\n  with Q, T do\n  begin\n    Open;\n  end;\n  Close;\nend;\n");
  EXPECT_EQ(calleesOf("P"), "Close Open TQuery::Open TTable::Open");
  // `with X do Stmt;` ends with its statement.
  unit("type\n  TQuery = class\n    procedure Open;\n  end;\nvar\n  Q: TQuery;\n",
       "procedure P;\nbegin\n  with Q do Open;\n  Open;\nend;\n");
  EXPECT_EQ(calleesOf("P"), "Open TQuery::Open");
}

TEST_F(DelphiParserTest, CallsOnObjectsAndInherited) {
  unit(std::string(kClasses) + "var\n  Foo: TFoo;\n",
       "constructor TBase.Create;\nbegin\nend;\n"
       "constructor TFoo.Create;\nbegin\n  inherited Create;\nend;\n"
       "procedure TFoo.Run;\nbegin\n  inherited;\n  Foo.Count;\n  Self.Count;\n  "
       "TFoo.Create;\nend;\n");
  EXPECT_EQ(calleesOf("TFoo::Create"), "TBase::Create");
  EXPECT_EQ(calleesOf("TFoo::Run"), "TBase::Run TFoo::Count TFoo::Create");
}

TEST_F(DelphiParserTest, GenericsInterposersAndRoutinesNamedLikeTypes) {
  unit(
      "type\n  TEdit = class(StdCtrls.TEdit)\n    procedure Paint;\n  end;\n"
      "  TList = class\n    function Find<K, V>(const Key: K): V;\n    procedure Add;\n  end;\n"
      "function Word(Value: Integer): Integer;\n",
      "procedure TEdit.Paint;\nbegin\n  inherited Paint;\nend;\n"
      "function TList.Find<K, V>(const Key: K): V;\nbegin\n  Add;\nend;\n"
      "procedure TList.Add;\nbegin\nend;\n"
      "function Word(Value: Integer): Integer;\nbegin\n  Result := Value;\nend;\n"
      "procedure P;\nvar\n  L: TList;\nbegin\n  L.Find<Integer, Integer>(3);\n"
      "  if (L < L) and (L > (L)) then Word(2);\nend;\n");
  // The generic's name stands before its type arguments, in the header and
  // in a call; the interposer's base is another unit's class, no loop (and
  // no recursion); `Word(2)` stays a typecast, `(L > (L))` no generic.
  EXPECT_EQ(calleesOf("TList::Find"), "TList::Add");
  EXPECT_EQ(calleesOf("P"), "TList::Find");
  EXPECT_EQ(calleesOf("TEdit::Paint"), "");
  EXPECT_NE(knownFunctions().find("Integer Word(Value:Integer)"), std::string::npos)
      << knownFunctions();
  EXPECT_EQ(log_, "");
}

TEST_F(DelphiParserTest, GenericClassesCaseLabelsAndNestedRoutines) {
  unit(
      "type\n  TBase<T> = class\n    procedure Clear;\n  end;\n"
      "  TItems = class(TBase<Integer>);\n"
      "  TOwner = class\n    FItems: TItems;\n    procedure Work;\n    procedure Next;\n  end;\n",
      "procedure TBase<T>.Clear;\nbegin\nend;\n"
      "procedure TOwner.Next;\nbegin\nend;\n"
      "procedure TOwner.Work;\n  procedure Inner;\n  begin\n    Next;\n  end;\n"
      "begin\n  FItems.Clear;\n  case 1 of\n    1, 2: Inner;\n  end;\nend;\n");
  // The generic class and its method are TBase's; TItems inherits Clear
  // through its generic base; a statement after a case label is a
  // statement; a routine nested in a method sees the method's class.
  EXPECT_EQ(calleesOf("TOwner::Work"), "Inner TBase::Clear");
  EXPECT_EQ(calleesOf("Inner"), "TOwner::Next");
  EXPECT_EQ(log_, "");
}

TEST_F(DelphiParserTest, NestedForwardAndAssemblerRoutines) {
  EXPECT_EQ(unit("",
                 "procedure Later; forward;\n"
                 "function Ext(x: Integer): Integer; cdecl; external 'libc';\n"
                 "procedure Outer;\nvar\n  i: Integer;\n"
                 "  procedure Inner;\n  begin\n    Later;\n  end;\n"
                 "begin\n  Inner;\nend;\n"
                 "procedure Fast; assembler;\nasm\n  call Later\nend;\n"
                 "procedure Later;\nbegin\nend;\n"),
            "Integer Ext(x:Integer) u.pas:5 [K]\n"
            "Fast() u.pas:16 #4 [BK]\n"
            "Inner() u.pas:9 #4 [BK] > Later\n"
            "Later() u.pas:20 #3 [BK]\n"
            "Outer() u.pas:6 #10 [BK] > Inner\n");
  EXPECT_EQ(log_, "");
}

// An array's size counts its elements, over every dimension and nested
// array; a short string `string[n]` holds n characters and its length; an
// array indexed by a type keeps its element's size.
TEST_F(DelphiParserTest, ClassOperatorsAndRecordMethods) {
  // A record's methods and operators are routines of it and take no room:
  // the record is its one Integer, so each operand is 4 bytes of stack.
  EXPECT_EQ(unit("type\n  TPt = record\n    X: Integer;\n"
                 "    class operator Equal(A, B: TPt): Boolean;\n"
                 "    function Twice: Integer;\n    property Y: Integer read X;\n  end;\n",
                 "class operator TPt.Equal(A, B: TPt): Boolean;\nbegin\n"
                 "  Result := A.Twice = B.Twice;\nend;\n"
                 "function TPt.Twice: Integer;\nbegin\n  Result := X * 2;\nend;\n"),
            "Boolean TPt::Equal(A, B:TPt) u.pas:11 #4 [BK] > TPt::Twice\n"
            "Integer TPt::Twice() u.pas:15 #4 [BK]\n");
  EXPECT_EQ(log_, "");
  EXPECT_EQ(types().sizeOf("TPt").bytes, 4);
  // A field of a procedural type is a field.
  unit("type\n  TCb = record\n    Tag: Integer;\n    Run: procedure(N: Integer);\n  end;\n", "");
  EXPECT_EQ(types().sizeOf("TCb").bytes, 8);
}

// A nested routine sees the outer routine's locals, and the outer body
// after it still does.
TEST_F(DelphiParserTest, OuterLocalsOutliveANestedRoutine) {
  unit("type\n  TCtx = class\n    procedure Skip;\n  end;\n",
       "procedure TCtx.Skip;\nbegin\nend;\n"
       "procedure Outer;\nvar\n  sc: TCtx;\n"
       "  procedure Inner;\n  begin\n    if True then begin sc.Skip; end;\n  end;\n"
       "begin\n  Inner;\n  sc.Skip;\nend;\n");
  EXPECT_EQ(calleesOf("Inner"), "TCtx::Skip");
  EXPECT_EQ(calleesOf("Outer"), "Inner TCtx::Skip");
}

// A class helper's methods are called on objects of the helped class,
// which the sources need not define (a library class).
TEST_F(DelphiParserTest, ClassHelpersAddMethodsToTheHelpedClass) {
  unit(
      "type\n  TStreamHelper = class helper for TStream\n    procedure WriteWord(W: Word);\n"
      "  end;\n",
      "procedure TStreamHelper.WriteWord(W: Word);\nbegin\nend;\n"
      "procedure Save(S: TStream);\nbegin\n  S.WriteWord(1);\n  S.Free;\nend;\n");
  EXPECT_EQ(calleesOf("Save"), "S.Free TStreamHelper::WriteWord");
}

// A property of a class type leads to that class's methods, as a field
// does: on Self, and in the middle of a path.
TEST_F(DelphiParserTest, PropertiesOfAClassTypeAreObjects) {
  unit(
      "type\n  TTable = class\n    procedure Add;\n  end;\n"
      "  TBuilder = class\n  private\n    FTable: TTable;\n  public\n"
      "    property Items[I: Integer]: TTable read FTable;\n"
      "    property Table: TTable read FTable;\n    procedure Build;\n  end;\n"
      "  TDoc = class\n    FBuilder: TBuilder;\n    procedure Write;\n  end;\n",
      "procedure TTable.Add;\nbegin\nend;\n"
      "procedure TBuilder.Build;\nbegin\n  Table.Add;\nend;\n"
      "procedure TDoc.Write;\nbegin\n  FBuilder.Items[0].Add;\n  FBuilder.Table.Add;\nend;\n");
  EXPECT_EQ(calleesOf("TBuilder::Build"), "TTable::Add");
  EXPECT_EQ(calleesOf("TDoc::Write"), "TTable::Add");
  // A function's Result is an object of its result type.
  unit("type\n  TTable = class\n    procedure Add;\n  end;\n",
       "procedure TTable.Add;\nbegin\nend;\n"
       "function Make: TTable;\nbegin\n  Result := TTable.Create;\n  Result.Add;\nend;\n");
  EXPECT_EQ(calleesOf("Make"), "TTable::Add");  // Create names no routine of the sources
}

TEST_F(DelphiParserTest, ArraysAndShortStringsAreSizedByTheirBounds) {
  unit(
      "var\n  a: array[1..5] of Integer;\n  g: array[0..1, 1..3] of Byte;\n"
      "  m: array[1..2] of array[1..4] of Word;\n  s: string[20];\n"
      "  f: array[Boolean] of Integer;\n",
      "");
  const std::string dump = variables().dump();
  EXPECT_NE(dump.find("Integer a[1..5] 20 "), std::string::npos) << dump;
  EXPECT_NE(dump.find("Byte g[0..1,1..3] 6 "), std::string::npos) << dump;
  EXPECT_NE(dump.find("Word m[1..2,1..4] 16 "), std::string::npos) << dump;
  EXPECT_NE(dump.find("string s[20] 21 "), std::string::npos) << dump;
  // Indexed by a type: the element's size, and nothing logged.
  EXPECT_NE(dump.find("Integer f 4 "), std::string::npos) << dump;
  EXPECT_EQ(log_, "");
}

// Blocks of a unit's initialization and finalization sections are
// balanced by their own ends; the unit's final `end.` closes the section.
TEST_F(DelphiParserTest, UnitConstantsGoToTheConstList) {
  unit(
      "const\n  MaxSize = 1024 * 4;\n  Primes: array[0..2] of Integer = (2, 3, 5);\n"
      "procedure Use(const A: Integer);\n",
      "const\n  Hidden = $FF;\n  MaxSize = 1;\n"
      "procedure Use(const A: Integer);\nconst\n  Local = 3;\nbegin\nend;\n");
  // Delimiters take no blanks beside them; a typed constant keeps its
  // value, not its type; a routine's own constants are no unit's; a second
  // definition of a name is logged and the first kept.
  EXPECT_EQ(defines().bodyOf("MaxSize"), "1024*4");
  EXPECT_EQ(defines().bodyOf("Primes"), "(2,3,5)");
  EXPECT_EQ(defines().bodyOf("Hidden"), "$FF");
  EXPECT_FALSE(defines().isDefined("Local"));
  EXPECT_FALSE(defines().isDefined("A"));
  EXPECT_EQ(log_, "  MaxSizeは既に登録済みです[define]\n");
}

TEST_F(DelphiParserTest, InitializationAndFinalizationBlocksAreBalanced) {
  EXPECT_EQ(delphi("unit u;\ninterface\nprocedure A;\nimplementation\n"
                   "procedure A;\nbegin\nend;\n"
                   "initialization\n  if True then\n  begin\n    A;\n  end;\n"
                   "finalization\n  begin\n    A;\n  end;\nend.\n"),
            "A() u.pas:5 #3 [BK]\n");
  EXPECT_EQ(log_, "");
}

TEST_F(DelphiParserTest, RecordsAndTypesKeepTheBlockCount) {
  EXPECT_EQ(
      unit("type\n  TRec = packed record\n    a, b: Integer;\n"
           "    case Integer of\n      0: (c: Byte);\n      1: (d: Word);\n  end;\n"
           "  TFwd = class;\n  TMeta = class of TFwd;\n  TProc = procedure of object;\n"
           "  IThing = interface\n    procedure Go;\n  end;\n",
           "procedure P;\nbegin\n  case X of\n    1: ;\n  end;\n  try\n  finally\n  end;\nend;\n"),
      "P() u.pas:17 #9 [BK]\n");
  EXPECT_EQ(log_, "");
  EXPECT_TRUE(types().isType("TRec"));
  int flags = 0;
  EXPECT_EQ(classes().sizeOf("TRec", flags), 4 + 4 + 1 + 2);
}

TEST_F(DelphiParserTest, UnbalancedBlocksAreLogged) {
  delphi("unit u;\nimplementation\nprocedure P;\nbegin\n  begin\nend;\nend.\n");
  EXPECT_EQ(log_, "[ u.pas ]で begin/end の数が合いません。\nbegin/endの数 = 1\n");
  delphi("unit u;\nimplementation\nprocedure P;\nbegin\nend;\nend;\nend.\n");
  EXPECT_EQ(log_, "[ u.pas ]で begin/end の数が合いません。\nbegin/endの数 = -1\n");
  // An `end` right after `x = …` (no ';' before it) still ends its block.
  EXPECT_EQ(delphi("unit u;\nimplementation\nfunction F: Boolean;\nbegin\n  F := x = 'a'\nend;\n"
                   "procedure Q;\nbegin\nend;\nend.\n"),
            "Boolean F() u.pas:3 #4 [BK]\nQ() u.pas:7 #3 [BK]\n");
  EXPECT_EQ(log_, "");
}

TEST_F(DelphiParserTest, ProgramMainBlockIsARoutine) {
  EXPECT_EQ(delphi("program Demo;\nprocedure Hello;\nbegin\nend;\nbegin\n  Hello;\nend.\n"),
            "Demo() u.pas:5 #3 [BK] > Hello\n"
            "Hello() u.pas:2 #3 [BK]\n");
  // Its `end.` closes its `begin`: the file is balanced.
  EXPECT_EQ(log_, "");
}

TEST_F(DelphiParserTest, RoutineCalledBeforeItIsDefinedStaysLinked) {
  unit("", "procedure A;\nbegin\n  X := 1;\n  b;\nend;\nprocedure B;\nbegin\nend;\n");
  // Linked after the file: the callee is the definition, spelt as defined.
  EXPECT_EQ(knownFunctions(), "A() u.pas:4 #5 [BK] > B X\nB() u.pas:9 #3 [BK]\n");
}

// Every prefix of a unit, and the unit with bytes changed: no crash, hang
// or sanitizer finding.
TEST_F(DelphiParserTest, UnitsAndClassesOfOneNameInTwoFoldersStayApart) {
  // Two copies of a unit (two programs' folders): each copy's methods and
  // routines are its own, and each calls its own.
  const std::string store =
      "unit Store;\ninterface\ntype\n  TBuffer = class\n    procedure Add;\n"
      "    procedure Flush;\n  end;\nprocedure Reset;\nimplementation\n";
  std::string dump =
      delphiUnits({{"a/Store.pas", store + "procedure TBuffer.Add;\nbegin\n  Reset;\nend;\n"
                                           "procedure TBuffer.Flush;\nbegin\nend;\n"
                                           "procedure Reset;\nbegin\nend;\nend.\n"},
                   {"b/Store.pas", store + "procedure TBuffer.Add;\nbegin\n  Flush;\nend;\n"
                                           "procedure TBuffer.Flush;\nbegin\nend;\n"
                                           "procedure Reset;\nbegin\n  Flush;\nend;\nend.\n"}});
  // The report names both by their file name; B's Reset is no method of
  // TBuffer, so its Flush is the library's.
  EXPECT_EQ(dump,
            "Store.Reset() Store.pas:17 #3 [BK]\n"
            "Store.Reset() Store.pas:17 #4 [BK] > Flush\n"
            "TBuffer::Add() Store.pas:10 #4 [BK] > Store.Reset\n"
            "TBuffer::Add() Store.pas:10 #4 [BK] > TBuffer::Flush\n"
            "TBuffer::Flush() Store.pas:14 #3 [BK]\n"
            "TBuffer::Flush() Store.pas:14 #3 [BK]\n");
  EXPECT_EQ(log_, "");

  // A unit beside the second copy that uses Store calls that copy's Reset.
  delphiUnits({{"a/Store.pas", store + "procedure Reset;\nbegin\nend;\nend.\n"},
               {"b/Store.pas", store + "procedure Reset;\nbegin\nend;\nend.\n"},
               {"b/User.pas",
                "unit User;\ninterface\nuses Store;\nimplementation\n"
                "procedure Go;\nbegin\n  Reset;\nend;\nend.\n"}});
  const FunctionTable& f = functions();
  const FunctionRecord& go = f.record(f.recordOf("Go"));
  ASSERT_EQ(go.callees.size(), 1u);
  const std::string& callee = f.record(go.callees[0]).key;
  EXPECT_EQ(callee.substr(callee.size() - 11), "b/Store.pas") << callee;
}

TEST_F(DelphiParserTest, ObjectsOfClassesOfLaterUnitsAndOfFunctionResults) {
  // Config is read before Engine declares TEngine; Current returns a
  // TConfig; App.Tools is a dotted unit name whose Helper is the only one.
  std::string dump = delphiUnits(
      {{"Config.pas",
        "unit Config;\ninterface\nuses Engine;\ntype\n  TConfig = class\n"
        "    Motor: TEngine;\n    procedure Load;\n  end;\nfunction Current: TConfig;\n"
        "implementation\nvar gCurrent: TConfig;\n"
        "function Current: TConfig;\nbegin\n  Result := gCurrent;\nend;\n"
        "procedure TConfig.Load;\nbegin\n  Motor.Start;\nend;\nend.\n"},
       {"Engine.pas",
        "unit Engine;\ninterface\ntype\n  TEngine = class\n    procedure Start;\n  end;\n"
        "implementation\nprocedure TEngine.Start;\nbegin\nend;\nend.\n"},
       {"Main.dpr",
        "program Main;\nuses Config, App.Tools;\nbegin\n  Current.Load;\n  Helper;\nend.\n"},
       {"Tools.pas",
        "unit App.Tools;\ninterface\nprocedure Helper;\nimplementation\n"
        "procedure Helper;\nbegin\nend;\nend.\n"}});
  EXPECT_NE(dump.find("TConfig::Load() Config.pas:16 #4 [BK] > TEngine::Start\n"),
            std::string::npos)
      << dump;
  EXPECT_NE(dump.find("Main() Main.dpr:3 #4 [BK] > Current Helper TConfig::Load\n"),
            std::string::npos)
      << dump;
  EXPECT_NE(dump.find("Helper() Tools.pas:5 #3 [BK]\n"), std::string::npos) << dump;
}

TEST_F(DelphiParserTest, TruncatedAndDamagedUnits) {
  const std::string source =
      std::string("unit u;\ninterface\n") + kClasses +
      "implementation\nprocedure TFoo.Run;\nvar r: record a: Integer; end;\n"
      "  procedure N; begin with r do asm nop end; end;\n"
      "begin\n  inherited; N; Foo.Bar(1); try case x of 1: ; end; finally end;\n"
      "end;\nend.\n";
  for (size_t n = 0; n <= source.size(); n += 3) delphi(source.substr(0, n));
  for (size_t n = 0; n < source.size(); n += 5) {
    std::string damaged = source;
    damaged[n] = "\0(;)\x82.{'"[n % 8];
    delphi(damaged);
  }
}

}  // namespace

// Each word the parser looks for, in any spelling, and nothing else: no
// prefix, no longer word, no other first byte, no byte beyond ASCII.
TEST(DelphiWords, EachWordInAnySpellingAndNothingElse) {
  namespace word = delphi_word;
  const struct {
    const char* token;
    std::uint64_t bits;
  } cases[] = {
      {"begin", word::kBegin},
      {"BEGIN", word::kBegin},
      {"bEgIn", word::kBegin},
      {"Of", word::kOf},
      {"self", word::kSelf},
      {"RESULT", word::kResult},
      {"resourcestring", word::kResourcestring},
      {"Implementation", word::kImplementation},
      {"begi", 0},
      {"begins", 0},
      {"resourcestrings", 0},
      {"o", 0},
      {"", 0},
      {"@nd", 0},
      {"[nd", 0},
      {"Dnd", 0},
      {"en\x84", 0},
      {"\x82\xa0nd", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(delphiWordsOf(c.token), c.bits) << c.token;
}
