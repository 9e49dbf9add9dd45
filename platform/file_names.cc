#include "platform/file_names.h"

#include <atomic>
#include <cstdint>
#include <cstdio>

#include "platform/text_encoding.h"

namespace platform {
namespace {

constexpr char32_t kReplacement = 0xFFFD;
// A byte of a POSIX name that is no UTF-8 rides on the code point
// kRawByte + byte, as lone low surrogates, which no UTF-8 text holds.
constexpr char32_t kRawByte = 0xDC00;

int hexDigit(char32_t c) {
  if (c >= '0' && c <= '9') return static_cast<int>(c - '0');
  if (c >= 'A' && c <= 'F') return static_cast<int>(c - 'A' + 10);
  return -1;
}

char32_t codeOf(char c) { return static_cast<unsigned char>(c); }
char32_t codeOf(char32_t c) { return c; }

// The length of the stand-in "[U+XXXX]" at text[at] and its character, or
// 0 when there is none. Text is CP932 bytes or code points alike.
template <class Text>
size_t readStandIn(const Text& text, size_t at, char32_t* character) {
  auto code = [&](size_t i) -> char32_t { return i < text.size() ? codeOf(text[i]) : 0; };
  if (code(at) != '[' || code(at + 1) != 'U' || code(at + 2) != '+') return 0;
  char32_t value = 0;
  size_t i = at + 3;
  for (; i < at + 9 && hexDigit(code(i)) >= 0; ++i) value = value * 16 + hexDigit(code(i));
  if (i < at + 7 || code(i) != ']' || value > 0x10FFFF) return 0;
  if (character) *character = value;
  return i + 1 - at;
}

void appendStandIn(std::string& out, char32_t c) {
  char text[16];
  std::snprintf(text, sizeof text, "[U+%04X]", static_cast<unsigned>(c));
  out += text;
}

// The system's converters take a lock and a call per character; text
// converted whole (a source file, a report) asks for the same few thousand
// characters again and again, so each answer is kept. An entry is 0 while
// unknown and kNone for a character without a counterpart; entries are
// filled by whichever thread asks first, each the same answer.
constexpr std::uint16_t kNone = 0xFFFF;
std::atomic<std::uint16_t> cp932OfUnit[0x10000];      // by UTF-16 unit: CP932 code
std::atomic<std::uint16_t> unitOfCp932Pair[0x10000];  // by lead << 8 | trail: UTF-16 unit

// The CP932 code (one byte, or lead << 8 | trail) that comes back as the
// BMP character `c`, or kNone.
std::uint16_t cp932CodeOf(char32_t c) {
  std::uint16_t known = cp932OfUnit[c].load(std::memory_order_relaxed);
  if (known) return known;
  char bytes[2];
  int n = utf16UnitToCp932(static_cast<std::uint16_t>(c), bytes);
  std::uint16_t code = kNone;
  if (n > 0 && cp932CharToUtf16(bytes, n) == c)
    code = n == 1 ? static_cast<unsigned char>(bytes[0])
                  : static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[0]) << 8 |
                                               static_cast<unsigned char>(bytes[1]));
  cp932OfUnit[c].store(code, std::memory_order_relaxed);
  return code;
}

// The character of a CP932 lead and trail byte, or kReplacement.
char32_t characterOfPair(unsigned char lead, unsigned char trail) {
  std::atomic<std::uint16_t>& entry = unitOfCp932Pair[lead << 8 | trail];
  std::uint16_t known = entry.load(std::memory_order_relaxed);
  if (!known) {
    char bytes[2] = {static_cast<char>(lead), static_cast<char>(trail)};
    known = cp932CharToUtf16(bytes, 2);
    if (!known) known = kNone;
    entry.store(known, std::memory_order_relaxed);
  }
  return known == kNone ? kReplacement : known;
}

bool isTrailByte(unsigned char c) { return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFC); }

// The character of the CP932 bytes at text[at] and their number: a lead
// byte takes its trail byte with it only when that is a trail byte.
size_t readCp932(std::string_view text, size_t at, char32_t* character) {
  unsigned char b = static_cast<unsigned char>(text[at]);
  if (b < 0x80) {
    *character = b;
    return 1;
  }
  if (b >= 0xA1 && b <= 0xDF) {  // half-width katakana
    *character = 0xFF61 + (b - 0xA1);
    return 1;
  }
  if (isShiftJisLead(b) && at + 1 < text.size() &&
      isTrailByte(static_cast<unsigned char>(text[at + 1]))) {
    *character = characterOfPair(b, static_cast<unsigned char>(text[at + 1]));
    return 2;
  }
  *character = kReplacement;
  return 1;
}

// A control character would break a log line or a report row, or hide in it.
bool isControl(char32_t c) { return c < 0x20 || c == 0x7F; }

std::string cp932NameFrom(const std::u32string& characters) {
  std::string out;
  for (size_t i = 0; i < characters.size(); ++i) {
    char32_t c = characters[i];
    if ((c == '[' && readStandIn(characters, i, nullptr)) || isControl(c))
      appendStandIn(out, c);
    else if (c < 0x80)
      out += static_cast<char>(c);
    else
      appendCp932Character(out, c);
  }
  return out;
}

// The characters of a name, each stand-in read as its character.
std::u32string charactersOfCp932Name(std::string_view name) {
  std::u32string out;
  for (size_t i = 0; i < name.size();) {
    char32_t standIn = 0;
    if (size_t n = readStandIn(name, i, &standIn)) {
      out += standIn;
      i += n;
      continue;
    }
    char32_t c = 0;
    i += readCp932(name, i, &c);
    out += c;
  }
  return out;
}

void appendUtf8(std::string& out, char32_t c) {
  if (c >= kRawByte + 0x80 && c <= kRawByte + 0xFF) {
    out += static_cast<char>(c - kRawByte);
  } else if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// Most names are plain ASCII: they are the same in every encoding.
bool isPlain(std::string_view text) {
  for (char c : text)
    if (static_cast<unsigned char>(c) >= 0x80 || c == '[' ||
        isControl(static_cast<unsigned char>(c)))
      return false;
  return true;
}

}  // namespace

std::string cp932NameFromUtf8(std::string_view utf8) {
  if (isPlain(utf8)) return std::string(utf8);
  std::u32string characters;
  for (size_t i = 0; i < utf8.size();) {
    unsigned char b = static_cast<unsigned char>(utf8[i]);
    char32_t c = b;
    size_t n = b < 0x80 ? 1 : readUtf8Character(utf8, i, &c);
    if (n == 0) {
      c = kRawByte + b;
      n = 1;
    }
    characters += c;
    i += n;
  }
  return cp932NameFrom(characters);
}

std::string utf8FromCp932Name(std::string_view name) {
  if (isPlain(name)) return std::string(name);
  std::string out;
  for (char32_t c : charactersOfCp932Name(name)) appendUtf8(out, c);
  return out;
}

std::string utf8TextForTerminal(std::string_view text) {
  std::string out;
  appendUtf8Text(text, true, false, out);
  return out;
}

// The longest stand-in, "[U+10FFFF]".
constexpr size_t kLongestStandIn = 10;

size_t appendUtf8Text(std::string_view text, bool complete, bool crLf, std::string& out) {
  out.reserve(out.size() + text.size() + text.size() / 2);
  size_t i = 0;
  while (i < text.size()) {
    // A run of plain bytes goes at once.
    size_t plain = i;
    while (plain < text.size()) {
      unsigned char b = static_cast<unsigned char>(text[plain]);
      if (b >= 0x80 || b == '[' || b == '\n') break;
      ++plain;
    }
    out.append(text.data() + i, plain - i);
    i = plain;
    if (i >= text.size()) break;
    unsigned char b = static_cast<unsigned char>(text[i]);
    if (b == '\n') {
      out += crLf ? "\r\n" : "\n";
      ++i;
      continue;
    }
    char32_t c = b;
    size_t n = b == '[' ? readStandIn(text, i, &c) : 0;
    if (b == '[' && n == 0 && !complete && text.size() - i < kLongestStandIn) break;
    if (n && isControl(c)) {
      out.append(text.data() + i, n);
    } else if (n) {
      appendUtf8(out, c);
    } else if (b == '[') {
      out += '[';
      n = 1;
    } else {
      if (!complete && i + 1 == text.size() && isShiftJisLead(b)) break;
      n = readCp932(text, i, &c);
      appendUtf8(out, c);
    }
    i += n;
  }
  return i;
}

// The length of the UTF-8 sequence at s[at] and its character; 0 when the
// bytes there are no well-formed UTF-8.
size_t readUtf8Character(std::string_view s, size_t at, char32_t* character) {
  unsigned char b = static_cast<unsigned char>(s[at]);
  int length = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC2 ? 2 : 0;
  if (b >= 0xF5 || length == 0 || at + length > s.size()) return 0;
  char32_t c = b & (0x7F >> length);
  for (int k = 1; k < length; ++k) {
    unsigned char t = static_cast<unsigned char>(s[at + k]);
    if ((t & 0xC0) != 0x80) return 0;
    c = (c << 6) | (t & 0x3F);
  }
  bool shortest = (length == 3 && c >= 0x800) || (length == 4 && c >= 0x10000) || length == 2;
  if (!shortest || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) return 0;
  *character = c;
  return static_cast<size_t>(length);
}

// A character is written in CP932 only when it comes back as itself: the
// conversion's best fits ('e' for 'é') would name another file.
void appendCp932Character(std::string& out, char32_t c) {
  bool bmp = c < 0x10000 && (c < 0xD800 || c > 0xDFFF);
  std::uint16_t code = bmp ? (c < 0x80 ? static_cast<std::uint16_t>(c) : cp932CodeOf(c)) : kNone;
  if (code == kNone)
    appendStandIn(out, c);
  else if (code > 0xFF)
    out.append({static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)});
  else
    out += static_cast<char>(code);
}

std::string cp932NameFromUtf16(std::u16string_view utf16) {
  std::u32string characters;
  for (size_t i = 0; i < utf16.size(); ++i) {
    char32_t c = utf16[i];
    bool pair = c >= 0xD800 && c <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 &&
                utf16[i + 1] <= 0xDFFF;
    if (pair) c = 0x10000 + ((c - 0xD800) << 10) + (utf16[++i] - 0xDC00);
    characters += c;
  }
  return cp932NameFrom(characters);
}

std::u16string utf16FromCp932Name(std::string_view name) {
  std::u16string out;
  for (char32_t c : charactersOfCp932Name(name)) {
    if (c < 0x10000) {
      out += static_cast<char16_t>(c);
    } else {
      out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
      out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    }
  }
  return out;
}

}  // namespace platform
