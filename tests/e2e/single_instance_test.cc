// The single-instance lock of the Linux program: one per program folder,
// in a folder of the user's own where the program folder takes no file. A
// first copy is held in the middle of its run while a second copy starts
// beside it or in another folder.
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "tests/support/held_program.h"
#include "tests/support/test_files.h"

namespace {

namespace fs = std::filesystem;

// Where the user's own lock folder is looked for.
enum class Runtime { kPrivate, kMissing, kWritableByAll };

// The user's folder in the temporary folder, as another user left it.
enum class Temporary { kFree, kOtherUsers, kLink };

// What becomes of the second copy.
enum class Second { kRuns, kRefused, kFolderInUse };

struct Case {
  const char* what;
  bool sameFolder;
  bool folderLockBlocked;  // a folder in the way of the lock file
  Runtime runtime;
  Temporary temporary;
  Second second;
};

class SingleInstance : public testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"XDG_RUNTIME_DIR", "TMPDIR"})
      if (const char* value = std::getenv(name)) saved_.emplace_back(name, value);
    writeFileBytes(temp_.file("held.c"), "int held(void) { return 0; }\n");
    writeFileBytes(temp_.file("a.c"), "int main(void) { return 0; }\n");
  }
  void TearDown() override {
    unsetenv("XDG_RUNTIME_DIR");
    unsetenv("TMPDIR");
    for (const auto& [name, value] : saved_) setenv(name.c_str(), value.c_str(), 1);
  }

  // The user's lock folder in `temporary` as another user leaves it,
  // with the lock file of the program folder in it, which they hold.
  void placeTrap(const Case& c, const std::string& temporary, const std::string& lockName) {
    std::string own = temporary + "/mizenta-" + std::to_string(getuid());
    std::string trap = c.temporary == Temporary::kLink ? temporary + "/elsewhere" : own;
    fs::create_directories(trap);
    if (c.temporary == Temporary::kLink) fs::create_directory_symlink(trap, own);
    writeFileBytes(trap + "/" + lockName, "");
    fs::permissions(trap, fs::perms::all);
    if (c.temporary == Temporary::kOtherUsers) {
      ASSERT_EQ(chown(trap.c_str(), 65534, 65534), 0);
      ASSERT_EQ(chown((trap + "/" + lockName).c_str(), 65534, 65534), 0);
    }
    trapHeld_ = open((trap + "/" + lockName).c_str(), O_RDONLY);
    ASSERT_EQ(flock(trapHeld_, LOCK_EX), 0);
  }

  // The name of the lock file of `folder` in a lock folder of the user's own.
  std::string lockNameFor(const std::string& folder) {
    std::string temporary = temp_.file("probe");
    fs::create_directories(temporary);
    setenv("TMPDIR", temporary.c_str(), 1);
    unsetenv("XDG_RUNTIME_DIR");
    runInstalledProgram(ProgramKind::Linux, folder, temp_.path(),
                        {"-o", temporary + "/out", "a.c"});
    std::string own = temporary + "/mizenta-" + std::to_string(getuid());
    for (const auto& e : fs::directory_iterator(own)) return e.path().filename().string();
    ADD_FAILURE() << "no lock file in " << own;
    return "";
  }

  TempDir temp_;
  std::vector<std::pair<std::string, std::string>> saved_;
  int trapHeld_ = -1;
};

TEST_F(SingleInstance, OnePerProgramFolder) {
  // Where another user's trap leaves no single-instance lock, the copies
  // still do not share their output folder, the program's own.
  const Case cases[] = {
      {"another folder", false, false, Runtime::kPrivate, Temporary::kFree, Second::kRuns},
      {"the same folder", true, false, Runtime::kPrivate, Temporary::kFree, Second::kRefused},
      {"the same folder, lock in the runtime folder", true, true, Runtime::kPrivate,
       Temporary::kFree, Second::kRefused},
      {"another folder, locks in the runtime folder", false, true, Runtime::kPrivate,
       Temporary::kFree, Second::kRuns},
      {"the same folder, lock in the temporary folder", true, true, Runtime::kMissing,
       Temporary::kFree, Second::kRefused},
      {"a runtime folder that all may write is passed over", true, true, Runtime::kWritableByAll,
       Temporary::kFree, Second::kRefused},
      {"another user's folder in the temporary folder is no trap", true, true, Runtime::kMissing,
       Temporary::kOtherUsers, Second::kFolderInUse},
      {"nor is a link there", true, true, Runtime::kMissing, Temporary::kLink,
       Second::kFolderInUse},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    if (c.temporary == Temporary::kOtherUsers && geteuid() != 0) continue;  // needs chown
    std::string n = std::to_string(&c - cases);
    std::string first = temp_.file("first" + n);
    std::string second = c.sameFolder ? first : temp_.file("second" + n);
    for (const std::string& folder : {first, second}) {
      installProgram(ProgramKind::Linux, folder);
      if (c.folderLockBlocked) fs::create_directories(folder + "/.Mizenta_Mutex_object.lock");
    }
    std::string lockName = c.temporary == Temporary::kFree ? "" : lockNameFor(first);
    std::string runtime = temp_.file("runtime" + n), temporary = temp_.file("tmp" + n);
    fs::create_directories(temporary);
    setenv("TMPDIR", temporary.c_str(), 1);
    setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    if (c.runtime != Runtime::kMissing) {
      fs::create_directories(runtime);
      fs::permissions(runtime,
                      c.runtime == Runtime::kWritableByAll ? fs::perms::all : fs::perms::owner_all);
    }
    if (c.temporary != Temporary::kFree) placeTrap(c, temporary, lockName);

    HeldProgram held(first, temp_.path(), {"held.c"});
    ASSERT_TRUE(held.waitFor(first + "/MizentaErrLog.txt")) << "the first copy did not start";
    ProgramResult r = runInstalledProgram(ProgramKind::Linux, second, temp_.path(), {"a.c"});
    ProgramResult firstResult = held.release();
    EXPECT_EQ(firstResult.exitCode, 0);
    EXPECT_NE(toCp932(firstResult.standardError)
                  .find("1 ファイルを解析しました。レポート: " + first + "/\n"),
              std::string::npos)
        << firstResult.standardError;
    const std::string said[] = {"1 ファイルを解析しました。レポート: " + second +
                                    "/\n  書いたレポート: MizentaErrLog.txt MizentaLog.txt "
                                    "MzFileTree.txt MzStepLog.txt\n",
                                "確認: MIZENTAの二重起動は\n出来ません\n",
                                "出力先ﾌｫﾙﾀﾞは他のMIZENTAが使用中です: " + first + "/\n"};
    EXPECT_EQ(r.exitCode, c.second == Second::kRuns ? 0 : 1);
    EXPECT_EQ(toCp932(r.standardError), said[static_cast<int>(c.second)]);
    // A refused copy wrote nothing: the log is the first copy's alone.
    EXPECT_EQ(readFileBytes(first + "/MizentaErrLog.txt"), withCrLf("held.cを処理中\n"));
    if (c.second == Second::kRuns) {
      EXPECT_EQ(readFileBytes(second + "/MizentaErrLog.txt"), withCrLf("a.cを処理中\n"));
    }
    if (c.runtime == Runtime::kWritableByAll || c.runtime == Runtime::kMissing) {
      // The lock went to a folder made for the user alone.
      struct stat st;
      std::string own = temporary + "/mizenta-" + std::to_string(getuid());
      if (c.temporary == Temporary::kFree) {
        ASSERT_EQ(lstat(own.c_str(), &st), 0);
        EXPECT_TRUE(S_ISDIR(st.st_mode));
        EXPECT_EQ(st.st_mode & 0777, 0700u);
        EXPECT_EQ(st.st_uid, getuid());
      }
    }
    if (trapHeld_ >= 0) close(trapHeld_);
    trapHeld_ = -1;
  }
}

}  // namespace
