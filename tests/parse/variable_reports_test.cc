// The global variable list "Mz一覧Obj" and the variable details
// "Mz変数詳細情報" in text, CSV and HTML, compared whole for tables filled
// here; every expected column was counted from the layout rules.
#include "tests/tables/run_tables_fixture.h"

namespace {

constexpr int kDecl = VariableTable::kDeclaration;

std::string sp(int n) { return std::string(n, ' '); }

std::string columns(std::initializer_list<std::string> cells, const std::string& bar = "│") {
  std::string line;
  bool first = true;
  for (const std::string& text : cells) {
    line += (first ? "" : bar) + text;
    first = false;
  }
  return line + "\n";
}

std::string htmlHead(const std::string& title) {
  return "<html>\n\n<head>\n"
         "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=x-sjis\">\n"
         "<meta name=\"author\" content=\"ＯＲＵＮＯＫＡ\">\n"
         "<title>" + title + "</title>\n</head>\n\n"
         "<body bgcolor=\"#FFFFFF\" link=\"#0000FF\" vlink=\"#800080\">\n\n"
         "<p align=\"center\"><font size=\"6\" face=\"ＭＳ ゴシック\">" + title +
         "</font></p>\n\n";
}

std::string cell(const std::string& width, const std::string& text, bool right = false) {
  return std::string("        <td ") + (right ? "align=\"right\" " : "") + "valign=\"top\" width=\"" +
         width + "\">" + text + "</td>\n";
}

std::string header(const std::string& width, const std::string& text) {
  return "        <td align=\"center\" valign=\"top\" width=\"" + width +
         "\" bgcolor=\"#00FFFF\">" + text + "</td>\n";
}

const std::string kListHeader =
    "型名                    │変数名                    │サイズ│計測  │備考                        │ファイル名\n";
const std::string kListRule =
    "────────────┼─────────────┼───┼───┼──────────────┼─────────────\n";

class VariableReportsTest : public RunTablesTest {
 protected:
  void SetUp() override {
    RunTablesTest::SetUp();
    startFile("c:/src/main.cpp");
    classes().registerClass("CFoo", 1, ClassTable::kClass);
    types().registerType("POINT", TypeTable::kStructure, 8, false, 3);
  }
  void at(int line, const std::string& type, const std::string& name, int level = 0,
          int flags = kDecl, const std::string& className = "", const std::string& function = "") {
    toLine(line);
    variables().registerVariable(type, name, level, flags, className, function);
  }
  // Every kind of row: plain, array, inexact, class, structure, a name
  // wider than its column, static locals of a function and of a method, a
  // data member, an extern declaration and a parameter.
  void fillAll() {
    at(3, "int", "counter");
    at(4, "char", "buffer[256]");
    at(5, "CUnknown", "thing");
    at(6, "CFoo", "theApp");
    at(7, "POINT", "origin");
    at(8, "unsigned long long int", "a_very_long_variable_name_here");
    at(10, "static int", "calls", 1, kDecl, "", "f");
    at(11, "static int", "hits", 1, kDecl, "A", "g");
    at(12, "int", "x", 1, kDecl, "CPoint", "");
    at(13, "int", "ext", 0, kDecl | VariableTable::kExtern);
    at(14, "int", "param", 1, 0);
  }
  // The four rows of the details: referenced, class, static local, extern.
  void fillDetails() {
    at(4, "int", "counter");
    at(6, "CFoo", "theApp");
    at(10, "static int", "calls", 1, kDecl, "", "f");
    at(13, "int", "ext", 0, kDecl | VariableTable::kExtern);
    variables().referenceVariable("counter", "", "f");
    variables().referenceVariable("counter", "A", "g");
    variables().referenceVariable("calls", "", "f");
  }
};

const std::string kTextRows =
    columns({"unsigned long long int" + sp(2), "a_very_long_variable_name_here", sp(1) + "4", sp(6),
             sp(28), "main.cpp"}) +
    columns({"char" + sp(20), "buffer[256]" + sp(15), sp(3) + "256", sp(6), sp(28), "main.cpp"}) +
    columns({"static int" + sp(14), "calls" + sp(21), sp(5) + "4", sp(6), "f関数所有" + sp(19),
             "main.cpp"}) +
    columns({"int" + sp(21), "counter" + sp(19), sp(5) + "4", sp(6), sp(28), "main.cpp"}) +
    columns({"int" + sp(21), "ext" + sp(23), sp(5) + "4", sp(6), sp(28), ""}) +
    columns({"static int" + sp(14), "hits" + sp(22), sp(5) + "4", sp(6),
             "Aｸﾗｽのgﾒｿｯﾄﾞ所有" + sp(12), "main.cpp"}) +
    columns({"struct POINT" + sp(12), "origin" + sp(20), sp(5) + "8", sp(6), sp(28), "main.cpp"}) +
    columns({"class CFoo" + sp(14), "theApp" + sp(20), sp(5) + "-", sp(6), sp(28), "main.cpp"}) +
    columns({"CUnknown" + sp(16), "thing" + sp(21), sp(5) + "0", "不正確", sp(28), "main.cpp"});

TEST_F(VariableReportsTest, TextList) {
  fillAll();
  variables().writeVariableList();
  EXPECT_EQ(report("Mz一覧Obj.txt"), withCrLf(kListHeader + kListRule + kTextRows));
  EXPECT_EQ(variables().rowCount(), 9);
}

TEST_F(VariableReportsTest, TextListWithMemberVariables) {
  options().outputMemberVariables = 1;
  fillAll();
  variables().writeVariableList();
  EXPECT_EQ(report("Mz一覧Obj.txt"),
            withCrLf(kListHeader + kListRule + kTextRows +
                     columns({"int" + sp(21), "x" + sp(25), sp(5) + "4", sp(6), sp(28), "main.cpp"})));
}

TEST_F(VariableReportsTest, TextListInPc98Lines) {
  options().pc98Lines = 1;
  at(3, "int", "counter");
  variables().writeVariableList();
  std::string rule;
  for (int i = 0; i < 63; ++i) rule += "・";
  EXPECT_EQ(report("Mz一覧Obj.txt"),
            withCrLf("型名                    ・変数名                    ・サイズ・計測  ・備考"
                     "                        ・ファイル名\n" +
                     rule + "\n" +
                     columns({"int" + sp(21), "counter" + sp(19), sp(5) + "4", sp(6), sp(28), "main.cpp"},
                             "・")));
}

TEST_F(VariableReportsTest, CsvList) {
  options().outputFormat = OutputFormat::Csv;
  fillAll();
  variables().writeVariableList();
  std::string rule;
  for (int i = 0; i < 38; ++i) rule += "─";
  EXPECT_EQ(report("Mz一覧Obj.csv"),
            withCrLf("型名,変数名,サイズ,計測,備考,ファイル名\n" + rule + "\n" +
                     "unsigned long long int,a_very_long_variable_name_here,4,,,main.cpp\n"
                     "char,buffer[256],256,,,main.cpp\n"
                     "static int,calls,4,,f関数所有,main.cpp\n"
                     "int,counter,4,,,main.cpp\n"
                     "int,ext,4,,,\n"
                     "static int,hits,4,,Aｸﾗｽのgﾒｿｯﾄﾞ所有,main.cpp\n"
                     "struct POINT,origin,8,,,main.cpp\n"
                     "class CFoo,theApp,-,,,main.cpp\n"
                     "CUnknown,thing,0,不正確,,main.cpp\n"));
}

TEST_F(VariableReportsTest, HtmlList) {
  options().outputFormat = OutputFormat::Html;
  at(4, "int", "counter");
  at(6, "CFoo", "theApp");
  at(10, "static int", "calls", 1, kDecl, "", "f");
  at(12, "vector<int>", "v[2]");
  variables().writeVariableList();
  auto row = [](const std::string& type, const std::string& name, const std::string& size,
                const std::string& measure, const std::string& remark) {
    return "    <tr>\n" + cell("17%", type) + cell("20%", name) + cell("8%", size, true) +
           cell("8%", measure) + cell("22%", remark) + cell("25%", "main.cpp") + "    </tr>\n";
  };
  EXPECT_EQ(report("Mz一覧Obj.html"),
            withCrLf(htmlHead("グローバル変数一覧") +
                     "<table border=\"1\" cellpadding=\"6\" width=\"900\">\n"
                     "    <tr>\n" +
                     header("17%", "型名") + header("20%", "変数名") + header("8%", "サイズ") +
                     header("8%", "計測") + header("22%", "備考") + header("25%", "ファイル名") +
                     "    </tr>\n" + row("static int", "calls", "4", "　", "f関数所有") +
                     row("int", "counter", "4", "　", "　") +
                     row("class CFoo", "theApp", "-", "　", "　") +
                     row("vector<int>", "v[2]", "0", "不正確", "　") + "</table>\n</body>\n</html>\n"));
}

TEST_F(VariableReportsTest, TextDetails) {
  fillDetails();
  variables().writeVariableDetails();
  EXPECT_EQ(report("Mz変数詳細情報.txt"),
            withCrLf("■型名　　　：static int\n■変数名　　：calls\n■サイズ　　：4\n"
                     "■計測　　　：\n■備考　　　：f関数所有\n■ソース　　：main.cpp  10 :行目\n"
                     "■参照関数　：f\n\n\n"
                     "■型名　　　：int\n■変数名　　：counter\n■サイズ　　：4\n"
                     "■計測　　　：\n■備考　　　：\n■ソース　　：main.cpp  4 :行目\n"
                     "■参照関数　：f\n　　　　　　：A::g\n\n\n"
                     "■型名　　　：int\n■変数名　　：ext\n■サイズ　　：4\n"
                     "■計測　　　：\n■備考　　　：\n■ソース　　：\n"
                     "■参照関数　：\n\n\n"
                     "■型名　　　：class CFoo\n■変数名　　：theApp\n■サイズ　　：-\n"
                     "■計測　　　：\n■備考　　　：\n■ソース　　：main.cpp  6 :行目\n"
                     "■参照関数　：\n\n\n"));
}

TEST_F(VariableReportsTest, CsvDetails) {
  options().outputFormat = OutputFormat::Csv;
  fillDetails();
  variables().writeVariableDetails();
  EXPECT_EQ(report("Mz変数詳細情報.csv"),
            withCrLf("型名,static int\n変数名,calls\nサイズ,4\n計測,\n備考,f関数所有\n"
                     "ソース,main.cpp,10\n参照関数,f,\n\n\n"
                     "型名,int\n変数名,counter\nサイズ,4\n計測,\n備考,\n"
                     "ソース,main.cpp,4\n参照関数,f,A::g,\n\n\n"
                     "型名,int\n変数名,ext\nサイズ,4\n計測,\n備考,\nソース,\n\n\n"
                     "型名,class CFoo\n変数名,theApp\nサイズ,-\n計測,\n備考,\n"
                     "ソース,main.cpp,6\n\n\n"));
}

TEST_F(VariableReportsTest, HtmlDetails) {
  options().outputFormat = OutputFormat::Html;
  at(4, "int", "counter");
  at(5, "CUnknown", "thing");
  variables().referenceVariable("counter", "", "f");
  variables().referenceVariable("counter", "A", "g");
  variables().writeVariableDetails();
  auto row = [](const std::string& label, const std::string& value) {
    return "    <tr>\n" + cell("20%", label) + cell("80%", value) + "    </tr>\n";
  };
  const std::string table = "<table border=\"1\" cellpadding=\"2\" width=\"800\">\n";
  const std::string end = "</table>\n<br>\n<br>\n";
  EXPECT_EQ(report("Mz変数詳細情報.html"),
            withCrLf(htmlHead("変数詳細情報") + table + row("型名", "int") +
                     row("変数名", "counter") + row("サイズ", "4") + row("計測", "　") +
                     row("備考", "　") + row("ソース", "main.cpp  4 :行目") +
                     row("参照関数", "f<br>A::g\n") + end + table + row("型名", "CUnknown") +
                     row("変数名", "thing") + row("サイズ", "0") + row("計測", "不正確") +
                     row("備考", "　") + row("ソース", "main.cpp  5 :行目") + row("参照関数", "　") +
                     end + "</body>\n</html>\n"));
}

TEST_F(VariableReportsTest, ReportAccessors) {
  fillDetails();
  EXPECT_EQ(variables().rowCount(), 4);
  EXPECT_EQ(variables().field(VariableTable::Field::kType, 3, 0), "class CFoo");
  EXPECT_EQ(variables().field(VariableTable::Field::kName, 0, 0), "calls");
  EXPECT_EQ(variables().field(VariableTable::Field::kReferencingFunction, 1, 1), "A::g");
  EXPECT_EQ(variables().field(VariableTable::Field::kReferencingFunction, 1, 2), "");
  EXPECT_EQ(variables().field(VariableTable::Field::kName, 4, 0), "");
}

}  // namespace
