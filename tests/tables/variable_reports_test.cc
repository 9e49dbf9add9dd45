// The rows of the global variable list "Mz一覧Obj" and the blocks of the
// variable details "Mz変数詳細情報" for tables filled here.
#include "tests/report/row_dump.h"
#include "tests/tables/table_fixture.h"

namespace {

constexpr int kDecl = VariableTable::kDeclaration;

class VariableReportsTest : public TableTest {
 protected:
  void SetUp() override {
    TableTest::SetUp();
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
  RowDump dump_{reports()};
};

const std::string kListHead =
    "page: グローバル変数一覧\nhead: 型名 | 変数名 | サイズ | 計測 | 備考 | ファイル名\n"
    "literal: " +
    [] {
      std::string rule;
      for (int i = 0; i < 38; ++i) rule += "─";
      return rule;
    }() +
    "\n";

const std::string kRows =
    "row: unsigned long long int | a_very_long_variable_name_here | #4 |  |  | main.cpp\n"
    "row: char | buffer[256] | #256 |  |  | main.cpp\n"
    "row: static int | calls | #4 |  | f関数所有 | main.cpp\n"
    "row: int | counter | #4 |  |  | main.cpp\n"
    "row: int | ext | #4 |  |  | \n"
    "row: static int | hits | #4 |  | Aｸﾗｽのgﾒｿｯﾄﾞ所有 | main.cpp\n"
    "row: struct POINT | origin | #8 |  |  | main.cpp\n"
    "row: class CFoo | theApp | #- |  |  | main.cpp\n"
    "row: CUnknown | thing | #0 | 不正確 |  | main.cpp\n";

// Parameters are never listed; member variables only with their option.
TEST_F(VariableReportsTest, ListRows) {
  fillAll();
  variables().writeVariableList(reports());
  EXPECT_EQ(report("Mz一覧Obj.txt"), withCrLf(kListHead + kRows + "end\n"));
  EXPECT_EQ(variables().rowCount(), 9);
  options().outputMemberVariables = 1;
  variables().writeVariableList(reports());
  EXPECT_EQ(report("Mz一覧Obj.txt"),
            withCrLf(kListHead + kRows + "row: int | x | #4 |  |  | main.cpp\nend\n"));
}

TEST_F(VariableReportsTest, DetailsBlocks) {
  fillDetails();
  variables().writeVariableDetails(reports());
  auto block = [](const char* type, const char* name, const char* size, const char* remark,
                  const std::string& source, const char* functions) {
    return std::string("block\n型名: ") + type + "\n変数名: " + name + "\nサイズ: " + size +
           "\n計測: \n備考: " + remark + "\nソース: " + source + "\n参照関数: [" + functions +
           "]\nend\n";
  };
  EXPECT_EQ(report("Mz変数詳細情報.txt"),
            withCrLf("page: 変数詳細情報\n" +
                     block("static int", "calls", "4", "f関数所有",
                           "main.cpp  10 :行目 {c: main.cpp, c next: 10}", "f") +
                     block("int", "counter", "4", "", "main.cpp  4 :行目 {c: main.cpp, c next: 4}",
                           "f, A::g") +
                     block("int", "ext", "4", "", "", "") +
                     block("class CFoo", "theApp", "-", "",
                           "main.cpp  6 :行目 {c: main.cpp, c next: 6}", "")));
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
