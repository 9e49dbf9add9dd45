#include "calvex/lexer.h"

#include <charconv>
#include <cmath>
#include <string_view>

namespace calvex {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The two spaces of the C library that are not operator characters, and so can
// stand at the start of a lexeme.
bool isLibrarySpace(char c) { return c == '\v' || c == '\f'; }

bool endsRun(char c) { return c == '\0' || isOperatorChar(static_cast<unsigned char>(c)); }

int hexDigitValue(char c) {
  if (isDigit(c)) return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return 0;  // any other character of a hexadecimal literal counts as 0
}

const char* skipDigits(const char* p) {
  while (isDigit(*p)) ++p;
  return p;
}

// The exponent that follows 'e', saturated far beyond any double.
long long clampedExponent(const char* p, const char* end) {
  bool negative = *p == '-';
  if (*p == '+' || *p == '-') ++p;
  long long exponent = 0;
  for (; p < end && exponent < 1000000000000LL; ++p) exponent = exponent * 10 + (*p - '0');
  return negative ? -exponent : exponent;
}

// from_chars leaves the value alone when it does not fit; the C library gives
// HUGE_VAL for a magnitude too large and 0 for one too small. The place of the
// first significant digit, moved by the exponent, tells which.
double outOfRangeValue(const char* begin, const char* end) {
  long long place = 0;
  const char* p = begin;
  while (p < end && *p == '0') ++p;
  if (p < end && isDigit(*p)) {
    for (; p < end && isDigit(*p); ++p) ++place;
  } else if (p < end && *p == '.') {
    for (++p; p < end && *p == '0'; ++p) --place;
  }
  while (p < end && *p != 'e' && *p != 'E') ++p;
  long long exponent = p < end ? clampedExponent(p + 1, end) : 0;
  return place + exponent > 0 ? HUGE_VAL : 0.0;
}

double decimalValue(const char* begin, const char* end) {
  double value = 0;
  auto result = std::from_chars(begin, end, value, std::chars_format::general);
  if (result.ec == std::errc::result_out_of_range) return outOfRangeValue(begin, end);
  return value;
}

}  // namespace

const char* scanDecimal(const char* text, double* value) {
  const char* p = text;
  while (isLibrarySpace(*p)) ++p;
  bool negative = *p == '-';
  if (*p == '+' || *p == '-') ++p;
  const char* begin = p;
  p = skipDigits(p);
  bool digits = p != begin;
  if (*p == '.' && (digits || isDigit(p[1]))) {
    p = skipDigits(p + 1);
    digits = true;
  }
  if (!digits) return text;
  if (*p == 'e' || *p == 'E') {
    const char* exponent = p + 1;
    if (*exponent == '+' || *exponent == '-') ++exponent;
    if (isDigit(*exponent)) p = skipDigits(exponent);
  }
  double magnitude = decimalValue(begin, p);
  *value = negative ? -magnitude : magnitude;
  return p;
}

Token Lexer::next() {
  for (;;) {
    switch (*pos_) {
      case '\0':
        return Token{};
      case '\t':
      case '\n':
      case ' ':
        ++pos_;
        continue;
      case '(':
        return take(1, TokenKind::Open);
      case ')':
        return take(1, TokenKind::Close);
      case '\\':
        if (pos_[1] == 'x') return readHexEscape();
        return readSymbol();
      default:
        break;
    }
    if (isOperatorChar(static_cast<unsigned char>(*pos_))) return readSymbol();
    if (std::optional<Token> token = readRun()) return *token;
  }
}

// ! % & * + , - / : < = > ? \ ^ | ~ and their pairs and triples -> the longest
// operator of the table
Token Lexer::readSymbol() {
  std::size_t length = 1;
  while (length < kLongestSymbol && isOperatorChar(static_cast<unsigned char>(pos_[length])) &&
         findOperator(syntax_, {pos_, length + 1})) {
    ++length;
  }
  const OperatorEntry* op = findOperator(syntax_, {pos_, length});
  if (!op) return Token{TokenKind::Unknown};
  if (splitsIncrement(*op)) {
    length = 1;
    op = findOperator(syntax_, {pos_, 1});
  }
  return take(length, TokenKind::Operator, op);
}

// C: after the first token, `--` or `++` touching a name or number is two signs,
// so that `2--3` is 2 - (-3) rather than a decrement.
bool Lexer::splitsIncrement(const OperatorEntry& op) const {
  if (!syntax_.splitsIncrements || !tokenSeen_) return false;
  if (op.operation != Operation::Increment && op.operation != Operation::Decrement) return false;
  return !endsRun(pos_[2]);
}

// \x41  -> 65
Token Lexer::readHexEscape() {
  pos_ += 2;
  return number(readHexDigits());
}

// 0x1F | 1.5e-3 | name -> number, function or word operator; a lone L is skipped
std::optional<Token> Lexer::readRun() {
  if (pos_[0] == '0' && pos_[1] == 'x') {
    pos_ += 2;
    return number(readHexDigits());
  }
  double value = 0;
  const char* end = scanDecimal(pos_, &value);
  if (end != pos_) {
    pos_ = end;
    return number(value);
  }
  return readWord();
}

// sqrt | Mod | Mod5 (VB, the word before the first digit) | L
std::optional<Token> Lexer::readWord() {
  std::size_t length = runLength(kLongestWord + 1);
  if (length <= kLongestWord) {
    if (const OperatorEntry* op = findOperator(syntax_, {pos_, length})) {
      return take(length, TokenKind::Operator, op);
    }
  }
  if (syntax_.wordsTouchNumbers) {
    std::size_t digit = 0;
    while (digit < length && !isDigit(pos_[digit])) ++digit;
    const OperatorEntry* op = digit < length ? findOperator(syntax_, {pos_, digit}) : nullptr;
    if (op) return take(digit, TokenKind::Operator, op);
  }
  if (length == 1 && pos_[0] == 'L') {  // the long suffix of a C number: 10L
    ++pos_;
    return std::nullopt;
  }
  return Token{TokenKind::Unknown};
}

// The rest of the run, each character a hexadecimal digit.
double Lexer::readHexDigits() {
  double value = 0;
  for (; !endsRun(*pos_); ++pos_) value = value * 16 + hexDigitValue(*pos_);
  return value;
}

// Length of the run of name characters at pos_, counted up to `limit`: longer
// runs are no word of the tables.
std::size_t Lexer::runLength(std::size_t limit) const {
  std::size_t length = 0;
  while (length < limit && !endsRun(pos_[length])) ++length;
  return length;
}

Token Lexer::take(std::size_t length, TokenKind kind, const OperatorEntry* op) {
  pos_ += length;
  tokenSeen_ = true;
  return Token{kind, 0, op};
}

Token Lexer::number(double value) {
  tokenSeen_ = true;
  return Token{TokenKind::Number, value};
}

}  // namespace calvex
