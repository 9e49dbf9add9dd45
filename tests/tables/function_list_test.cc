// The function list "Mz一覧Func" after the call tree's first pass: defined
// functions in key order with cut keys, remarks by flags, the "×" of an
// inexact stack, and the text columns taking back a long name's overflow;
// text (also "PC-98x1"), HTML and CSV.
#include "tables/function_list.h"

#include "tables/call_tree.h"
#include "tests/tables/run_tables_fixture.h"

namespace {

std::string sp(int n) { return std::string(n, ' '); }
// A name of `length` bytes that sorts by its prefix.
std::string longName(const std::string& prefix, int length) {
  return prefix + std::string(length - prefix.size(), 'x');
}

const std::string kL33 = longName("long33_", 33);
const std::string kL34 = longName("long34_", 34);
const std::string kL35 = longName("long35_", 35);
const std::string kL45 = longName("long45_", 45);
const std::string kL55 = longName("long55_", 55);
const std::string kR50 = longName("rec50_", 50);

const std::string kTextHead =
    "関数名                        │STEP数│ ｽﾀｯｸ │その他│ファイル名\n"
    "───────────────┼───┼───┼───┼────────────────\n";

class FunctionListTest : public RunTablesTest {
 protected:
  // A definition with its body: `locals` are "int" (4 bytes) or "CUnknown"
  // (size unknown, so the stack figure is inexact).
  void define(const std::string& name, int steps, std::vector<const char*> locals = {},
              std::uint32_t extra = 0) {
    functions().registerDefinition(decl(name, "", 1), Registration::kDefined | extra, "");
    int n = 0;
    for (const char* type : locals)
      variables().registerVariable(type, "v" + std::to_string(n++), 1,
                                   VariableTable::kDeclaration, "", name);
    functions().setBodyInfo(decl(name), steps);
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
    define(kL33, 123456);
    define(kL34, 7, {"CUnknown", "int"});
    define(kL35, 12, {"int"});
    define(kL45, 5);
    define(kL55, 5);
    define(kR50, 5);
    call(kR50, kR50);
  }
  std::string list(const std::string& file) {
    prepareFunctionReports(tables());
    writeFunctionList(tables(), options().outputFormat);
    return report(file);
  }
};

// A 35-byte name: the step field shrinks to its two digits and the stack
// field takes the last column back, so the bars after it line up again.
TEST_F(FunctionListTest, TextColumnsAbsorbLongNames) {
  fill();
  EXPECT_EQ(list("Mz一覧Func.txt"),
            withCrLf(kTextHead +
                     "cb" + sp(28) + "│    12│     0│関／再│main.c\n"
                     "handler" + sp(23) + "│     2│     0│関数ポ│main.c\n"
                     "isr" + sp(27) + "│     3│     0│ 割込 │main.c\n" +
                     kL33 + "│123456│  0│      │util.c\n" +
                     kL34 + "│ 7│×   4│      │util.c\n" +
                     kL35 + "│12│    4│      │util.c\n" +
                     kL45 + "│5│0│ │util.c\n" +
                     kL55 + "│5│0││util.c\n"
                     "main" + sp(26) + "│     6│     8│      │main.c\n"
                     "rec" + sp(27) + "│   100│×   4│再回帰│main.c\n" +
                     kR50 + "│5│0│再回帰│util.c\n"));
}

TEST_F(FunctionListTest, Pc98Text) {
  options().pc98Lines = 1;
  rebuildTables();
  readFile("c:/src/main.c");
  define("main", 6, {"int", "int"});
  std::string dots;
  for (int i = 0; i < 44; ++i) dots += "・";
  EXPECT_EQ(list("Mz一覧Func.txt"),
            withCrLf("関数名                        ・STEP数・ ｽﾀｯｸ ・その他・ファイル名\n" + dots +
                     "\n"
                     "main" + sp(26) + "・     6・     8・      ・main.c\n"));
}

std::string htmlRow(const std::string& name, const std::string& steps, const std::string& stack,
                    const std::string& remark, const std::string& file) {
  return "    <tr>\n"
         "        <td valign=\"top\" width=\"35%\">" + name + "</td>\n"
         "        <td align=\"right\" valign=\"top\" width=\"10%\">" + steps + "</td>\n"
         "        <td align=\"right\" valign=\"top\" width=\"10%\">" + stack + "</td>\n"
         "        <td valign=\"top\" width=\"10%\">" + remark + "</td>\n"
         "        <td valign=\"top\" width=\"35%\">" + file + "</td>\n"
         "    </tr>\n";
}

TEST_F(FunctionListTest, HtmlTable) {
  options().outputFormat = OutputFormat::Html;
  rebuildTables();
  readFile("c:/src/main.c");
  define("main", 6, {"int", "int"});
  call("main", "printf");
  define("isr", 3, {}, Registration::kInterrupt);
  define("cb", 12, {}, Registration::kFunctionPointer);
  call("cb", "cb");
  define("handler", 2, {}, Registration::kFunctionPointer);
  define("rec", 100, {"int", "CUnknown"});
  call("rec", "rec");
  EXPECT_EQ(list("Mz一覧Func.html"),
            withCrLf("<html>\n\n<head>\n"
                     "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=x-sjis\">\n"
                     "<meta name=\"author\" content=\"ＯＲＵＮＯＫＡ\">\n"
                     "<title>関数一覧</title>\n</head>\n\n"
                     "<body bgcolor=\"#FFFFFF\" link=\"#0000FF\" vlink=\"#800080\">\n\n"
                     "<p align=\"center\"><font size=\"6\" face=\"ＭＳ ゴシック\">関数一覧"
                     "</font></p>\n\n"
                     "<table border=\"1\" cellpadding=\"5\" width=\"800\">\n"
                     "    <tr>\n"
                     "        <td align=\"center\" valign=\"top\" width=\"35%\" bgcolor=\"#00FFFF\">関数名</td>\n"
                     "        <td align=\"center\" valign=\"top\" width=\"10%\" bgcolor=\"#00FFFF\">STEP数</td>\n"
                     "        <td align=\"center\" valign=\"top\" width=\"10%\" bgcolor=\"#00FFFF\">ｽﾀｯｸ</td>\n"
                     "        <td align=\"center\" valign=\"top\" width=\"10%\" bgcolor=\"#00FFFF\">その他</td>\n"
                     "        <td align=\"center\" valign=\"top\" width=\"35%\" bgcolor=\"#00FFFF\">ファイル名</td>\n"
                     "    </tr>\n" +
                     htmlRow("cb", "12", "0", "関数ﾎﾟｲﾝﾀ/再回帰", "main.c") +
                     htmlRow("handler", "2", "0", "関数ﾎﾟｲﾝﾀ", "main.c") +
                     htmlRow("isr", "3", "0", "割　込", "main.c") +
                     htmlRow("main", "6", "8", "　", "main.c") +
                     htmlRow("rec", "100", "× 4", "再回帰", "main.c") +
                     "</table>\n</body>\n</html>\n"));
}

TEST_F(FunctionListTest, CsvFields) {
  options().outputFormat = OutputFormat::Csv;
  fill();
  EXPECT_EQ(list("Mz一覧Func.csv"),
            withCrLf("関数名,STEP数,ｽﾀｯｸ,その他,ファイル名\n"
                     "cb,12,0,関数ﾎﾟｲﾝﾀ/再回帰,main.c\n"
                     "handler,2,0,関数ﾎﾟｲﾝﾀ,main.c\n"
                     "isr,3,0,割り込み,main.c\n" +
                     kL33 + ",123456,0,,util.c\n" +
                     kL34 + ",7,×4,,util.c\n" +
                     kL35 + ",12,4,,util.c\n" +
                     kL45 + ",5,0,,util.c\n" +
                     kL55 + ",5,0,,util.c\n"
                     "main,6,8,,main.c\n"
                     "rec,100,×4,再回帰,main.c\n" +
                     kR50 + ",5,0,再回帰,util.c\n"));
}

// The list follows the tree only when its option is on; the workbook
// format gets the text list until the workbook has its sheet.
TEST_F(FunctionListTest, WrittenByTheCallTreeWhenEnabled) {
  readFile("c:/src/main.c");
  define("main", 1);
  writeCallTree(tables());
  EXPECT_FALSE(reportExists("Mz一覧Func.txt"));
  const struct {
    OutputFormat format;
    const char* file;
  } cases[] = {{OutputFormat::Text, "Mz一覧Func.txt"},
               {OutputFormat::Html, "Mz一覧Func.html"},
               {OutputFormat::Csv, "Mz一覧Func.csv"},
               {OutputFormat::Excel, "Mz一覧Func.txt"}};
  for (const auto& c : cases) {
    std::filesystem::remove(outputFolder().file(toUtf8(c.file)));
    options().outputFormat = c.format;
    options().functionList = 1;
    writeCallTree(tables());
    EXPECT_TRUE(reportExists(c.file)) << c.file;
  }
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
      {FunctionFlag::kKnown | FunctionFlag::kPrinted, ""},
  };
  for (const auto& c : cases) EXPECT_STREQ(remarkOf(c.flags).details, c.details) << c.flags;
}

}  // namespace
