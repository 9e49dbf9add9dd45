// Small text helpers shared by every layer: decimal reading with the C
// library's leniency (but no overflow), ASCII case folding that leaves
// Shift-JIS double-byte characters alone, and path splitting.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "platform/text_encoding.h"

// Leading blanks, an optional sign, then digits; anything else ends the
// number. No digits read as 0; values beyond 32 bits saturate.
std::int32_t parseDecimal(std::string_view text);

// Decimal text of a number.
std::string decimalText(long long n);

using platform::isShiftJisLead;

// ASCII-case-insensitive equality; double-byte characters compare exactly.
bool equalsIgnoreCase(std::string_view a, std::string_view b);

// Byte-wise comparison with ASCII letters folded to lower case (so '_'
// sorts before the letters, as the C library's case-blind order has it), skipping
// the second byte of double-byte characters from folding. <0, 0, >0.
int compareIgnoreCase(std::string_view a, std::string_view b);

// Up to eight bytes of names as one word, byte k at bits 8k (missing bytes
// 0), and such a word of ASCII bytes with 'A'..'Z' lowered all at once:
// the comparison and the name hash take names a word at a time.
inline std::uint64_t nameWord(const char* bytes, size_t count) {
  if (std::endian::native == std::endian::little) {
    auto at = [bytes](size_t k) { return std::uint64_t{static_cast<unsigned char>(bytes[k])}; };
    std::uint64_t w = 0;
    if (count >= 8) {
      std::memcpy(&w, bytes, 8);
    } else if (count >= 4) {  // two loads that overlap in the middle
      std::uint32_t low, high;
      std::memcpy(&low, bytes, 4);
      std::memcpy(&high, bytes + count - 4, 4);
      w = low | (std::uint64_t{high} << (8 * (count - 4)));
    } else if (count > 0) {
      w = at(0) | (at(count / 2) << (8 * (count / 2))) | (at(count - 1) << (8 * (count - 1)));
    }
    return w;
  }
  std::uint64_t w = 0;
  for (size_t k = 0; k < count && k < 8; ++k)
    w |= std::uint64_t{static_cast<unsigned char>(bytes[k])} << (8 * k);
  return w;
}
inline std::uint64_t lowerAsciiWord(std::uint64_t w) {
  constexpr std::uint64_t kOnes = 0x0101010101010101ull;
  std::uint64_t atLeastA = w + kOnes * (0x80 - 'A');
  std::uint64_t aboveZ = w + kOnes * (0x80 - 'Z' - 1);
  return w | ((atLeastA & ~aboveZ & (kOnes * 0x80)) >> 2);
}
inline constexpr std::uint64_t kNameWordHighBits = 0x8080808080808080ull;

// Position of the last path separator ('\' or '/'), or npos. The second
// byte of a double-byte character is never taken for a separator.
size_t lastSeparator(std::string_view path);

// "dir\name" -> "dir\" and "name" (the directory keeps its separator).
std::string directoryPart(std::string_view path);
std::string fileNamePart(std::string_view path);

// Whether `path` names its file without a starting folder: it begins with
// a separator ("/src/x.h", "\src\x.h") or holds a drive ("c:x.h").
bool isAbsolutePath(std::string_view path);

// Text after the last '.', or empty when there is none.
std::string_view extensionOf(std::string_view fileName);
