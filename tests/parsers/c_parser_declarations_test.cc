// Typedefs, structures, enumerations, extern "C" blocks and variables read
// by the C-family parser, and the balance messages at the end of a file.
#include "tests/parsers/c_parser_fixture.h"

namespace {

class CDeclarationTest : public CParserTest {
 protected:
  int sizeOf(const std::string& type) { return types().sizeOf(type).bytes; }
  int kindOf(const std::string& type) { return types().kindOf(type); }
  const std::string& define(const std::string& name) { return defines().bodyOf(name); }
  // "type written-name size" of the file-level variable `name`, or "<none>".
  std::string variable(const std::string& name) {
    const VariableTable& v = variables();
    for (int i = 0; i < v.recordCount(); ++i) {
      const VariableRecord& r = v.record(i);
      if (r.name == name)
        return r.type + " " + std::string(v.writtenNameOf(r)) + " " + std::to_string(r.size);
    }
    return "<none>";
  }
};

TEST_F(CDeclarationTest, TypedefsOfBaseTypes) {
  analyse({{"main.c",
            "typedef unsigned char BYTE;\n"
            "typedef long LONG, *PLONG;\n"
            "typedef void *HANDLE;\n"
            "typedef unsigned long\n"
            "    DWORD;\n"
            "typedef MYINT;\n"}});
  EXPECT_EQ(sizeOf("BYTE"), 1);
  EXPECT_EQ(sizeOf("LONG"), 4);
  EXPECT_EQ(sizeOf("PLONG"), 4);
  EXPECT_EQ(kindOf("PLONG") & TypeTable::kTypedef, TypeTable::kTypedef);
  // No base type that the tables know: a pointer still has a pointer's size.
  EXPECT_TRUE(types().isType("HANDLE"));
  EXPECT_EQ(sizeOf("HANDLE"), 4);
  EXPECT_EQ(sizeOf("DWORD"), 4);
  // No base type at all: a size nobody knows, 0 and inexact.
  EXPECT_EQ(sizeOf("MYINT"), 0);
  EXPECT_TRUE(types().sizeOf("MYINT").inexact);
  EXPECT_FALSE(types().sizeOf("HANDLE").inexact);
  EXPECT_EQ(dumpFunctions(), "");
}

TEST_F(CDeclarationTest, FunctionPointerTypedef) {
  analyse({{"main.c",
            "typedef int (*CMPFN)(const void *, const void *);\n"
            "typedef void (*HOOK)(int);\n"
            "void f(void)\n{\n    CMPFN c;\n}\n"}});
  EXPECT_EQ(kindOf("CMPFN"), TypeTable::kFunctionPointer);
  EXPECT_EQ(kindOf("HOOK"), TypeTable::kFunctionPointer);
  EXPECT_EQ(sizeOf("CMPFN"), 4);
  EXPECT_EQ(calleesOf("f"), "c");
  EXPECT_EQ(takeLog(), "");
}

TEST_F(CDeclarationTest, AnonymousStructureTypedef) {
  analyse({{"main.c", "typedef struct { int x; char c; } POINT2;\n"}});
  EXPECT_EQ(kindOf("POINT2"), TypeTable::kStructure | TypeTable::kTypedef);
  EXPECT_EQ(sizeOf("POINT2"), 5);
  EXPECT_TRUE(classes().exists("POINT2"));
  EXPECT_FALSE(classes().exists("@無名構造体@main.c"));
  EXPECT_EQ(dumpFunctions(), "");
}

TEST_F(CDeclarationTest, TaggedStructureWithTypedefNames) {
  analyse({{"main.c",
            "typedef struct tag {\n"
            "    int m1;\n"
            "    int m2;\n"
            "} A, *PA;\n"
            "struct tag v;\n"
            "struct tag one, *two = 0;\n"
            "int a, *b, c[10];\n"}});
  EXPECT_EQ(kindOf("tag"), TypeTable::kStructure | TypeTable::kTag);
  EXPECT_EQ(sizeOf("tag"), 8);
  EXPECT_EQ(sizeOf("A"), 8);
  EXPECT_EQ(sizeOf("PA"), 4);
  // `struct tag v;`: the ';' right after the tag's declarator ends the
  // statement without a variable.
  EXPECT_EQ(variable("v"), "<none>");
  EXPECT_EQ(variable("one"), "struct tag one 8");
  EXPECT_EQ(variable("two"), "struct tag *two 4");
  EXPECT_EQ(variable("a"), "int a 4");
  EXPECT_EQ(variable("b"), "int *b 4");
  EXPECT_EQ(variable("c"), "int c[10] 40");
}

TEST_F(CDeclarationTest, StructureVariablesAfterTheBody) {
  analyse({{"main.c", "struct pt { int x; int y; } here, *there;\n"}});
  EXPECT_EQ(variable("here"), "pt here 8");
  EXPECT_EQ(variable("there"), "pt *there 4");
  // The members belong to the structure, not to the file.
  int flags = 0;
  EXPECT_EQ(classes().sizeOf("pt", flags), 8);
  EXPECT_EQ(variable("x"), "int x 4");
}

TEST_F(CDeclarationTest, FunctionsReturningAndTakingStructures) {
  EXPECT_EQ(analyse({{"main.c",
                      "struct node { int v; };\n"
                      "struct node *make(int v)\n{\n    return alloc(v);\n}\n"
                      "int size(struct node *n) { return count(n); }\n"}}),
            "alloc() [C]\n"
            "count() [C]\n"
            "struct node* make() main.c:2 #4 [BK] > alloc\n"
            "int size() main.c:6 #1 [BK] > count\n");
}

TEST_F(CDeclarationTest, Enumerations) {
  analyse({{"main.c",
            "enum { A, B = 5, C };\n"
            "enum { X = 0x10, Y, Z = 010, W = (X | 0x3) << 1 };\n"
            "#define SHIFT(n) (1 << (n))\n"
            "#define BASE 40\n"
            "typedef enum {\n    RED = SHIFT(2),\n    GREEN = B,\n    BLUE = BASE + C, LAST = "
            "unknown_name, AFTER\n} Color;\n"}});
  EXPECT_EQ(define("A"), "0");
  EXPECT_EQ(define("B"), "5");
  EXPECT_EQ(define("C"), "6");
  // Initialisers are constant expressions, as the compiler takes them.
  EXPECT_EQ(define("X"), "16");
  EXPECT_EQ(define("Y"), "17");
  EXPECT_EQ(define("Z"), "8");
  EXPECT_EQ(define("W"), "38");
  EXPECT_EQ(define("RED"), "4");
  EXPECT_EQ(define("GREEN"), "5");
  EXPECT_EQ(define("BLUE"), "46");
  // One that does not evaluate leaves the count where it was, silently.
  EXPECT_EQ(define("LAST"), "47");
  EXPECT_EQ(define("AFTER"), "48");
  EXPECT_EQ(kindOf("Color"), TypeTable::kStructure | TypeTable::kTypedef);
  EXPECT_EQ(sizeOf("Color"), 4);
  EXPECT_EQ(takeLog(), "");
}

TEST_F(CDeclarationTest, EnumeratorAlreadyDefined) {
  predefine("A", {}, {});
  analyse({{"main.c", "enum { A, B };\nint f(void) { g(); }\n"}});
  std::string log = takeLog();
  EXPECT_NE(log.find("    main.c 1: enum定義の登録が出来ません\n"), std::string::npos) << log;
  // The machine is back in its default state for the function.
  EXPECT_EQ(calleesOf("f"), "g");
}

TEST_F(CDeclarationTest, EnumerationParametersAndReturnTypes) {
  EXPECT_EQ(analyse({{"main.c",
                      "enum mode { ON, OFF };\n"
                      "int set(enum mode m)\n{\n    return apply(m);\n}\n"}}),
            "apply() [C]\n"
            "int set() main.c:2 #4 [BK] > apply\n");
  EXPECT_EQ(define("OFF"), "1");
  EXPECT_FALSE(defines().isDefined("apply"));
}

TEST_F(CDeclarationTest, ExternCBlocksAreReadAsTheFileAroundThem) {
  // Definitions inside a linkage block, and their calls, are as outside it.
  EXPECT_EQ(analyse({{"main.cpp",
                      "extern \"C\" {\n"
                      "int f(int);\n"
                      "int k(int x) { return f(x); }\n"
                      "}\n"
                      "extern \"C\" int h(int);\n"
                      "int g(void) { return k(0); }\n"}}),
            "int f() main.cpp:2 [K]\n"
            "int g() main.cpp:6 #1 [BK] > k\n"
            "int h() main.cpp:5 [K]\n"
            "int k() main.cpp:3 #1 [BK] > f\n");
  EXPECT_EQ(takeLog(), "");
}

TEST_F(CDeclarationTest, LocalsAndParametersGiveStackUse) {
  analyse({{"main.c",
            "int f(int a, char *p)\n"
            "{\n"
            "    int i, j;\n"
            "    { char buf[100]; }\n"
            "    { char other[100]; }\n"
            "    return 0;\n"
            "}\n"}});
  const FunctionTable& table = functions();
  // 4 + 4 parameters, 8 locals, one of the two sibling blocks.
  EXPECT_EQ(table.record(table.recordOf("f")).stackBytes, 116);
}

TEST_F(CDeclarationTest, CommaInsideInitialiserIsNoDeclarator) {
  analyse({{"main.c", "int f(void)\n{\n    int n = g(a, b);\n    return n;\n}\n"}});
  const FunctionTable& table = functions();
  // Only n lies on the stack; `b` is an argument of g, not a second int.
  EXPECT_EQ(table.record(table.recordOf("f")).stackBytes, 4);
}

TEST_F(CDeclarationTest, BalanceMessagesAtTheEndOfAFile) {
  struct Case {
    const char* source;
    const char* log;
  } cases[] = {
      {"int f(void) {\n", "[ main.c ]で括弧({})の数が合いません。\n括弧数 = 1\n"},
      {"int x = (1;\n", "[ main.c ]で丸括弧の数が合いません。\n丸括弧数 = 1\n"},
      {"typedef int\n", "[ main.c ]でｽﾃｰﾀｽｴﾗｰを起こしました。[1]\n"},
      {"enum { A,\n",
       "[ main.c ]で括弧({})の数が合いません。\n括弧数 = 1\n"
       "[ main.c ]でｽﾃｰﾀｽｴﾗｰを起こしました。[7]\n"},
      {"int f(void) { return 0; }\n", ""},
  };
  for (const Case& c : cases) {
    analyse({{"main.c", c.source}});
    EXPECT_EQ(takeLog(), c.log) << c.source;
  }
}

TEST_F(CDeclarationTest, StrayClosingBraceContinuesAtDepthZero) {
  EXPECT_EQ(analyse({{"main.c", "}\nint g(void) { return h(); }\n"}}),
            "int g() main.c:2 #1 [BK] > h\n"
            "h() [C]\n");
  EXPECT_EQ(takeLog(), "    main.c 1: 括弧({)数が負になりました\n");
}

TEST_F(CDeclarationTest, EveryFileStartsAfresh) {
  // The unclosed brace of a.c does not swallow the function of b.c.
  analyse({{"a.c", "void f(void) {\n"}, {"b.c", "int g(void) { return 0; }\n"}});
  EXPECT_EQ(knownFunctions(), "f() a.c:1 [K]\nint g() b.c:1 #1 [BK]\n");
}

// `struct S { … } v = { … };` in C++: the braces are v's initial value,
// calls in them are made by no function, and the next function is whole.
TEST_F(CDeclarationTest, StructureVariableWithInitialValueInCpp) {
  analyse({{"a.cpp",
            "struct Q {};\n"
            "int Make(Q) { return 0; }\n"
            "struct S { int first; } table = {Make(Q{})};\n"
            "inline int Hash(int x) { return x * 3; }\n"
            "int User(int x) { return Hash(x); }\n"}});
  EXPECT_EQ(calleesOf("Hash"), "");
  EXPECT_EQ(calleesOf("User"), "Hash");
  EXPECT_EQ(calleesOf("Make"), "");
}

}  // namespace
