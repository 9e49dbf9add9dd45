// The function list "Mz一覧Func" after the call tree's first pass: defined
// functions in key order with cut keys, remarks by flags and the "×" of an
// inexact stack.
#include "tables/function_list.h"

#include "tables/call_tree.h"
#include "tests/report/row_dump.h"
#include "tests/tables/table_fixture.h"

namespace {

class FunctionListTest : public TableTest {
 protected:
  // A definition with its body: `locals` are "int" (4 bytes) or "CUnknown"
  // (size unknown, so the stack figure is inexact).
  void define(const std::string& name, int steps, std::vector<const char*> locals = {},
              std::uint32_t extra = 0) {
    functions().registerDefinition(decl(name, "", 1), Registration::kDefined | extra, "");
    int n = 0;
    for (const char* type : locals)
      variables().registerVariable(type, "v" + std::to_string(n++), 1, VariableTable::kDeclaration,
                                   "", name);
    functions().setBodyInfo(decl(name), steps, variables().stackUse());
    variables().endFunctionScope();
  }
  void call(const std::string& caller, const std::string& callee) {
    functions().SetChainAto(decl(caller), decl(callee), 0);
  }
  void fill() {
    readFile("c:/src/main.c");
    define("main", 6, {"int", "int"});
    call("main", "printf");
    define("isr", 3, {}, Registration::kInterrupt | Registration::kFunctionPointer);
    define("cb", 12, {}, Registration::kFunctionPointer);
    call("cb", "cb");
    define("handler", 2, {}, Registration::kFunctionPointer);
    define("rec", 100, {"int", "CUnknown"});
    call("rec", "rec");
    readFile("c:/src/util.c");
    define("fmt", 9);
  }
  std::string list() {
    prepareFunctionReports(reportTables());
    writeFunctionList(reports(), reportTables());
    return report("Mz一覧Func.txt");
  }
  RowDump dump_{reports()};
};

// Defined functions in key order, with the remark each form words by the
// flags, and "×" before an inexact stack figure.
TEST_F(FunctionListTest, Rows) {
  fill();
  EXPECT_EQ(list(), withCrLf("page: 関数一覧\n"
                             "head: 関数名 | STEP数 | ｽﾀｯｸ {t:  ｽﾀｯｸ} | その他 | ファイル名\n"
                             "row: cb | #12 | #0 | 関数ﾎﾟｲﾝﾀ/再回帰 {t: 関／再} | main.c\n"
                             "row: fmt | #9 | #0 |  | util.c\n"
                             "row: handler | #2 | #0 | 関数ﾎﾟｲﾝﾀ {t: 関数ポ} | main.c\n"
                             "row: isr | #3 | #0 | 割り込み {t:  割込 , h: 割　込} | main.c\n"
                             "row: main | #6 | #8 |  | main.c\n"
                             "row: rec | #100 | ×#4 {h: × 4} | 再回帰 | main.c\n"
                             "end\n"));
}

TEST(FunctionRemark, FirstMatchingFlagWins) {
  const struct {
    std::uint32_t flags;
    const char* details;
  } cases[] = {
      {FunctionFlag::kInterrupt | FunctionFlag::kFunctionPointer | FunctionFlag::kRecursive,
       "割り込み"},
      {FunctionFlag::kFunctionPointer | FunctionFlag::kRecursive, "関数ポインタ／再回帰"},
      {FunctionFlag::kFunctionPointer | FunctionFlag::kKnown, "関数ポインタ"},
      {FunctionFlag::kRecursive | FunctionFlag::kStackIncomplete, "再回帰"},
      {FunctionFlag::kKnown | FunctionFlag::kBodyAnalysed, ""},
  };
  for (const auto& c : cases) EXPECT_STREQ(remarkOf(c.flags).details, c.details) << c.flags;
}

}  // namespace
