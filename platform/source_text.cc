#include "platform/source_text.h"

#include <cstdint>
#include <cstring>

#include "platform/file_names.h"
#include "platform/text_encoding.h"

namespace platform {
namespace {

bool isTrail(unsigned char c) { return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFC); }
bool isHalfWidthKana(unsigned char c) { return c >= 0xA1 && c <= 0xDF; }
bool isEucByte(unsigned char c) { return c >= 0xA1 && c <= 0xFE; }

// What one reading of a sample met: characters it could not read, and the
// characters that tell that it is the right one.
struct Reading {
  int invalid = 0;
  int telling = 0;
  int characters = 0;  // of two bytes or more
};

// Shift-JIS, as the reader pairs it (lead bytes up to 0xEF): telling are
// the double-byte characters.
Reading readAsShiftJis(const unsigned char* p, size_t n, bool complete) {
  Reading r;
  for (size_t i = firstHighByte(p, 0, n); i < n; i = firstHighByte(p, i + 1, n)) {
    unsigned char c = p[i];
    if (isHalfWidthKana(c)) continue;
    bool lead = isShiftJisLead(c) && c <= 0xEF;
    if (lead && i + 1 == n && !complete) break;
    if (lead && i + 1 < n && isTrail(p[i + 1])) {
      ++r.telling;
      ++r.characters;
      ++i;
    } else {
      ++r.invalid;
    }
  }
  return r;
}

// EUC-JP: telling are the kana and the Japanese punctuation (rows 4, 5
// and 1, lead bytes 0xA4, 0xA5 and 0xA1), which Japanese text is seldom
// without.
Reading readAsEucJp(const unsigned char* p, size_t n, bool complete) {
  Reading r;
  for (size_t i = firstHighByte(p, 0, n); i < n; i = firstHighByte(p, i + 1, n)) {
    unsigned char c = p[i];
    size_t length = c == 0x8F ? 3 : 2;
    if (i + length > n && !complete) break;
    bool valid = i + length <= n;
    if (valid && c == 0x8E)
      valid = isHalfWidthKana(p[i + 1]);
    else if (valid && c == 0x8F)
      valid = isEucByte(p[i + 1]) && isEucByte(p[i + 2]);
    else if (valid)
      valid = isEucByte(c) && isEucByte(p[i + 1]);
    if (!valid) {
      ++r.invalid;
      continue;
    }
    if (c == 0xA1 || c == 0xA4 || c == 0xA5) ++r.telling;
    ++r.characters;
    i += length - 1;
  }
  return r;
}

// Well-formed UTF-8 with at least one sequence of two bytes or more.
bool isUtf8(std::string_view s, bool complete) {
  bool multiByte = false;
  const auto* bytes = reinterpret_cast<const unsigned char*>(s.data());
  for (size_t i = firstHighByte(bytes, 0, s.size()); i < s.size();
       i = firstHighByte(bytes, i, s.size())) {
    unsigned char b = bytes[i];
    char32_t c = 0;
    size_t n = readUtf8Character(s, i, &c);
    if (n == 0) {
      size_t length = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : 2;
      return !complete && b >= 0xC2 && i + length > s.size() && multiByte;
    }
    multiByte = true;
    i += n;
  }
  return multiByte;
}

// JIS row and cell (0x21-0x7E each) as a Shift-JIS pair.
void appendShiftJisOfJis(unsigned char row, unsigned char cell, std::string& out) {
  unsigned lead = ((row - 0x21u) >> 1) + 0x81u;
  if (lead > 0x9F) lead += 0x40;
  unsigned trail;
  if (row & 1)
    trail = cell + (cell >= 0x60 ? 0x20u : 0x1Fu);
  else
    trail = cell + 0x7Eu;
  out += static_cast<char>(lead);
  out += static_cast<char>(trail);
}

}  // namespace

size_t firstHighByte(const unsigned char* bytes, size_t from, size_t size) {
  constexpr std::uint64_t kHighBits = 0x8080808080808080u;
  size_t i = from;
  for (; i + 8 <= size; i += 8) {
    std::uint64_t word;
    std::memcpy(&word, bytes + i, 8);
    if (word & kHighBits) break;
  }
  while (i < size && bytes[i] < 0x80) ++i;
  return i;
}

SourceText recogniseSourceText(std::string_view sample, bool complete) {
  if (isUtf8(sample, complete)) return SourceText::kUtf8;
  const auto* p = reinterpret_cast<const unsigned char*>(sample.data());
  Reading sjis = readAsShiftJis(p, sample.size(), complete);
  Reading euc = readAsEucJp(p, sample.size(), complete);
  // Text of another single-byte code page (Cyrillic, Latin) reads as
  // EUC-JP kanji more often than as Shift-JIS, but it holds no kana.
  if (euc.telling == 0) return SourceText::kShiftJis;
  if (sjis.invalid != euc.invalid)
    return euc.invalid < sjis.invalid ? SourceText::kEucJp : SourceText::kShiftJis;
  // Half-width katakana read as EUC-JP pairs now and then make a kana (a
  // lead byte 0xA1, 0xA4 or 0xA5, three of the 63 they can be); Japanese
  // text has kana in a quarter of its characters and more.
  bool kanaShare = euc.telling * 4 >= euc.characters;
  return kanaShare && euc.telling > sjis.telling ? SourceText::kEucJp : SourceText::kShiftJis;
}

void appendCp932FromEucJp(std::string_view eucJp, std::string& out) {
  const auto* p = reinterpret_cast<const unsigned char*>(eucJp.data());
  const size_t n = eucJp.size();
  out.reserve(out.size() + n);
  for (size_t i = 0; i < n;) {
    size_t plain = i;
    while (plain < n && p[plain] < 0x80) ++plain;
    out.append(eucJp.data() + i, plain - i);
    i = plain;
    if (i >= n) break;
    unsigned char c = p[i];
    if (c == 0x8E && i + 1 < n && isHalfWidthKana(p[i + 1])) {
      out += static_cast<char>(p[i + 1]);
      i += 2;
    } else if (c == 0x8F && i + 2 < n && isEucByte(p[i + 1]) && isEucByte(p[i + 2])) {
      out += "〓";
      i += 3;
    } else if (isEucByte(c) && i + 1 < n && isEucByte(p[i + 1])) {
      appendShiftJisOfJis(c - 0x80, p[i + 1] - 0x80, out);
      i += 2;
    } else {
      out += '?';
      ++i;
    }
  }
}

void appendCp932FromUtf8(std::string_view utf8, std::string& out) {
  out.reserve(out.size() + utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    size_t plain = i;
    while (plain < utf8.size() && static_cast<unsigned char>(utf8[plain]) < 0x80) ++plain;
    out.append(utf8.data() + i, plain - i);
    i = plain;
    if (i >= utf8.size()) break;
    char32_t c = 0;
    size_t n = readUtf8Character(utf8, i, &c);
    if (n == 0) {
      c = 0xFFFD;
      n = 1;
    }
    appendCp932Character(out, c);
    i += n;
  }
}

void appendCp932FromUtf16(std::string_view utf16le, std::string& out) {
  out.reserve(out.size() + utf16le.size() / 2);
  auto unitAt = [&](size_t i) {
    return static_cast<char32_t>(static_cast<unsigned char>(utf16le[i]) |
                                 static_cast<unsigned char>(utf16le[i + 1]) << 8);
  };
  for (size_t i = 0; i + 1 < utf16le.size(); i += 2) {
    char32_t c = unitAt(i);
    if (c < 0x80) {
      out += static_cast<char>(c);
      continue;
    }
    bool high = c >= 0xD800 && c <= 0xDBFF;
    if (high && i + 3 < utf16le.size()) {
      char32_t low = unitAt(i + 2);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
        i += 2;
      }
    }
    appendCp932Character(out, c);
  }
}

}  // namespace platform
