#include <gtest/gtest.h>

#include <string>

#include "driver/include_reading.h"

namespace {

// A header reached through "." and ".." parts gets one spelling, so that
// the registry knows it when it is reached again another way.
TEST(CollapseDotPartsTest, InnerDotPartsGoAndSeparatorsStayAsWritten) {
  const struct {
    std::string path;
    std::string collapsed;
  } cases[] = {
      {"/src/sub/../inc/./a.h", "/src/inc/a.h"},
      {"C:\\src\\sub\\..\\a.h", "C:\\src\\a.h"},
      {"src/sub\\..\\./a.h", "src/a.h"},
      {"/src/a/b/../../c.h", "/src/c.h"},
      // Nothing before to take back: the ".." stays.
      {"../a.h", "../a.h"},
      {"../../a.h", "../../a.h"},
      {"a/../../b.h", "../b.h"},
      {"/../a.h", "/../a.h"},
      {"C:\\..\\a.h", "C:\\..\\a.h"},
      // The last part is a name, even "." or "..".
      {"/src/.", "/src/."},
      {"/src/sub/..", "/src/sub/.."},
      {"/src/", "/src/"},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(collapseDotParts(c.path), c.collapsed) << c.path;
}

TEST(CollapseDotPartsTest, SecondByteOfADoubleByteCharacterIsNoSeparator) {
  // "表" is 0x95 0x5C in Shift-JIS: its second byte is a backslash.
  const std::string folder = "C:\\\x95\x5C\\";
  EXPECT_EQ(collapseDotParts(folder + "sub\\..\\a.h"), folder + "a.h");
  EXPECT_EQ(collapseDotParts(folder + "..\\a.h"), "C:\\a.h");
  // A lead byte that ends the path is a byte of its own.
  EXPECT_EQ(collapseDotParts("a\\..\\\x95"), "\x95");
}

}  // namespace
