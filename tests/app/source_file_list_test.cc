#include "app/source_file_list.h"

#include <gtest/gtest.h>

#include "app/options.h"
#include "scan/language_mode.h"

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
    list_.registerSourceFile(n, "d/");
  EXPECT_EQ(names(), "d/0.c d/B.c d/a.c d/b.c d/c.c d/k.c d/m.c d/y.c d/z.c d/zz.c ");
}

TEST_F(SourceFileListTest, DropsSameNameFromSameDirectoryOnly) {
  list_.registerSourceFile("a.c", "x/");
  list_.registerSourceFile("a.c", "x/");
  list_.registerSourceFile("a.c", "y/");
  EXPECT_EQ(list_.entries().size(), 2u);
  list_.registerSourceFile("b.c");  // no directory stands for the empty one
  EXPECT_EQ(list_.entries().back().directory, "");
}

TEST_F(SourceFileListTest, RefusesUnknownExtensionsAndMixedFamilies) {
  list_.registerSourceFile("readme.txt", "");
  list_.registerSourceFile("Makefile", "");
  EXPECT_TRUE(list_.empty());
  list_.registerSourceFile("a.C", "");   // extensions ignore case
  list_.registerSourceFile("w.cpp", "");
  list_.registerSourceFile("j.java", "");
  EXPECT_EQ(list_.languageMask(), kModeC | kModeCOrCpp | kModeJava);
  EXPECT_FALSE(list_.conflict());
  list_.registerSourceFile("u.pas", "");
  EXPECT_TRUE(list_.conflict());
  EXPECT_EQ(list_.entries().size(), 3u);
  EXPECT_EQ(list_.entries()[0].languageMask, kModeC);
}

TEST_F(SourceFileListTest, VbFilesRefuseCFiles) {
  list_.registerSourceFile("f.frm", "");
  list_.registerSourceFile("u.pas", "");  // VB and Delphi are one family
  list_.registerSourceFile("m.c", "");
  EXPECT_TRUE(list_.conflict());
  EXPECT_EQ(list_.languageMask(), kModeVb | kModeDelphi);
}

TEST_F(SourceFileListTest, BasModulesAreReadFirst) {
  for (const char* n : {"c.bas", "b.frm", "a.bas", "d.vb", "e.BAS"}) list_.registerSourceFile(n, "");
  EXPECT_EQ(order(), "a.bas c.bas e.BAS b.frm d.vb ");
}

TEST_F(SourceFileListTest, RemoveKeepsOrderAndRecomputesTheMask) {
  static std::uintptr_t next = 100;
  list_.setTreeItemFactory([](const std::string&) { return ++next; });
  list_.registerSourceFile("a.c", "");
  list_.registerSourceFile("b.cpp", "");
  list_.registerSourceFile("c.c", "");
  std::uintptr_t item = list_.entries()[1].treeItem;
  list_.remove(item);
  EXPECT_EQ(names(), "a.c c.c ");
  EXPECT_EQ(list_.languageMask(), kModeC);
  list_.clear();
  EXPECT_EQ(list_.languageMask(), 0);
}

}  // namespace
