// Definitions, prototypes, calls and step counts found by the C-family
// parser in small C sources read through the real reader.
#include "tests/parsers/c_parser_fixture.h"

namespace {

TEST_F(CParserTest, PrototypeIsDeclaredDefinitionHasBodyAndCall) {
  EXPECT_EQ(analyse({{"main.c", "int f(int a);\n"}}), "int f() main.c:1 [K]\n");
  EXPECT_EQ(analyse({{"main.c", "int f(int a);\nint f(int a) { return g(a); }\n"}}),
            "int f() main.c:2 #1 [BK] > g\n"
            "g() [C]\n");
}

TEST_F(CParserTest, ArgumentTextWithDetailsOn) {
  options().functionDetails = 1;
  EXPECT_EQ(analyse({{"main.c", "int f(int a);\n"}}), "int f(int a) main.c:1 [K]\n");
  EXPECT_EQ(analyse({{"main.c", "char *copy(char *to, const char *from, int n)\n{\n}\n"}}),
            "char* copy(char *to, const char *from, int n) main.c:1 #3 [BK]\n");
  // The definition's arguments replace those of the prototype.
  EXPECT_EQ(analyse({{"main.c", "long g(int);\nlong g(int count) { return 0; }\n"}}),
            "long g(int count) main.c:2 #1 [BK]\n");
}

TEST_F(CParserTest, ReturnTypeWalk) {
  struct Case {
    const char* source;
    const char* expected;
  } cases[] = {
      // The token before the name is a type: it is the type.
      {"static int f(void);\n", "int f() main.c:1 [K]\n"},
      // Pointer marks and modifiers are kept, names joined by one blank.
      {"static char *f(void);\n", "static char* f() main.c:1 [K]\n"},
      {"unsigned long *f(void);\n", "unsigned long* f() main.c:1 [K]\n"},
      // "void" is not a type of the built-in lists.
      {"void f(void);\n", "f() main.c:1 [K]\n"},
      // An empty macro is passed over.
      {"static EXPORT char *f(void);\n", "static char* f() main.c:1 [K]\n"},
  };
  predefine("EXPORT", {}, {});
  for (const Case& c : cases) EXPECT_EQ(analyse({{"main.c", c.source}}), c.expected) << c.source;
}

TEST_F(CParserTest, CallsInsideConditionsAndLoops) {
  const char* source =
      "void h(void)\n"
      "{\n"
      "    if (x) {\n"
      "        a();\n"
      "    }\n"
      "    while (g(x))\n"
      "        b();\n"
      "    for (i = 0; i < n(); i++) ;\n"
      "    return;\n"
      "}\n";
  EXPECT_EQ(analyse({{"main.c", source}}),
            "a() [C]\n"
            "b() [C]\n"
            "g() [C]\n"
            "h() main.c:1 #10 [BK] > a b g n\n"
            "n() [C]\n");
}

TEST_F(CParserTest, StepCounts) {
  struct Case {
    const char* source;
    int steps;
  } cases[] = {
      {"int f(void) { a(); }\n", 1},
      {"int f(void)\n{\n    return 1;\n}\n", 4},
      // Blank lines add nothing.
      {"int f(void)\n{\n\n\n    return 1;\n\n}\n", 4},
      // Comment lines and directive lines never reach the parser.
      {"int f(void)\n{\n    /* note */\n#define X 1\n    return 1;\n}\n", 4},
      {"int f(void)\n{\n    return 1; }\n", 3},
  };
  for (const Case& c : cases) {
    analyse({{"main.c", c.source}});
    const FunctionTable& f = functions();
    int n = f.recordOf("f");
    ASSERT_GE(n, 0) << c.source;
    EXPECT_EQ(f.record(n).steps, c.steps) << c.source;
  }
}

TEST_F(CParserTest, MainIsKeyedOnItsFileAndIsCalled) {
  EXPECT_EQ(
      analyse({{"main.c", "#include \"util.h\"\nint main(void)\n{\n    foo();\n    return 0;\n}\n"},
               {"util.c", "#include \"util.h\"\nvoid foo(void)\n{\n}\n"},
               {"util.h", "void foo(void);\n"}},
              2),
      "foo() util.c:2 #3 [BK]\n"
      "int main() main.c:2 #5 [BK] > foo\n");
  // The key of main carries the path of its file.
  const FunctionTable& f = functions();
  const std::string& key = f.record(f.sortedIndex()[1]).key;
  EXPECT_EQ(key.substr(0, 5), "main@");
  EXPECT_EQ(key.substr(key.size() - 7), "/main.c");
}

TEST_F(CParserTest, RecursionIsMarked) {
  EXPECT_EQ(analyse({{"main.c", "int fact(int n) { return n ? n * fact(n - 1) : 1; }\n"}}),
            "int fact() main.c:1 #1 [BKR]\n");
}

TEST_F(CParserTest, TableAndPointerCalls) {
  EXPECT_EQ(analyse({{"main.c",
                      "void f(int i)\n{\n    table[i](x);\n    (*fp)(x);\n    m[1][2](3);\n}\n"}}),
            "f() main.c:1 #6 [BK] > fp m table\n"
            "fp() [CF]\n"
            "m() [C]\n"
            "table() [C]\n");
}

// The callee of `(*(a, f))(…)` is the comma expression's last operand; a
// comma between arguments makes no callee of the argument.
TEST_F(CParserTest, CallOfACommaExpression) {
  analyse({{"main.c",
            "void note(int line) { }\n"
            "void stop(const char *m) { }\n"
            "void keep(const char *m) { }\n"
            "void a(void) { (*(note(1), stop))(\"x\"); }\n"
            "void b(void) { g((note(2), stop)(\"y\")); }\n"
            "void c(void) { g(pick(1, keep)(\"z\")); }\n"
            "void d(void) { (note(3), stop)(\"w\"); }\n"
            "void e(void) { return (*(note(4), keep))(\"v\"); }\n"}});
  EXPECT_EQ(calleesOf("a"), "note stop");
  EXPECT_EQ(calleesOf("b"), "g note stop");
  EXPECT_EQ(calleesOf("c"), "g pick");
  EXPECT_EQ(calleesOf("d"), "note stop");
  EXPECT_EQ(calleesOf("e"), "keep note");
}

TEST_F(CParserTest, FileLevelFunctionPointerVariables) {
  // Closed at its ';' like a function with a body of one line.
  EXPECT_EQ(analyse({{"main.c", "int (*fp)(int);\n"}}), "int fp() main.c:1 #1 [BFK]\n");
  // Its initialiser is what it calls.
  EXPECT_EQ(analyse({{"main.c", "int handler(int x) { return x; }\nint (*fp)(int) = handler;\n"}}),
            "int fp() main.c:2 #1 [BFK] > handler\n"
            "int handler() main.c:1 #1 [BK]\n");
  // A function wins over a function-pointer variable of its name.
  EXPECT_EQ(analyse({{"main.c", "int (*w)(int);\nint w(int x)\n{\n    return x;\n}\n"}}),
            "int w() main.c:2 #4 [BK]\n");
  // A parameter of a function-pointer type is never a function: not in a
  // prototype (where it would take the place of a function of its name),
  // not in the definition, and a call through it calls what was passed.
  EXPECT_EQ(analyse({{"main.c",
                      "typedef int (*VISIT)(int);\n"
                      "int each(VISIT v);\n"
                      "int (dump)(VISIT writer, void *ud);\n"
                      "int each(VISIT v)\n{\n    return v(1);\n}\n"
                      "static int writer(int x) { return x; }\n"}}),
            "int dump() main.c:3 [K]\n"
            "int each() main.c:4 #4 [BK]\n"
            "int writer() main.c:8 #1 [BK]\n");
}

TEST_F(CParserTest, FunctionPointerTypesAndTables) {
  const char* source =
      "typedef int (*CMPFN)(const void *, const void *);\n"
      "int byName(const void *a, const void *b) { return 0; }\n"
      "int bySize(const void *a, const void *b) { return 0; }\n"
      "CMPFN order[] = { byName, bySize };\n"
      "void sort(void)\n"
      "{\n"
      "    CMPFN cmp = bySize;\n"
      "}\n";
  EXPECT_EQ(analyse({{"main.c", source}}),
            "int byName() main.c:2 #1 [BK]\n"
            "int bySize() main.c:3 #1 [BK]\n"
            "cmp() [CF]\n"
            "order() main.c:4 #1 [BFK] > byName bySize\n"
            "sort() main.c:5 #4 [BK] > bySize cmp\n");
  EXPECT_NE(types().kindOf("CMPFN") & TypeTable::kFunctionPointer, 0);
}

TEST_F(CParserTest, FunctionNamesUsedAsValues) {
  const char* source =
      "LRESULT WndProc(int m) { return 0; }\n"
      "DWORD ThreadProc(void *p) { return 0; }\n"
      "BOOL DlgProc(int m) { return 0; }\n"
      "void setup(void)\n"
      "{\n"
      "    wc.lpfnWndProc = WndProc;\n"
      "    CreateThread(NULL, 0, (LPTHREAD_START_ROUTINE)ThreadProc, 0);\n"
      "    other((MYCAST)ThreadProc);\n"
      "    run((DLGPROC)(DlgProc));\n"
      "    later(WndProc, 1);\n"
      "}\n"
      "void local(void)\n"
      "{\n"
      "    int WndProc;\n"
      "    x = WndProc;\n"
      "}\n";
  analyse({{"main.c", source}});
  EXPECT_EQ(calleesOf("setup"), "CreateThread DlgProc ThreadProc WndProc later other run");
  EXPECT_EQ(calleesOf("local"), "");
}

TEST_F(CParserTest, FunctionReferenceThroughMacro) {
  predefine("HANDLER", {}, {"on_key"});
  analyse({{"main.c",
            "void on_key(void) { }\n"
            "void setup(void) { table.key = HANDLER; }\n"}});
  EXPECT_EQ(calleesOf("setup"), "on_key");
}

TEST_F(CParserTest, MacrosAsFunctionsOrNot) {
  predefine("CALLF", {"(", "x", ")"}, {"f", "(", "x", ")"});
  predefine("RUN", {}, {"run_all"});
  const char* source =
      "void f(int x) { }\n"
      "void g(void) { CALLF(1); RUN(); }\n";
  analyse({{"main.c", source}});
  EXPECT_EQ(calleesOf("g"), "CALLF RUN");
  options().macrosAreNotFunctions = 1;
  analyse({{"main.c", source}});
  EXPECT_EQ(calleesOf("g"), "f run_all");
}

// Macros not taken as functions stand for what they call through other
// macros; an argument that a macro throws away calls nothing.
TEST_F(CParserTest, MacrosCallingMacrosAndThrownAwayArguments) {
  options().macrosAreNotFunctions = 1;
  analyse({{"main.c",
            "#define barrier_(x) do_barrier(x)\n"
            "#define barrier(x) (check(x) ? barrier_(x) : 0)\n"
            "#define my_assert(c) ((void)0)\n"
            "#define PICK(a, b) (a)\n"
            "int f(int v) { barrier(v); my_assert(g(v)); PICK(h(v), k(v)); return m(v); }\n"}});
  EXPECT_EQ(calleesOf("f"), "check do_barrier h m");
}

// A parameter named like a function of the run is no reference to it, and
// a call through it calls what the caller passed.
TEST_F(CParserTest, ParametersAreNoFunctions) {
  analyse(
      {{"main.c",
        "int in(void) { return 0; }\n"
        "int out(void) { return 1; }\n"
        "#define PULL() in(desc)\n"
        "void run(in_func in, off_t out) { rec->out = out; use(in, out); in(out); PULL(); }\n"}});
  EXPECT_EQ(calleesOf("run"), "PULL use");
  options().macrosAreNotFunctions = 1;
  analyse({{"main.c",
            "int in(void) { return 0; }\n"
            "#define PULL() in(desc)\n"
            "void run(in_func in) { PULL(); }\n"}});
  EXPECT_EQ(calleesOf("run"), "");
}

TEST_F(CParserTest, CallsInsideAnInitializerListOfABody) {
  analyse({{"main.c",
            "int f1(void) { return 1; }\n"
            "int g(void) {\n"
            "    int a[] = { f1(), f2(3) };\n"
            "    struct s b = { .x = f3() };\n"
            "    return a[0];\n"
            "}\n"}});
  EXPECT_EQ(calleesOf("g"), "f1 f2 f3");
}

// Parenthesised names are the function's name; a function-like macro
// that is not defined, called at file level, or a call before a new
// declaration, is no header (its record stays, unknown, and no report
// shows it); a defined macro at file level is what it expands to, a
// declaration or a function.
TEST_F(CParserTest, DefinitionShapes) {
  EXPECT_EQ(analyse({{"main.c",
                      "#define DECLARE(x) int x##_count\n"
                      "#define DEFUN(t, n) t n(void)\n"
                      "int *(getp) (void) {\n    return 0;\n}\n"
                      "size_t (sz)(int n);\n"
                      "DECLARE(a);\n"
                      "UNKNOWN(b)\n"
                      "static int (h)(int a) { return (getp)(); }\n"
                      "void f(void) __attribute__((noreturn));\n"
                      "int g(int), k(int);\n"
                      "DEFUN(int, m) { return 0; }\n"}}),
            // Without the settings data neither void nor size_t is a type.
            "UNKNOWN() []\n"
            "f() main.c:10 [K]\n"
            "int g() main.c:11 [K]\n"
            "int* getp() main.c:3 #3 [BK]\n"
            "int h() main.c:9 #1 [BK] > getp\n"
            "k() main.c:11 [K]\n"
            "int m() main.c:12 #1 [BK]\n"
            "size_t() []\n"
            "sz() main.c:6 [K]\n");
  EXPECT_EQ(takeLog().find("MainForSetFunc_C"), std::string::npos);
}

// Static functions of one name in two files are two functions ("name@file"
// keys, after the plain name); a call binds to the static of its own
// translation unit (declared there, in the file or a header it reads),
// else to the function of that name.
TEST_F(CParserTest, StaticFunctionsOfOneNameInTwoFiles) {
  analyse({{"a.c",
            "#include \"h.h\"\nstatic int helper(void) { return 1; }\nint a(void) { return "
            "helper() + shared(); }\n"},
           {"b.c",
            "static int helper(int x)\n{\n    return x;\n}\nint b(void) { return helper(2) + "
            "inl(); }\n"},
           {"c.c", "#include \"h.h\"\nint c(void) { return helper() + inl(); }\n"},
           {"h.h", "static inline int inl(void) { return 0; }\n"}},
          3);
  EXPECT_EQ(dumpFunctions(),
            "int a() a.c:3 #1 [BK] > helper shared\n"
            "int b() b.c:5 #1 [BK] > helper inl\n"
            "int c() c.c:2 #1 [BK] > helper inl\n"
            "helper() [C]\n"
            "int helper() a.c:2 #1 [BK]\n"
            "int helper() b.c:1 #4 [BK]\n"
            "inl() [C]\n"
            "int inl() h.h:1 #1 [BK]\n"
            "shared() [C]\n");
  // Headers read once per run: c.c does not read h.h again, so its inl is
  // the plain name, as b.c's (which has no h.h) is.
}

TEST_F(CParserTest, CallWithoutCurrentFunctionIsReported) {
  // A stray '{' after a complete statement opens a body without a function.
  analyse({{"main.c", "int x;\n{\n    lost();\n}\n"}});
  EXPECT_EQ(takeLog(),
            "内部ｴﾗｰが発生しまた。内部関数名 [MainForSetFunc_C]\n"
            "    main.c 3: 関数内にも関わらず親関数が不明です\n"
            "    子関数名  [lost]\n");
  EXPECT_EQ(dumpFunctions(), "lost() [K]\n");
}

}  // namespace
