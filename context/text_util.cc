#include "context/text_util.h"

#include <bit>
#include <cstring>
#include <limits>

std::int32_t parseDecimal(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  long long value = 0;
  const long long limit = std::numeric_limits<std::int32_t>::max();
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > limit + 1) value = limit + 1;
  }
  if (negative) return static_cast<std::int32_t>(-value);
  return static_cast<std::int32_t>(value > limit ? limit : value);
}

std::string decimalText(long long n) { return std::to_string(n); }

namespace {

unsigned char lower(unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + 32 : c; }

// The byte-by-byte comparison from `i`, which is not a trail byte.
int compareFoldedFrom(std::string_view a, std::string_view b, size_t i) {
  size_t n = a.size() < b.size() ? a.size() : b.size();
  bool secondByte = false;
  for (; i < n; ++i) {
    unsigned char x = a[i], y = b[i];
    if (!secondByte) x = lower(x), y = lower(y);
    if (x != y) return x < y ? -1 : 1;
    secondByte = !secondByte && isShiftJisLead(static_cast<unsigned char>(a[i]));
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

}  // namespace

// Letters fold except the trail byte of a double-byte character. Names are
// mostly ASCII: eight bytes are compared at once, folded only where they
// differ; the double-byte watch starts at the first byte that is not ASCII.
int compareIgnoreCase(std::string_view a, std::string_view b) {
  size_t n = a.size() < b.size() ? a.size() : b.size();
  size_t i = 0;
  for (; i + 8 <= n; i += 8) {
    std::uint64_t x = nameWord(a.data() + i, 8);
    std::uint64_t y = nameWord(b.data() + i, 8);
    if ((x | y) & kNameWordHighBits) return compareFoldedFrom(a, b, i);
    if (x == y) continue;
    x = lowerAsciiWord(x);
    y = lowerAsciiWord(y);
    if (x == y) continue;
    int shift = std::countr_zero(x ^ y) & ~7;  // the first byte that differs
    return ((x >> shift) & 0xFF) < ((y >> shift) & 0xFF) ? -1 : 1;
  }
  // The last bytes one by one: most names differ early, where making a
  // word of them would cost more than it saves.
  for (; i < n; ++i) {
    unsigned char x = a[i], y = b[i];
    if ((x | y) & 0x80) return compareFoldedFrom(a, b, i);
    if (x == y) continue;
    x = lower(x), y = lower(y);
    if (x != y) return x < y ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

// As compareIgnoreCase(a, b) == 0.
bool equalsIgnoreCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && compareIgnoreCase(a, b) == 0;
}

size_t lastSeparator(std::string_view path) {
  size_t last = std::string_view::npos;
  for (size_t i = 0; i < path.size(); ++i) {
    unsigned char c = path[i];
    if (isShiftJisLead(c)) {
      ++i;
    } else if (c == '\\' || c == '/') {
      last = i;
    }
  }
  return last;
}

std::string directoryPart(std::string_view path) {
  size_t cut = lastSeparator(path);
  return cut == std::string_view::npos ? std::string() : std::string(path.substr(0, cut + 1));
}

std::string fileNamePart(std::string_view path) {
  size_t cut = lastSeparator(path);
  return std::string(cut == std::string_view::npos ? path : path.substr(cut + 1));
}

bool isAbsolutePath(std::string_view path) {
  return (!path.empty() && (path[0] == '\\' || path[0] == '/')) ||
         path.find(':') != std::string_view::npos;
}

std::string_view extensionOf(std::string_view fileName) {
  size_t dot = fileName.rfind('.');
  return dot == std::string_view::npos ? std::string_view() : fileName.substr(dot + 1);
}
