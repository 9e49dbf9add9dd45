#include "platform/byte_source.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/support/test_files.h"

namespace {

// Counts the openings that reach the files behind it.
class CountingFileSet final : public platform::FileSet {
 public:
  platform::MemoryFileSet files;
  int opened = 0;

 protected:
  std::unique_ptr<platform::ByteSource> openSource(const std::string& path,
                                                   platform::FileProblem& problem) override {
    ++opened;
    return files.open(path, &problem);
  }
};

// Every byte of a source, read in small pieces as a reader does.
std::string readAll(platform::ByteSource& source) {
  std::string out;
  char block[7];
  while (size_t n = source.read(block, sizeof block)) out.append(block, n);
  return out;
}

TEST(KeptFileSet, SecondOpeningComesFromMemory) {
  CountingFileSet disk;
  std::string text(100000, 'x');  // longer than one chunk of the first reading
  text += "end";
  disk.files.add("a.h", text);
  platform::KeptFileSet kept(disk, 1 << 20);
  for (int i = 0; i < 3; ++i) {
    auto source = kept.open("a.h");
    ASSERT_NE(source, nullptr);
    EXPECT_EQ(readAll(*source), text);
  }
  EXPECT_EQ(disk.opened, 1);
  EXPECT_EQ(kept.keptBytes(), text.size());
}

TEST(KeptFileSet, FileBeyondTheBoundIsReadAgain) {
  CountingFileSet disk;
  disk.files.add("small.h", "int a;");
  disk.files.add("big.h", "int bbbbbbbbbb;");
  platform::KeptFileSet kept(disk, 10);
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(readAll(*kept.open("small.h")), "int a;");
    EXPECT_EQ(readAll(*kept.open("big.h")), "int bbbbbbbbbb;");
  }
  EXPECT_EQ(disk.opened, 3);  // small.h once, big.h twice
  EXPECT_EQ(kept.keptBytes(), 6u);
}

TEST(KeptFileSet, MissingAndEmptyFiles) {
  CountingFileSet disk;
  disk.files.add("empty.h", "");
  platform::KeptFileSet kept(disk, 10);
  EXPECT_EQ(kept.open("none.h"), nullptr);
  auto source = kept.open("empty.h");
  ASSERT_NE(source, nullptr);
  EXPECT_EQ(readAll(*source), "");
  EXPECT_NE(kept.open("empty.h"), nullptr);
  EXPECT_EQ(disk.opened, 2);
}

// Only regular files are read from disk: a pipe without a writer is
// refused at once instead of holding the reading, and so are a device and
// a folder. A file is read up to the size it had when it was opened.
TEST(DiskFiles, ReadOnlyRegularFilesUpToTheirSizeAtOpening) {
  TempDir temp;
  std::string pipe = temp.file("pipe.c"), grows = temp.file("grows.c");
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  std::filesystem::create_symlink("/dev/zero", temp.file("zero.c"));
  std::filesystem::create_directory(temp.file("folder.c"));
  struct Case {
    std::string path;
    platform::FileProblem problem;
  } cases[] = {
      {pipe, platform::FileProblem::kNotRegularFile},
      {temp.file("zero.c"), platform::FileProblem::kNotRegularFile},
      {temp.file("folder.c"), platform::FileProblem::kFolder},
      {temp.file("none.c"), platform::FileProblem::kMissing},
  };
  for (const Case& c : cases) {
    platform::FileProblem problem = platform::FileProblem::kNone;
    EXPECT_EQ(platform::diskFiles().open(c.path, &problem), nullptr) << c.path;
    EXPECT_EQ(problem, c.problem) << c.path;
  }
  writeFileBytes(grows, "int a;\n");
  platform::FileProblem problem = platform::FileProblem::kMissing;
  auto source = platform::diskFiles().open(grows, &problem);
  ASSERT_NE(source, nullptr);
  EXPECT_EQ(problem, platform::FileProblem::kNone);
  writeFileBytes(grows, "int a;\nint b;\n");
  EXPECT_EQ(readAll(*source), "int a;\n");
}

}  // namespace
