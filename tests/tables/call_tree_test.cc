// The call tree "MizentaLog" drawn from a function table filled as the
// parsers fill it: roots, the branch pieces and the file column, the marks,
// repeated subtrees shown and hidden, the depth limit, the tag format,
// unsorted and duplicate callees, a name too long for its column, and the
// function reports that follow the tree.
#include "tables/call_tree.h"

#include "tests/tables/table_fixture.h"

namespace {

std::string sp(int n) { return std::string(n, ' '); }

class CallTreeTest : public TableTest {
 protected:
  void TearDown() override {
    EXPECT_EQ(functions().checkLinks(), "");
    TableTest::TearDown();
  }
  // New tables for options that the function table reads when it is built.
  void define(const std::string& name, int line, std::uint32_t extra = 0) {
    functions().registerDefinition(decl(name, "", line), Registration::kDefined | extra, "");
    functions().setBodyInfo(decl(name), 1);
  }
  void call(const std::string& caller, const std::string& callee, std::uint32_t flags = 0) {
    functions().SetChainAto(decl(caller), decl(callee), flags);
  }
  std::string tree() {
    writeCallTree(reports(), reportTables());
    return report("MizentaLog.txt");
  }

  // main.c: main -> init, printf, run; init -> log_msg.
  // util.c: run -> log_msg, run; log_msg -> fmt, puts; orphan; ping <-> pong.
  void fillProgram() {
    readFile("c:/src/main.c");
    define("main", 10);
    call("main", "run");
    call("main", "init");
    call("main", "printf");
    define("init", 3);
    call("init", "log_msg");
    readFile("c:/src/util.c");
    define("run", 5);
    call("run", "log_msg");
    call("run", "run");
    define("log_msg", 20);
    call("log_msg", "puts");
    call("log_msg", "fmt");
    define("fmt", 40);
    define("orphan", 30);
    define("ping", 50);
    call("ping", "pong");
    define("pong", 60);
    call("pong", "ping");
  }
};

// Every "[" stands in column 64: a root name starts in column 1, a callee
// name after 2 * level + 4 columns; an odd gap puts "[" right after the
// blanks instead of after one space.
TEST_F(CallTreeTest, RepeatedSubtreesAreShownAgainByDefault) {
  fillProgram();
  EXPECT_EQ(tree(), withCrLf("main" + sp(58) +
                             " [main.c]\n"
                             "  ├init" +
                             sp(54) +
                             " [main.c]\n"
                             "  │└log_msg" +
                             sp(50) +
                             "[util.c]\n"
                             "  │  └fmt" +
                             sp(52) +
                             "[util.c]\n"
                             "  └run(再回帰)" +
                             sp(48) +
                             "[util.c]\n"
                             "    └log_msg" +
                             sp(50) +
                             "[util.c]\n"
                             "      └fmt" +
                             sp(52) +
                             "[util.c]\n"
                             "orphan" +
                             sp(56) + " [util.c]\n"));
}

// The second log_msg has a visible callee, so it gets the arrow; fmt has
// none and would be written plainly.
TEST_F(CallTreeTest, RepeatedSubtreesHidden) {
  options().hideRepeatedSubtrees = 1;
  fillProgram();
  call("orphan", "fmt");
  EXPECT_EQ(tree(), withCrLf("main" + sp(58) +
                             " [main.c]\n"
                             "  ├init" +
                             sp(54) +
                             " [main.c]\n"
                             "  │└log_msg" +
                             sp(50) +
                             "[util.c]\n"
                             "  │  └fmt" +
                             sp(52) +
                             "[util.c]\n"
                             "  └run(再回帰)" +
                             sp(48) +
                             "[util.c]\n"
                             "    └log_msg→" +
                             sp(48) +
                             "[util.c]\n"
                             "orphan" +
                             sp(56) +
                             " [util.c]\n"
                             "  └fmt" +
                             sp(56) + "[util.c]\n"));
}

// The function list and details follow the tree when their options are on.
TEST_F(CallTreeTest, FunctionReportsFollowWhenTheirOptionsAreOn) {
  readFile("c:/src/m.c");
  define("main", 1);
  tree();
  EXPECT_FALSE(reportExists("Mz一覧Func.txt"));
  EXPECT_FALSE(reportExists("Mz関数詳細情報.txt"));
  options().functionList = 1;
  options().functionDetails = 1;
  tree();
  EXPECT_TRUE(reportExists("Mz一覧Func.txt"));
  EXPECT_TRUE(reportExists("Mz関数詳細情報.txt"));
}

// The tree's first pass leaves what the function reports read.
TEST_F(CallTreeTest, FirstPassCutsKeysAndCountsVisibleCallees) {
  fillProgram();
  prepareFunctionReports(reportTables());
  struct Case {
    const char* key;
    int visible;
  } cases[] = {{"main", 2}, {"init", 1}, {"run", 1}, {"log_msg", 1}, {"fmt", 0}, {"ping", 1}};
  for (const Case& c : cases) {
    int n = functions().recordOf(c.key);
    ASSERT_GE(n, 0) << c.key;
    EXPECT_EQ(functions().record(n).visibleCalleeCount, c.visible) << c.key;
  }
  EXPECT_EQ(functions().recordOf("main@c:/src/main.c"), -1);
  EXPECT_EQ(functions().tree().fileColumnWidth, 6);
}

// R -> A -> B -> A: the inner A is an ancestor, marked and not expanded.
TEST_F(CallTreeTest, AncestorIsMarkedAndNotExpanded) {
  readFile("c:/src/r.c");
  define("R", 1);
  call("R", "A");
  define("A", 2);
  call("A", "B");
  define("B", 3);
  call("B", "A");
  EXPECT_EQ(tree(), withCrLf("R" + sp(60) +
                             "  [r.c]\n"
                             "  └A" +
                             sp(58) +
                             "[r.c]\n"
                             "    └B" +
                             sp(56) +
                             "[r.c]\n"
                             "      └A(再回帰)" +
                             sp(46) + "[r.c]\n"));
}

TEST_F(CallTreeTest, InterruptAndFunctionPointerMarks) {
  readFile("c:/src/main.c");
  define("isr", 1, Registration::kInterrupt | Registration::kFunctionPointer);
  call("isr", "cb", Registration::kFunctionPointer);
  define("cb", 2, Registration::kFunctionPointer);  // a function-pointer variable
  EXPECT_EQ(tree(), withCrLf("isr(割り込み)(関数ポインタ)" + sp(36) +
                             "[main.c]\n"
                             "  └cb(関数ポインタ)" +
                             sp(42) + " [main.c]\n"));
}

// Column of the file name: one wider than the longest name (17); the line
// right-adjusted in five columns. Lines 10, 12, 123 and 7 with names of 13,
// 10, 10 and 17 bytes take each way of spending an odd column.
TEST_F(CallTreeTest, TagFormat) {
  options().tagJumpTree = 1;
  readFile("c:/src/main.c");
  define("main", 10);
  call("main", "util_fn");
  call("main", "lib");
  call("main", "tiny");
  call("main", "helper");
  readFile("c:/src/a.c");
  define("helper", 12);
  define("tiny", 123);
  readFile("c:/src/lib/util.c");
  define("util_fn", 7);
  EXPECT_EQ(tree(), withCrLf("c:/src/main.c" + sp(8) +
                             "10: main\n"
                             "c:/src/a.c" +
                             sp(11) +
                             "12:   ├helper\n"
                             "c:/src/a.c" +
                             sp(10) +
                             "123:   ├tiny\n"
                             "c:/src/lib/util.c" +
                             sp(5) + "7:   └util_fn\n"));
}

// A function that calls itself is marked on every line and still expanded;
// functions calling only each other are no roots; a library callee at the
// end leaves the last branch to the defined one before it.
TEST_F(CallTreeTest, SelfCallsCyclesAndLibraryCallees) {
  readFile("c:/src/x.c");
  define("main", 1);
  call("main", "walk");
  call("main", "zlib_call");
  define("walk", 2);
  call("walk", "walk");
  call("walk", "leaf");
  define("leaf", 3);
  define("p", 4);
  call("p", "q");
  define("q", 5);
  call("q", "p");
  EXPECT_EQ(tree(), withCrLf("main" + sp(58) +
                             " [x.c]\n"
                             "  └walk(再回帰)" +
                             sp(46) +
                             " [x.c]\n"
                             "    └leaf" +
                             sp(52) + " [x.c]\n"));
}

// A name longer than its column leaves " [" right after it.
TEST_F(CallTreeTest, LongKeyOverflowsTheFileColumn) {
  const std::string root(70, 'r');
  const std::string callee(60, 'c');
  readFile("c:/src/l.c");
  define(root, 1);
  call(root, callee);
  define(callee, 2);
  call(callee, "tail");
  define("tail", 3);
  EXPECT_EQ(tree(), withCrLf(root +
                             " [l.c]\n"
                             "  └" +
                             callee +
                             " [l.c]\n"
                             "    └tail" +
                             sp(52) + " [l.c]\n"));
}

// f00 -> f01 -> ... -> f31: f30 stands at level 29, the deepest drawn, and
// its callee is cut without a mark. A name at level d leaves 55 - 2d
// columns, an odd gap: 56 - 2d blanks before "[", or " [" from level 28.
TEST_F(CallTreeTest, DepthLimitOfThirtyLevels) {
  readFile("c:/src/deep.c");
  auto name = [](int k) { return std::string("f") + (k < 10 ? "0" : "") + std::to_string(k); };
  for (int k = 0; k <= 31; ++k) {
    define(name(k), k + 1);
    if (k < 31) call(name(k), name(k + 1));
  }
  std::string expected = "f00" + sp(60) + "[deep.c]\n";
  for (int k = 1; k <= 30; ++k) {
    int level = k - 1;
    std::string column = level <= 27 ? sp(56 - 2 * level) + "[deep.c]" : " [deep.c]";
    expected += "  " + sp(2 * level) + "└" + name(k) + column + "\n";
  }
  EXPECT_EQ(tree(), withCrLf(expected));
}

// main -> x, y; x -> z; y -> z; z -> w. Drawn in full by default; once the
// line budget is spent, a repeated subtree is only referred to, and the log
// says so once.
TEST_F(CallTreeTest, LineBudgetHidesRepeatsOnceSpent) {
  const std::string head = "main" + sp(58) +
                           " [b.c]\n"
                           "  ├x" +
                           sp(58) +
                           "[b.c]\n"
                           "  │└z" +
                           sp(56) +
                           "[b.c]\n"
                           "  │  └w" +
                           sp(54) +
                           "[b.c]\n"
                           "  └y" +
                           sp(58) + "[b.c]\n";
  const struct {
    long long budget;
    std::string tail;
    std::string log;
  } cases[] = {
      {kFullTreeLines, "    └z" + sp(56) + "[b.c]\n      └w" + sp(54) + "[b.c]\n", ""},
      {4, "    └z→" + sp(54) + "[b.c]\n",
       "関数ツリー図の行数が多いため、以降は既述関数の展開を省略します。\n"},
  };
  for (const auto& c : cases) {
    rebuildTables();
    readFile("c:/src/b.c");
    for (const char* name : {"main", "x", "y", "z", "w"}) define(name, 1);
    call("main", "x");
    call("main", "y");
    call("x", "z");
    call("y", "z");
    call("z", "w");
    writeCallTree(reports(), reportTables(), c.budget);
    EXPECT_EQ(report("MizentaLog.txt"), withCrLf(head + c.tail)) << c.budget;
    EXPECT_EQ(takeLog(), c.log);
  }
}

// main calls b, a, b in that order; b calls c.
TEST_F(CallTreeTest, UnsortedCalleesInCallOrderWithAndWithoutDuplicates) {
  const std::string once = "main" + sp(58) +
                           " [u.c]\n"
                           "  ├b" +
                           sp(58) +
                           "[u.c]\n"
                           "  │└c" +
                           sp(56) +
                           "[u.c]\n"
                           "  └a" +
                           sp(58) + "[u.c]\n";
  const std::string everyCall = "main" + sp(58) +
                                " [u.c]\n"
                                "  ├b" +
                                sp(58) +
                                "[u.c]\n"
                                "  │└c" +
                                sp(56) +
                                "[u.c]\n"
                                "  ├a" +
                                sp(58) +
                                "[u.c]\n"
                                "  └b" +
                                sp(58) +
                                "[u.c]\n"
                                "    └c" +
                                sp(56) + "[u.c]\n";
  const struct {
    int duplicates;
    const std::string& tree;
  } cases[] = {{0, once}, {1, everyCall}};
  for (const auto& c : cases) {
    options().noFunctionSort = 1;
    options().showDuplicateChildren = c.duplicates;
    rebuildTables();
    readFile("c:/src/u.c");
    define("main", 1);
    call("main", "b");
    call("main", "a");
    call("main", "b");
    define("a", 2);
    define("b", 3);
    call("b", "c");
    define("c", 4);
    EXPECT_EQ(tree(), withCrLf(c.tree)) << c.duplicates;
  }
}

}  // namespace
