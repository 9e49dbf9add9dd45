#include <windows.h>

#include "platform/text_encoding.h"

namespace platform {
namespace {

std::wstring widen(std::string_view text, UINT codePage, bool* ok) {
  if (text.empty()) return std::wstring();
  int n = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring w(n, L'\0');
  MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), w.data(), n);
  if (ok && n == 0) *ok = false;
  return w;
}

std::string narrow(const std::wstring& w, UINT codePage, bool* ok) {
  if (w.empty()) return std::string();
  BOOL lost = FALSE;
  BOOL* lostPtr = codePage == CP_UTF8 ? nullptr : &lost;
  int n = WideCharToMultiByte(codePage, 0, w.data(), static_cast<int>(w.size()), nullptr, 0,
                              nullptr, lostPtr);
  std::string s(n, '\0');
  WideCharToMultiByte(codePage, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr,
                      lostPtr);
  if (ok && lost) *ok = false;
  return s;
}

}  // namespace

int utf16UnitToCp932(std::uint16_t unit, char out[2]) {
  if (unit < 0x80) {
    out[0] = static_cast<char>(unit);
    return 1;
  }
  wchar_t w = static_cast<wchar_t>(unit);
  BOOL lost = FALSE;
  int n = WideCharToMultiByte(932, 0, &w, 1, out, 2, nullptr, &lost);
  return lost ? 0 : n;
}

std::uint16_t cp932CharToUtf16(const char* bytes, int length) {
  wchar_t w = 0;
  int n = MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, bytes, length, &w, 1);
  return n == 1 ? static_cast<std::uint16_t>(w) : 0;
}

// A character the code page leaves unassigned is '?' and only its first
// byte is taken, as the POSIX converter does (the system would give U+30FB).
std::string cp932RunToUtf8(std::string_view text, bool* ok) {
  const int size = static_cast<int>(text.size());
  if (size > 0 && MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, text.data(), size, nullptr, 0) > 0)
    return narrow(widen(text, 932, ok), CP_UTF8, ok);
  std::wstring w;
  for (int i = 0; i < size;) {
    int length = isShiftJisLead(static_cast<unsigned char>(text[i])) && i + 1 < size ? 2 : 1;
    std::uint16_t unit = cp932CharToUtf16(text.data() + i, length);
    if (unit != 0 || text[i] == '\0') {
      w += static_cast<wchar_t>(unit);
      i += length;
    } else {
      w += L'?';
      if (ok) *ok = false;
      ++i;
    }
  }
  return narrow(w, CP_UTF8, ok);
}

std::string utf8ToCp932(std::string_view text, bool* ok) {
  if (ok) *ok = true;
  return narrow(widen(text, CP_UTF8, ok), 932, ok);
}

}  // namespace platform
