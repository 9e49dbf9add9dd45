#include <iconv.h>

#include <cerrno>
#include <mutex>

#include "platform/text_encoding.h"

namespace platform {
namespace {

// Converts with iconv; characters that do not convert become '?'.
std::string convert(const char* to, const char* from, std::string_view text, bool* ok) {
  if (ok) *ok = true;
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    if (ok) *ok = false;
    return std::string(text);
  }
  std::string out;
  out.resize(text.size() * 3 + 8);
  char* in = const_cast<char*>(text.data());
  size_t inLeft = text.size();
  char* dst = out.data();
  size_t outLeft = out.size();
  while (inLeft > 0) {
    if (iconv(cd, &in, &inLeft, &dst, &outLeft) != static_cast<size_t>(-1)) break;
    if (errno == E2BIG) {
      size_t used = dst - out.data();
      out.resize(out.size() * 2);
      dst = out.data() + used;
      outLeft = out.size() - used;
      continue;
    }
    if (ok) *ok = false;  // invalid or incomplete sequence: skip one byte
    ++in;
    --inLeft;
    if (outLeft == 0) continue;
    *dst++ = '?';
    --outLeft;
  }
  out.resize(dst - out.data());
  iconv_close(cd);
  return out;
}

// The converters of single characters live for the run and keep their
// place inside: one thread at a time (a report is written beside others).
std::mutex& characterConverterLock() {
  static std::mutex lock;
  return lock;
}

}  // namespace

int utf16UnitToCp932(std::uint16_t unit, char out[2]) {
  if (unit < 0x80) {
    out[0] = static_cast<char>(unit);
    return 1;
  }
  if (unit >= 0xD800 && unit <= 0xDFFF) return 0;
  std::lock_guard<std::mutex> guard(characterConverterLock());
  static iconv_t cd = iconv_open("CP932", "UTF-16LE");
  if (cd == reinterpret_cast<iconv_t>(-1)) return 0;
  char in[2] = {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
  char* src = in;
  size_t inLeft = 2;
  char* dst = out;
  size_t outLeft = 2;
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  if (iconv(cd, &src, &inLeft, &dst, &outLeft) == static_cast<size_t>(-1)) return 0;
  return static_cast<int>(2 - outLeft);
}

std::uint16_t cp932CharToUtf16(const char* bytes, int length) {
  std::lock_guard<std::mutex> guard(characterConverterLock());
  static iconv_t cd = iconv_open("UTF-16LE", "CP932");
  if (cd == reinterpret_cast<iconv_t>(-1) || length < 1 || length > 2) return 0;
  char in[2] = {bytes[0], length == 2 ? bytes[1] : '\0'};
  char* src = in;
  size_t inLeft = static_cast<size_t>(length);
  unsigned char out[4];
  char* dst = reinterpret_cast<char*>(out);
  size_t outLeft = sizeof out;
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  if (iconv(cd, &src, &inLeft, &dst, &outLeft) == static_cast<size_t>(-1) || outLeft != 2) return 0;
  return static_cast<std::uint16_t>(out[0] | (out[1] << 8));
}

std::string cp932RunToUtf8(std::string_view text, bool* ok) {
  bool all = true;
  std::string out = convert("UTF-8", "CP932", text, &all);
  if (ok && !all) *ok = false;
  return out;
}

std::string utf8ToCp932(std::string_view text, bool* ok) {
  return convert("CP932", "UTF-8", text, ok);
}

}  // namespace platform
