// The single-instance lock of the Linux program: one per program folder. A
// first copy is held running on a source file that is a named pipe while a
// second copy starts beside it or in another folder.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "tests/support/test_files.h"

namespace {

namespace fs = std::filesystem;

TEST(SingleInstance, OnePerProgramFolder) {
  struct Case {
    const char* what;
    bool sameFolder;
    bool folderLockBlocked;  // a folder in the way of the lock file
    bool runtimeFolder;      // XDG_RUNTIME_DIR exists
    bool refused;
  } cases[] = {
      {"another folder", false, false, true, false},
      {"the same folder", true, false, true, true},
      {"the same folder, lock in the runtime folder", true, true, true, true},
      {"another folder, locks in the runtime folder", false, true, true, false},
      {"the same folder, no lock possible", true, true, false, false},
  };
  const char* saved = std::getenv("XDG_RUNTIME_DIR");
  std::string savedRuntime = saved ? saved : "";
  TempDir temp;
  std::string pipe = temp.file("held.c");
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  writeFileBytes(temp.file("a.c"), "int main(void) { return 0; }\n");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::string n = std::to_string(&c - cases), runtime = temp.file("runtime" + n);
    if (c.runtimeFolder) fs::create_directories(runtime);
    setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    std::string first = temp.file("first" + n);
    std::string second = c.sameFolder ? first : temp.file("second" + n);
    for (const std::string& folder : {first, second}) {
      installProgram(ProgramKind::Linux, folder);
      if (c.folderLockBlocked) fs::create_directories(folder + "/.Mizenta_Mutex_object.lock");
    }
    // The first copy holds its lock once it has the pipe open.
    std::FILE* held = popen(("timeout 60 '" + first + "/mizenta' '" + pipe + "' 2>&1").c_str(), "r");
    int writer = -1;
    for (int i = 0; i < 1000 && writer < 0; ++i, usleep(10 * 1000))
      writer = open(pipe.c_str(), O_WRONLY | O_NONBLOCK);
    ASSERT_GE(writer, 0) << "the first copy did not open its source";
    ProgramResult r = runInstalledProgram(ProgramKind::Linux, second, temp.path(), {"a.c"});
    std::string log = readFileBytes(second + "/MizentaErrLog.txt");
    close(writer);
    char heldOutput[512];
    size_t heldBytes = std::fread(heldOutput, 1, sizeof heldOutput, held);
    EXPECT_EQ(toCp932(std::string(heldOutput, heldBytes)),
              "1 ファイルを解析しました。レポート: " + first + "/\n");
    EXPECT_EQ(pclose(held), 0);
    EXPECT_EQ(r.exitCode, c.refused ? 1 : 0);
    EXPECT_EQ(toCp932(r.standardError),
              c.refused ? "確認: MIZENTAの二重起動は\n出来ません\n"
                        : "1 ファイルを解析しました。レポート: " + second + "/\n");
    EXPECT_EQ(log.find("a.cを処理中") == std::string::npos, c.refused) << toUtf8(log);
  }
  if (saved)
    setenv("XDG_RUNTIME_DIR", savedRuntime.c_str(), 1);
  else
    unsetenv("XDG_RUNTIME_DIR");
}

}  // namespace
