#include "platform/ini_text.h"

#include <gtest/gtest.h>

#include "platform/profile.h"
#include "platform/text_encoding.h"

namespace platform {
namespace {

const char kIni[] =
    "; a comment\r\n"
    "[Other]\r\n"
    "Key=other value\r\n"
    "\r\n"
    "[  Main  ]\r\n"
    "  Name  =  padded value  \r\n"
    "Quoted=\"in quotes\"\r\n"
    "Single='x'\r\n"
    "Empty=\r\n"
    "NoEquals\r\n"
    "[Main]\r\n"
    "Name=second section ignored\r\n";

TEST(IniLookup, FindsKeysWithTheProfileRules) {
  struct Case {
    const char* section;
    const char* key;
    const char* expected;
  } cases[] = {
      {"Main", "Name", "padded value"},  // blanks around keys and values trimmed
      {"MAIN", "name", "padded value"},  // sections and keys ignore case
      {"Main", "Quoted", "in quotes"},   // enclosing quotes removed
      {"Main", "Single", "x"},
      {"Main", "Empty", ""},
      {"Main", "NoEquals", ""},  // a bare key has an empty value
      {"Other", "Key", "other value"},
      {"Main", "Missing", "fallback"},
      {"Nowhere", "Key", "fallback"},
      {"Other", "Name", "fallback"},  // keys belong to their section only
  };
  for (const Case& c : cases)
    EXPECT_EQ(iniLookup(kIni, c.section, c.key, "fallback", 256), c.expected)
        << c.section << "/" << c.key;
}

// An index answers as the walk over the lines did: the first section of a
// name, and in it the first line of a key.
TEST(IniLookup, FirstSectionAndFirstKeyCount) {
  IniIndex index("K=before any section\r\n[s]\r\nK=1\r\nk=2\r\n[S]\r\nJ=later\r\n[T]\r\nK=t\r\n");
  EXPECT_EQ(index.lookup("S", "K", "none", 256), "1");
  EXPECT_EQ(index.lookup("S", "J", "none", 256), "none");
  EXPECT_EQ(index.lookup("T", "k", "none", 256), "t");
  EXPECT_EQ(index.lookup("", "K", "none", 256), "none");
}

TEST(IniLookup, CutsValuesAtTheBufferSize) {
  std::string big = "[S]\r\nK=" + std::string(10000, 'v') + "\r\n";
  EXPECT_EQ(iniLookup(big, "S", "K", "", 256), std::string(255, 'v'));
  EXPECT_EQ(iniLookup(big, "S", "Missing", std::string(300, 'd'), 256), std::string(255, 'd'));
  EXPECT_EQ(iniLookup(big, "S", "K", "", 1), "");
}

TEST(IniLookup, DoubleByteNamesAreNotCaseFolded) {
  // "ｱ" and "ﾃﾞｨﾚｸﾄﾘ設定" keys: the second byte of 設 (0x90 0xDD) is no letter,
  // but a name whose second byte is a letter must not match its lower-case twin.
  std::string text = "[\x83\x41]\r\nk=1\r\n";  // ア: second byte 'A'
  EXPECT_EQ(iniLookup(text, "\x83\x41", "K", "none", 256), "1");
  EXPECT_EQ(iniLookup(text, "\x83\x61", "K", "none", 256), "none");
}

TEST(IniLookup, SurvivesBinaryGarbage) {
  std::string garbage;
  for (int i = 0; i < 5000; ++i) garbage += static_cast<char>((i * 7919) & 0xFF);
  EXPECT_EQ(iniLookup(garbage, "S", "K", "d", 256), "d");
  std::string assigned = iniAssign(garbage, "S", "K", "v");
  EXPECT_EQ(iniLookup(assigned, "S", "K", "d", 256), "v");
  EXPECT_EQ(assigned.substr(0, garbage.size()), garbage);  // old bytes kept
}

TEST(IniAssign, ReplacesAddsAndKeepsTheRest) {
  std::string text = "; keep me\r\n[A]\r\nx=1\r\ny=2\r\n\r\n[B]\r\nz=3\r\n";
  EXPECT_EQ(iniAssign(text, "a", "X", "9"), "; keep me\r\n[A]\r\nX=9\r\ny=2\r\n\r\n[B]\r\nz=3\r\n");
  EXPECT_EQ(iniAssign(text, "A", "new", "n"),
            "; keep me\r\n[A]\r\nx=1\r\ny=2\r\nnew=n\r\n\r\n[B]\r\nz=3\r\n");
  EXPECT_EQ(iniAssign(text, "C", "k", "v"), text + "[C]\r\nk=v\r\n");
  EXPECT_EQ(iniAssign("", "C", "k", "v"), "[C]\r\nk=v\r\n");
  EXPECT_EQ(iniAssign("[C]", "C", "k", "v"), "[C]\r\nk=v\r\n");
}

}  // namespace
}  // namespace platform

namespace {

// A file in UTF-8 is told from one in CP932 by its bytes, and a key set in
// it stays in UTF-8, with the file's byte-order mark and line ends.
TEST(IniFileEncoding, Utf8FilesStayUtf8) {
  using platform::cp932ToUtf8;
  const std::string section = "ﾌｧｲﾙ出力設定", key = "関数一覧の表示";
  const std::string u8 = cp932ToUtf8("[" + section + "]\n" + key + "=OFF\n");
  EXPECT_TRUE(platform::isUtf8IniText(u8));
  EXPECT_TRUE(platform::isUtf8IniText("\xEF\xBB\xBF[a]\n"));
  EXPECT_FALSE(platform::isUtf8IniText("[a]\r\nb=c\r\n"));  // ASCII: read as it is
  EXPECT_FALSE(platform::isUtf8IniText("[" + section + "]\r\n"));
  struct Case {
    std::string before, after;
  } cases[] = {
      {u8, cp932ToUtf8("[" + section + "]\n" + key + "=ON\n")},
      {"\xEF\xBB\xBF" + u8, "\xEF\xBB\xBF" + cp932ToUtf8("[" + section + "]\n" + key + "=ON\n")},
      {cp932ToUtf8("[" + section + "]\r\nx=1\r\n"),
       cp932ToUtf8("[" + section + "]\r\nx=1\r\n" + key + "=ON\r\n")},
      {"[" + section + "]\r\n", "[" + section + "]\r\n" + key + "=ON\r\n"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(platform::assignInIniFile(c.before, section, key, "ON"), c.after);
}

}  // namespace
