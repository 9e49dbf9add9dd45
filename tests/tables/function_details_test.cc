// The function details "Mz関数詳細情報": every function with a source file
// (defined or not), in key order, with display names (operators in
// "operator " form), comment headers, callers, only the defined callees and
// referenced variables.
#include "tables/function_details.h"

#include "tables/call_tree.h"
#include "tests/report/row_dump.h"
#include "tests/tables/table_fixture.h"

namespace {

class FunctionDetailsTest : public TableTest {
 protected:
  static DeclInfo full(const std::string& className, const std::string& name,
                       const std::string& type, const std::string& args, int line) {
    return DeclInfo{"", className, name, type, args, "", line};
  }
  void body(const DeclInfo& d, int steps, std::vector<const char*> locals) {
    int n = 0;
    for (const char* type : locals)
      variables().registerVariable(type, "v" + std::to_string(n++), 1, VariableTable::kDeclaration,
                                   d.className, d.name);
    functions().setBodyInfo(d, steps, variables().stackUse());
    variables().endFunctionScope();
  }

  // main.c: main (commented) calls run, Vec::+, init and printf; init
  //         references two variables; ext_decl is only declared, not as a
  //         definition of these sources.
  // util.c: run calls itself and puts, with an inexact stack; Vec::+.
  void fill() {
    readFile("c:/src/main.c");
    DeclInfo mainDecl = full("", "main", "int", "(void)", 10);
    functions().registerDefinition(mainDecl, Registration::kDefined, "/* entry */\n");
    functions().SetChainAto(mainDecl, decl("run"), 0);
    functions().SetChainAto(mainDecl, decl("+", "Vec"), Registration::kOperator);
    functions().SetChainAto(mainDecl, decl("init"), 0);
    functions().SetChainAto(mainDecl, decl("printf"), 0);
    body(mainDecl, 6, {"int", "int"});
    DeclInfo init = full("", "init", "", "", 3);
    functions().registerDefinition(init, Registration::kDefined, "");
    body(init, 2, {});
    functions().addReferencedVariable(init, "g_count");
    functions().addReferencedVariable(init, "g_base");
    functions().registerDefinition(full("", "ext_decl", "int", "(char* s)", 7), 0, "");
    readFile("c:/src/util.c");
    DeclInfo run = full("", "run", "static int", "(int n)", 5);
    functions().registerDefinition(run, Registration::kDefined, "");
    functions().SetChainAto(run, decl("run"), 0);
    functions().SetChainAto(run, decl("puts"), 0);
    body(run, 8, {"CUnknown", "int"});
    DeclInfo plus = full("Vec", "+", "Vec", "(const Vec& a, const Vec& b)", 30);
    functions().registerDefinition(plus, Registration::kDefined | Registration::kOperator, "");
    body(plus, 1, {});
  }
  std::string details() {
    prepareFunctionReports(reportTables());
    writeFunctionDetails(reports(), reportTables());
    return report("Mz関数詳細情報.txt");
  }
  RowDump dump_{reports()};
};

// Functions with a source file, in key order; only defined callees, and
// the lists' lines left out when they are empty.
TEST_F(FunctionDetailsTest, Blocks) {
  fill();
  const std::string lists =
      "親関数: ~[main] (omitted when empty)\n"
      "子関数: ~[] (omitted when empty)\n"
      "参照変数: ~[] (omitted when empty)\n";
  EXPECT_EQ(
      details(),
      withCrLf("page: 関数詳細情報\n"
               "block: \n"
               "関数名: Vec::operator +\n関数の型: Vec\n関数の引数: (const Vec& a, const Vec& b)\n"
               "ソース: util.c  30 :行目 {h: util.c 30行目, c: util.c, c next: 30}\n"
               "ステップ数: 1\n使用スタック: 0\n備考: \n" +
               lists +
               "end\n"
               "block: \n"
               "関数名: ext_decl\n関数の型: int\n関数の引数: (char* s)\n"
               "ソース: main.c  7 :行目 {h: main.c 7行目, c: main.c, c next: 7}\n"
               "ステップ数: 0\n使用スタック: 0\n備考: \n"
               "親関数: ~[] (omitted when empty)\n子関数: ~[] (omitted when empty)\n"
               "参照変数: ~[] (omitted when empty)\nend\n"
               "block: \n"
               "関数名: init\n関数の型: \n関数の引数: \n"
               "ソース: main.c  3 :行目 {h: main.c 3行目, c: main.c, c next: 3}\n"
               "ステップ数: 2\n使用スタック: 0\n備考: \n"
               "親関数: ~[main] (omitted when empty)\n子関数: ~[] (omitted when empty)\n"
               "参照変数: ~[g_base, g_count] (omitted when empty)\nend\n"
               "block: /* entry */\\n\n"
               "関数名: main\n関数の型: int\n関数の引数: (void)\n"
               "ソース: main.c  10 :行目 {h: main.c 10行目, c: main.c, c next: 10}\n"
               "ステップ数: 6\n使用スタック: 8\n備考: \n"
               "親関数: ~[] (omitted when empty)\n子関数: ~[Vec::operator +, init, run] (omitted "
               "when empty)\n"
               "参照変数: ~[] (omitted when empty)\nend\n"
               "block: \n"
               "関数名: run\n関数の型: static int\n関数の引数: (int n)\n"
               "ソース: util.c  5 :行目 {h: util.c 5行目, c: util.c, c next: 5}\n"
               "ステップ数: 8\n使用スタック: ×4\n備考: 再回帰\n" +
               lists + "end\n"));
}

}  // namespace
