// The single-instance lock of the Linux program: one per program folder.
// A first copy is held running on a source file that is a named pipe; a
// second copy then starts beside it or in another folder.
#include <fcntl.h>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>

#include "tests/support/test_files.h"

namespace fs = std::filesystem;

namespace {

// The lock file that the program keeps in its folder.
const char kFolderLock[] = ".Mizenta_Mutex_object.lock";
const char kRefused[] = "確認: MIZENTAの二重起動は\n出来ません\n";

class SingleInstance : public testing::Test {
 protected:
  void SetUp() override {
    mkfifo(temp_.file("held.c").c_str(), 0600);
    writeFileBytes(temp_.file("a.c"), "int main(void) { return 0; }\n");
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime) savedRuntime_ = runtime;
  }

  void TearDown() override {
    if (savedRuntime_.empty())
      unsetenv("XDG_RUNTIME_DIR");
    else
      setenv("XDG_RUNTIME_DIR", savedRuntime_.c_str(), 1);
  }

  std::string install(const std::string& name, bool folderLockBlocked) {
    std::string folder = temp_.file(name);
    installProgram(ProgramKind::Linux, folder);
    if (folderLockBlocked) fs::create_directories(folder + "/" + kFolderLock);
    return folder;
  }

  // Starts the program in `heldFolder_` on the pipe (on a thread of its
  // own) and returns once it reads it: it holds its lock by then.
  bool startHeld(const std::string& folder) {
    heldFolder_ = folder;
    heldDone_ = false;
    pthread_create(&heldThread_, nullptr, [](void* self) -> void* {
      auto* t = static_cast<SingleInstance*>(self);
      t->held_ = runInstalledProgram(ProgramKind::Linux, t->heldFolder_, t->temp_.path(),
                                     {t->temp_.file("held.c")});
      t->heldDone_ = true;
      return nullptr;
    }, this);
    for (int i = 0; i < 1000 && !heldDone_; ++i) {
      writer_ = open(temp_.file("held.c").c_str(), O_WRONLY | O_NONBLOCK);
      if (writer_ >= 0) return true;
      usleep(10 * 1000);
    }
    release();
    return false;
  }

  // Ends the pipe (again for every later open of it) until the held
  // program has finished.
  ProgramResult release() {
    if (writer_ >= 0) close(writer_);
    writer_ = -1;
    while (!heldDone_) {
      int again = open(temp_.file("held.c").c_str(), O_WRONLY | O_NONBLOCK);
      if (again >= 0) close(again);
      usleep(10 * 1000);
    }
    pthread_join(heldThread_, nullptr);
    return held_;
  }

  TempDir temp_;
  std::string savedRuntime_;
  std::string heldFolder_;
  pthread_t heldThread_{};
  std::atomic<bool> heldDone_{false};
  ProgramResult held_;
  int writer_ = -1;
};

TEST_F(SingleInstance, OnePerProgramFolder) {
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
  int round = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::string n = std::to_string(round++);
    std::string runtime = temp_.file("runtime" + n);
    if (c.runtimeFolder) fs::create_directories(runtime);
    setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    std::string first = install("first" + n, c.folderLockBlocked);
    std::string second = c.sameFolder ? first : install("second" + n, c.folderLockBlocked);
    ASSERT_TRUE(startHeld(first)) << "the program did not open its source";
    ProgramResult r = runInstalledProgram(ProgramKind::Linux, second, temp_.path(), {"a.c"});
    std::string log = readFileBytes(second + "/MizentaErrLog.txt");
    ProgramResult h = release();
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(toCp932(r.standardError), c.refused ? kRefused : "");
    EXPECT_EQ(log.find("a.cを処理中") == std::string::npos, c.refused) << toUtf8(log);
    EXPECT_EQ(h.exitCode, 0);
    EXPECT_EQ(h.standardError, "");
  }
}

}  // namespace
