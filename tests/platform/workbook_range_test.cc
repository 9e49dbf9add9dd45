// Ranges in the spreadsheet's notation: read and written back, the
// columns past "Z" and the sheet's last cell included.
#include "platform/workbook_range.h"

#include <gtest/gtest.h>

namespace {

TEST(WorkbookRange, WrittenAsItIsRead) {
  const struct {
    const char* text;
    platform::CellRange range;
  } cases[] = {
      {"A1:E12", {0, 0, 11, 4}},
      {"B3", {2, 1, 2, 1}},
      {"Z1:AA2", {0, 25, 1, 26}},
      {"AZ7:BA7", {6, 51, 6, 52}},
      {"XFD1048576", {1048575, 16383, 1048575, 16383}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(platform::rangeText(c.range), c.text);
    std::optional<platform::CellRange> read = platform::parseRange(c.text);
    ASSERT_TRUE(read) << c.text;
    EXPECT_EQ(platform::rangeText(*read), c.text);
  }
}

TEST(WorkbookRange, MalformedOrPastTheSheet) {
  for (const char* text : {"", "A0", "1A", "XFE1", "A1048577", "A1:", ":B2", "A1:B2:C3"})
    EXPECT_FALSE(platform::parseRange(text)) << text;
  EXPECT_EQ(platform::rangeText(*platform::parseRange("$C$4:a1")), "A1:C4");
}

}  // namespace
