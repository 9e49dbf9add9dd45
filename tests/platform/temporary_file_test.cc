// The temporary file takes offsets past what a 32-bit long reaches: the
// comment store's file has no cap.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "platform/file_system.h"

namespace {

TEST(TemporaryFile, ReadsAndWritesPastFourGiB) {
  std::FILE* file = platform::openTemporaryFile();
  ASSERT_NE(file, nullptr);
  const std::uint64_t far = (5ull << 30) + 3;  // the file stays sparse
  ASSERT_TRUE(platform::seekFile(file, far));
  ASSERT_EQ(std::fwrite("far", 1, 3, file), 3u);
  ASSERT_TRUE(platform::seekFile(file, 0));
  ASSERT_EQ(std::fwrite("near", 1, 4, file), 4u);
  std::string back(3, '\0');
  ASSERT_TRUE(platform::seekFile(file, far));
  ASSERT_EQ(std::fread(back.data(), 1, 3, file), 3u);
  EXPECT_EQ(back, "far");
  back.assign(4, '\0');
  ASSERT_TRUE(platform::seekFile(file, 0));
  ASSERT_EQ(std::fread(back.data(), 1, 4, file), 4u);
  EXPECT_EQ(back, "near");
  // Between them lies nothing written: zeros.
  back.assign(2, 'x');
  ASSERT_TRUE(platform::seekFile(file, far - 2));
  ASSERT_EQ(std::fread(back.data(), 1, 2, file), 2u);
  EXPECT_EQ(back, std::string(2, '\0'));
  std::fclose(file);
}

}  // namespace
