// Macros as a compiler sees them: the parser reads the expansion (without
// the settings data, `void` is no type and has no place in a dump). Inside a
// function body, while macros count as functions (the option off), a
// macro that is called stays the callee.
#include "tests/parsers/c_parser_fixture.h"

namespace {

class CParserMacroTest : public CParserTest {
 protected:
  // The known functions and the callees of `caller`, with the option off
  // and then on.
  std::pair<std::string, std::string> both(const SourceFiles& sources, const std::string& caller) {
    options().macrosAreNotFunctions = 0;
    analyse(sources);
    std::string off = calleesOf(caller);
    options().macrosAreNotFunctions = 1;
    analyse(sources);
    return {off, calleesOf(caller)};
  }
};

// `#define CHECK(c) if (!(c)) fail (__LINE__)`: a blank before '(' in a
// body is the call all the same; a static function passed to a macro and
// called through its parameter is called; an argument a nested macro
// throws away calls nothing, and no parameter name becomes a callee.
TEST_F(CParserMacroTest, CallsInsideMacroBodies) {
  SourceFiles sources = {{"main.c",
                          "#define CHECK(c) if (!(c)) fail (__LINE__)\n"
                          "#define APPLY(fn, x) fn(x)\n"
                          "#define IGNORE(x, y) (y)\n"
                          "#define OUTER(x, y) IGNORE(x, y)\n"
                          "void fail(int n) { }\n"
                          "static int twice(int x) { return 2 * x; }\n"
                          "int h(int a) { return a; }\n"
                          "int k(int a) {\n"
                          "    CHECK(a > 0);\n"
                          "    return APPLY(twice, a) + OUTER(h(a), a);\n"
                          "}\n"}};
  auto [off, on] = both(sources, "k");
  EXPECT_EQ(off, "APPLY CHECK OUTER h");  // the macros are the callees
  EXPECT_EQ(on, "fail twice");
  EXPECT_EQ(knownFunctions(),
            "fail() main.c:5 #1 [BK]\n"
            "int h() main.c:7 #1 [BK]\n"
            "int k() main.c:8 #4 [BK] > fail twice\n"
            "int twice() main.c:6 #1 [BK]\n");
}

// Functions that a macro call at file level defines, with and without
// "##", whichever way macros count.
TEST_F(CParserMacroTest, FunctionsDefinedByMacroCalls) {
  SourceFiles sources = {
      {"main.c",
       "#define GENERATE(name, type) type get_##name(void) { return (type)0; } \\\n"
       "  void set_##name(type v) { keep(v); }\n"
       "#define PLAIN(name) int name(int x) { return helper(x); }\n"
       "int helper(int x) { return x; }\n"
       "GENERATE(width, int)\n"
       "PLAIN(twin)\n"
       "int main(void) { set_width(1); return get_width() + twin(2); }\n"}};
  auto [off, on] = both(sources, "main");
  EXPECT_EQ(off, "get_width set_width twin");
  EXPECT_EQ(on, off);
  EXPECT_EQ(calleesOf("twin"), "helper");
  EXPECT_EQ(calleesOf("set_width"), "keep");
}

// A macro before the declarator (`API(int) f(…) {`), a storage class from
// a macro (`local` for `static`, so that two files' statics stay apart)
// and a body from a macro.
TEST_F(CParserMacroTest, DeclarationsAroundMacros) {
  const std::string header =
      "#define API(type) extern type\n"
      "#define local static\n"
      "#define BODY(reg) { reg++; step(); }\n";
  SourceFiles sources = {
      {"a.c", header + "API(int) api_open(const char *name);\n"
                       "API(int) api_open(const char *name) { return api_close(0); }\n"
                       "API(int) api_close(int h) { return h; }\n"
                       "local int helper(int x) { return x + 1; }\n"
                       "int a_entry(int x) { return helper(x); }\n"
                       "static int ax;\n"
                       "static void op_inc(void) BODY(ax)\n"
                       "void step(void) { }\n"},
      {"b.c", header + "local int helper(int x) { return x - 1; }\n"
                       "int b_entry(int x) { return helper(x); }\n"}};
  for (int on = 0; on < 2; ++on) {
    options().macrosAreNotFunctions = on;
    analyse(sources);
    EXPECT_EQ(knownFunctions(),
              "int a_entry() a.c:8 #1 [BK] > helper\n"
              "int api_close() a.c:6 #1 [BCK]\n"
              "int api_open() a.c:5 #1 [BK] > api_close\n"
              "int b_entry() b.c:5 #1 [BK] > helper\n"
              "int helper() a.c:7 #1 [BK]\n"
              "int helper() b.c:4 #1 [BK]\n"
              "op_inc() a.c:10 #1 [BK] > step\n"
              "step() a.c:11 #1 [BCK]\n")
        << "macros not functions: " << on;
  }
}

// A macro call inside a body: with the option off the macro is the
// callee (an object-like macro that is not called expands); with it on
// the expansion's calls are.
TEST_F(CParserMacroTest, MacroCallsInsideBodies) {
  SourceFiles sources = {{"main.c",
                          "#define LOCK() do_lock(&mtx)\n"
                          "#define FINISH cleanup()\n"
                          "#define alloc(n) my_alloc(n, __FILE__)\n"
                          "void do_lock(int *m) { }\n"
                          "void cleanup(void) { }\n"
                          "void *my_alloc(int n, const char *f) { return 0; }\n"
                          "void work(void) { LOCK(); void *p = alloc(4); FINISH; }\n"}};
  auto [off, on] = both(sources, "work");
  EXPECT_EQ(off, "LOCK alloc cleanup");
  EXPECT_EQ(on, "cleanup do_lock my_alloc");
}

}  // namespace

namespace {

// Shapes of real C around declarations: a function bearing a structure
// tag's name, a typedef of a function returning an enumeration, a
// variable of a function-pointer typedef, a file included inside a
// function body or an initializer.
class CParserShapeTest : public CParserTest {
 protected:
  // The variables of no function, blank-separated.
  std::string fileLevelVariables() {
    std::string out;
    const VariableTable& v = variables();
    for (int i = 0; i < v.recordCount(); ++i)
      if (v.functionOf(v.record(i)).empty()) out += (out.empty() ? "" : " ") + v.record(i).name;
    return out;
  }
};

TEST_F(CParserShapeTest, FunctionNamedLikeAStructureTag) {
  analyse({{"main.c",
            "struct item { int v; };\n"
            "struct item *item(struct item *p) { return p; }\n"
            "int user(struct item *p) { return item(p)->v; }\n"}});
  EXPECT_EQ(knownFunctions(),
            "struct item* item() main.c:2 #1 [BK]\n"
            "int user() main.c:3 #1 [BK] > item\n");
}

TEST_F(CParserShapeTest, TypedefOfAFunctionPointerReturningAnEnumeration) {
  analyse({{"main.c",
            "enum kind { K_A, K_B };\n"
            "typedef enum kind (*kind_cb)(int);\n"
            "int run(kind_cb cb) { return cb(1); }\n"}});
  EXPECT_EQ(knownFunctions(), "int run() main.c:3 #1 [BK]\n");
  EXPECT_EQ(types().kindOf("kind_cb"), TypeTable::kFunctionPointer);
}

// `CMPFN cmp;` ends at its ';' as `void (*fp)(int);` does: the
// declarations after it are the file's.
TEST_F(CParserShapeTest, VariableOfAFunctionPointerTypedef) {
  analyse({{"main.c",
            "typedef int (*CMPFN)(const void *, const void *);\n"
            "CMPFN cmp;\n"
            "int counter;\n"
            "static char name[10];\n"
            "int later(void) { return counter; }\n"}});
  EXPECT_EQ(knownFunctions(),
            "cmp() main.c:2 #1 [BFK]\n"
            "int later() main.c:5 #1 [BK]\n");
  EXPECT_EQ(fileLevelVariables(), "counter name");
}

// A header included inside a body or an initializer is read on in the
// including file's parser, as a compiler reads it in place; its lines are
// no steps of the function, and its end closes nothing.
TEST_F(CParserShapeTest, HeadersIncludedInsideConstructs) {
  analyse({{"main.c",
            "void op_one(void) { }\n"
            "void op_two(void) { }\n"
            "void dispatch(int c) {\n"
            "  switch (c) {\n"
            "#include \"ops.inc\"\n"
            "  }\n"
            "  op_one();\n"
            "}\n"
            "static void (*table[])(void) = {\n"
            "#include \"table.inc\"\n"
            "};\n"
            "int after(void) { return 0; }\n"},
           {"ops.inc", "  case 1: op_one(); break;\n  case 2: op_two(); break;\n"},
           {"table.inc", "  op_one,\n  op_two,\n"}},
          1);
  EXPECT_EQ(calleesOf("dispatch"), "op_one op_two");
  EXPECT_EQ(knownFunctions(),
            "int after() main.c:12 #1 [BK]\n"
            "dispatch() main.c:3 #5 [BK] > op_one op_two\n"
            "op_one() main.c:1 #1 [BK]\n"
            "op_two() main.c:2 #1 [BK]\n");
  EXPECT_EQ(takeLog().find("内部ｴﾗｰ"), std::string::npos);
}

}  // namespace
