#include "scan/source_blocks.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "tests/support/test_files.h"

namespace {

struct Watch final : FileTextWatch {
  std::vector<FileText> told;
  void readAs(FileText text) override { told.push_back(text); }
};

// Every block of `bytes` read as `encoding`: their sizes, their bytes
// joined, and what the watch was told.
struct Lent {
  std::vector<size_t> sizes;
  std::string text;
  std::vector<FileText> told;
};

Lent lend(const std::string& bytes, SourceEncoding encoding = SourceEncoding::Detect,
          size_t blockBytes = 1022) {
  platform::MemoryByteSource source(bytes);
  Watch watch;
  SourceBlocks blocks(source, blockBytes, encoding, &watch);
  Lent lent;
  for (bool last = false; !last;) {
    SourceBlocks::Block block = blocks.next();
    lent.sizes.push_back(block.size);
    lent.text.append(block.data, block.size);
    last = block.last;
  }
  lent.told = watch.told;
  return lent;
}

const std::string kEucComment = "// \xC6\xFC\xCB\xDC\xB8\xEC\xA4\xCE\n";  // 日本語の in EUC-JP
const std::string kUtf8Comment = "// \xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\n";

// Shift-JIS and ASCII go as they are, in the file's own blocks: full
// ones, then a shorter last one (empty when the text ends on a block's end).
TEST(SourceBlocks, ShiftJisIsLentAsItIs) {
  std::string sjis = std::string(1021, 'a') + "日本語";  // 0x93 0xFA crosses a block's end
  Lent lent = lend(sjis);
  EXPECT_EQ(lent.text, sjis);
  EXPECT_EQ(lent.sizes, (std::vector<size_t>{1022, 5}));
  EXPECT_TRUE(lent.told.empty());
  EXPECT_EQ(lend(std::string(2044, 'x')).sizes, (std::vector<size_t>{1022, 1022, 0}));
  EXPECT_EQ(lend("").sizes, (std::vector<size_t>{0}));
}

TEST(SourceBlocks, OtherEncodingsAreConvertedAndTold) {
  struct Case {
    std::string bytes;
    SourceEncoding encoding;
    std::string cp932;
    std::vector<FileText> told;
  } cases[] = {
      {kEucComment, SourceEncoding::Detect, "// 日本語の\n", {FileText::kEucJp}},
      {kUtf8Comment, SourceEncoding::Detect, "// 日本語\n", {FileText::kUtf8}},
      // A UTF-8 byte-order mark goes, also before ASCII alone.
      {"\xEF\xBB\xBFint a;\n", SourceEncoding::Detect, "int a;\n", {FileText::kUtf8}},
      {"\xEF\xBB\xBF" + kUtf8Comment, SourceEncoding::EucJp, "// 日本語\n", {FileText::kUtf8}},
      // UTF-16 goes character by character, its mark dropped: a surrogate
      // pair is one character, one CP932 lacks (a Latin-1 letter, a
      // character beyond the BMP, a lone surrogate) is its stand-in, and
      // an odd last byte goes.
      {utf16(u"/"), SourceEncoding::Detect, "/", {FileText::kUtf16}},
      {utf16(u"// \u65E5\u672C \u00E9 \U0002000B \xD800!\r\n") + "x",
       SourceEncoding::Detect,
       "// 日本 [U+00E9] [U+2000B] [U+D800]!\r\n",
       {FileText::kUtf16}},
      {utf16(u"\uFF71\u00A7\u2460"),
       SourceEncoding::Utf8,
       "\xB1\x81\x98\x87\x40",
       {FileText::kUtf16}},
      // A setting other than Detect is not second-guessed, but ASCII
      // alone is no file of any encoding. Shift-JIS takes every byte as
      // it is, marks too, as the reader always did.
      {kEucComment, SourceEncoding::ShiftJis, kEucComment, {}},
      {"\xEF\xBB\xBF" + kUtf8Comment, SourceEncoding::ShiftJis, "\xEF\xBB\xBF" + kUtf8Comment, {}},
      {"\xFF\xFE/", SourceEncoding::ShiftJis, "\xFF\xFE/", {}},
      {"// \xB8\xEC\n", SourceEncoding::EucJp, "// 語\n", {FileText::kEucJp}},
      {"int a;\n", SourceEncoding::Utf8, "int a;\n", {}},
  };
  for (const Case& c : cases) {
    Lent lent = lend(c.bytes, c.encoding);
    EXPECT_EQ(lent.text, c.cp932) << c.cp932;
    EXPECT_EQ(lent.told, c.told) << c.cp932;
  }
}

// Text before the first non-ASCII byte has been lent when the encoding is
// settled beyond the first window: the converted rest follows it without
// a gap, and the blocks fall as the blocks of a file do.
TEST(SourceBlocks, DecisionBeyondTheFirstWindow) {
  std::string ascii(100000, 'a');
  for (size_t i = 80; i < ascii.size(); i += 81) ascii[i] = '\n';
  for (size_t block : {size_t{1022}, size_t{7}, size_t{1}}) {
    Lent lent = lend(ascii + kEucComment + ascii, SourceEncoding::Detect, block);
    EXPECT_EQ(lent.text, ascii + "// 日本語の\n" + ascii) << block;
    EXPECT_EQ(lent.told, std::vector<FileText>{FileText::kEucJp});
    for (size_t i = 0; i + 1 < lent.sizes.size(); ++i) ASSERT_EQ(lent.sizes[i], block) << i;
    EXPECT_LT(lent.sizes.back(), block);
  }
}

TEST(SourceBlocks, AnyBytesAreSafe) {
  std::mt19937 random(4545);
  for (int round = 0; round < 60; ++round) {
    std::string bytes(random() % 5000, '\0');
    for (char& b : bytes) b = static_cast<char>(random() % 256);
    if (round % 3 == 0 && bytes.size() >= 3) bytes.replace(0, 3, "\xEF\xBB\xBF");
    size_t block = 1 + random() % 1100;
    Lent lent = lend(bytes, static_cast<SourceEncoding>(round % 4), block);
    for (size_t i = 0; i + 1 < lent.sizes.size(); ++i) ASSERT_EQ(lent.sizes[i], block);
    EXPECT_LT(lent.sizes.back(), block);
  }
}

// A converted file goes through a piece at a time, cut after line ends: a
// character is never split, a line longer than the read window is whole,
// and the blocks fall as those of a file.
TEST(SourceBlocks, LongFilesAreConvertedPieceByPiece) {
  std::string utf8, cp932;
  std::u16string wide;
  for (int line = 0; line < 12000; ++line) {
    utf8 += kUtf8Comment;
    wide += u"// \u65E5\u672C\u8A9E\n";
    cp932 += "// 日本語\n";
  }
  const std::string longLine(150000, 'x');
  const std::string wideEnd = cp932 + "日";
  utf8 += longLine + kUtf8Comment;
  wide += u"\u65E5";
  cp932 += longLine + "// 日本語\n";
  for (size_t block : {size_t{1022}, size_t{4096}}) {
    Lent lent = lend(utf8, SourceEncoding::Detect, block);
    EXPECT_TRUE(lent.text == cp932) << block;
    for (size_t i = 0; i + 1 < lent.sizes.size(); ++i) ASSERT_EQ(lent.sizes[i], block) << i;
    EXPECT_TRUE(lend(utf16(wide), SourceEncoding::Detect, block).text == wideEnd) << block;
  }
}

}  // namespace
