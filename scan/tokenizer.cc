#include "scan/tokenizer.h"

#include <cstdint>
#include <cstring>

#include "platform/text_encoding.h"
#include "scan/lexical_rules.h"

namespace {

constexpr size_t kInitialTokenCapacity = 50;

// The reader pairs the lead bytes of the JIS X 0208 rows only; a byte of
// 0xF0 and above (user-defined and vendor rows) stands alone.
bool isLead(unsigned char c) { return platform::isShiftJisLead(c) && c <= 0xEF; }
bool isTrail(unsigned char c) { return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFC); }
bool isHalfWidthKana(unsigned char c) { return c >= 0xA0 && c <= 0xDF; }

}  // namespace

Tokenizer::Tokenizer() { own_.reserve(kInitialTokenCapacity); }

void Tokenizer::reset() {
  data_ = nullptr;
  size_ = pos_ = 0;
  last_ = false;
  encoding_ = Encoding::Unknown;
  text_->clear();
  delivered_ = false;
  pending_ = 0;
  leadCarried_ = spaceUndecided_ = skipBlanks_ = false;
  flushLeft_ = 1;
  convertWide_ = false;
  runRule_ = nullptr;
}

void Tokenizer::giveBlock(const char* data, size_t size) {
  data_ = reinterpret_cast<const unsigned char*>(data);
  size_ = size;
  pos_ = 0;
  if (encoding_ == Encoding::Unknown) decideEncoding();
}

// Only a byte-order mark 0xFF 0xFE at the very start makes a file UTF-16.
void Tokenizer::decideEncoding() {
  if (size_ >= 2 && data_[0] == 0xFF && data_[1] == 0xFE) {
    encoding_ = Encoding::Utf16;
    pos_ = 2;
  } else {
    encoding_ = Encoding::ShiftJis;
  }
}

Tokenizer::Result Tokenizer::next(bool lastBlock) {
  last_ = lastBlock;
  if (delivered_) {
    text_->clear();
    delivered_ = false;
  }
  if (pending_) {
    text_->assign(1, static_cast<char>(pending_));
    if (startsBlankRun(pending_)) takeBlankRun();
    pending_ = 0;
    return deliver();
  }
  if (runRule_ && takeTextRun()) return deliver();
  while (pos_ < size_) {
    Step step = encoding_ == Encoding::Utf16 ? scanUtf16() : scanShiftJis();
    if (step == Step::Done) return deliver();
  }
  if (!lastBlock) return kBlockUsedUp;
  leadCarried_ = spaceUndecided_ = false;
  if (!text_->empty()) return deliver();
  if (flushLeft_ > 0) {
    --flushLeft_;
    return deliver();
  }
  return kBlockUsedUp;
}

Tokenizer::Result Tokenizer::deliver() {
  delivered_ = true;
  if (text_->size() == 1 && (*text_)[0] == '\r') return kCallAgain;
  bool blockDone = pos_ >= size_ && !last_ && pending_ == 0;
  return blockDone ? kTokenReadyLast : kTokenReady;
}

// Continues what the previous block left open, then takes one byte.
Tokenizer::Step Tokenizer::scanShiftJis() {
  unsigned char c = data_[pos_];
  if (leadCarried_) {
    leadCarried_ = false;
    if (isTrail(c)) {
      *text_ += static_cast<char>(c);
      ++pos_;
      return Step::Continue;
    }
    return Step::Done;  // the lone lead byte ended its token
  }
  if (spaceUndecided_) return byte(c, 1);
  if (skipBlanks_) {
    // The blanks after a lone delimiter go at once, as byte() would skip each.
    while (c == ' ' || c == '\t') {
      if (++pos_ >= size_) return Step::Continue;
      c = data_[pos_];
    }
    skipBlanks_ = false;
  }
  if (!isWordByte(c)) return byte(c, 1);
  // A run of word bytes is taken at once, as byte() would take each; a
  // delimiter right after it ends the token as byte() would end it.
  size_t end = pos_ + 1;
  while (end < size_ && isWordByte(data_[end])) ++end;
  text_->append(reinterpret_cast<const char*>(data_ + pos_), end - pos_);
  pos_ = end;
  if (end < size_ && isDelimiterByte(data_[end]) && data_[end] >= 0x20)
    return delimiterByte(data_[end], 1);
  return Step::Continue;
}

std::string_view Tokenizer::skipLinesWithout(unsigned char stop, const ByteSet& after) {
  if (!betweenTokens()) return {};
  const unsigned char* from = data_ + pos_;
  const unsigned char* end = data_ + size_;
  for (const unsigned char* at = from; at < end; ++at) {
    at = static_cast<const unsigned char*>(std::memchr(at, stop, end - at));
    if (!at) break;
    if (at > from && after[at[-1]]) return skipLinesBefore(at);
  }
  return skipLinesBefore(end);
}

std::string_view Tokenizer::skipLinesWithout(const ByteSet& stops) {
  if (!betweenTokens()) return {};
  const unsigned char* end = data_ + pos_;
  const unsigned char* blockEnd = data_ + size_;
  while (end < blockEnd && !stops[*end]) ++end;
  return skipLinesBefore(end);
}

// A double-byte character whose second byte is not in this block ends
// the run before it; the usual cutting carries it over.
bool Tokenizer::takeTextRun() {
  if (!betweenTokens() || data_[pos_] == runRule_->closerLast) return false;
  const TextRunRule& rule = *runRule_;
  size_t end = pos_;
  while (end < size_) {
    unsigned char c = data_[end];
    if (rule.stops[c]) break;
    if (c == rule.closerFirst && (end + 1 >= size_ || rule.mayEndCloser[data_[end + 1]])) break;
    if (!isLead(c)) {
      ++end;
    } else if (end + 1 < size_ && isTrail(data_[end + 1])) {
      end += 2;
    } else {
      break;
    }
  }
  if (end == pos_) return false;
  text_->append(reinterpret_cast<const char*>(data_ + pos_), end - pos_);
  pos_ = end;
  return true;
}

bool Tokenizer::betweenTokens() const {
  return encoding_ == Encoding::ShiftJis && pos_ < size_ && !pending_ && !leadCarried_ &&
         !spaceUndecided_ && !skipBlanks_ && text_->empty();
}

// Passes the whole lines from the position up to `end`.
std::string_view Tokenizer::skipLinesBefore(const unsigned char* end) {
  const unsigned char* from = data_ + pos_;
  const unsigned char* lineStart = end;
  while (lineStart > from && lineStart[-1] != '\n') --lineStart;
  size_t passed = static_cast<size_t>(lineStart - from);
  pos_ += passed;
  return {reinterpret_cast<const char*>(from), passed};
}

// One UTF-16 unit: ASCII and Latin-1 units are taken as bytes; every other
// character becomes its Shift-JIS form in directive lines, two spaces
// elsewhere, so that tokens stay byte strings. A trailing odd byte is
// dropped.
Tokenizer::Step Tokenizer::scanUtf16() {
  if (pos_ + 1 >= size_) {
    pos_ = size_;
    return Step::Continue;
  }
  std::uint16_t unit = static_cast<std::uint16_t>(data_[pos_] | (data_[pos_ + 1] << 8));
  if (unit < 0x100) return byte(static_cast<unsigned char>(unit), 2);
  pos_ += 2;
  char converted[2];
  int n = convertWide_ ? platform::utf16UnitToCp932(unit, converted) : 0;
  if (n > 0)
    text_->append(converted, n);
  else
    text_->append("  ");
  return Step::Continue;
}

// The byte classes of a token, in the order they are tested.
Tokenizer::Step Tokenizer::byte(unsigned char c, size_t width) {
  if (spaceUndecided_) {
    spaceUndecided_ = false;
    if (c == '(') {
      text_->assign(1, ' ');
      return Step::Done;
    }
  }
  if (skipBlanks_) {
    if (c == ' ' || c == '\t') {
      pos_ += width;
      return Step::Continue;
    }
    skipBlanks_ = false;
  }
  if (c == 0) {  // NUL carries nothing; skipping it keeps the rest of the block
    pos_ += width;
    return Step::Continue;
  }
  if (c < 0x20 || c == 0x7F) return controlByte(c, width);
  if (c < 0x7F) {
    if (isDelimiterByte(c)) return delimiterByte(c, width);
    *text_ += static_cast<char>(c);
    pos_ += width;
    return Step::Continue;
  }
  if (isHalfWidthKana(c)) {
    *text_ += static_cast<char>(c);
    pos_ += width;
    return Step::Continue;
  }
  if (width == 1 && isLead(c)) return leadByte(c);
  return endingByte(c, width);
}

// A control byte is a token alone; it ends a token being built.
Tokenizer::Step Tokenizer::controlByte(unsigned char c, size_t width) {
  pos_ += width;
  if (text_->empty()) {
    text_->assign(1, static_cast<char>(c));
    if (startsBlankRun(c)) takeBlankRun();  // a tab
  } else {
    pending_ = c;
  }
  return Step::Done;
}

// A delimiter is a token alone (the blanks after it skipped unless kept);
// after a word it becomes pending, except a space, which is only kept
// before '(' (so that "#define X (a)" differs from "#define X(a)").
Tokenizer::Step Tokenizer::delimiterByte(unsigned char c, size_t width) {
  pos_ += width;
  if (text_->empty()) {
    text_->assign(1, static_cast<char>(c));
    if (!keepWhitespace_) skipBlanks_ = true;
    if (startsBlankRun(c)) takeBlankRun();
    return Step::Done;
  }
  if (c != ' ' || keepWhitespace_) {
    pending_ = c;
  } else if (pos_ >= size_) {
    spaceUndecided_ = !last_;
  } else if (nextIsOpenParen()) {
    pending_ = ' ';
  }
  return Step::Done;
}

// After a kept blank that is the whole token: the blanks that follow it in
// the block join it.
void Tokenizer::takeBlankRun() {
  size_t end = pos_;
  while (end < size_ && (data_[end] == ' ' || data_[end] == '\t')) ++end;
  text_->append(reinterpret_cast<const char*>(data_ + pos_), end - pos_);
  pos_ = end;
}

bool Tokenizer::nextIsOpenParen() const {
  if (encoding_ == Encoding::Utf16)
    return pos_ + 1 < size_ && data_[pos_] == '(' && data_[pos_ + 1] == 0;
  return pos_ < size_ && data_[pos_] == '(';
}

// A lead byte with its trail byte is one character; a lead byte at the end
// of a block waits for the first byte of the next one.
Tokenizer::Step Tokenizer::leadByte(unsigned char c) {
  *text_ += static_cast<char>(c);
  ++pos_;
  if (pos_ >= size_) {
    if (last_) return Step::Done;
    leadCarried_ = true;
    return Step::Continue;
  }
  unsigned char trail = data_[pos_];
  if (!isTrail(trail)) return Step::Done;
  *text_ += static_cast<char>(trail);
  ++pos_;
  return Step::Continue;
}

// 0x80, 0xF0-0xFF or a lead byte without a trail: kept, and the token ends.
Tokenizer::Step Tokenizer::endingByte(unsigned char c, size_t width) {
  *text_ += static_cast<char>(c);
  pos_ += width;
  return Step::Done;
}
