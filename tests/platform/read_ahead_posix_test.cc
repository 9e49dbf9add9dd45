#include "platform/read_ahead.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/test_files.h"

namespace platform {
namespace {

// Files written and then let go from the system's cache, so that the test
// sees whether something loaded them again.
class ReadAheadTest : public testing::Test {
 protected:
  static constexpr size_t kBytes = 16 * 1024;

  std::string uncachedFile(const std::string& name) {
    std::string path = temp_.file(name);
    writeFileBytes(path, std::string(kBytes, 'x'));
    int fd = ::open(path.c_str(), O_RDONLY);
    ::fdatasync(fd);
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
    ::close(fd);
    return path;
  }

  static bool cached(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY);
    void* map = ::mmap(nullptr, kBytes, PROT_READ, MAP_SHARED, fd, 0);
    ::close(fd);
    unsigned char pages[kBytes / 4096 + 1] = {};
    bool resident = map != MAP_FAILED && ::mincore(map, kBytes, pages) == 0 && (pages[0] & 1);
    if (map != MAP_FAILED) ::munmap(map, kBytes);
    return resident;
  }

  static bool becomesCached(const std::string& path) {
    for (int i = 0; i < 1000 && !cached(path); ++i) ::usleep(5000);
    return cached(path);
  }

  TempDir temp_;
};

// A missing file and a named pipe with no writer are passed over.
TEST_F(ReadAheadTest, WarmsTheFilesAfterOnesItCannotRead) {
  std::string fifo = temp_.file("pipe.c");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  std::vector<std::string> paths = {temp_.file("missing.c"), fifo, uncachedFile("a.c"),
                                    uncachedFile("b.c")};
  if (cached(paths[2])) GTEST_SKIP() << "the system keeps written files in its cache";
  ReadAhead ahead(paths);
  ahead.reached(0);
  EXPECT_TRUE(becomesCached(paths[2]));
  EXPECT_TRUE(becomesCached(paths[3]));
}

TEST_F(ReadAheadTest, RunsNoFurtherAheadThanItsBound) {
  std::vector<std::string> paths;
  for (size_t i = 0; i <= ReadAhead::kFilesAhead; ++i)
    paths.push_back(uncachedFile(std::to_string(i) + ".c"));
  if (cached(paths.back())) GTEST_SKIP() << "the system keeps written files in its cache";
  ReadAhead ahead(paths);
  ahead.reached(0);
  ASSERT_TRUE(becomesCached(paths[ReadAhead::kFilesAhead - 1]));
  ::usleep(100 * 1000);
  EXPECT_FALSE(cached(paths.back()));
  ahead.reached(ReadAhead::kFilesAhead / 2);
  EXPECT_TRUE(becomesCached(paths.back()));
}

}  // namespace
}  // namespace platform
