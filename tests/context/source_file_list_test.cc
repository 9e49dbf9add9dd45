#include "context/source_file_list.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "context/options.h"
#include "driver/command_line.h"
#include "context/language_mode.h"
#include "tests/support/test_files.h"

namespace {

class SourceFileListTest : public testing::Test {
 protected:
  void SetUp() override {
    liveOptions().extensionLanguages = parseExtensionList(kDefaultExtensionList);
  }
  std::string names() const {
    std::string out;
    for (const SourceFileEntry& e : list_.entries()) out += e.directory + e.name + " ";
    return out;
  }
  std::string order() {
    std::string out;
    for (int i : list_.processingOrder()) out += list_.entries()[i].name + " ";
    return out;
  }
  SourceFileList list_;
};

TEST_F(SourceFileListTest, KeepsNamesSortedInByteOrder) {
  for (const char* n : {"m.c", "b.c", "z.c", "a.c", "k.c", "B.c", "y.c", "c.c", "zz.c", "0.c"})
    registerSourceFile(liveOptions(), n, "d/", list_);
  EXPECT_EQ(names(), "d/0.c d/B.c d/a.c d/b.c d/c.c d/k.c d/m.c d/y.c d/z.c d/zz.c ");
}

// Reading the list between registrations changes neither order nor the
// duplicate check.
TEST_F(SourceFileListTest, FilesRegisteredAfterAReadingGoToTheirPlace) {
  for (const char* n : {"m.c", "b.c"}) registerSourceFile(liveOptions(), n, "d/", list_);
  EXPECT_EQ(names(), "d/b.c d/m.c ");
  for (const char* n : {"n.c", "a.c", "b.c"}) registerSourceFile(liveOptions(), n, "d/", list_);
  EXPECT_EQ(names(), "d/a.c d/b.c d/m.c d/n.c ");
}

TEST_F(SourceFileListTest, DropsSameNameFromSameDirectoryOnly) {
  registerSourceFile(liveOptions(), "a.c", "x/", list_);
  registerSourceFile(liveOptions(), "a.c", "x/", list_);
  registerSourceFile(liveOptions(), "a.c", "y/", list_);
  EXPECT_EQ(list_.entries().size(), 2u);
  registerSourceFile(liveOptions(), "b.c", "", list_);  // no directory stands for the empty one
  EXPECT_EQ(list_.entries().back().directory, "");
}

// A file named again is listed once, whichever of its same-named
// neighbours from other folders the search meets first.
TEST_F(SourceFileListTest, DropsAFileNamedAgainAmongSameNamedFiles) {
  const std::vector<std::string> folders = {"w/", "x/", "y/", "z/", "v/"};
  for (size_t first = 0; first < folders.size(); ++first) {
    list_.clear();
    for (size_t i = 0; i < folders.size(); ++i)
      registerSourceFile(liveOptions(), "a.c", folders[(first + i) % folders.size()], list_);
    for (const std::string& folder : folders) {
      EXPECT_EQ(registerSourceFile(liveOptions(), "a.c", folder, list_), AddResult::Duplicate)
          << folder;
    }
    EXPECT_EQ(list_.entries().size(), folders.size());
  }
}

// On disk, another spelling of the same folder names the same file.
TEST_F(SourceFileListTest, OneFileUnderTwoSpellingsOfItsFolder) {
  TempDir dir;
  std::filesystem::create_directory(dir.file("sub"));
  writeFileBytes(dir.file("a.c"), "");
  writeFileBytes(dir.file("sub/a.c"), "");
  const std::string top = dir.path() + "/";
  EXPECT_EQ(registerSourceFile(liveOptions(), "a.c", top, list_), AddResult::Added);
  EXPECT_EQ(registerSourceFile(liveOptions(), "a.c", top + "sub/", list_), AddResult::Added);
  EXPECT_EQ(registerSourceFile(liveOptions(), "a.c", top + "./", list_), AddResult::Duplicate);
  EXPECT_EQ(registerSourceFile(liveOptions(), "a.c", top + "sub/../sub/", list_),
            AddResult::Duplicate);
  EXPECT_EQ(list_.entries().size(), 2u);
}

TEST_F(SourceFileListTest, RefusesUnknownExtensionsAndMixedFamilies) {
  registerSourceFile(liveOptions(), "readme.txt", "", list_);
  registerSourceFile(liveOptions(), "Makefile", "", list_);
  EXPECT_TRUE(list_.empty());
  registerSourceFile(liveOptions(), "a.C", "", list_);  // extensions ignore case
  registerSourceFile(liveOptions(), "w.cpp", "", list_);
  registerSourceFile(liveOptions(), "j.java", "", list_);
  EXPECT_EQ(list_.languageMask(), kModeC | kModeCOrCpp | kModeJava);
  EXPECT_FALSE(list_.conflict());
  registerSourceFile(liveOptions(), "u.pas", "", list_);
  EXPECT_TRUE(list_.conflict());
  EXPECT_EQ(list_.entries().size(), 3u);
  EXPECT_EQ(list_.entries()[0].languageMask, kModeC);
}

TEST_F(SourceFileListTest, VbFilesRefuseCFiles) {
  registerSourceFile(liveOptions(), "f.frm", "", list_);
  registerSourceFile(liveOptions(), "u.pas", "", list_);  // VB and Delphi are one family
  registerSourceFile(liveOptions(), "m.c", "", list_);
  EXPECT_TRUE(list_.conflict());
  EXPECT_EQ(list_.languageMask(), kModeVb | kModeDelphi);
}

TEST_F(SourceFileListTest, BasModulesAreReadFirst) {
  for (const char* n : {"c.bas", "b.frm", "a.bas", "d.vb", "e.BAS"})
    registerSourceFile(liveOptions(), n, "", list_);
  EXPECT_EQ(order(), "a.bas c.bas e.BAS b.frm d.vb ");
}

TEST_F(SourceFileListTest, RemoveKeepsOrderAndRecomputesTheMask) {
  static std::uintptr_t next = 100;
  list_.setTreeItemFactory([](const std::string&) { return ++next; });
  registerSourceFile(liveOptions(), "a.c", "", list_);
  registerSourceFile(liveOptions(), "b.cpp", "", list_);
  registerSourceFile(liveOptions(), "c.c", "", list_);
  std::uintptr_t item = list_.entries()[1].treeItem;
  list_.remove(item);
  EXPECT_EQ(names(), "a.c c.c ");
  EXPECT_EQ(list_.languageMask(), kModeC);
  list_.clear();
  EXPECT_EQ(list_.languageMask(), 0);
}

}  // namespace
