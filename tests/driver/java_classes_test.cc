// A run of Java files knows every class of the run in every file: the
// constructor of a class of another file, a method inherited from a class
// declared in a later file, a constant of an enumeration of another file,
// and a method of an enum constant's body, in every header mode and
// whichever file comes first.
#include <gtest/gtest.h>

#include <string>
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
