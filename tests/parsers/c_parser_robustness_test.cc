// The C-family parser on damaged input: every prefix of a realistic file
// and flipped bytes must leave consistent tables (analyse() checks the
// links and line numbers after each parse) and never crash or hang.
#include <random>

#include "tests/parsers/c_parser_fixture.h"

namespace {

const char kProgram[] =
    "#include \"defs.h\"\n"
    "typedef struct item { int count; char name[16]; } ITEM, *PITEM;\n"
    "typedef int (*VISIT)(ITEM *);\n"
    "enum { RED, GREEN = 4, BLUE };\n"
    "extern \"C\" { int ext(int); }\n"
    "static int total(ITEM *items, int n, VISIT v)\n"
    "{\n"
    "    int i, sum = 0;\n"
    "    for (i = 0; i < n; i++) {\n"
    "        if (v(&items[i]) && table[i](sum))\n"
    "            sum += (*hook)(items[i].count);\n"
    "    }\n"
    "    return sum ? total(items, n - 1, v) : 0;\n"
    "}\n"
    "int (*hook)(int) = ext;\n"
    "VISIT visitors[] = { show, count };\n"
    "int main(int argc, char *argv[])\n"
    "{\n"
    "    struct item local = { 1, \"x\" };\n"
    "    wc.proc = (WNDPROC)total;\n"
    "    return total(&local, 1, visitors[0]);\n"
    "}\n";

TEST_F(CParserTest, EveryPrefixOfAFile) {
  std::string text = kProgram;
  for (size_t cut = 0; cut <= text.size(); cut += 3)
    analyse({{"main.c", text.substr(0, cut)}, {"defs.h", "int show(ITEM *);\n"}}, 1);
}

TEST_F(CParserTest, FlippedBytes) {
  std::mt19937 random(7);
  std::string text = kProgram;
  for (int round = 0; round < 200; ++round) {
    std::string damaged = text;
    for (int k = 0; k < 4; ++k)
      damaged[random() % damaged.size()] = static_cast<char>(random() % 256);
    analyse({{"main.c", damaged}});
  }
}

TEST_F(CParserTest, TheWholeProgramWithDetailsOn) {
  options().functionDetails = 1;
  options().variableDetails = 1;
  analyse({{"main.c", kProgram}, {"defs.h", "int show(ITEM *);\n"}}, 1);
  // The call of total inside total marks it recursive instead of linking;
  // the call through the parameter v calls no function.
  EXPECT_EQ(calleesOf("total"), "hook table");
  // ext is declared inside the extern "C" block: `= ext` makes it the
  // callee of the pointer hook.
  EXPECT_EQ(calleesOf("hook"), "ext");
  EXPECT_EQ(calleesOf("visitors"), "show");
  const FunctionTable& f = functions();
  const FunctionRecord& t =
      f.record(f.recordOf("total@/src/main.c"));  // static: keyed with its file
  EXPECT_EQ(f.argumentsOf(t), "ITEM *items, int n, VISIT v");
  EXPECT_EQ(f.returnTypeOf(t), "int");
  EXPECT_EQ(t.line, 6);
  EXPECT_EQ(t.steps, 9);
  EXPECT_NE(t.flags & FunctionFlag::kRecursive, 0u);
}

TEST_F(CParserTest, ArgumentListsLongerThanTheHistory) {
  options().functionDetails = 1;
  std::string header = "int f(", arguments;
  for (int i = 0; i < 80; ++i) arguments += (i ? ", int a" : "int a") + std::to_string(i);
  header += arguments + ")\n{\n    return g();\n}\n";
  // More than 199 tokens between the parentheses: the function, its call
  // and its whole argument text are found.
  EXPECT_EQ(analyse({{"main.c", header}}), "int f(" + arguments +
                                               ") main.c:1 #4 [BK] > g\n"
                                               "g() [C]\n");
}

TEST_F(CParserTest, VariableReferencesWithDetailsOn) {
  options().variableDetails = 1;
  analyse({{"main.c",
            "int counter;\n"
            "int unused;\n"
            "void tick(void) { counter = counter + 1; s.unused = 0; }\n"}});
  const VariableTable& v = variables();
  std::string seen;
  for (int i = 0; i < v.recordCount(); ++i)
    for (const std::string& fn : v.referencingFunctions(v.record(i)))
      seen += v.record(i).name + ":" + fn + " ";
  // `s.unused` names a member, not the global.
  EXPECT_EQ(seen, "counter:tick ");
}

}  // namespace
