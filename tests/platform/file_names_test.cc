#include "platform/file_names.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

// Native names (UTF-8 here, bytes as escapes) and the engine's CP932 names
// (literals here are CP932): each way, and back to the same name.
TEST(FileNames, StandInsMakeEveryNameComeBack) {
  struct Case {
    const char* native;
    const char* cp932;
  } cases[] = {
      {"main.c", "main.c"},
      {"\xE6\x97\xA5\xE6\x9C\xAC.c", "日本.c"},
      {"\xEF\xBD\xB1.c", "ｱ.c"},           // half-width kana: one byte
      {"caf\xC3\xA9.c", "caf[U+00E9].c"},  // no best fit: 'e' is another file
      {"\xED\x95\x9C.c", "[U+D55C].c"},
      {"\xF0\x9F\x98\x80", "[U+1F600]"},             // beyond 16 bits
      {"a[U+0041].c", "a[U+005B]U+0041].c"},         // a real name that reads as a stand-in
      {"a[U+00e9][U+12].c", "a[U+00e9][U+12].c"},    // no stand-in shapes
      {"\xFF\xC3.c", "[U+DCFF][U+DCC3].c"},          // bytes that are no UTF-8
      {"\xED\xA0\x80", "[U+DCED][U+DCA0][U+DC80]"},  // an encoded surrogate is no UTF-8
      {"a\nb\r\t\x7F.c", "a[U+000A]b[U+000D][U+0009][U+007F].c"},  // controls show
  };
  for (const Case& c : cases) {
    EXPECT_EQ(cp932NameFromUtf8(c.native), c.cp932) << c.native;
    EXPECT_EQ(utf8FromCp932Name(c.cp932), c.native) << c.cp932;
  }
}

// A terminal gets the characters of stand-ins, but a line feed of a name
// must not break the line it is told in.
TEST(FileNames, TerminalTextKeepsControlsVisible) {
  EXPECT_EQ(utf8TextForTerminal("caf[U+00E9]\t[U+0009]a[U+000A]b.c: 日本\n"),
            "caf\xC3\xA9\t[U+0009]a[U+000A]b.c: \xE6\x97\xA5\xE6\x9C\xAC\n");
}

TEST(FileNames, Utf16NamesKeepLoneSurrogates) {
  std::u16string wide = u"\u00E9\xD800x\U0001F600";
  EXPECT_EQ(cp932NameFromUtf16(wide), "[U+00E9][U+D800]x[U+1F600]");
  EXPECT_EQ(utf16FromCp932Name("[U+00E9][U+D800]x[U+1F600]"), wide);
  EXPECT_EQ(utf16FromCp932Name("日本"), u"\u65E5\u672C");
  EXPECT_EQ(cp932NameFromUtf16(u"a\nb"), "a[U+000A]b");
}

}  // namespace
}  // namespace platform
