// A run of Java files knows every class of the run in every file: the
// constructor of a class of another file, a method inherited from a class
// declared in a later file, a constant of an enumeration of another file,
// and a method of an enum constant's body, in every header mode and
// whichever file comes first.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "context/options.h"
#include "tables/class_table.h"
#include "tables/function_table.h"
#include "tests/support/analysis_test.h"

namespace {

class JavaClassesTest : public AnalysisTest {
 protected:
  // Every call edge of the run between functions with a file, "a > b" a
  // line, in key order (keys cut at '@').
  std::string edges() {
    const FunctionTable& f = functions();
    auto cut = [](const std::string& key) { return key.substr(0, key.find('@')); };
    std::string out;
    for (int n : f.sortedIndex()) {
      const FunctionRecord& r = f.record(n);
      for (int c : r.callees)
        if (f.record(c).fileNo) out += cut(r.key) + " > " + cut(f.record(c).key) + "\n";
    }
    return out;
  }

  // The sources named so that the users come before the classes they use
  // (`first` true) or after them.
  void sources(bool usersFirst) {
    const std::string user = usersFirst ? "/src/A_Main.java" : "/src/Z_Main.java";
    const std::string box = usersFirst ? "/src/M_Box.java" : "/src/B_Box.java";
    file(user,
         "public class Main {\n"
         "    public static void main(String[] args) {\n"
         "        Box b = new Box(3);\n"
         "        Sub s = new Sub();\n"
         "        s.inherited();\n"
         "        b.open();\n"
         "        Box[] many = new Box[4];\n"
         "        Op.PLUS.apply(1, 2);\n"
         "    }\n"
         "}\n");
    file(box,
         "public class Box {\n"
         "    public Box(int n) { }\n"
         "    public void open() { Op.MINUS.apply(2, 1); }\n"
         "}\n");
    file("/src/N_Sub.java",
         "public class Sub extends Base {\n    void own() { inherited(); }\n}\n");
    file("/src/Q_Base.java", "public class Base {\n    public void inherited() { }\n}\n");
    file("/src/R_Op.java",
         "public enum Op {\n"
         "    PLUS {\n"
         "        public int apply(int a, int b) { return add(a, b); }\n"
         "    },\n"
         "    MINUS { public int apply(int a, int b) { return a - b; } };\n"
         "    public abstract int apply(int a, int b);\n"
         "    static int add(int a, int b) { return a + b; }\n"
         "}\n");
    paths_ = {user, box, "/src/N_Sub.java", "/src/Q_Base.java", "/src/R_Op.java"};
  }

  std::vector<std::string> paths_;

  // The edges of a run over the files, read in the order given and in the
  // reverse order (a run reads its files in name order); both orders must
  // give the same.
  std::string edgesOf(const std::vector<std::pair<std::string, std::string>>& files) {
    std::string first;
    for (bool reversed : {false, true}) {
      renewRun();
      std::vector<std::string> paths;
      for (size_t i = 0; i < files.size(); ++i) {
        char order = static_cast<char>(reversed ? 'z' - i : 'a' + i);
        paths.push_back(std::string("/src/") + order + "_" + files[i].first);
        file(paths.back(), files[i].second);
      }
      EXPECT_TRUE(analyse(paths));
      std::string found = edges();
      if (reversed) {
        EXPECT_EQ(found, first) << "reversed order";
      }
      first = found;
    }
    return first;
  }
};

TEST_F(JavaClassesTest, ClassesOfEveryFileInEveryOrderAndHeaderMode) {
  const std::string expected =
      "Box::open > Op::apply\n"
      "Main::main > Base::inherited\n"
      "Main::main > Box::Box\n"
      "Main::main > Box::open\n"
      "Main::main > Op::apply\n"
      "Op::apply > Op::add\n"
      "Sub::own > Base::inherited\n";
  for (HeaderReadMode mode :
       {HeaderReadMode::PerSourceFile, HeaderReadMode::ReadOnce, HeaderReadMode::NoRead}) {
    for (bool usersFirst : {true, false}) {
      options().headerReadMode = mode;
      renewRun();
      sources(usersFirst);
      ASSERT_TRUE(analyse(paths_));
      EXPECT_EQ(edges(), expected)
          << "mode " << static_cast<int>(mode) << " users first " << usersFirst;
      // Nothing of the declarations pass reaches the log twice, and no
      // class is registered twice.
      std::string log = takeLog();
      EXPECT_EQ(log.find("登録済み"), std::string::npos) << log;
      EXPECT_EQ(log.find("不明"), std::string::npos) << log;
    }
  }
}

// A plain call reaches the member a static import names, or a member of a
// class whose members are all imported.
TEST_F(JavaClassesTest, StaticImportsNameTheClassOfAPlainCall) {
  EXPECT_EQ(edgesOf({{"Calc.java",
                      "import static p.MathUtil.twice;\n"
                      "import static p.Strings.*;\n"
                      "public class Calc {\n"
                      "    int run(int x) { lower(\"A\"); own(); return twice(x); }\n"
                      "    void own() { }\n"
                      "}\n"},
                     {"MathUtil.java",
                      "public class MathUtil { static int twice(int x) { return x; } }\n"},
                     {"Strings.java",
                      "public class Strings { static String lower(String s) { return s; } }\n"}}),
            "Calc::run > Calc::own\n"
            "Calc::run > MathUtil::twice\n"
            "Calc::run > Strings::lower\n");
}

// f().g() calls g of f's result class, whether f is declared later in the
// file or in another file.
TEST_F(JavaClassesTest, ResultClassOfAMethodDeclaredAnywhere) {
  EXPECT_EQ(edgesOf({{"Chain.java",
                      "public class Chain {\n"
                      "    void go() { self().done(); Maker.make().open(); }\n"
                      "    Chain self() { return this; }\n"
                      "    void done() { }\n"
                      "}\n"},
                     {"Maker.java", "public class Maker { static Door make() { return null; } }\n"},
                     {"Door.java", "public class Door { void open() { } }\n"}}),
            "Chain::go > Chain::done\n"
            "Chain::go > Chain::self\n"
            "Chain::go > Door::open\n"
            "Chain::go > Maker::make\n");
}

// An enum constant after an annotation with arguments is a constant of
// the enumeration all the same.
TEST_F(JavaClassesTest, AnnotatedEnumConstant) {
  EXPECT_EQ(
      edgesOf({{"User.java", "public class User { int f() { return Level.HIGH.weight(); } }\n"},
               {"Level.java",
                "public enum Level {\n"
                "    LOW(1),\n"
                "    @Deprecated(since = \"2\")\n"
                "    HIGH(2);\n"
                "    Level(int w) { }\n"
                "    int weight() { return 1; }\n"
                "}\n"}}),
      "User::f > Level::weight\n");
}

// Two classes of one name are one class with the bases of both: super
// reaches the base that has the member, not the first one.
TEST_F(JavaClassesTest, SuperReachesTheBaseThatHasTheMember) {
  EXPECT_EQ(
      edgesOf({{"a/Item.java", "public class Item implements Cloneable { }\n"},
               {"b/Item.java", "class Item extends Base { void reset() { super.reset(); } }\n"},
               {"Base.java", "class Base { void reset() { } }\n"}}),
      "Item::reset > Base::reset\n");
}

// Each file's section of the class list names the classes it uses, and a
// class of the tree named like a library class is the tree's.
TEST_F(JavaClassesTest, ClassListSectionsPerFile) {
  options().classList = 1;
  sources(true);
  ASSERT_TRUE(analyse(paths_));
  std::string list = report("Mz一覧class.txt");
  EXPECT_NE(list.find("M_Box.java"), std::string::npos);
  EXPECT_NE(list.find("  class Sub\r\n    基本ｸﾗｽ：Base\r\n"), std::string::npos) << list;
}

}  // namespace
