// The function table driven as the parsers drive it: keys per language,
// definitions after prototypes, calls before definitions, links in sorted
// and unsorted order, recursion, constructor chains, the VB re-linking,
// per-file counts, and the internal-error lines. Every test that links
// ends with the invariant check of both link lists.
#include <algorithm>

#include "tests/tables/table_fixture.h"

namespace {

class FunctionTableTest : public TableTest {
 protected:
  void TearDown() override {
    EXPECT_EQ(functions().checkLinks(), "");
    TableTest::TearDown();
  }
  void define(const std::string& name, const std::string& className = "", int steps = 0) {
    functions().registerDefinition(decl(name, className, 1), Registration::kDefined, "");
    if (steps) functions().setBodyInfo(decl(name, className), steps);
  }
  void call(const std::string& caller, const std::string& callee, std::uint32_t flags = 0) {
    functions().SetChainAto(decl(caller), decl(callee), flags);
  }
  const FunctionRecord& recordOf(const std::string& key) {
    int n = functions().recordOf(key);
    EXPECT_GE(n, 0) << key;
    return functions().record(n < 0 ? 0 : n);
  }
  std::string callerKeys(const std::string& key) {
    std::string keys;
    for (int n : recordOf(key).callers)
      keys += (keys.empty() ? "" : " ") + functions().record(n).key;
    return keys;
  }
};

// Without the link check: after a change of comparison the index is in
// the order of its inserts, which neither comparison sorts.
class FunctionOrderTest : public FunctionTableTest {
 protected:
  void TearDown() override { TableTest::TearDown(); }
};

TEST_F(FunctionTableTest, KeysFollowTheLanguageOfTheParsedFile) {
  struct Case {
    const char* file;
    DeclInfo decl;
    const char* key;
  } cases[] = {
      {"c:/src/a.c", {"N", "A", "f", "", "", "", 0}, "N::A::f"},
      {"c:/src/a.c", {"", "", "main", "", "", "", 0}, "main@c:/src/a.c"},
      {"c:/src/a.c", {"", "A", "main", "", "", "", 0}, "A::main@c:/src/a.c"},
      {"c:/src/a.c", {"", "", "Main", "", "", "", 0}, "Main"},
      {"c:/src/w.cpp", {"", "", "main", "", "", "", 0}, "main@c:/src/w.cpp"},
      // VB: the parser names a form's class; a module's Private routine
      // is its file's.
      {"c:/vb/Form1.frm", {"", "Form1", "Command1_Click", "", "", "", 0}, "Form1::Command1_Click"},
      {"c:/vb/Mod1.BAS", {"", "", "Helper", "", "", "", 0}, "Helper"},
      {"c:/vb/Mod1.bas", {"", "", "Helper", "", "", "", 0, true}, "Helper@c:/vb/Mod1.bas"},
      {"c:/vb/Mod1.bas", {"", "", "main", "", "", "", 0}, "main"},
      {"c:/d/u.pas", {"", "TForm1", "main", "", "", "", 0}, "TForm1::main"},
  };
  for (const Case& c : cases) {
    startFile(c.file);
    EXPECT_EQ(functions().qualifiedKey(c.decl), c.key) << c.file;
  }
}

TEST_F(FunctionTableTest, MainKeepsTheMainFilePathAfterAHeader) {
  startFile("c:/src/a.c");
  openFile("c:/src/inc/a.h");
  closeFile();
  EXPECT_EQ(functions().qualifiedKey(decl("main")), "main@c:/src/a.c");
  openFile("c:/src/inc/b.h");
  EXPECT_EQ(functions().qualifiedKey(decl("main")), "main@c:/src/a.c");
}

TEST_F(FunctionTableTest, DisplayNameSpellsOutOperators) {
  startFile("c:/src/a.cpp");
  struct Case {
    const char* key;
    std::uint32_t registration;
    const char* shown;
  } cases[] = {
      {"A::+", Registration::kOperator, "A::operator +"},
      {"N::A::==", Registration::kOperator, "N::A::operator =="},
      {"+", Registration::kOperator, "+"},
      {"A::f", Registration::kDefined, "A::f"},
  };
  for (const Case& c : cases) {
    int position = functions().Func_SetSub(c.key, c.registration);
    ASSERT_GE(position, 0);
    const FunctionRecord& r = functions().record(functions().sortedIndex()[position]);
    std::string scratch;
    EXPECT_EQ(functions().displayName(r, scratch), c.shown);
  }
}

TEST_F(FunctionTableTest, DefinitionAfterPrototypeTakesPositionCommentAndArguments) {
  fileNames().add("other.c");
  startFile("c:/src/a.c");
  DeclInfo proto = decl("f", "", 3);
  proto.returnType = "int";
  proto.arguments = "(int)";
  functions().registerDefinition(proto, Registration::kDefined, "/* proto */");
  DeclInfo def = decl("f", "", 10);
  def.returnType = "long";
  def.arguments = "(int x)";
  functions().registerDefinition(def, Registration::kDefined, "/* def */");
  functions().setBodyInfo(decl("f"), 7);
  DeclInfo late = decl("f", "", 20);
  late.arguments = "(y)";
  functions().registerDefinition(late, Registration::kDefined, "/* late */");

  const FunctionRecord& f = recordOf("f");
  EXPECT_EQ(f.line, 10);
  EXPECT_EQ(f.fileNo, fileNames().find("a.c"));
  EXPECT_EQ(functions().returnTypeOf(f), "int");
  EXPECT_EQ(functions().argumentsOf(f), "(int x)");
  EXPECT_EQ(functions().commentOf(f), "/* def */\n");  // a line of its own
  EXPECT_EQ(f.steps, 7);
  EXPECT_EQ(functions().dump(), "f [BK]\n");
}

TEST_F(FunctionTableTest, ArgumentsAndCommentAfterTheBodyOnlyFillGaps) {
  startFile("c:/src/a.c");
  functions().registerDefinition(decl("g", "", 4), Registration::kDefined, "");
  functions().setBodyInfo(decl("g"), 2, variables().stackUse());
  DeclInfo again = decl("g", "", 9);
  again.arguments = "(void)";
  functions().registerDefinition(again, Registration::kDefined, "/* g */");
  const FunctionRecord& g = recordOf("g");
  EXPECT_EQ(g.line, 4);
  EXPECT_EQ(functions().argumentsOf(g), "(void)");
  EXPECT_EQ(functions().commentOf(g), "/* g */\n");
}

TEST_F(FunctionTableTest, KeepPositionFlagLeavesFileAndLineAlone) {
  startFile("c:/src/a.c");
  functions().registerDefinition(decl("h", "", 5),
                                 Registration::kDefined | Registration::kKeepPosition, "");
  EXPECT_EQ(recordOf("h").line, 0);
  EXPECT_EQ(recordOf("h").fileNo, 0);
}

TEST_F(FunctionTableTest, CallBeforeDefinition) {
  startFile("c:/src/a.c");
  call("main", "foo");
  EXPECT_EQ(functions().dump(), "foo [C]\nmain@c:/src/a.c [K] > foo\n");
  define("foo", "", 3);
  EXPECT_EQ(functions().dump(), "foo [BCK]\nmain@c:/src/a.c [K] > foo\n");
  EXPECT_EQ(recordOf("foo").callers.size(), 1u);
}

TEST_F(FunctionTableTest, RegistrationOnlyAddsFlags) {
  startFile("c:/src/a.c");
  functions().Func_SetSub("p", Registration::kFunctionPointer | Registration::kCallSite);
  functions().Func_SetSub("p", Registration::kInterrupt | Registration::kCallSite);
  functions().Func_SetSub("p", Registration::kDefined);
  EXPECT_EQ(functions().dump(), "p [FCKI]\n");
}

TEST_F(FunctionTableTest, TheSameNameInTwoFiles) {
  startFile("c:/p/a.c");
  define("main");
  call("main", "init");
  startFile("c:/p/b.c");
  define("main");
  call("main", "init");
  define("init", "", 4);
  EXPECT_EQ(functions().dump(),
            "init [BCK]\n"
            "main@c:/p/a.c [K] > init\n"
            "main@c:/p/b.c [K] > init\n");
  EXPECT_EQ(recordOf("init").callers.size(), 2u);
}

TEST_F(FunctionTableTest, DirectRecursionIsMarkedIndirectIsNot) {
  startFile("c:/src/a.c");
  call("f", "f");
  call("a", "b");
  call("b", "a");
  EXPECT_EQ(functions().dump(), "a [K] > b\nb [CK] > a\nf [RK]\n");
}

TEST_F(FunctionTableTest, CalleesSortedOnceEach) {
  startFile("c:/src/a.c");
  for (const char* callee : {"z", "a", "m", "a", "a"}) call("g", callee);
  EXPECT_EQ(functions().dump(), "a [C]\ng [K] > a m z\nm [C]\nz [C]\n");
}

TEST_F(FunctionTableTest, CalleesInCallOrderWithoutSorting) {
  options().noFunctionSort = 1;
  startFile("c:/src/a.c");
  for (const char* callee : {"z", "a", "m", "a", "a"}) call("g", callee);
  EXPECT_EQ(functions().dump(), "a [C]\ng [K] > z a m\nm [C]\nz [C]\n");
  EXPECT_EQ(recordOf("a").callers.size(), 1u);
}

TEST_F(FunctionTableTest, DuplicateChildrenKeptWithBothOptions) {
  options().noFunctionSort = 1;
  options().showDuplicateChildren = 1;
  startFile("c:/src/a.c");
  for (const char* callee : {"f", "x", "f", "f"}) call("g", callee);
  EXPECT_EQ(functions().dump(), "f [C]\ng [K] > f x f f\nx [C]\n");
  EXPECT_EQ(recordOf("f").callers.size(), 3u);
}

TEST_F(FunctionTableTest, DuplicateChildrenOptionAloneKeepsTheSortedRule) {
  options().showDuplicateChildren = 1;
  startFile("c:/src/a.c");
  for (const char* callee : {"f", "f"}) call("g", callee);
  EXPECT_EQ(functions().dump(), "f [C]\ng [K] > f\n");
}

TEST_F(FunctionTableTest, CallsBindToMethodsOfTheClassAndItsBases) {
  startFile("c:/src/shapes.cpp");
  classes().registerClass("Base", 1, 0);
  classes().registerClass("Derived", 1, 0);
  classes().registerClass("Leaf", 1, 0);
  classes().addBase("Derived", "Base");
  classes().addBase("Leaf", "Derived");
  classes().addMethod(decl("draw", "Base"));
  classes().addMethod(decl("paint", "Derived"));
  struct Case {
    DeclInfo caller;
    DeclInfo callee;
    const char* callerKey;
    const char* calleeKey;
  } cases[] = {
      {decl("paint", "Leaf"), decl("draw"), "Derived::paint", "Base::draw"},
      {decl("paint", "Leaf"), decl("draw", "Leaf"), "Derived::paint", "Base::draw"},
      {decl("paint", "Leaf"), decl("printf", "グローバル関数"), "Derived::paint", "printf"},
      {decl("paint", "Leaf"), decl("helper"), "Derived::paint", "helper"},
      {decl("run", "Leaf"), decl("draw", "Other"), "Leaf::run", "Other::draw"},
  };
  for (const Case& c : cases) {
    functions().SetChainAto(c.caller, c.callee, 0);
    int caller = functions().recordOf(c.callerKey);
    int callee = functions().recordOf(c.calleeKey);
    ASSERT_GE(caller, 0) << c.callerKey;
    ASSERT_GE(callee, 0) << c.calleeKey;
    const std::vector<int>& list = functions().record(caller).callees;
    EXPECT_NE(std::find(list.begin(), list.end(), callee), list.end()) << c.calleeKey;
  }
}

// A call made again is linked again only when something it reads changed:
// a method that now takes the call or makes the call, a static now in
// sight, a cycle (told at every call).
TEST_F(FunctionTableTest, ACallMadeAgainSeesWhatChangedSince) {
  startFile("c:/src/shapes.cpp");
  classes().registerClass("Base", 1, 0);
  classes().registerClass("Leaf", 1, 0);
  classes().addBase("Leaf", "Base");
  functions().SetChainAto(decl("run", "Leaf"), decl("helper"), 0);
  classes().addMethod(decl("helper", "Base"));
  functions().SetChainAto(decl("run", "Leaf"), decl("helper"), 0);
  EXPECT_EQ(callerKeys("helper"), "Leaf::run");
  EXPECT_EQ(callerKeys("Base::helper"), "Leaf::run");
  classes().addMethod(decl("run", "Base"));  // the caller is now Base's method
  functions().SetChainAto(decl("run", "Leaf"), decl("helper"), 0);
  functions().settleOrder();
  EXPECT_EQ(callerKeys("Base::helper"), "Base::run Leaf::run");
  startFile("c:/src/a.c");
  call("f", "s");
  DeclInfo local = decl("s", "", 5);
  local.fileLocal = true;
  functions().registerDefinition(local, Registration::kDefined, "");
  call("f", "s");
  EXPECT_EQ(callerKeys("s"), "f");
  EXPECT_EQ(callerKeys("s@c:/src/a.c"), "f");
  startFile("c:/src/self.cpp");
  classes().registerClass("Self", 1, 0);
  classes().addBase("Self", "Self");
  takeLog();
  functions().SetChainAto(decl("run", "Self"), decl("x"), 0);
  std::string once = takeLog();
  EXPECT_NE(once, "");
  functions().SetChainAto(decl("run", "Self"), decl("x"), 0);
  EXPECT_EQ(takeLog(), once);
}

TEST_F(FunctionTableTest, ConstructorCallsChainThroughTheBases) {
  startFile("c:/src/a.cpp");
  classes().registerClass("A", 1, 0);
  classes().registerClass("B", 1, 0);
  classes().registerClass("C", 1, 0);
  classes().addBase("B", "A");
  classes().addBase("C", "B");
  define("A", "A");
  define("B", "B");
  functions().linkConstructorCall("", "main", "C", false);
  const std::string expected =
      "A::A [K]\n"
      "B::B [K] > A::A\n"
      "C::C [K] > B::B\n"
      "main@c:/src/a.cpp [K] > C::C\n";
  EXPECT_EQ(functions().dump(), expected);
  functions().linkConstructorCall("", "main", "C", false);
  EXPECT_EQ(functions().dump(), expected);
}

TEST_F(FunctionTableTest, MemberObjectsAreBuiltByTheHoldingClass) {
  startFile("c:/src/a.cpp");
  functions().linkConstructorCall("W", "", "ns::K", false);
  functions().linkConstructorCall("W", "", "ns::K", true);
  functions().linkConstructorCall("", "", "Z", false);
  functions().linkConstructorCall("W", "open", "Z", false);
  EXPECT_EQ(functions().dump(),
            "W::W [K] > ns::K::K\n"
            "W::open [K] > Z::Z\n"
            "W::~W [K] > ns::K::~K\n"
            "Z::Z [K]\n"
            "ns::K::K [K]\n"
            "ns::K::~K [K]\n");
}

TEST_F(FunctionTableTest, BodyInfoTakesTheFileOfTheDeclarationWhenNoneIsKnown) {
  startFile("c:/p/unit.pas");
  functions().registerDefinition(decl("Run", "", 0), Registration::kDefined, "");
  DeclInfo end = decl("Run");
  end.filePath = "c:/p/unit.pas";
  functions().setBodyInfo(end, 3);
  EXPECT_EQ(recordOf("Run").fileNo, fileNames().find("unit.pas"));
  EXPECT_EQ(functions().countKnownInFile("unit.pas"), 1);
}

TEST_F(FunctionTableTest, AConstructorOfNoClassIsNotRegistered) {
  startFile("c:/src/a.cpp");
  functions().linkConstructorCall("W", "f", "", false);
  EXPECT_EQ(functions().recordCount(), 0);
}

TEST_F(FunctionTableTest, ConstructorChainStopsAtAnInheritanceCycle) {
  startFile("c:/src/a.cpp");
  classes().registerClass("X", 1, 0);
  classes().registerClass("Y", 1, 0);
  classes().addBase("X", "Y");
  classes().addBase("Y", "X");
  define("X", "X");
  define("Y", "Y");
  functions().linkConstructorCall("", "f", "X", false);
  EXPECT_EQ(functions().dump(), "X::X [K] > Y::Y\nY::Y [K] > X::X\nf [K] > X::X\n");
}

TEST_F(FunctionTableTest, InternalErrorLines) {
  startFile("c:/src/a.c");
  toLine(12);
  struct Case {
    void (*operation)(FunctionTable&);
    const char* log;
  } cases[] = {
      {[](FunctionTable& t) { EXPECT_EQ(t.Func_SetSub("", 8), -1); },
       "    a.c 12: NULL関数を登録しようとしています。[Func_SetSub](内部ｴﾗｰ)\n"},
      {[](FunctionTable& t) { EXPECT_EQ(t.Func_SetSub(" f", 8), -1); },
       "    a.c 12: NULL関数を登録しようとしています。[Func_SetSub](内部ｴﾗｰ)\n"},
      {[](FunctionTable& t) {
         int position = 5;
         EXPECT_FALSE(t.Func_Search("", position));
         EXPECT_EQ(position, -1);
       },
       "NULL関数を検索しようとしています。[Func_Search](内部ｴﾗｰ)\n"},
      {[](FunctionTable& t) { t.SetChainAto(decl("f"), decl(""), 0); },
       "内部ｴﾗｰが発生しまた。内部関数名 [SetChainAto]\n    親関数名  [f]\n    子関数名  []\n"},
      {[](FunctionTable& t) { t.SetChainAto(decl(""), decl("g"), 0); },
       "内部ｴﾗｰが発生しまた。内部関数名 [SetChainAto]\n    親関数名  []\n    子関数名  [g]\n"},
  };
  for (const Case& c : cases) {
    c.operation(functions());
    EXPECT_EQ(takeLog(), c.log);
  }
  EXPECT_EQ(functions().recordCount(), 0);
}

TEST_F(FunctionTableTest, SearchGivesInsertionPositions) {
  startFile("c:/src/a.c");
  for (const char* key : {"m", "c", "x", "a"}) functions().Func_SetSub(key, 8);
  struct Case {
    const char* key;
    bool found;
    int position;
  } cases[] = {{"a", true, 0}, {"b", false, 1}, {"c", true, 1}, {"d", false, 2},
               {"m", true, 2}, {"n", false, 3}, {"x", true, 3}, {"y", false, 4}};
  for (const Case& c : cases) {
    int position = -7;
    EXPECT_EQ(functions().Func_Search(c.key, position), c.found) << c.key;
    EXPECT_EQ(position, c.position) << c.key;
  }
  EXPECT_EQ(functions().record(0).key, "m");  // record numbers keep registration order
}

// Records and callers made while the comparison holds wait unsorted until
// the order is read; the order is the one sorted inserts give.
TEST_F(FunctionTableTest, WaitingRecordsAndCallersComeOutSorted) {
  startFile("c:/src/a.c");
  for (const char* caller : {"q", "c", "x", "a"}) call(caller, "f");
  functions().settleOrder();
  EXPECT_EQ(functions().dump(), "a [K] > f\nc [K] > f\nf [C]\nq [K] > f\nx [K] > f\n");
  EXPECT_EQ(callerKeys("f"), "a c q x");
}

// Calls linked by their keys after the last file: a call makes its callee
// a call site, not a known function; a routine calling itself recurses.
TEST_F(FunctionTableTest, CallsLinkedByTheirKeys) {
  startFile("c:/vb/Module1.bas");
  define("Helper", "", 5);
  EXPECT_TRUE(functions().linkKeys("Helper", "Form1::Show", 8));
  EXPECT_TRUE(functions().linkKeys("HELPER", "Helper", 8));
  EXPECT_FALSE(functions().linkKeys("Helper", "", 8));
  takeLog();
  EXPECT_EQ(functions().dump(), "Form1::Show [C]\nHelper [RBK] > Form1::Show\n");
  EXPECT_TRUE(functions().isDefined("helper"));
  EXPECT_FALSE(functions().isDefined("Form1::Show"));
  EXPECT_FALSE(functions().isDefined("Nothing"));
}

// A routine without links takes another key in the key order and the key
// index; one with links, or a key already taken, stays.
TEST_F(FunctionTableTest, RekeyMovesARecordWithoutLinks) {
  startFile("c:/d/u.pas");
  define("u.Alpha");
  define("v.Beta");
  define("Zeta");
  int alpha = functions().recordOf("u.Alpha");
  std::vector<FunctionTable::Rekey> renames{{alpha, "Alpha"},
                                            {functions().recordOf("v.Beta"), "Zeta"}};
  functions().rekey(renames);
  EXPECT_TRUE(renames[0].done);
  EXPECT_FALSE(renames[1].done);  // Zeta is taken
  EXPECT_EQ(functions().recordOf("Alpha"), alpha);
  EXPECT_LT(functions().recordOf("u.Alpha"), 0);
  functions().linkKeys("Zeta", "v.Beta", 8);
  std::vector<FunctionTable::Rekey> linked{{functions().recordOf("v.Beta"), "Beta"}};
  functions().rekey(linked);
  EXPECT_FALSE(linked[0].done);
  std::string order;
  for (int n : functions().sortedIndex()) order += functions().record(n).key + " ";
  EXPECT_EQ(order, "Alpha v.Beta Zeta ");
  EXPECT_EQ(functions().checkLinks(), "");
}

TEST_F(FunctionTableTest, VbKeysIgnoreCaseCKeysDoNot) {
  startFile("c:/vb/Module1.bas");
  define("DoIt");
  EXPECT_TRUE(functions().exists("DOIT"));
  startFile("c:/src/a.c");
  EXPECT_FALSE(functions().exists("DOIT"));
  EXPECT_TRUE(functions().exists("DoIt"));
}

TEST_F(FunctionTableTest, CountsBodiesPerFile) {
  startFile("c:/p/a.c");
  define("f", "", 3);
  define("g", "", 1);
  startFile("c:/p/b.c");
  define("h", "", 2);
  define("p");  // a prototype: no body
  struct Case {
    const char* name;
    int count;
  } cases[] = {{"a.c", 2}, {"b.c", 1}, {"A.C", 0}, {"", 0}, {"z.c", 0}};
  for (const Case& c : cases) EXPECT_EQ(functions().countKnownInFile(c.name), c.count) << c.name;
  functions().setBodyInfo(decl("p"), 4);
  EXPECT_EQ(functions().countKnownInFile("b.c"), 2);
  setCaseInsensitiveNames(true);
  EXPECT_EQ(functions().countKnownInFile("A.C"), 2);
}

TEST_F(FunctionTableTest, StackUseOfTheVariableTableGoesWithTheBody) {
  startFile("c:/src/a.c");
  define("f");
  variables().registerVariable("int", "a", 1, VariableTable::kDeclaration, "", "f");
  variables().registerVariable("CUnknown", "x", 1, VariableTable::kDeclaration, "", "f");
  functions().setBodyInfo(decl("f"), 6, variables().stackUse());
  variables().endFunctionScope();
  define("g");
  variables().registerVariable("char", "*p", 1, VariableTable::kDeclaration, "", "g");
  functions().setBodyInfo(decl("g"), 2, variables().stackUse());
  EXPECT_EQ(recordOf("f").stackBytes, 4);
  EXPECT_EQ(recordOf("g").stackBytes, 4);
  EXPECT_EQ(functions().dump(), "f [BSK]\ng [BK]\n");
}

TEST_F(FunctionTableTest, ReferencedVariablesSortedWithoutDuplicates) {
  startFile("c:/src/a.c");
  define("f");
  for (const char* v : {"int b", "int a", "int b", "char c"})
    functions().addReferencedVariable(decl("f"), v);
  functions().addReferencedVariable(decl("unknown"), "int a");
  functions().addReferencedVariable(decl(""), "int a");
  const std::vector<std::string> expected = {"char c", "int a", "int b"};
  EXPECT_EQ(functions().referencedVariablesOf(recordOf("f")), expected);
  EXPECT_EQ(takeLog(), "");
}

TEST_F(FunctionTableTest, StepCountsAndSortedTypes) {
  startFile("c:/src/a.c");
  DeclInfo b = decl("b", "", 1);
  b.returnType = "long";
  functions().registerDefinition(b, 8, "");
  define("a", "", 5);
  functions().setBodyInfo(decl("b"), 9);
  define("c");
  functions().collectStepCounts();
  EXPECT_EQ(functions().stepCounts(), (std::vector<std::int32_t>{9, 5}));
  EXPECT_EQ(functions().typeOfSorted(1), "long");
  EXPECT_EQ(functions().typeOfSorted(-1), "");
  EXPECT_EQ(functions().typeOfSorted(3), "");
}

// A large program: every lookup is a binary search, so this stays quick;
// the link lists stay consistent in both directions.
TEST_F(FunctionTableTest, TenThousandFunctionsWithTenCallsEach) {
  startFile("c:/src/big.c");
  const int count = 10000;
  unsigned seed = 12345;
  for (int i = 0; i < count; ++i) {
    std::string caller = "fn" + std::to_string(i);
    define(caller, "", 3);
    for (int k = 0; k < 10; ++k) {
      seed = seed * 1103515245u + 12345u;
      call(caller, "fn" + std::to_string((seed >> 8) % count));
    }
  }
  EXPECT_EQ(functions().recordCount(), count);
  EXPECT_EQ(functions().countKnownInFile("big.c"), count);
}

TEST_F(FunctionTableTest, OddNamesNeitherCrashNorHang) {
  const std::string odd[] = {
      "",     " lead", std::string(10000, 'x'), "\x81\x40\xE0\xFF\xFC", "::", "@", "main@", "<",
      "a<b>", "~"};
  for (const char* file : {"c:/src/a.cpp", "c:/vb/f.frm"}) {
    startFile(file);
    for (const std::string& n : odd) {
      for (const std::string& m : odd) {
        functions().SetChainAto(decl(n, m), decl(m, n), Registration::kCallSite);
        functions().linkConstructorCall(n, m, n, true);
        functions().linkKeys(n, m, 8);
      }
      functions().registerDefinition(decl(n, n, 3), 8, n);
      functions().setBodyInfo(decl(n, n), 1);
      functions().addReferencedVariable(decl(n), n);
      functions().Func_SetSub(n, 8);
      EXPECT_FALSE(functions().exists(" lead"));
      functions().countKnownInFile(n);
    }
  }
  EXPECT_GT(functions().recordCount(), 0);
}

}  // namespace

// C's exact comparison orders "B" before "a"; a Delphi file then inserts
// under the folded one, into the order the C file left: what waited is
// sorted in first, under the comparison it came under.
TEST_F(FunctionOrderTest, AChangeOfComparisonSortsTheWaitingInFirst) {
  startFile("c:/src/a.c");
  for (const char* caller : {"b", "m", "B"}) call(caller, "f");
  startFile("c:/d/u.pas");
  call("a", "f");
  functions().settleOrder();
  EXPECT_EQ(functions().dump(), "a [K] > f\nB [K] > f\nb [K] > f\nf [C]\nm [K] > f\n");
  EXPECT_EQ(callerKeys("f"), "a B b m");
}
