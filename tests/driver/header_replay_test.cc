// Headers played back instead of read again (the default header mode):
// every report and the log must come out as when each header is read.
// Each case runs the same files twice, once with headers read every time,
// once with replay, and compares everything written.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "driver/header_replay.h"
#include "tests/support/analysis_test.h"
#include "tests/support/test_files.h"

namespace {

class HeaderReplayTest : public AnalysisTest {
 protected:
  struct Written {
    std::map<std::string, std::string> reports;
    std::string log;
    std::size_t replays = 0;
  };

  Written runWith(bool replay, const std::vector<std::string>& paths) {
    std::filesystem::remove_all(outputFolder().path());
    std::filesystem::create_directories(outputFolder().path());
    options().replayHeaders = replay;
    options().functionList = options().functionDetails = options().defineList = 1;
    options().classList = options().typeList = options().globalVariableList = 1;
    options().variableDetails = 1;
    renewRun();
    analyse(paths);
    Written written;
    written.log = takeLog();
    if (HeaderReplay* headerReplay = run().headerReplay())
      written.replays = headerReplay->replays();
    for (const auto& entry : std::filesystem::directory_iterator(outputFolder().path()))
      written.reports[entry.path().filename().string()] = readFileBytes(entry.path().string());
    return written;
  }

  // The reports with replay against those without; the number of replays.
  std::size_t expectSameAsRead(const std::vector<std::string>& paths) {
    const Written read = runWith(false, paths);
    const Written replayed = runWith(true, paths);
    EXPECT_EQ(read.replays, 0u);
    EXPECT_EQ(read.log, replayed.log);
    EXPECT_EQ(read.reports.size(), replayed.reports.size());
    for (const auto& [name, bytes] : read.reports) {
      auto other = replayed.reports.find(name);
      if (other == replayed.reports.end()) {
        ADD_FAILURE() << name << " missing with replay";
        continue;
      }
      EXPECT_EQ(bytes, other->second) << name;
    }
    return replayed.replays;
  }
};

// A guarded header whose conditions ask a macro that some sources define
// before including it, nested headers met in different orders, a missing
// header, and a header that redefines a macro (a log line each time).
TEST_F(HeaderReplayTest, ConditionsOrderAndMissingHeaders) {
  file("/s/conf.h",
       "#ifndef CONF_H\n#define CONF_H\n#include <missing.h>\n#ifdef FAST\n#define STEP 2\n"
       "int fast(void);\n#else\n#define STEP 1\nint slow(void);\n#endif\n"
       "#define LIMIT(x) ((x) * STEP)\n#endif\n");
  file("/s/list.h",
       "#include \"conf.h\"\ntypedef struct item { int v; } item;\n"
       "int count(item *p);\n#define SHARED 1\n");
  file("/s/util.h", "#include \"list.h\"\n#include \"conf.h\"\nint util(int n);\n");
  file("/s/a.c", "#include \"util.h\"\nint count(item *p) { return LIMIT(p->v) + util(1); }\n");
  file("/s/b.c",
       "#define FAST\n#include \"conf.h\"\n#include \"util.h\"\nint util(int n) { return fast(); "
       "}\n");
  file("/s/c.c",
       "#include \"list.h\"\n#include \"util.h\"\n#define SHARED 2\nint main(void) { return "
       "count(0); }\n");
  file("/s/d.c", "#include \"util.h\"\nint other(void) { return util(STEP); }\n");
  file("/s/e.c", "#include \"util.h\"\nint more(item *p) { return LIMIT(p->v); }\n");
  EXPECT_GT(expectSameAsRead({"/s/a.c", "/s/b.c", "/s/c.c", "/s/d.c", "/s/e.c"}), 0u);
}

// Enumerators are macros to the program's conditions: a header whose
// condition asks a name that an enumeration of the sources defines.
TEST_F(HeaderReplayTest, EnumeratorsAskedByConditions) {
  file("/s/mode.h", "#ifdef RED\nint red_is_known(void);\n#endif\nint mode(void);\n");
  file("/s/a.c", "#include \"mode.h\"\nint mode(void) { return 0; }\n");
  file("/s/b.c",
       "enum colour { RED, GREEN };\n#include \"mode.h\"\nint b(void) { return mode(); }\n");
  file("/s/c.c", "#include \"mode.h\"\nint c(void) { return mode(); }\n");
  expectSameAsRead({"/s/a.c", "/s/b.c", "/s/c.c"});
}

// The parser may name an enumerator that the header's own condition asks
// for later, depending on where the header is read (in a body or not), and
// through a macro that a body keeps as a call.
TEST_F(HeaderReplayTest, EnumeratorsTheHeaderItselfMayName) {
  file("/s/blue.h", "enum { BLUE };\n#ifdef BLUE\n#define BLUE_SEEN 1\n#endif\n");
  file("/s/pink.h",
       "#define MAKE() enum { PINK };\nMAKE()\n#ifdef PINK\n#define PINK_SEEN 1\n#endif\n");
  file("/s/a.c", "int f(void) {\n#include \"blue.h\"\n#include \"pink.h\"\nreturn 0; }\n");
  file("/s/a2.c", "int f2(void) {\n#include \"blue.h\"\n#include \"pink.h\"\nreturn 0; }\n");
  file("/s/b.c", "#include \"blue.h\"\n#include \"pink.h\"\nint g(void) { return 0; }\n");
  file("/s/c.c", "#include \"blue.h\"\n#include \"pink.h\"\nint h(void) { return 0; }\n");
  expectSameAsRead({"/s/a.c", "/s/a2.c", "/s/b.c", "/s/c.c"});
}

// Headers read inside a function body go on in its parser; "extern "C""
// blocks; a header whose #if asks sizeof (the type table) and one whose
// directive is faulty are read every time.
TEST_F(HeaderReplayTest, InsideBodiesExternCAndUnrepeatableReadings) {
  file("/s/body.h", "total += step(1);\n");
  file("/s/api.h",
       "extern \"C\" {\nint api(int);\nstatic int inl(void) { return api(0); }\n}\nextern \"C\" "
       "int plain(void);\n");
  file("/s/size.h", "#if sizeof(T) == 8\n#define BIG_T 1\n#endif\n");
  file("/s/bad.h", "int bad(void);\n/* the comment goes on to the end\n");
  file("/s/a.c",
       "#include \"api.h\"\n#include \"size.h\"\n#include \"bad.h\"\n"
       "int step(int n) { return n; }\nint sum(void) { int total = 0;\n#include \"body.h\"\nreturn "
       "total; }\n");
  file("/s/b.cpp",
       "typedef long long T;\n#include \"api.h\"\n#include \"size.h\"\n#include \"bad.h\"\n"
       "int step(int n) { return api(n); }\nint twice(void) { int total = 0;\n#include \"body.h\"\n"
       "return total; }\n");
  file("/s/d.cpp", "#include \"api.h\"\nclass D { int d() { return api(3) + plain(); } };\n");
  file("/s/e.cpp", "#include \"api.h\"\nint e() { return plain(); }\n");
  file(
      "/s/c.c",
      "typedef long long T;\n#include \"size.h\"\n#include \"bad.h\"\nint c(void) { return 2; }\n");
  file("/s/f.c", "#include \"size.h\"\n#include \"bad.h\"\nint f(void) { return 3; }\n");
  EXPECT_GT(expectSameAsRead({"/s/a.c", "/s/b.cpp", "/s/c.c", "/s/d.cpp", "/s/e.cpp", "/s/f.c"}),
            0u);
}

}  // namespace
