// The function details "Mz関数詳細情報": every function with a source file
// (defined or not), in key order, with display names (operators in
// "operator " form), comment headers, callers, only the defined callees and
// referenced variables; text, CSV and HTML.
#include "tables/function_details.h"

#include "tables/call_tree.h"
#include "tests/tables/run_tables_fixture.h"

namespace {

class FunctionDetailsTest : public RunTablesTest {
 protected:
  static DeclInfo full(const std::string& className, const std::string& name,
                       const std::string& type, const std::string& args, int line) {
    return DeclInfo{"", className, name, type, args, "", line};
  }
  void body(const DeclInfo& d, int steps, std::vector<const char*> locals) {
    int n = 0;
    for (const char* type : locals)
      variables().registerVariable(type, "v" + std::to_string(n++), 1,
                                   VariableTable::kDeclaration, d.className, d.name);
    functions().setBodyInfo(d, steps);
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
  std::string details(const std::string& file) {
    prepareFunctionReports(tables());
    writeFunctionDetails(tables(), options().outputFormat);
    return report(file);
  }
};

TEST_F(FunctionDetailsTest, Text) {
  fill();
  EXPECT_EQ(details("Mz関数詳細情報.txt"), withCrLf("■関数名　　　：Vec::operator +\n"
                                                    "■関数の型　　：Vec\n"
                                                    "■関数の引数　：(const Vec& a, const Vec& b)\n"
                                                    "■ソース　　　：util.c  30 :行目\n"
                                                    "■ステップ数　：1\n"
                                                    "■使用スタック：0\n"
                                                    "■備考　　　　：\n"
                                                    "■親関数　　　：main\n"
                                                    "\n\n\n"
                                                    "■関数名　　　：ext_decl\n"
                                                    "■関数の型　　：int\n"
                                                    "■関数の引数　：(char* s)\n"
                                                    "■ソース　　　：main.c  7 :行目\n"
                                                    "■ステップ数　：0\n"
                                                    "■使用スタック：0\n"
                                                    "■備考　　　　：\n"
                                                    "\n\n\n"
                                                    "■関数名　　　：init\n"
                                                    "■関数の型　　：\n"
                                                    "■関数の引数　：\n"
                                                    "■ソース　　　：main.c  3 :行目\n"
                                                    "■ステップ数　：2\n"
                                                    "■使用スタック：0\n"
                                                    "■備考　　　　：\n"
                                                    "■親関数　　　：main\n"
                                                    "■参照変数　　：g_base\n"
                                                    "　　　　　　　：g_count\n"
                                                    "\n\n\n"
                                                    "/* entry */\n"
                                                    "■関数名　　　：main\n"
                                                    "■関数の型　　：int\n"
                                                    "■関数の引数　：(void)\n"
                                                    "■ソース　　　：main.c  10 :行目\n"
                                                    "■ステップ数　：6\n"
                                                    "■使用スタック：8\n"
                                                    "■備考　　　　：\n"
                                                    "■子関数　　　：Vec::operator +\n"
                                                    "　　　　　　　：init\n"
                                                    "　　　　　　　：run\n"
                                                    "\n\n\n"
                                                    "■関数名　　　：run\n"
                                                    "■関数の型　　：static int\n"
                                                    "■関数の引数　：(int n)\n"
                                                    "■ソース　　　：util.c  5 :行目\n"
                                                    "■ステップ数　：8\n"
                                                    "■使用スタック：×4\n"
                                                    "■備考　　　　：再回帰\n"
                                                    "■親関数　　　：main\n"
                                                    "\n\n\n"));
}

TEST_F(FunctionDetailsTest, Csv) {
  options().outputFormat = OutputFormat::Csv;
  fill();
  EXPECT_EQ(details("Mz関数詳細情報.csv"), withCrLf("関数名,Vec::operator +\n"
                                                    "関数の型,Vec\n"
                                                    "関数の引数,(const Vec& a, const Vec& b)\n"
                                                    "ソース,util.c,30\n"
                                                    "ステップ数,1\n"
                                                    "使用スタック,0\n"
                                                    "備考,\n"
                                                    "親関数,main,\n"
                                                    "\n\n"
                                                    "関数名,ext_decl\n"
                                                    "関数の型,int\n"
                                                    "関数の引数,(char* s)\n"
                                                    "ソース,main.c,7\n"
                                                    "ステップ数,0\n"
                                                    "使用スタック,0\n"
                                                    "備考,\n"
                                                    "\n\n"
                                                    "関数名,init\n"
                                                    "関数の型,\n"
                                                    "関数の引数,\n"
                                                    "ソース,main.c,3\n"
                                                    "ステップ数,2\n"
                                                    "使用スタック,0\n"
                                                    "備考,\n"
                                                    "親関数,main,\n"
                                                    "参照変数,g_base,g_count,\n"
                                                    "\n\n"
                                                    "/* entry */\n"
                                                    "関数名,main\n"
                                                    "関数の型,int\n"
                                                    "関数の引数,(void)\n"
                                                    "ソース,main.c,10\n"
                                                    "ステップ数,6\n"
                                                    "使用スタック,8\n"
                                                    "備考,\n"
                                                    "子関数,Vec::operator +,init,run,\n"
                                                    "\n\n"
                                                    "関数名,run\n"
                                                    "関数の型,static int\n"
                                                    "関数の引数,(int n)\n"
                                                    "ソース,util.c,5\n"
                                                    "ステップ数,8\n"
                                                    "使用スタック,×4\n"
                                                    "備考,再回帰\n"
                                                    "親関数,main,\n"
                                                    "\n\n"));
}

std::string row(const std::string& label, const std::string& value) {
  return "    <tr>\n"
         "        <td valign=\"top\" width=\"20%\">" + label + "</td>\n"
         "        <td valign=\"top\" width=\"80%\">" + value + "</td>\n"
         "    </tr>\n";
}

std::string heading(const std::string& content) {
  return "<table border=\"1\" cellpadding=\"2\" width=\"800\">\n"
         "    <tr>\n"
         "        <th align=\"left\" valign=\"top\" colspan=\"2\">" + content + "</th>\n"
         "    </tr>\n";
}

const std::string kBlockEnd = "</table>\n<br>\n<br>\n";

TEST_F(FunctionDetailsTest, Html) {
  options().outputFormat = OutputFormat::Html;
  rebuildTables();
  fill();
  EXPECT_EQ(
      details("Mz関数詳細情報.html"),
      withCrLf("<html>\n\n<head>\n"
               "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=x-sjis\">\n"
               "<meta name=\"author\" content=\"ＯＲＵＮＯＫＡ\">\n"
               "<title>関数詳細情報</title>\n</head>\n\n"
               "<body bgcolor=\"#FFFFFF\" link=\"#0000FF\" vlink=\"#800080\">\n\n"
               "<p align=\"center\"><font size=\"6\" face=\"ＭＳ ゴシック\">関数詳細情報"
               "</font></p>\n\n" +
               heading("　") + row("関数名", "Vec::operator +") + row("関数の型", "Vec") +
               row("関数の引数", "(const Vec&amp; a, const Vec&amp; b)") +
               row("ソース", "util.c 30行目") + row("ステップ数", "1") +
               row("使用スタック", "0") + row("備考", "　") + row("親関数", "main") + kBlockEnd +
               heading("　") + row("関数名", "ext_decl") + row("関数の型", "int") +
               row("関数の引数", "(char* s)") + row("ソース", "main.c 7行目") +
               row("ステップ数", "0") + row("使用スタック", "0") + row("備考", "　") + kBlockEnd +
               heading("　") + row("関数名", "init") + row("関数の型", "　") +
               row("関数の引数", "　") + row("ソース", "main.c 3行目") + row("ステップ数", "2") +
               row("使用スタック", "0") + row("備考", "　") + row("親関数", "main") +
               row("参照変数", "g_base<br>g_count") + kBlockEnd +
               heading("<pre>/* entry */\n</pre>\n") + row("関数名", "main") +
               row("関数の型", "int") + row("関数の引数", "(void)") +
               row("ソース", "main.c 10行目") + row("ステップ数", "6") +
               row("使用スタック", "8") + row("備考", "　") +
               row("子関数", "Vec::operator +<br>init<br>run") + kBlockEnd +
               heading("　") + row("関数名", "run") + row("関数の型", "static int") +
               row("関数の引数", "(int n)") + row("ソース", "util.c 5行目") +
               row("ステップ数", "8") + row("使用スタック", "×4") + row("備考", "再回帰") +
               row("親関数", "main") + kBlockEnd + "</body>\n</html>\n"));
}

// Only defined functions count as callees: one whose callees are all
// library functions has no callee line, but its remark and callers stay.
TEST_F(FunctionDetailsTest, LibraryCalleesAndFunctionsWithoutFile) {
  readFile("c:/src/a.c");
  functions().registerDefinition(decl("f", "", 2), Registration::kDefined, "");
  functions().SetChainAto(decl("f"), decl("strlen"), 0);
  functions().SetChainAto(decl("f"), decl("memcpy"), Registration::kFunctionPointer);
  functions().registerDefinition(decl("nowhere", "", 0), Registration::kDefined, "");
  EXPECT_EQ(details("Mz関数詳細情報.txt"), withCrLf("■関数名　　　：f\n"
                                                    "■関数の型　　：\n"
                                                    "■関数の引数　：\n"
                                                    "■ソース　　　：a.c  2 :行目\n"
                                                    "■ステップ数　：0\n"
                                                    "■使用スタック：0\n"
                                                    "■備考　　　　：\n"
                                                    "\n\n\n"));
}

TEST_F(FunctionDetailsTest, WrittenByTheCallTreeWhenEnabled) {
  readFile("c:/src/a.c");
  functions().registerDefinition(decl("f", "", 2), Registration::kDefined, "");
  writeCallTree(tables());
  EXPECT_FALSE(reportExists("Mz関数詳細情報.txt"));
  const struct {
    OutputFormat format;
    const char* file;
  } cases[] = {{OutputFormat::Text, "Mz関数詳細情報.txt"},
               {OutputFormat::Html, "Mz関数詳細情報.html"},
               {OutputFormat::Csv, "Mz関数詳細情報.csv"},
               {OutputFormat::Excel, "Mz関数詳細情報.txt"}};
  for (const auto& c : cases) {
    std::filesystem::remove(outputFolder().file(toUtf8(c.file)));
    options().outputFormat = c.format;
    options().functionDetails = 1;
    writeCallTree(tables());
    EXPECT_TRUE(reportExists(c.file)) << c.file;
  }
}

}  // namespace
