// The class list "Mz一覧class" for the whole run and in per-file sections;
// only used classes of kind 0 are listed.
#include "tests/report/row_dump.h"
#include "tests/tables/table_fixture.h"

namespace {

const std::string kHead = "head: class | クラス名 {c: ｸﾗｽ名} | 基本クラス {c: 基本ｸﾗｽ}\n";

class ClassListTest : public TableTest {
 protected:
  void SetUp() override {
    TableTest::SetUp();
    options().classList = 1;
    startFile("c:/src/app.cpp");
  }
  RowDump dump_{reports()};
};

// CApp (no bases), CDoc : CObject, IUnknown, CView : CWnd; CWnd from the
// settings (unused), POINT class-like and SLike class-like but used. A
// finish with no section written gives the whole-run section.
TEST_F(ClassListTest, RowsForTheWholeRun) {
  classes().registerSettingsClass("CWnd");
  classes().registerClass("CView", 1, ClassTable::kClass);
  classes().addBase("CView", "CWnd");
  classes().registerClass("CDoc", 1, ClassTable::kClass);
  classes().addBase("CDoc", "CObject");
  classes().addBase("CDoc", "IUnknown");
  classes().registerClass("CApp", 1, ClassTable::kClass);
  classes().addMember("POINT", "int", "x", 4, 0);
  classes().registerClass("SLike", 1, ClassTable::kClassLike);
  classes().writeClassList(reports(), ListScope::kFinish);
  EXPECT_EQ(report("Mz一覧class.txt"),
            withCrLf("page: クラス一覧\n"
                     "caption: 解析対象ｿｰｽで使用した全ｸﾗｽ名を表示します。\n" +
                     kHead +
                     "row: class | CApp | ~[]*\n"
                     "row: class | CDoc | ~[CObject, IUnknown]*\n"
                     "row: class | CView | ~[CWnd]*\n"
                     "end\n"));
}

// Three source files read with per-file tables: one section each, headed by
// the file's name, also when it used no class.
TEST_F(ClassListTest, SectionsPerSourceFile) {
  const char* files[] = {"c:/src/a.cpp", "c:/src/b.cpp", "c:/src/c.cpp"};
  const char* names[] = {"A", "", "C"};
  std::string expected = "page: クラス一覧\n";
  for (int i = 0; i < 3; ++i) {
    startFile(files[i]);
    classes().registerSettingsClass("CString");
    if (*names[i]) classes().registerClass(names[i], 1, ClassTable::kClass);
    classes().writeClassList(reports(), ListScope::kPerFile);
    classes().resetAfterFile();
    expected += "caption: " + fileNamePart(files[i]) + "で使用したｸﾗｽ名を表示します。\n" + kHead +
                (*names[i] ? "row: class | " + std::string(names[i]) + " | ~[]*\n" : "") + "end\n";
  }
  classes().writeClassList(reports(), ListScope::kFinish);
  EXPECT_EQ(report("Mz一覧class.txt"), withCrLf(expected));
  EXPECT_EQ(classes().sectionsWritten(), 3);
}

// Delphi keeps its classes from file to file: a file's section lists the
// few it used, in name order (letters folded), and the next file starts
// with none used; a record dropped by a rename is listed no more.
TEST_F(ClassListTest, AKeptTableListsWhatEachFileUsed) {
  std::string expected = "page: クラス一覧\n";
  auto section = [&](const std::string& file, const std::string& rows) {
    classes().writeClassList(reports(), ListScope::kPerFile);
    classes().resetAfterFile();
    expected += "caption: " + file + "で使用したｸﾗｽ名を表示します。\n" + kHead + rows + "end\n";
  };
  startFile("c:/src/u1.pas");
  for (int i = 0; i < 40; ++i)
    classes().registerClass("TC" + std::to_string(100 + i), 0, ClassTable::kClass);
  classes().markUsed("tc130");
  classes().registerClass("TNew", 1, ClassTable::kClass);
  DeclInfo method;
  method.className = "TC105";
  method.name = "Run";
  classes().addMethod(method);
  classes().markUsed("TC130");
  section("u1.pas",
          "row: class | TC105 | ~[]*\nrow: class | TC130 | ~[]*\nrow: class | TNew | ~[]*\n");
  startFile("c:/src/u2.pas");
  classes().markUsed("TC102");
  classes().markUsed("TC139");
  classes().renameClass("TC139", "TC101");  // the name is taken: the record goes
  section("u2.pas", "row: class | TC102 | ~[]*\n");
  classes().writeClassList(reports(), ListScope::kFinish);
  EXPECT_EQ(report("Mz一覧class.txt"), withCrLf(expected));
}

TEST_F(ClassListTest, AnEmptyTableWritesNoSection) {
  classes().writeClassList(reports(), ListScope::kPerFile);
  classes().writeClassList(reports(), ListScope::kWholeRun);
  EXPECT_FALSE(reportExists("Mz一覧class.txt"));
  EXPECT_EQ(classes().sectionsWritten(), 0);
}

}  // namespace
