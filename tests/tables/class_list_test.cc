// The class list "Mz一覧class" in text, CSV and HTML, for the whole run and
// in per-file sections; only used classes of kind 0 are listed.
#include "tests/tables/run_tables_fixture.h"

namespace {

const std::string kRule(46, '-');
const std::string kWholeRun = "解析対象ｿｰｽで使用した全ｸﾗｽ名を表示します。";

std::string htmlHead(const std::string& title) {
  return "<html>\n\n<head>\n"
         "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=x-sjis\">\n"
         "<meta name=\"author\" content=\"ＯＲＵＮＯＫＡ\">\n"
         "<title>" + title + "</title>\n</head>\n\n"
         "<body bgcolor=\"#FFFFFF\" link=\"#0000FF\" vlink=\"#800080\">\n\n"
         "<p align=\"center\"><font size=\"6\" face=\"ＭＳ ゴシック\">" + title +
         "</font></p>\n\n";
}

std::string htmlTableStart(const std::string& heading) {
  return "<p>" + heading + "</p>\n"
         "<table border=\"1\" cellpadding=\"3\" width=\"400\">\n"
         "    <tr>\n"
         "        <td align=\"center\" valign=\"top\" width=\"20%\" bgcolor=\"#00FFFF\">class</td>\n"
         "        <td align=\"center\" valign=\"top\" width=\"40%\" bgcolor=\"#00FFFF\">クラス名</td>\n"
         "        <td align=\"center\" valign=\"top\" width=\"40%\" bgcolor=\"#00FFFF\">基本クラス</td>\n"
         "    </tr>\n";
}

std::string htmlRow(const std::string& name, const std::string& bases) {
  return "    <tr>\n"
         "        <td valign=\"top\" width=\"20%\">class</td>\n"
         "        <td valign=\"top\" width=\"40%\">" + name + "</td>\n"
         "        <td valign=\"top\" width=\"40%\">" + bases + "</td>\n"
         "    </tr>\n";
}

const std::string kHtmlTableEnd = "</table>\n<br>\n\n\n";
const std::string kHtmlPageEnd = "</body>\n</html>\n";

class ClassListTest : public RunTablesTest {
 protected:
  void SetUp() override {
    RunTablesTest::SetUp();
    options().classList = 1;
    startFile("c:/src/app.cpp");
  }
  // CApp (no bases), CDoc : CObject, IUnknown, CView : CWnd; CWnd from the
  // settings (unused), POINT class-like and SLike class-like but used.
  void fill() {
    classes().registerSettingsClass("CWnd");
    classes().registerClass("CView", 1, ClassTable::kClass);
    classes().addBase("CView", "CWnd");
    classes().registerClass("CDoc", 1, ClassTable::kClass);
    classes().addBase("CDoc", "CObject");
    classes().addBase("CDoc", "IUnknown");
    classes().registerClass("CApp", 1, ClassTable::kClass);
    classes().addMember("POINT", "int", "x", 4, 0);
    classes().registerClass("SLike", 1, ClassTable::kClassLike);
  }
};

TEST_F(ClassListTest, TextForTheWholeRun) {
  fill();
  classes().writeClassList(ListScope::kWholeRun);
  EXPECT_EQ(report("Mz一覧class.txt"), withCrLf(kRule + "\n" + kWholeRun + "\n" + kRule + "\n" +
                                                 "  class CApp\n"
                                                 "  class CDoc\n"
                                                 "    基本ｸﾗｽ：CObject\n"
                                                 "    基本ｸﾗｽ：IUnknown\n"
                                                 "  class CView\n"
                                                 "    基本ｸﾗｽ：CWnd\n"
                                                 "\n"));
}

TEST_F(ClassListTest, CsvForTheWholeRun) {
  options().outputFormat = OutputFormat::Csv;
  fill();
  classes().writeClassList(ListScope::kFinish);  // nothing written before: a whole-run section
  EXPECT_EQ(report("Mz一覧class.csv"), withCrLf(kRule + "\n" + kWholeRun + "\n" + kRule + "\n" +
                                                 "class,ｸﾗｽ名,基本ｸﾗｽ\n"
                                                 "class,CApp\n"
                                                 "class,CDoc,CObject,IUnknown,\n"
                                                 "class,CView,CWnd,\n"
                                                 "\n"));
}

TEST_F(ClassListTest, HtmlForTheWholeRun) {
  options().outputFormat = OutputFormat::Html;
  fill();
  classes().writeClassList(ListScope::kWholeRun);
  EXPECT_EQ(report("Mz一覧class.html"),
            withCrLf(htmlHead("クラス一覧") + htmlTableStart(kWholeRun) + htmlRow("CApp", "　") +
                     htmlRow("CDoc", "CObject<br>IUnknown") + htmlRow("CView", "CWnd") +
                     kHtmlTableEnd + kHtmlPageEnd));
}

// Three source files read with per-file tables: one section each, headed by
// the file's name; the end of the run adds nothing to a text list.
TEST_F(ClassListTest, TextSectionsPerSourceFile) {
  const char* files[] = {"c:/src/a.cpp", "c:/src/b.cpp", "c:/src/c.cpp"};
  const char* names[] = {"A", "B", "C"};
  for (int i = 0; i < 3; ++i) {
    startFile(files[i]);
    classes().registerClass(names[i], 1, ClassTable::kClass);
    classes().writeClassList(ListScope::kPerFile);
    classes().resetAfterFile();
  }
  classes().writeClassList(ListScope::kFinish);
  std::string expected;
  for (int i = 0; i < 3; ++i)
    expected += kRule + "\n" + fileNamePart(files[i]) + "で使用したｸﾗｽ名を表示します。\n" + kRule +
                "\n  class " + names[i] + "\n\n";
  EXPECT_EQ(report("Mz一覧class.txt"), withCrLf(expected));
  EXPECT_EQ(classes().sectionsWritten(), 3);
}

TEST_F(ClassListTest, HtmlSectionsPerSourceFileAreClosedAtTheEnd) {
  options().outputFormat = OutputFormat::Html;
  startFile("c:/src/a.cpp");
  classes().registerClass("A", 1, ClassTable::kClass);
  classes().writeClassList(ListScope::kPerFile);
  classes().resetAfterFile();
  startFile("c:/src/b.cpp");
  classes().registerClass("B", 1, ClassTable::kClass);
  classes().addBase("B", "A");
  classes().writeClassList(ListScope::kPerFile);
  classes().writeClassList(ListScope::kFinish);
  EXPECT_EQ(report("Mz一覧class.html"),
            withCrLf(htmlHead("クラス一覧") + htmlTableStart("a.cppで使用したｸﾗｽ名を表示します。") +
                     htmlRow("A", "　") + kHtmlTableEnd +
                     htmlTableStart("b.cppで使用したｸﾗｽ名を表示します。") + htmlRow("B", "A") +
                     kHtmlTableEnd + kHtmlPageEnd));
}

TEST_F(ClassListTest, AnEmptyTableWritesNoSection) {
  classes().writeClassList(ListScope::kPerFile);
  classes().writeClassList(ListScope::kWholeRun);
  EXPECT_FALSE(reportExists("Mz一覧class.txt"));
  EXPECT_EQ(classes().sectionsWritten(), 0);
}

TEST_F(ClassListTest, AFileWithoutUsedClassesStillGetsItsHeading) {
  classes().registerSettingsClass("CString");
  classes().writeClassList(ListScope::kPerFile);
  EXPECT_EQ(report("Mz一覧class.txt"),
            withCrLf(kRule + "\napp.cppで使用したｸﾗｽ名を表示します。\n" + kRule + "\n\n"));
}

}  // namespace
