#include "platform/path_resolution_posix.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "platform/file_system.h"
#include "tests/support/test_files.h"

namespace platform {
namespace {

namespace fs = std::filesystem;

// A folder written some time ago: a change made now moves its time on.
class PathResolution : public testing::Test {
 protected:
  void SetUp() override {
    for (const std::string& name : std::vector<std::string>{
             "Src/Main.C", "Src/Sub/Inc.H", toUtf8("日本語.h"), "\xC3\x80.c", "\xC3\xA9.c"})
      writeFileBytes(at(name), "");
    for (const char* folder : {"", "Src", "Src/Sub"}) {
      timespec old[2] = {{1000000000, 0}, {1000000000, 0}};
      utimensat(AT_FDCWD, at(folder).c_str(), old, 0);
    }
  }

  // The analyser's spelling of a path below the folder.
  std::string resolve(const std::string& below, char separator = '/') {
    std::string path = temp_.path() + "/" + below;
    for (char& c : path)
      if (c == '/') c = separator;
    return resolveNativePath(path);
  }

  std::string at(const std::string& below) { return temp_.path() + "/" + below; }

  TempDir temp_;
};

TEST_F(PathResolution, FindsNamesAsWindowsWould) {
  struct Case {
    std::string path;  // below the folder: CP932, as literals are here
    std::string found;
  } cases[] = {
      {"Src/Main.C", "Src/Main.C"},
      {"Src/main.c", "Src/Main.C"},        // letter case of the name
      {"src/SUB/inc.h", "Src/Sub/Inc.H"},  // and of the folders
      {"Src/Sub/../main.c", "Src/Sub/../Main.C"},
      {"src/sub/../MAIN.C", "Src/Sub/../Main.C"},
      {"Src/./Sub/INC.H", "Src/./Sub/Inc.H"},
      {"日本語.H", toUtf8("日本語.h")},  // CP932 text, UTF-8 names
      {"[U+00C0].c", "\xC3\x80.c"},      // a name outside CP932: its stand-in
      {"[U+00C0].C", "\xC3\x80.c"},
      {"Src/missing.c", "Src/missing.c"},  // no match: kept as written
      {"nowhere/Main.C", "nowhere/Main.C"},
      {"src/sub/none/Inc.h", "Src/Sub/none/Inc.h"},  // found folders, then a missing one
  };
  for (const Case& c : cases) {
    EXPECT_EQ(resolve(c.path), at(c.found)) << toUtf8(c.path);
    EXPECT_EQ(resolve(c.path, '\\'), at(c.found)) << toUtf8(c.path) << " with \\";
  }
}

TEST_F(PathResolution, SeesTheFolderAfterAChange) {
  EXPECT_EQ(resolve("Src/new.c"), at("Src/new.c"));
  EXPECT_EQ(resolve("Src/main.c"), at("Src/Main.C"));
  writeFileBytes(at("Src/NEW.c"), "");
  fs::rename(at("Src/Main.C"), at("Src/MAIN.c"));
  EXPECT_EQ(resolve("Src/new.c"), at("Src/NEW.c"));
  EXPECT_EQ(resolve("Src/main.c"), at("Src/MAIN.c"));
}

// Opening for reading tries the name as written first; a miss must still
// find the file in another letter case or through backslashes.
TEST_F(PathResolution, OpensForReadingAsWindowsWould) {
  writeFileBytes(at("Src/Sub/Inc.H"), "x");
  for (const char* below : {"Src/Sub/Inc.H", "src\\SUB\\inc.h"}) {
    std::FILE* file = openFile(temp_.path() + "/" + below, "rb");
    ASSERT_NE(file, nullptr) << below;
    EXPECT_EQ(std::fgetc(file), 'x') << below;
    std::fclose(file);
  }
  EXPECT_EQ(openFile(at("Src/none.h"), "rb"), nullptr);
}

// One file, whatever letter case names it; nothing for a missing file or
// a link to nothing, even where another letter case names a file.
TEST_F(PathResolution, TellsAFileByItsIdentity) {
  fs::create_symlink(at("gone.c"), at("Src/broken.c"));
  writeFileBytes(at("Src/BROKEN.C"), "");
  FileIdentity written, otherCase, other;
  ASSERT_TRUE(fileIdentity(at("Src/Main.C"), written));
  ASSERT_TRUE(fileIdentity(at("src/MAIN.c"), otherCase));
  ASSERT_TRUE(fileIdentity(at("Src/Sub/Inc.H"), other));
  EXPECT_FALSE(written < otherCase || otherCase < written);
  EXPECT_TRUE(written < other || other < written);
  EXPECT_FALSE(fileIdentity(at("Src/missing.c"), other));
  EXPECT_FALSE(fileIdentity(at("Src/broken.c"), other));
}

}  // namespace
}  // namespace platform
