// Cuts the bytes of one source file into tokens, a block at a time: words
// of letters, digits and other non-delimiter bytes, single delimiters and
// control bytes, Shift-JIS double-byte pairs kept whole (also when a pair is
// split across two blocks), and UTF-16 little-endian text (announced by a
// byte-order mark) turned into the same byte tokens. The blocks stay owned
// by the caller; only the token being built is kept between blocks.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

class Tokenizer {
 public:
  enum class Encoding { Unknown, ShiftJis, Utf16 };

  // What next() tells its caller:
  //   kTokenReady      token() holds a token; call next() again after it;
  //   kBlockUsedUp     nothing delivered, give the next block (or, after
  //                    the last block, the input is done);
  //   kCallAgain       a lone carriage return was dropped, call again;
  //   kTokenReadyLast  token() holds a token and the block is used up.
  enum Result : int { kTokenReady = 0, kBlockUsedUp = 1, kCallAgain = 2, kTokenReadyLast = 3 };

  Tokenizer();

  // Back to the start of a file: encoding unknown, nothing pending.
  void reset();
  // Spaces and tabs become tokens of their own and are never skipped.
  void setKeepWhitespace(bool keep) { keepWhitespace_ = keep; }
  // Kept blanks come as runs: the spaces and tabs that follow one another
  // in a block are one token (readers whose parsers skip blanks by their
  // kind, not by their count, save a token per blank of indentation).
  void setMergeBlanks(bool merge) { mergeBlanks_ = merge; }
  // UTF-16 characters outside ASCII are converted to Shift-JIS (inside a
  // directive line) instead of being replaced by two spaces.
  void setConvertWide(bool convert) { convertWide_ = convert; }
  // The text of a comment, whose words the reader would take one by one
  // alike, may come as one token: a run of bytes (double-byte characters
  // kept whole) up to its closer. A run ends before a byte of `stops`,
  // before `closerFirst` where a byte of `mayEndCloser` follows it (or the
  // block ends), and never starts with `closerLast` (the token before may
  // be `closerFirst`).
  using ByteSet = std::array<bool, 256>;
  struct TextRunRule {
    ByteSet stops{};
    unsigned char closerFirst = 0;
    unsigned char closerLast = 0;
    ByteSet mayEndCloser{};
  };
  // While set, a token that starts between tokens of Shift-JIS text is
  // such a run, unless it is empty. Null: tokens as usual.
  void setTextRuns(const TextRunRule* rule) { runRule_ = rule; }

  // Lends the next block; it must stay alive until next() has used it up.
  // In UTF-16 text every block but the last has an even length (the
  // reader's 1,022-byte blocks do), so that no character is split.
  void giveBlock(const char* data, size_t size);
  // After the last block, one empty token is delivered (once any pending
  // delimiter has been delivered), so that the last real token gets a
  // lookahead; endOfInput() is true from then on.
  Result next(bool lastBlock);

  const std::string& token() const { return *text_; }
  // Right after a delivery: the next tokens are built in `place` (emptied
  // here), and the delivered one stays where it was built. The place must
  // outlive its use; without it, tokens are built in the tokenizer.
  void buildInto(std::string& place) {
    place.clear();
    text_ = &place;
    delivered_ = false;
  }
  // Between tokens of Shift-JIS text with nothing pending (as right after
  // a line break): passes over the whole lines ahead in the block that
  // hold no byte of `stops`, up to the last line break before the first
  // such byte (or the block's end), and returns their bytes (empty when it
  // passed nothing). Cutting those lines into tokens would leave the
  // tokenizer as it leaves it; with blanks kept, the tokens would be these
  // bytes without carriage returns and NULs.
  std::string_view skipLinesWithout(const ByteSet& stops);
  // The same, stopping only at a `stop` byte that follows a byte of
  // `after` (the line break before the position is none of them).
  std::string_view skipLinesWithout(unsigned char stop, const ByteSet& after);
  bool keepsWhitespace() const { return keepWhitespace_; }
  bool deliversBlankRuns() const { return mergeBlanks_ && encoding_ == Encoding::ShiftJis; }
  Encoding encoding() const { return encoding_; }
  bool endOfInput() const { return flushLeft_ == 0; }

 private:
  enum class Step { Continue, Done };

  Result deliver();
  void decideEncoding();
  Step scanShiftJis();
  Step scanUtf16();
  Step byte(unsigned char c, size_t width);
  Step controlByte(unsigned char c, size_t width);
  Step delimiterByte(unsigned char c, size_t width);
  Step leadByte(unsigned char c);
  Step endingByte(unsigned char c, size_t width);
  bool nextIsOpenParen() const;
  bool betweenTokens() const;
  bool takeTextRun();
  std::string_view skipLinesBefore(const unsigned char* end);
  // Whether the blank `c` just taken as the whole token starts a run to
  // join (the check is inline: it comes after every delimiter).
  bool startsBlankRun(unsigned char c) const {
    return (c == ' ' || c == '\t') && keepWhitespace_ && deliversBlankRuns();
  }
  void takeBlankRun();

  const unsigned char* data_ = nullptr;
  size_t size_ = 0;
  size_t pos_ = 0;
  bool last_ = false;
  Encoding encoding_ = Encoding::Unknown;
  std::string own_;
  std::string* text_ = &own_;    // the token being built, then the one delivered
  bool delivered_ = false;       // text_ holds a delivered token
  unsigned char pending_ = 0;    // a delimiter to deliver alone next, 0 for none
  bool leadCarried_ = false;     // text_ ends in a lead byte whose trail is in the next block
  bool spaceUndecided_ = false;  // a space ended the last block's token: keep it if '(' follows
  bool skipBlanks_ = false;      // skip spaces and tabs after a lone delimiter
  int flushLeft_ = 1;            // empty tokens still to deliver at the end of input
  bool keepWhitespace_ = false;
  bool convertWide_ = false;
  bool mergeBlanks_ = false;
  const TextRunRule* runRule_ = nullptr;
};
