#include "app/text_util.h"

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

constexpr std::uint64_t kHighBits = 0x8080808080808080ull;

// The first position below `n` where the bytes differ or either is not
// ASCII, taking equal ASCII words eight bytes at a time.
size_t equalAsciiPrefix(const char* a, const char* b, size_t n) {
  size_t i = 0;
  for (; i + 8 <= n; i += 8) {
    std::uint64_t x, y;
    std::memcpy(&x, a + i, 8);
    std::memcpy(&y, b + i, 8);
    if (x != y || ((x | y) & kHighBits)) break;
  }
  while (i < n && a[i] == b[i] && !(static_cast<unsigned char>(a[i]) & 0x80)) ++i;
  return i;
}

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
// mostly ASCII: the common prefix is passed a word at a time, and the
// double-byte watch starts only at the first byte that is not ASCII.
int compareIgnoreCase(std::string_view a, std::string_view b) {
  size_t n = a.size() < b.size() ? a.size() : b.size();
  size_t i = 0;
  for (;;) {
    i += equalAsciiPrefix(a.data() + i, b.data() + i, n - i);
    if (i == n) break;
    unsigned char x = a[i], y = b[i];
    if ((x | y) & 0x80) return compareFoldedFrom(a, b, i);
    x = lower(x), y = lower(y);
    if (x != y) return x < y ? -1 : 1;
    ++i;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

// As compareIgnoreCase(a, b) == 0.
bool equalsIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  if (std::memcmp(a.data(), b.data(), a.size()) == 0) return true;
  return compareIgnoreCase(a, b) == 0;
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
