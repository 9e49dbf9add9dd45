#include "scan/tokenizer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "scan/lexical_rules.h"
#include "tests/support/analysis_test.h"

namespace {

// One token in a readable form: blanks and control bytes by name.
std::string shown(const std::string& token) {
  if (token.empty()) return "<end>";
  if (token == " ") return "<sp>";
  if (token == "\t") return "<tab>";
  if (token == "\n") return "<lf>";
  if (token.find_first_not_of(" \t") == std::string::npos) {  // a run of blanks
    std::string run;
    for (char c : token) run += c == ' ' ? "<sp>" : "<tab>";
    return "[" + run + "]";
  }
  return token;
}

class TokenizerTest : public AnalysisTest {
 protected:
  // Feeds `bytes` in blocks of `blockSize` as the run driver does and
  // returns every delivered token joined by '|'.
  std::string tokens(const std::string& bytes, size_t blockSize = 1022, bool keep = false,
                     bool merge = false) {
    Tokenizer t;
    t.reset();
    t.setKeepWhitespace(keep);
    t.setMergeBlanks(merge);
    std::string out;
    size_t at = 0;
    bool last = false;
    int guard = 0;
    while (!last && ++guard < 100000) {
      size_t n = bytes.size() - at < blockSize ? bytes.size() - at : blockSize;
      last = n < blockSize;
      t.giveBlock(bytes.data() + at, n);
      at += n;
      for (;;) {
        int r = t.next(last);
        if (r == Tokenizer::kBlockUsedUp) break;
        if (r == Tokenizer::kCallAgain) continue;
        out += (out.empty() ? "" : "|") + shown(t.token());
        if (r == Tokenizer::kTokenReadyLast) break;
      }
    }
    return out;
  }
};

TEST_F(TokenizerTest, DelimitersWordsAndControlBytes) {
  struct Case {
    const char* input;
    const char* expected;
  } cases[] = {
      {"a+b", "a|+|b|<end>"},
      {"foo(x);", "foo|(|x|)|;|<end>"},
      {"a.b->c", "a|.|b|-|>|c|<end>"},
      {"x\ty", "x|<tab>|y|<end>"},
      {"a\nb", "a|<lf>|b|<end>"},
      {"a\r\nb", "a|<lf>|b|<end>"},  // the carriage return is dropped
      {"$x_1@`", "$x_1@`|<end>"},    // never delimiters in C runs
      {"a\x7F"
       "b",
       "a|\x7F|b|<end>"},
      {"", "<end>"},
  };
  for (const Case& c : cases) EXPECT_EQ(tokens(c.input), c.expected) << c.input;
}

TEST_F(TokenizerTest, BlanksAfterWordsAndDelimiters) {
  struct Case {
    const char* input;
    const char* expected;
  } cases[] = {
      // A space after a word is dropped unless '(' follows it.
      {"int a", "int|a|<end>"},
      {"#define X (a)", "#|define|X|<sp>|(|a|)|<end>"},
      {"#define X(a)", "#|define|X|(|a|)|<end>"},
      // A lone delimiter skips the blanks after it; a space met with no
      // word under way is a token of its own.
      {"( \t a", "(|a|<end>"},
      {"a;  b", "a|;|<sp>|b|<end>"},
      {"a  b", "a|<sp>|b|<end>"},
  };
  for (const Case& c : cases) EXPECT_EQ(tokens(c.input), c.expected) << c.input;
}

TEST_F(TokenizerTest, KeptWhitespaceMakesEveryBlankAToken) {
  EXPECT_EQ(tokens("a  b", 1022, true), "a|<sp>|<sp>|b|<end>");
  EXPECT_EQ(tokens("( \tx", 1022, true), "(|<sp>|<tab>|x|<end>");
  EXPECT_EQ(tokens("int a", 1022, true), "int|<sp>|a|<end>");
}

// Merged, the blanks that follow one another in a block are one token,
// after a word, after a delimiter, at a line start; a block end cuts a
// run; blanks that are not kept, and UTF-16 text, stay as they were.
TEST_F(TokenizerTest, KeptBlanksComeAsRunsWhenMerged) {
  auto merged = [this](const std::string& bytes, size_t blockSize = 1022) {
    return tokens(bytes, blockSize, true, true);
  };
  EXPECT_EQ(merged("a  \t b"), "a|[<sp><sp><tab><sp>]|b|<end>");
  EXPECT_EQ(merged("(\t x"), "(|[<tab><sp>]|x|<end>");
  EXPECT_EQ(merged("a\n    b \n"), "a|<lf>|[<sp><sp><sp><sp>]|b|<sp>|<lf>|<end>");
  EXPECT_EQ(merged("a     b", 4), "a|[<sp><sp><sp>]|[<sp><sp>]|b|<end>");
  EXPECT_EQ(tokens("a  b", 1022, false, true), "a|<sp>|b|<end>");
  EXPECT_EQ(merged(std::string("\xFF\xFE"
                               "a\0 \0 \0b\0",
                               10)),
            "a|<sp>|<sp>|b|<end>");
}

TEST_F(TokenizerTest, VbRunsMakeDollarADelimiter) {
  useRulesOf("m.bas");
  EXPECT_EQ(tokens("Left$(a)"), "Left|$|(|a|)|<end>");
}

TEST_F(TokenizerTest, ShiftJisPairsStayWhole) {
  // "ソ" is 0x83 0x5C: its second byte is '\' and must not split the word.
  std::string so = "\x83\x5C";
  EXPECT_EQ(tokens("a" + so + "b"), "a" + so + "b|<end>");
  // "表" is 0x95 0x5C, "|" as a trail: 0x81 0x7C (a minus sign).
  std::string minus = "\x81\x7C";
  EXPECT_EQ(tokens("x" + minus + "y"), "x" + minus + "y|<end>");
  // Half-width katakana join words.
  EXPECT_EQ(tokens("\xB1\xB2=1"), "\xB1\xB2|=|1|<end>");
}

TEST_F(TokenizerTest, OddHighBytesEndTheirToken) {
  EXPECT_EQ(tokens("a\x80"
                   "b"),
            "a\x80|b|<end>");
  EXPECT_EQ(tokens("a\xF0"
                   "b"),
            "a\xF0|b|<end>");
  // A lead byte without a valid trail byte ends the token after itself.
  EXPECT_EQ(tokens("a\x83 b"), "a\x83|<sp>|b|<end>");
}

TEST_F(TokenizerTest, PairSplitAcrossBlocks) {
  std::string so = "\x83\x5C";
  // Blocks of 4: "abc\x83" then "\x5C" "d;": the lead waits for its trail.
  EXPECT_EQ(tokens("abc" + so + "d;", 4), "abc" + so + "d|;|<end>");
  // At the real 1022-byte boundary.
  std::string text(1021, 'a');
  text += so + "z\n";
  EXPECT_EQ(tokens(text), std::string(1021, 'a') + so + "z|<lf>|<end>");
  // A lead byte at a block end whose follower is no trail byte.
  EXPECT_EQ(tokens("ab\x83"
                   " c",
                   3),
            "ab\x83|<sp>|c|<end>");
}

TEST_F(TokenizerTest, TokensAndBlanksAcrossBlocks) {
  EXPECT_EQ(tokens("abcdef+g", 3), "abcdef|+|g|<end>");
  // The word ends at the block end with a space; '(' starts the next block.
  EXPECT_EQ(tokens("#define X (a)", 10), "#|define|X|<sp>|(|a|)|<end>");
  EXPECT_EQ(tokens("ab cd", 3), "ab|cd|<end>");
  // A delimiter pending at a block end is delivered before the next block.
  EXPECT_EQ(tokens("ab;cd", 3), "ab|;|cd|<end>");
}

TEST_F(TokenizerTest, NulBytesAreSkipped) {
  EXPECT_EQ(tokens(std::string("a\0b\0;", 5)), "ab|;|<end>");
}

TEST_F(TokenizerTest, Utf16TextBecomesByteTokens) {
  EXPECT_EQ(tokens(utf16(u"int a;\r\n")), "int|a|;|<lf>|<end>");
  // A character outside ASCII becomes two spaces inside its token.
  EXPECT_EQ(tokens(utf16(u"x\u3042y z")), "x  y|z|<end>");
  EXPECT_EQ(tokens(utf16(u"#define X (a)")), "#|define|X|<sp>|(|a|)|<end>");
}

TEST_F(TokenizerTest, Utf16ConvertsWideCharactersWhenAsked) {
  Tokenizer t;
  t.reset();
  std::string bytes = utf16(u"\u3042;");
  t.giveBlock(bytes.data(), bytes.size());
  t.setConvertWide(true);
  ASSERT_EQ(t.next(true), Tokenizer::kTokenReady);
  EXPECT_EQ(t.token(), "\x82\xA0");  // "あ" in Shift-JIS
  EXPECT_EQ(t.encoding(), Tokenizer::Encoding::Utf16);
}

TEST_F(TokenizerTest, OddLengthUtf16DropsTheLastByte) {
  std::string bytes = utf16(u"ab") + "c";
  EXPECT_EQ(tokens(bytes), "ab|<end>");
}

TEST_F(TokenizerTest, OnlyFfFeAtTheStartMeansUtf16) {
  Tokenizer t;
  t.reset();
  std::string bytes = "\xFE\xFFx";
  t.giveBlock(bytes.data(), bytes.size());
  t.next(true);
  EXPECT_EQ(t.encoding(), Tokenizer::Encoding::ShiftJis);
}

TEST_F(TokenizerTest, ReturnCodesFollowTheBlock) {
  Tokenizer t;
  t.reset();
  std::string block = "ab;";
  t.giveBlock(block.data(), block.size());
  EXPECT_EQ(t.next(false), Tokenizer::kTokenReady);  // "ab", ';' pending
  EXPECT_EQ(t.token(), "ab");
  EXPECT_EQ(t.next(false), Tokenizer::kTokenReadyLast);  // ';' uses the block up
  EXPECT_EQ(t.token(), ";");
  std::string rest = "cd";
  t.giveBlock(rest.data(), rest.size());
  EXPECT_EQ(t.next(false), Tokenizer::kBlockUsedUp);  // "cd" may go on
  t.giveBlock(rest.data(), 0);
  EXPECT_EQ(t.next(true), Tokenizer::kTokenReady);
  EXPECT_EQ(t.token(), "cd");
  EXPECT_FALSE(t.endOfInput());
  EXPECT_EQ(t.next(true), Tokenizer::kTokenReady);
  EXPECT_EQ(t.token(), "");
  EXPECT_TRUE(t.endOfInput());
  EXPECT_EQ(t.next(true), Tokenizer::kBlockUsedUp);
}

TEST_F(TokenizerTest, LongTokenGrowsWithoutLimit) {
  std::string big(1 << 20, 'x');
  std::string got = tokens(big + ";");
  EXPECT_EQ(got, big + "|;|<end>");
}

}  // namespace
