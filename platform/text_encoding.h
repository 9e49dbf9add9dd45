// Conversions between CP932 (the analyser's text everywhere inside) and the
// encodings met at the boundary: UTF-16 source files, UTF-8 file names and
// terminals on POSIX.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// A CP932 lead byte: the first byte of a double-byte character.
inline bool isShiftJisLead(unsigned char c) {
  return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// One UTF-16 code unit as CP932 bytes into out[0..1]; returns the number of
// bytes written (1 or 2), or 0 when CP932 has no such character.
int utf16UnitToCp932(std::uint16_t unit, char out[2]);

// One CP932 character (one byte, or a lead byte and its trail byte) as a
// UTF-16 code unit; 0 when CP932 defines no such character.
std::uint16_t cp932CharToUtf16(const char* bytes, int length);

// Whole-string conversions; `ok` (when given) tells whether every character
// converted. Characters that do not convert are replaced by '?': in CP932
// text each byte that forms no character (a lone trail byte, a lead byte
// without its trail, the user-defined area) is one '?' on every platform.
std::string cp932ToUtf8(std::string_view text, bool* ok = nullptr);
std::string utf8ToCp932(std::string_view text, bool* ok = nullptr);

// The system's conversion of CP932 text whose bytes all form characters
// (cp932ToUtf8 hands it the runs between the others); clears `ok` when a
// character has no Unicode form.
std::string cp932RunToUtf8(std::string_view text, bool* ok);

}  // namespace platform
