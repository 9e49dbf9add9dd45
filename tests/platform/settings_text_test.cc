#include "platform/settings_text.h"

#include <gtest/gtest.h>

#include "platform/profile.h"

namespace platform {
namespace {

TEST(SettingsText, TextIsWhatHoldsNoControlByte) {
  struct Case {
    std::string bytes;
    bool text;
  } cases[] = {
      {"[S]\r\nK=v\tw\f\x1A", true},    // tab, line ends, form feed, end-of-file mark
      {"\x83\x41\x83\x43=\xB1", true},  // double-byte and half-width characters
      {std::string("K=\0", 3), false},
      {"K=\x1B[0m", false},
      {"\x01", false},
      {std::string("\xFF\xFE[\0S\0]\0", 8), true},  // UTF-16 after its byte-order mark
      {std::string("\xFE\xFF\0[\0S", 6), false},    // big-endian: not read as such
      {"", true},
  };
  for (const Case& c : cases) EXPECT_EQ(looksLikeText(c.bytes), c.text) << c.bytes;
}

TEST(SettingsText, FilesThatCannotServeSayWhy) {
  MemoryFileSet files;
  files.add("ok.ini", "[S]\r\nK=v\r\n");
  files.add("nul.ini", std::string("[S]\r\nK=\0\r\n", 10));
  files.add("big.ini", std::string(kSettingsFileBound + 1, 'x'));
  files.add("bound.ini", std::string(kSettingsFileBound, 'x'));
  files.addUnreadable("folder.ini", FileProblem::kFolder);
  files.addUnreadable("pipe.ini", FileProblem::kNotRegularFile);
  struct Case {
    const char* path;
    FileProblem problem;
    size_t bytes;
  } cases[] = {
      {"ok.ini", FileProblem::kNone, 10},
      {"bound.ini", FileProblem::kNone, kSettingsFileBound},
      {"nul.ini", FileProblem::kNotText, 0},
      {"big.ini", FileProblem::kTooLarge, 0},
      {"folder.ini", FileProblem::kFolder, 0},
      {"pipe.ini", FileProblem::kNotRegularFile, 0},
      {"none.ini", FileProblem::kMissing, 0},
  };
  for (const Case& c : cases) {
    SettingsText text = readSettingsText(files, c.path);
    EXPECT_EQ(text.problem, c.problem) << c.path;
    EXPECT_EQ(text.bytes.size(), c.bytes) << c.path;
  }
}

// The profile reader reads its file once; one in UTF-16 is read as CP932,
// and one that cannot serve gives every fallback.
TEST(ProfileReader, ReadsUtf16AndFallsBackOnFilesThatCannotServe) {
  MemoryFileSet files;
  std::u16string wide = u"[\u8A2D\u5B9A]\r\nKey = \u65E5\u672C\r\n";
  std::string utf16 = "\xFF\xFE";
  for (char16_t unit : wide) {
    utf16 += static_cast<char>(unit & 0xFF);
    utf16 += static_cast<char>(unit >> 8);
  }
  files.add("wide.ini", utf16);
  files.add("nul.ini", std::string("[設定]\r\nKey=\0", 14));
  ProfileReader wideIni("wide.ini", files);
  EXPECT_EQ(wideIni.problem(), FileProblem::kNone);
  EXPECT_EQ(wideIni.read("設定", "KEY", "none"), "日本");
  ProfileReader nul("nul.ini", files);
  EXPECT_EQ(nul.problem(), FileProblem::kNotText);
  EXPECT_EQ(nul.read("設定", "Key", "none"), "none");
  ProfileReader missing("none.ini", files);
  EXPECT_EQ(missing.problem(), FileProblem::kMissing);
  EXPECT_EQ(missing.read("設定", "Key", "none"), "none");
}

}  // namespace
}  // namespace platform
