// The class table as the parsers fill it: identity per language and
// template name, registration messages, bases, methods and members with
// sizes, method and member-variable lookup through bases (two levels, a
// diamond, cycles), renaming, the per-file reset, and odd names.
#include <functional>

#include "tests/tables/table_fixture.h"

namespace {

class ClassTableTest : public TableTest {
 protected:
  void SetUp() override {
    TableTest::SetUp();
    startFile("c:/src/a.cpp");
  }
  void classWithBases(const std::string& name, std::initializer_list<const char*> bases) {
    classes().registerClass(name, 1, ClassTable::kClass);
    for (const char* base : bases) classes().addBase(name, base);
  }
  void method(const std::string& className, const std::string& name) {
    classes().addMethod(decl(name, className));
  }
};

TEST_F(ClassTableTest, RegistrationAndIdentity) {
  classes().registerClass("CFoo", 1, ClassTable::kClass);
  EXPECT_TRUE(classes().isClass("CFoo"));
  EXPECT_TRUE(classes().exists("CFoo<int, 3>"));
  EXPECT_FALSE(classes().exists("cfoo"));
  EXPECT_TRUE(types().kindOf("CFoo") & TypeTable::kClass);
  classes().registerClass("CFoo", 1, ClassTable::kClass);
  EXPECT_EQ(takeLog(), "  CFooは既に登録済みです[class]\n");
  classes().registerClass("CFoo", 0, ClassTable::kClassLike);
  classes().registerClass("", 1, ClassTable::kClass);
  classes().registerClass("@anon@a.c", 1, ClassTable::kClassLike);
  EXPECT_FALSE(types().isTypeQuietly("@anon@a.c"));
  EXPECT_EQ(takeLog(), "");

  startFile("c:/src/T.java");
  EXPECT_FALSE(classes().exists("CFoo"));
  classes().registerClass("CFoo", 1, ClassTable::kClass);
  EXPECT_EQ(takeLog(), "");
  EXPECT_EQ(classes().dump(), "@anon@a.c(1,3,1,0/0)\nCFoo(0,4,1,0/0)\nCFoo(0,3,1,0/0)\n");
  startFile("c:/src/b.cpp");
  EXPECT_TRUE(classes().exists("CFoo"));  // past the Java record beside it
  EXPECT_TRUE(classes().markUsed("CFoo"));
  EXPECT_FALSE(classes().markUsed("CBar"));
}

TEST_F(ClassTableTest, MembersOfAnUnknownClassMakeAClassLikeRecord) {
  classes().addMember("POINT", "int", "x", 4, 0);
  classes().addMember("POINT", "int", "y", 4, 0);
  classes().addMember("POINT", "long", "x", 8, 0);
  classes().addMember("POINT", "char", "name", 10, VariableRecord::kInexact);
  EXPECT_TRUE(classes().exists("POINT"));
  EXPECT_FALSE(classes().isClass("POINT"));
  int flags = -1;
  EXPECT_EQ(classes().sizeOf("POINT", flags), 18);
  EXPECT_EQ(flags, VariableRecord::kInexact);
  EXPECT_EQ(classes().sizeOf("NONE", flags), 0);
  EXPECT_EQ(flags, 0);
  EXPECT_EQ(classes().dump(), "POINT(1,3,0,18/16) [int x 4] [int y 4] [char name 10]\n");
  EXPECT_EQ(takeLog(), "");
}

TEST_F(ClassTableTest, BasesAndMethodsWithTheirMessages) {
  classWithBases("CView", {"CWnd", "CWnd", "CObject"});
  classes().addBase("", "X");
  classes().addBase("Nope", "CWnd");
  EXPECT_EQ(
      takeLog(),
      "ｸﾗｽ[Nope]において継承を行おうとしましたが、基本ｸﾗｽ[CWnd]が登録されていません(内部ｴﾗｰ)\n");
  method("CView", "OnDraw");
  method("CView", "OnDraw");
  method("", "Free");
  method("CNew", "Run");
  EXPECT_EQ(takeLog(), "未登録ｸﾗｽ[CNew]に対してﾒｿｯﾄﾞ登録[Run]をしようとしています(内部ｴﾗｰ)\n");
  EXPECT_EQ(classes().dump(), "CNew(0,3,1,0/0) {Run}\nCView(0,3,1,0/0) : CWnd CObject {OnDraw}\n");
  EXPECT_EQ(classes().baseCount("CView"), 2);
  EXPECT_EQ(classes().baseName("CView", 1), "CObject");
  EXPECT_EQ(classes().baseName("CView", 2), "");
  EXPECT_EQ(classes().baseName("CView", -1), "");
  EXPECT_EQ(classes().baseName("Nope", 0), "");
}

TEST_F(ClassTableTest, MethodLookupThroughTwoLevelsOfBases) {
  classWithBases("Root", {});
  classWithBases("Mid", {"Root"});
  classWithBases("Leaf", {"Mid"});
  method("Root", "f");
  method("Mid", "g");
  struct Case {
    const char* className;
    const char* function;
    const char* owner;
  } cases[] = {{"Leaf", "f", "Root"}, {"Leaf", "g", "Mid"},      {"Mid", "f", "Root"},
               {"Root", "g", ""},     {"Leaf", "h", ""},         {"", "f", ""},
               {"Unknown", "f", ""},  {"Leaf<int>", "f", "Root"}};
  for (const Case& c : cases)
    EXPECT_EQ(classes().resolveMember(c.className, c.function), c.owner) << c.className;
  EXPECT_EQ(takeLog(), "");
}

TEST_F(ClassTableTest, DiamondIsSearchedThroughTheFirstBaseFirst) {
  classWithBases("A", {});
  classWithBases("B", {"A"});
  classWithBases("C", {"A"});
  classWithBases("D", {"B", "C"});
  method("A", "m");
  method("C", "m");
  method("C", "only");
  EXPECT_EQ(classes().resolveMember("D", "m"), "A");
  EXPECT_EQ(classes().resolveMember("D", "only"), "C");
  EXPECT_EQ(takeLog(), "");
}

TEST_F(ClassTableTest, InheritanceCyclesAreReportedAndEndTheSearch) {
  classWithBases("S", {"S"});
  classWithBases("P", {"Q"});
  classWithBases("Q", {"P"});
  const std::string cycle = "基本ｸﾗｽ検索において無限ﾙｰﾌﾟに陥りました。\n";
  EXPECT_EQ(classes().resolveMember("S", "x"), "");
  EXPECT_EQ(takeLog(), cycle);
  EXPECT_EQ(classes().resolveMember("P", "x"), "");
  EXPECT_EQ(takeLog(), cycle);
  const ClassRecord* owner = nullptr;
  EXPECT_EQ(classes().findMemberVariable("Q", "v", owner), nullptr);
  EXPECT_EQ(takeLog(), cycle);
}

// The member and the class that declares it, as "Owner::type name".
TEST_F(ClassTableTest, MemberVariablesResolveThroughBases) {
  classWithBases("Root", {});
  classWithBases("Mid", {"Root"});
  classWithBases("Leaf", {"Mid"});
  classes().addMember("Root", "int", "count", 4, 0);
  classes().addMember("Leaf", "char*", "name", 4, 0);
  auto member = [&](const char* className, const char* variable) -> std::string {
    const ClassRecord* owner = nullptr;
    const MemberVariable* m = classes().findMemberVariable(className, variable, owner);
    return m ? ClassTable::memberReference(*owner, *m, variable) : "<none>";
  };
  EXPECT_EQ(member("Leaf", "count"), "Root::int count");
  EXPECT_EQ(member("Leaf", "name"), "Leaf::char* name");
  EXPECT_EQ(member("Leaf", "none"), "<none>");
  EXPECT_EQ(member("Other", "count"), "<none>");
}

// Delphi keeps its records from file to file and the answers of its walks:
// a member, method, base or name added or changed later is still seen, and
// a cycle is told at every walk.
TEST_F(ClassTableTest, DelphiWalksSeeLaterChanges) {
  startFile("c:/src/u.pas");
  classWithBases("TRoot", {});
  classWithBases("TMid", {"TRoot"});
  classWithBases("TLeaf", {"TMid"});
  const ClassRecord* owner;
  EXPECT_EQ(classes().findMemberVariable("TLeaf", "Count", owner), nullptr);
  EXPECT_EQ(classes().resolveMember("TLeaf", "Run"), "");
  classes().addMember("TRoot", "Integer", "FCount", 4, 0);
  classes().addMember("TRoot", "Integer", "Count", 4, 0);
  method("TMid", "Run");
  const MemberVariable* m = classes().findMemberVariable("tleaf", "COUNT", owner);
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(m->name + " of " + owner->name, "Count of TRoot");
  EXPECT_EQ(classes().resolveMember("TLeaf", "run"), "TMid");
  classes().addMember("TLeaf", "string", "Count", 4, 0);
  m = classes().findMemberVariable("TLeaf", "Count", owner);
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(m->type + " of " + owner->name, "string of TLeaf");
  classes().renameClass("TMid", "TMiddle");
  EXPECT_EQ(classes().resolveMember("TLeaf", "Run"), "");
  classes().addBase("TLeaf", "TMiddle");
  EXPECT_EQ(classes().resolveMember("TLeaf", "Run"), "TMiddle");
  classWithBases("TSelf", {"TSelf"});
  const std::string cycle = "基本ｸﾗｽ検索において無限ﾙｰﾌﾟに陥りました。\n";
  takeLog();
  EXPECT_EQ(classes().resolveMember("TSelf", "x"), "");
  EXPECT_EQ(classes().resolveMember("TSelf", "x"), "");
  EXPECT_EQ(takeLog(), cycle + cycle);
}

// Walk answers are kept until the records change: asked again, the same
// question after a change sees the change, another kind of question about
// the same names is walked anew, and a cycle is told at every walk.
TEST_F(ClassTableTest, TheLastAnswerLastsUntilTheRecordsChange) {
  startFile("c:/src/u.cpp");
  classWithBases("Root", {});
  classWithBases("Leaf", {"Root"});
  const ClassRecord* owner;
  EXPECT_EQ(classes().resolveMember("Leaf", "run"), "");
  method("Root", "run");
  EXPECT_EQ(classes().resolveMember("Leaf", "run"), "Root");
  EXPECT_EQ(classes().findMemberVariable("Leaf", "run", owner), nullptr);
  classes().addMember("Root", "int", "run", 4, 0);
  ASSERT_NE(classes().findMemberVariable("Leaf", "run", owner), nullptr);
  EXPECT_EQ(owner->name, "Root");
  classes().renameClass("Root", "Base");
  EXPECT_EQ(classes().findMemberVariable("Leaf", "run", owner), nullptr);
  classWithBases("Self", {"Self"});
  takeLog();
  EXPECT_EQ(classes().resolveMember("Self", "x"), "");
  EXPECT_EQ(classes().resolveMember("Self", "x"), "");
  EXPECT_EQ(takeLog(), std::string("基本ｸﾗｽ検索において無限ﾙｰﾌﾟに陥りました。\n") +
                           "基本ｸﾗｽ検索において無限ﾙｰﾌﾟに陥りました。\n");
}

TEST_F(ClassTableTest, RenameMovesTheRecord) {
  classes().addMember("@anon@a.c", "int", "x", 4, 0);
  classes().registerClass("RECT", 1, ClassTable::kClassLike);
  classes().renameClass("@anon@a.c", "POINT");
  EXPECT_EQ(classes().dump(), "POINT(1,3,0,4/0) [int x 4]\nRECT(1,3,1,0/0)\n");
  classes().renameClass("POINT", "RECT");  // the name is taken: the copy is dropped
  EXPECT_EQ(classes().dump(), "RECT(1,3,1,0/0)\n");
  classes().renameClass("RECT", "");
  classes().renameClass("MISSING", "X");
  EXPECT_EQ(classes().dump(), "RECT(1,3,1,0/0)\n");
}

TEST_F(ClassTableTest, ResetAfterFileByLanguage) {
  classes().registerClass("A", 1, ClassTable::kClass);
  classes().resetAfterFile();
  EXPECT_EQ(classes().recordCount(), 0);
  startFile("c:/vb/Form1.frm");
  classes().registerClass("Class1", 1, ClassTable::kClass);
  classes().resetAfterFile();
  EXPECT_EQ(classes().dump(), "Class1(0,16,0,0/0)\n");
  EXPECT_TRUE(classes().exists("CLASS1"));
}

// Each C++ file starts from the records kept after the settings classes:
// a restore after a file brings them back as they were, whatever the file
// added to them or around them, and lookups find the kept names again.
TEST_F(ClassTableTest, RestoreAfterAFileBringsBackTheKeptRecords) {
  classWithBases("CWnd", {"CObject"});
  method("CWnd", "Show");
  const ClassTable::Records kept = classes().records();
  const std::string before = classes().dump();
  for (int file = 0; file < 2; ++file) {
    method("CWnd", "Hide");
    classes().addMember("CWnd", "int", "m_size", 4, 0);
    classWithBases("CView", {"CWnd"});
    classWithBases("AAFirst", {});
    classes().resetAfterFile();
    classes().restore(kept);
    EXPECT_EQ(classes().dump(), before) << "file " << file;
    EXPECT_TRUE(classes().isClass("CWnd"));
    EXPECT_FALSE(classes().exists("CView"));
  }
}

// Restored again and again, the kept records come back as they were after
// each kind of change a file makes to one of them, after a file that only
// used them, and after records registered into the emptied table.
TEST_F(ClassTableTest, EveryChangeOfAKeptRecordIsUndoneByTheNextRestore) {
  classes().registerSettingsClass("CWnd");
  classes().registerSettingsClass("CObject");
  classes().addBase("CWnd", "CObject");
  method("CWnd", "Show");
  const ClassTable::Records kept = classes().records();
  const std::string before = classes().dump();
  const std::function<void()> files[] = {
      [&] { classes().markUsed("CObject"); },
      [&] { classes().addBase("CWnd", "CCmdTarget"); },
      [&] { method("CObject", "Serialize"); },
      [&] { classes().addMember("CWnd", "HWND", "m_hWnd", 4, 0); },
      [&] { classes().renameClass("CObject", "CBase"); },
      [&] { classWithBases("CView", {"CWnd"}); },
  };
  classes().restore(kept);
  for (const auto& file : files) {
    file();
    classes().resetAfterFile();
    classes().restore(kept);
    EXPECT_EQ(classes().dump(), before);
  }
  classes().resetAfterFile();
  classWithBases("AAFirst", {});
  classWithBases("AASecond", {});
  classWithBases("AAThird", {});
  classes().restore(kept);
  EXPECT_EQ(classes().dump(), before);
  EXPECT_FALSE(classes().exists("AAFirst"));
}

TEST_F(ClassTableTest, RegistrationOnlyClassesAreUnusedUntilMarked) {
  classes().registerSettingsClass("CString");
  EXPECT_TRUE(classes().isRegistrationOnly("CString"));
  EXPECT_FALSE(classes().isRegistrationOnly("CFoo"));
  EXPECT_TRUE(classes().isClass("CString"));
  EXPECT_EQ(classes().record(0).used, 0);
  classes().markUsed("CString");
  EXPECT_EQ(classes().record(0).used, 1);
}

TEST_F(ClassTableTest, OddNamesNeitherCrashNorHang) {
  const std::string odd[] = {
      "", " lead", std::string(10000, 'q'), "\x81\x40\xE0\xFF\xFC", "<", "a<b", "::", "@"};
  for (const std::string& n : odd) {
    for (const std::string& m : odd) {
      classes().registerClass(n, 1, 0);
      classes().addBase(n, m);
      classes().addMethod(decl(m, n));
      classes().addMember(n, m, m, 1, 0);
      classes().resolveMember(n, m);
      const ClassRecord* owner = nullptr;
      classes().findMemberVariable(n, m, owner);
      classes().baseName(n, 0);
      classes().renameClass(n, m);
    }
  }
  classes().writeClassList(reports(), ListScope::kWholeRun);
  for (int i = 1; i < classes().recordCount(); ++i)
    EXPECT_LE(compareNames(classes().record(i - 1).name, classes().record(i).name), 0);
}

}  // namespace
