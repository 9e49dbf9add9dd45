#include "platform/source_text.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace platform {
namespace {

// Literals here are CP932; other encodings are written as escapes.
const char kEucNihongo[] = "\xC6\xFC\xCB\xDC\xB8\xEC";                               // 日本語
const char kUtf8Nihongo[] = "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E";                  // 日本語
const char kEucKoreHaTesuto[] = "\xA4\xB3\xA4\xEC\xA4\xCF\xA5\xC6\xA5\xB9\xA5\xC8";  // これはテスト

TEST(SourceText, EncodingsAreRecognised) {
  struct Case {
    std::string sample;
    bool complete;
    SourceText expected;
  } cases[] = {
      {kUtf8Nihongo, true, SourceText::kUtf8},
      {std::string("// ") + kUtf8Nihongo + "\nint a;\n", true, SourceText::kUtf8},
      {"日本語", true, SourceText::kShiftJis},
      {"/* これはテスト */", true, SourceText::kShiftJis},
      // As Shift-JIS 0xFC is no lead the reader pairs and 0xEC ends the
      // file without its trail byte; as EUC-JP every pair is clean. With
      // "の" the kana tell EUC-JP; kanji alone, as text of another code
      // page might read, do not.
      {std::string(kEucNihongo) + "\xA4\xCE", true, SourceText::kEucJp},
      {kEucNihongo, true, SourceText::kShiftJis},
      // EUC-JP kana read as Shift-JIS are half-width katakana and one
      // double-byte character: both clean, the kana tell EUC-JP.
      {kEucKoreHaTesuto, true, SourceText::kEucJp},
      // Half-width katakana in pairs read as EUC-JP kanji: no kana among
      // them, so the tie goes to Shift-JIS.
      {"ｺﾒﾝﾄ", true, SourceText::kShiftJis},
      {"ﾃｽﾄ", true, SourceText::kShiftJis},  // odd: no EUC-JP at all
      // "｡ｱ" pairs as an EUC-JP kana, one in five pairs: too few.
      {"ﾃﾞｰﾀ｡ｱｺﾒﾝﾄ", true, SourceText::kShiftJis},
      // Cyrillic (Windows-1251) is clean EUC-JP, and has an invalid byte
      // (0xF0) as Shift-JIS, but it has no kana: it stays as it was.
      {"\xCF\xF0\xE8\xE2\xE5\xF2", true, SourceText::kShiftJis},
      // A sample cut inside a UTF-8 character is still UTF-8 while the
      // file goes on; at the file's end the cut character is invalid.
      {std::string(kUtf8Nihongo, 8), false, SourceText::kUtf8},
      {"\xE6", false, SourceText::kShiftJis},  // no whole character: no evidence
  };
  for (const Case& c : cases)
    EXPECT_EQ(recogniseSourceText(c.sample, c.complete), c.expected) << c.sample;
}

TEST(SourceText, EucJpConvertsByArithmetic) {
  std::string out;
  appendCp932FromEucJp(
      std::string("// ") + kEucNihongo + "\r\nint a; /* " + kEucKoreHaTesuto + " */\n", out);
  EXPECT_EQ(out, "// 日本語\r\nint a; /* これはテスト */\n");
  struct Case {
    const char* euc;
    const char* cp932;
  } cases[] = {
      {"\xA1\xA1", "　"},      // row 1, the first cell
      {"\xA4\xA2", "あ"},      // even row: trail = cell + 0x7E
      {"\xA5\xA2", "ア"},      // odd row, cell below 0x60
      {"\xA5\xF3", "ン"},      // odd row, cell 0x60 and above: past 0x7F
      {"\xB0\xA1", "亜"},      // the first kanji
      {"\xF4\xA6", "熙"},      // the last row of JIS X 0208: lead 0xEA
      {"\x8E\xB1", "ｱ"},       // half-width katakana
      {"\x8F\xB0\xA1", "〓"},  // JIS X 0212: no arithmetic to CP932
      {"\xA4", "?"},           // a lead at the end
      {"\x80\xFF\xA4\x41", "???A"},
  };
  for (const Case& c : cases) {
    out.clear();
    appendCp932FromEucJp(c.euc, out);
    EXPECT_EQ(out, c.cp932) << c.cp932;
  }
}

// What CP932 lacks rides on stand-ins; controls and '[' are text.
TEST(SourceText, Utf8ConvertsWithStandIns) {
  std::string out;
  appendCp932FromUtf8(std::string("\t") + kUtf8Nihongo + " a[i] \xED\x95\x9C\xEF\xBD\xB1\xFF\r\n",
                      out);
  EXPECT_EQ(out, "\t日本語 a[i] [U+D55C]ｱ[U+FFFD]\r\n");
}

TEST(SourceText, AnyBytesAreSafe) {
  std::mt19937 random(45);
  for (int round = 0; round < 200; ++round) {
    std::string bytes(1 + random() % 300, '\0');
    for (char& b : bytes) b = static_cast<char>(0x80 + random() % 128);
    recogniseSourceText(bytes, round % 2 == 0);
    std::string out;
    appendCp932FromEucJp(bytes, out);
    appendCp932FromUtf8(bytes, out);
    EXPECT_FALSE(out.empty());
  }
}

}  // namespace
}  // namespace platform
