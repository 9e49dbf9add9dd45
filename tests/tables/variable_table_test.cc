// The variable table as the parsers drive it: sizes with array bounds in
// the three bracket syntaxes, stack use per function with sibling blocks
// and the inexact mark, scopes closed at block ends, the main table's
// identity rules and owners, references, the hand-over to the function
// table, the internal-error lines, and odd names.
#include "scan/define_table.h"
#include "tests/tables/table_fixture.h"

namespace {

constexpr int kDecl = VariableTable::kDeclaration;

class VariableTableTest : public TableTest {
 protected:
  void global(const std::string& type, const std::string& name) {
    variables().registerVariable(type, name, 0, kDecl, "", "");
  }
  void local(const std::string& type, const std::string& name, int level,
             const std::string& function = "f") {
    variables().registerVariable(type, name, level, kDecl, "", function);
  }
  void define(const std::string& name, const std::string& body) {
    ASSERT_TRUE(defines().beginDefine(name));
    defines().defineBodyToken(body);
    defines().defineBodyToken("\n");
  }
  // "type name" of every record, in table order.
  std::string tableOrder() {
    std::string order;
    for (int i = 0; i < variables().recordCount(); ++i)
      order += (i ? ", " : "") + variables().record(i).type + " " + variables().record(i).name;
    return order;
  }
  // The type a reference sees, or "<none>".
  std::string typeSeen(const std::string& name, const std::string& className,
                       const std::string& function) {
    const std::string* type = variables().referenceVariable(name, className, function);
    return type ? *type : "<none>";
  }
  // The main-table record of a name (the first one), or null.
  const VariableRecord* find(const std::string& name) {
    for (int i = 0; i < variables().recordCount(); ++i)
      if (variables().record(i).name == name) return &variables().record(i);
    return nullptr;
  }
  struct SizeCase {
    const char* type;
    const char* name;
    const char* plainName;
    int size;
    bool inexact;
  };
  void checkSizes(const std::vector<SizeCase>& cases) {
    for (const SizeCase& c : cases) global(c.type, c.name);
    for (const SizeCase& c : cases) {
      const VariableRecord* r = find(c.plainName);
      ASSERT_NE(r, nullptr) << c.name;
      EXPECT_EQ(r->size, c.size) << c.name;
      EXPECT_EQ((r->flags & VariableRecord::kInexact) != 0, c.inexact) << c.name;
      EXPECT_EQ(variables().writtenNameOf(*r), c.name);
    }
  }
};

TEST_F(VariableTableTest, SizesOfCDeclarations) {
  startFile("c:/src/a.c");
  define("N", "5");
  define("ALIAS", "N");
  types().registerType("T", TypeTable::kTypedef, 12, false, 1);
  types().registerType("FUZZY", TypeTable::kTypedef, 6, true, 1);
  types().registerType("unsigned", TypeTable::kTypedef, 4, false, 1);
  classes().registerSettingsClass("CLib");
  checkSizes({
      {"int", "a[10]", "a", 40, false},
      {"int", "b[N]", "b", 20, false},
      {"int", "b2[ALIAS]", "b2", 20, false},
      {"int", "c[]", "c", 4, true},
      {"char", "m[2][3]", "m", 6, false},
      {"int", "*p", "p", 4, false},
      {"char", "*names[8]", "names", 32, false},
      {"double", "&r", "r", 4, false},
      {"double", "d", "d", 8, false},
      {"static int", "s", "s", 4, false},
      {"unsigned long long int", "u", "u", 4, false},
      {"unsigned", "v", "v", 4, false},
      {"const", "k", "k", 0, true},
      {"CLib", "lib", "lib", 0, true},
      {"CUnknown", "x", "x", 0, true},
      {"int", "z[0]", "z", 4, true},
      {"int", "e[M]", "e", 4, true},
      {"ns::T", "t", "t", 12, false},
      {"FUZZY", "f", "f", 6, true},
  });
  // A bound the evaluator cannot read is reported as a stack-size error.
  EXPECT_EQ(takeLog(), "    a.c 1: ｽﾀｯｸｻｲｽﾞ計測ｴﾗｰ[不明な文字][M]\n");
}

TEST_F(VariableTableTest, SizesOfVbDeclarations) {
  startCaseInsensitiveRun();
  startFile("c:/vb/m.bas");
  define("TOP", "4");
  checkSizes({
      {"Integer", "a(10)", "a", 22, false},
      {"Integer", "a2(1 To 5)", "a2", 10, false},
      {"Integer", "a3(2, 3)", "a3", 24, false},
      {"Integer", "h(&H10)", "h", 34, false},
      {"Integer", "o(&O7)", "o", 16, false},
      {"Integer", "n(-1)", "n", 2, true},
      {"Integer", "t(TOP)", "t", 10, false},
      {"String", "s", "s", 10, false},
      {"Long", "l", "l", 4, false},
  });
}

TEST_F(VariableTableTest, SizesOfDelphiDeclarations) {
  startCaseInsensitiveRun();
  startFile("c:/d/u.pas");
  checkSizes({
      {"Integer", "x[1..5]", "x", 20, false},
      {"Integer", "y[$0A]", "y", 44, false},
      {"Integer", "q[1..2, 0..2]", "q", 24, false},
      {"string", "s[20]", "s", 21, false},
      {"string", "t", "t", 4, false},
      {"Integer", "w[5..1]", "w", 4, true},
  });
}

TEST_F(VariableTableTest, SiblingBlocksShareStack) {
  startFile("c:/src/a.c");
  local("int", "a", 1);
  local("char", "buf[100]", 2);
  variables().closeScope(2);
  local("char", "buf[100]", 2);
  variables().closeScope(2);
  StackUse use = variables().stackUse();
  EXPECT_EQ(use.bytes, 104);
  EXPECT_FALSE(use.inexact);
  variables().closeScope(1);
  variables().closeScope(1);  // never below zero
  local("char", "c", 1);
  EXPECT_EQ(variables().stackUse().bytes, 104);
  variables().endFunctionScope();
  EXPECT_EQ(variables().stackUse().bytes, 0);
  EXPECT_EQ(variables().recordCount(), 0);  // locals never reach the main table
}

TEST_F(VariableTableTest, StackCountsParametersPointersAndArrays) {
  startFile("c:/src/a.c");
  variables().registerVariable("int", "n", 1, 0, "", "f");  // a parameter
  local("char", "*p", 1);
  local("int", "arr[3]", 1);
  local("double", "*dp[2]", 2);
  local("static int", "calls", 1);  // static storage, not on the stack
  EXPECT_EQ(variables().stackUse().bytes, 28);
  EXPECT_FALSE(variables().stackUse().inexact);
  local("CUnknown", "obj", 2);
  local("int", "v[]", 2);
  EXPECT_EQ(variables().stackUse().bytes, 32);
  EXPECT_TRUE(variables().stackUse().inexact);
}

TEST_F(VariableTableTest, EachFileNestingDepthHasItsOwnAccount) {
  startFile("c:/src/a.c");
  local("int", "a", 1);
  openFile("c:/src/inline.h");
  EXPECT_EQ(variables().stackUse().bytes, 0);
  local("double", "d", 1, "g");
  EXPECT_EQ(variables().stackUse().bytes, 8);
  closeFile();
  EXPECT_EQ(variables().stackUse().bytes, 4);
}

TEST_F(VariableTableTest, LocalsHideGlobalsUntilTheirScopeCloses) {
  startFile("c:/src/a.c");
  global("long", "count");
  local("int", "count", 2);
  EXPECT_EQ(typeSeen("count", "", "f"), "int");
  EXPECT_EQ(variables().referencingFunctions(*find("count")).size(), 0u);
  variables().closeScope(2);
  EXPECT_EQ(typeSeen("count", "", "f"), "long");
  EXPECT_EQ(typeSeen("count", "", "f"), "long");
  EXPECT_EQ(typeSeen("count", "A", "g"), "long");
  EXPECT_EQ(typeSeen("count", "", ""), "long");
  EXPECT_EQ(typeSeen("nothing", "", "f"), "<none>");
  EXPECT_EQ(variables().referencingFunctions(*find("count")),
            (std::vector<std::string>{"f", "A::g"}));
}

TEST_F(VariableTableTest, AFunctionEndDropsItsLocals) {
  startFile("c:/src/a.c");
  local("int", "tmp", 1, "proto");  // a prototype's parameter
  variables().endFunctionScope();
  EXPECT_EQ(typeSeen("tmp", "", "f"), "<none>");
}

TEST_F(VariableTableTest, StaticLocalsBelongToTheirFunction) {
  startFile("c:/src/a.cpp");
  global("int", "n");
  toLine(9);
  local("static int", "n", 1, "f");
  variables().registerVariable("static int", "n", 1, kDecl, "A", "g");
  EXPECT_EQ(typeSeen("n", "", "f"), "static int");
  EXPECT_EQ(typeSeen("n", "A", "g"), "static int");
  EXPECT_EQ(typeSeen("n", "", "h"), "int");
  EXPECT_EQ(variables().dump(),
            "int n 4 1:1 1 0 {h}\n"
            "static int n 4 1:9 11 0 (::f) {f}\n"
            "static int n 4 1:9 15 0 (A::g) {A::g}\n");
}

TEST_F(VariableTableTest, AGlobalOfAHeaderReadAgainIsOneRecord) {
  startFile("c:/src/a.c");
  variables().registerVariable("int", "shared", 0, kDecl | VariableTable::kExtern, "", "");
  EXPECT_EQ(find("shared")->file, 0);
  openFile("c:/src/g.h");
  toLine(2);
  global("int", "shared");
  closeFile();
  startFile("c:/src/b.c");
  openFile("c:/src/g.h");
  toLine(2);
  global("int", "shared");
  EXPECT_EQ(variables().recordCount(), 1);
  EXPECT_EQ(find("shared")->file, fileNames().find("g.h"));
  EXPECT_EQ(find("shared")->line, 2);
  variables().resetFileState();
  EXPECT_EQ(variables().recordCount(), 1);
}

// A library object of the settings data (no position, no declaration
// mark) becomes the sources' variable when they define it.
TEST_F(VariableTableTest, ADefinitionTakesOverAPositionlessDeclaration) {
  startFile("c:/src/a.c");
  variables().registerVariable("CWinApp", "theApp", 0, VariableTable::kExtern, "", "");
  toLine(3);
  global("double", "theApp");
  EXPECT_EQ(variables().dump(), "double theApp 8 1:3 1 0\n");
}

TEST_F(VariableTableTest, DataMembersGoToTheirClassAndTheMainTable) {
  startFile("c:/src/a.cpp");
  variables().registerVariable("int", "x", 1, kDecl, "CPoint", "");
  variables().registerVariable("char", "tag[6]", 1, kDecl, "CPoint", "");
  variables().registerVariable("int", "x", 1, kDecl, "CSize", "");
  int flags = -1;
  EXPECT_EQ(classes().sizeOf("CPoint", flags), 10);
  EXPECT_EQ(flags, 0);
  EXPECT_EQ(variables().recordCount(), 3);
  EXPECT_EQ(find("x")->flags,
            VariableRecord::kNotParameter | VariableRecord::kOwned | VariableRecord::kClassSet);
  EXPECT_EQ(variables().stackUse().bytes, 0);
}

TEST_F(VariableTableTest, ReferencesReachMembersThroughTheClassTable) {
  startFile("c:/src/a.cpp");
  classes().registerClass("Base", 1, ClassTable::kClass);
  classes().registerClass("View", 1, ClassTable::kClass);
  classes().addBase("View", "Base");
  variables().registerVariable("int", "width", 1, kDecl, "Base", "");
  functions().Func_SetSub("View::draw", Registration::kDefined);
  EXPECT_EQ(typeSeen("width", "View", "draw"), "int");
  int n = functions().recordOf("View::draw");
  ASSERT_GE(n, 0);
  EXPECT_EQ(functions().referencedVariablesOf(functions().record(n)),
            (std::vector<std::string>{"Base::int width"}));
}

// A Delphi body's references are answered again from what was found, so
// every change that bears on an answer must be seen by the next reference:
// a member, a local and its scope's end, a global, the function's record
// made after a member reference, and a cycle told at every lookup.
TEST_F(VariableTableTest, DelphiReferencesMadeAgainSeeWhatChangedSince) {
  startFile("c:/d/u.pas");
  classes().registerClass("TRoot", 1, ClassTable::kClass);
  classes().registerClass("TLeaf", 1, ClassTable::kClass);
  classes().addBase("TLeaf", "TRoot");
  EXPECT_EQ(typeSeen("Count", "TLeaf", "Run"), "<none>");
  variables().registerVariable("Integer", "Count", 1, kDecl, "TRoot", "");
  EXPECT_EQ(typeSeen("count", "TLeaf", "Run"), "Integer");
  EXPECT_EQ(typeSeen("Size", "TLeaf", "Run"), "<none>");
  classes().addMember("TRoot", "Word", "Size", 2, 0);
  EXPECT_EQ(typeSeen("Size", "TLeaf", "Run"), "Word");
  EXPECT_EQ(typeSeen("Tmp", "TLeaf", "Run"), "<none>");
  variables().registerVariable("Byte", "Tmp", 2, kDecl, "TLeaf", "Run");
  EXPECT_EQ(typeSeen("Tmp", "TLeaf", "Run"), "Byte");
  variables().closeScope(2);
  EXPECT_EQ(typeSeen("Tmp", "TLeaf", "Run"), "<none>");
  global("Word", "Tmp");
  EXPECT_EQ(typeSeen("Tmp", "TLeaf", "Run"), "Word");
  EXPECT_EQ(typeSeen("Count", "TLeaf", "Later"), "Integer");
  functions().Func_SetSub("TLeaf::Later", Registration::kDefined);
  EXPECT_EQ(typeSeen("Count", "TLeaf", "Later"), "Integer");
  EXPECT_EQ(
      functions().referencedVariablesOf(functions().record(functions().recordOf("TLeaf::Later"))),
      (std::vector<std::string>{"TRoot::Integer Count"}));
  classes().registerClass("TSelf", 1, ClassTable::kClass);
  classes().addBase("TSelf", "TSelf");
  takeLog();
  EXPECT_EQ(typeSeen("Size", "TSelf", "Run"), "<none>");
  EXPECT_EQ(typeSeen("Size", "TSelf", "Run"), "<none>");
  const std::string cycle = "基本ｸﾗｽ検索において無限ﾙｰﾌﾟに陥りました。\n";
  EXPECT_EQ(takeLog(), cycle + cycle);
}

TEST_F(VariableTableTest, ReferencesAreHandedToTheFunctionTable) {
  startFile("c:/src/a.c");
  global("int", "g");
  global("char", "*name");
  functions().registerDefinition(decl("main", "", 3), Registration::kDefined, "");
  functions().registerDefinition(decl("f", "", 9), Registration::kDefined, "");
  variables().referenceVariable("g", "", "main");
  variables().referenceVariable("g", "", "f");
  variables().referenceVariable("name", "", "f");
  startFile("c:/src/b.c");  // the hand-over comes after the last file
  variables().handOverReferences();
  int mainRecord = functions().recordOf("main@c:/src/a.c");
  int f = functions().recordOf("f");
  ASSERT_GE(mainRecord, 0);
  ASSERT_GE(f, 0);
  EXPECT_EQ(functions().referencedVariablesOf(functions().record(mainRecord)),
            (std::vector<std::string>{"int g"}));
  EXPECT_EQ(functions().referencedVariablesOf(functions().record(f)),
            (std::vector<std::string>{"char name", "int g"}));
}

TEST_F(VariableTableTest, InternalErrorLines) {
  startFile("c:/src/a.c");
  toLine(7);
  struct Case {
    const char* type;
    const char* name;
    const char* log;
  } cases[] = {
      {"", "x",
       "    a.c 7: (内部ｴﾗｰ)不明なｵﾌﾞｼﾞｪｸﾄを登録しようとしています\n    型名[]  ｵﾌﾞｼﾞｪｸﾄ名[x]\n"},
      {"int", "",
       "    a.c 7: (内部ｴﾗｰ)不明なｵﾌﾞｼﾞｪｸﾄを登録しようとしています\n    型名[int]  ｵﾌﾞｼﾞｪｸﾄ名[]\n"},
      {"int", "*", "(内部ｴﾗｰ)ｵﾌﾞｼﾞｪｸﾄの登録に失敗しました[*]\n"},
      {"int", "&[3]", "(内部ｴﾗｰ)ｵﾌﾞｼﾞｪｸﾄの登録に失敗しました[&[3]]\n"},
  };
  for (const Case& c : cases) {
    global(c.type, c.name);
    EXPECT_EQ(takeLog(), c.log) << c.name;
  }
  EXPECT_EQ(variables().recordCount(), 0);
}

TEST_F(VariableTableTest, ArrayBoundsFollowDefinesButNotForever) {
  startFile("c:/src/a.c");
  define("LOOP", "LOOP2");
  define("LOOP2", "LOOP");
  long long value = -1;
  EXPECT_FALSE(arrayBoundValue("LOOP", run().scan().expressions(), value));
  EXPECT_TRUE(arrayBoundValue(" 12 ", run().scan().expressions(), value));
  EXPECT_EQ(value, 12);
  EXPECT_FALSE(arrayBoundValue("12x", run().scan().expressions(), value));
  EXPECT_FALSE(arrayBoundValue("", run().scan().expressions(), value));
}

// One name as a global and as a static local of many functions: each
// function sees its own, any other function the global; registering the
// same owner again adds nothing.
TEST_F(VariableTableTest, StaticLocalsOfOneNameInManyFunctions) {
  startFile("c:/src/a.c");
  global("long", "n");
  for (int i = 0; i < 3000; ++i)
    variables().registerVariable("static short", "n", 1, kDecl, "", "f" + std::to_string(i));
  for (int i = 0; i < 3000; i += 7)
    variables().registerVariable("static short", "n", 1, kDecl, "", "f" + std::to_string(i));
  variables().registerVariable("static char", "n", 1, kDecl, "C", "f5");
  EXPECT_EQ(variables().recordCount(), 3002);
  EXPECT_EQ(typeSeen("n", "", "f0"), "static short");
  EXPECT_EQ(typeSeen("n", "", "f2999"), "static short");
  EXPECT_EQ(typeSeen("n", "C", "f5"), "static char");
  EXPECT_EQ(typeSeen("n", "", "main"), "long");
  EXPECT_EQ(typeSeen("n", "D", "f5"), "long");
  // The list order stays by name, then by registration: the global first.
  EXPECT_EQ(variables().record(0).type, "long");
  EXPECT_EQ(variables().functionOf(variables().record(1)), "f0");
  EXPECT_EQ(variables().classOf(variables().record(3001)), "C");
}

// Each referring function is listed once, in the order of its first
// reference, however the references interleave; the class makes it another
// referrer. The hand-over reaches functions defined only later, too.
TEST_F(VariableTableTest, ReferrersAreListedOnceInFirstOrder) {
  startFile("c:/src/a.cpp");
  global("int", "g");
  functions().registerDefinition(decl("f", "", 3), Registration::kDefined, "");
  for (int round = 0; round < 3; ++round)
    for (const char* function : {"f", "m", "A::m", "k", "f"}) {
      std::string text = function;
      size_t colons = text.find("::");
      std::string className = colons == std::string::npos ? "" : text.substr(0, colons);
      std::string name = colons == std::string::npos ? text : text.substr(colons + 2);
      EXPECT_EQ(typeSeen("g", className, name), "int");
    }
  const VariableRecord* r = find("g");
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(variables().referencingFunctions(*r),
            (std::vector<std::string>{"f", "m", "A::m", "k"}));
  functions().registerDefinition(decl("k", "", 9), Registration::kDefined, "");
  variables().handOverReferences();
  for (const char* key : {"f", "k"}) {
    int n = functions().recordOf(key);
    ASSERT_GE(n, 0) << key;
    EXPECT_EQ(functions().referencedVariablesOf(functions().record(n)),
              (std::vector<std::string>{"int g"}))
        << key;
  }
}

TEST_F(VariableTableTest, OddNamesNeitherCrashNorHang) {
  const std::string odd[] = {"",
                             " lead",
                             std::string(10000, 'v'),
                             "\x81\x40\xE0\xFF\xFC",
                             "*",
                             "[",
                             "a[",
                             "a[[[",
                             "(",
                             "b(1 To",
                             "c(&H",
                             "d[1..",
                             "e[99999999999999999999]",
                             "f[2][3][4][5][6][7][8][9][10][11][12]"};
  for (const char* file : {"c:/src/a.cpp", "c:/vb/m.frm", "c:/d/u.pas"}) {
    startFile(file);
    for (const std::string& n : odd) {
      for (const std::string& t : odd) {
        for (int level : {0, 1, 2}) {
          variables().registerVariable(t, n, level, kDecl, "", "f");
          variables().registerVariable(t, n, level, kDecl, n, "");
          variables().registerVariable(t, n, level, VariableTable::kExtern, n, n);
        }
        variables().referenceVariable(n, t, n);
      }
      variables().closeScope(2);
    }
    variables().endFunctionScope();
  }
  variables().handOverReferences();
  variables().writeVariableList(reports());
  variables().writeVariableDetails(reports());
  EXPECT_GT(variables().recordCount(), 0);
}

}  // namespace

namespace {

// Many globals and many references: every lookup is a binary search.
TEST_F(VariableTableTest, TwentyThousandGlobalsWithReferences) {
  startFile("c:/src/big.c");
  const int count = 20000;
  unsigned seed = 7;
  for (int i = 0; i < count; ++i) {
    seed = seed * 1103515245u + 12345u;
    global("int", "g" + std::to_string(seed % 1000003));
  }
  for (int i = 0; i < 100000; ++i) {
    seed = seed * 1103515245u + 12345u;
    variables().referenceVariable("g" + std::to_string(seed % 1000003), "", "f");
  }
  for (int i = 1; i < variables().recordCount(); ++i)
    ASSERT_LE(compareNames(variables().record(i - 1).name, variables().record(i).name), 0);
}

}  // namespace

// An unowned variable is the one of its name registered first in its own
// language: a C and a C++ global of one name are two records, and each
// file meets its own again.
TEST_F(VariableTableTest, EachLanguageFindsItsOwnGlobalOfAName) {
  startFile("c:/src/a.c");
  global("int", "x");
  startFile("c:/src/b.cpp");
  global("long", "x");
  global("short", "x");
  startFile("c:/src/c.c");
  global("char", "x");
  EXPECT_EQ(tableOrder(), "int x, long x");
}

// C orders "B" before "b" and both before nothing of "a"'s; a Delphi file
// then registers under the folded comparison into the order C left, as
// the sorted inserts did: what waited is sorted in first.
TEST_F(VariableTableTest, AChangeOfComparisonSortsTheWaitingInFirst) {
  startFile("c:/src/a.c");
  global("int", "b");
  global("int", "B");
  variables().registerVariable("static int", "B", 1, kDecl, "", "f");
  startFile("c:/d/u.pas");
  global("Integer", "a");
  EXPECT_EQ(tableOrder(), "Integer a, int B, static int B, int b");
}
