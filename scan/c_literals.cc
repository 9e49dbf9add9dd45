#include "scan/c_literals.h"

namespace {

int digitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return 99;
}

bool isSuffix(std::string_view rest) {
  int u = 0, l = 0;
  for (size_t i = 0; i < rest.size(); ++i) {
    char c = rest[i];
    if (c == 'u' || c == 'U') {
      if (++u > 1) return false;
    } else if (c == 'l' || c == 'L') {
      // "l", "L", "ll" or "LL", once.
      if (l++ > 0) return false;
      if (i + 1 < rest.size() && rest[i + 1] == c) ++i;
    } else {
      return false;
    }
  }
  return true;
}

// One character of a constant at text[pos]: a byte, or an escape sequence.
bool nextCharacter(std::string_view text, size_t& pos, std::uint32_t& out) {
  if (pos >= text.size()) return false;
  unsigned char c = static_cast<unsigned char>(text[pos++]);
  if (c != '\\') {
    out = c;
    return true;
  }
  if (pos >= text.size()) return false;
  char e = text[pos++];
  switch (e) {
    case 'n':
      out = '\n';
      return true;
    case 't':
      out = '\t';
      return true;
    case 'r':
      out = '\r';
      return true;
    case 'a':
      out = '\a';
      return true;
    case 'b':
      out = '\b';
      return true;
    case 'f':
      out = '\f';
      return true;
    case 'v':
      out = '\v';
      return true;
    case 'x': {
      std::uint32_t v = 0;
      size_t start = pos;
      while (pos < text.size() && digitValue(text[pos]) < 16) v = v * 16 + digitValue(text[pos++]);
      out = v & 0xFF;
      return pos > start;
    }
    default:
      if (e >= '0' && e <= '7') {
        std::uint32_t v = static_cast<std::uint32_t>(e - '0');
        for (int k = 0; k < 2 && pos < text.size() && text[pos] >= '0' && text[pos] <= '7'; ++k)
          v = v * 8 + static_cast<std::uint32_t>(text[pos++] - '0');
        out = v & 0xFF;
        return true;
      }
      out = static_cast<unsigned char>(e);  // \\ \' \" \? and the unknown ones
      return true;
  }
}

}  // namespace

bool integerConstantValue(std::string_view word, std::uint64_t& value) {
  if (word.empty() || word[0] < '0' || word[0] > '9') return false;
  int base = 10;
  size_t pos = 0;
  if (word.size() > 1 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X')) {
    base = 16;
    pos = 2;
  } else if (word.size() > 1 && word[0] == '0' && (word[1] == 'b' || word[1] == 'B')) {
    base = 2;
    pos = 2;
  } else if (word[0] == '0') {
    base = 8;
  }
  size_t start = pos;
  value = 0;
  while (pos < word.size() && digitValue(word[pos]) < base)
    value = value * static_cast<std::uint64_t>(base) +
            static_cast<std::uint64_t>(digitValue(word[pos++]));
  if (pos == start && base != 8) return false;
  return isSuffix(word.substr(pos));
}

bool characterConstantValue(std::string_view text, size_t& pos, std::int64_t& value) {
  if (pos >= text.size() || text[pos] != '\'') return false;
  size_t at = pos + 1;
  std::uint32_t combined = 0;
  int count = 0;
  std::uint32_t last = 0;
  while (at < text.size() && text[at] != '\'') {
    if (!nextCharacter(text, at, last)) return false;
    combined = (combined << 8) | last;
    ++count;
  }
  if (at >= text.size() || count == 0) return false;
  pos = at + 1;
  value = count == 1 ? static_cast<std::int64_t>(static_cast<signed char>(last))
                     : static_cast<std::int64_t>(static_cast<std::int32_t>(combined));
  return true;
}
