#include <windows.h>

#include <vector>

#include "platform/profile.h"
#include "platform/text_encoding.h"
#include "platform/wide_names_win32.h"

namespace platform {
namespace {

// Sections, keys and values are the INI file's CP932 text; only the file's
// path is a name (with stand-ins).
std::wstring widen(std::string_view text) {
  if (text.empty()) return std::wstring();
  int n = MultiByteToWideChar(932, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(n, L'\0');
  MultiByteToWideChar(932, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
  return wide;
}

std::string narrow(std::wstring_view wide) {
  if (wide.empty()) return std::string();
  int size = static_cast<int>(wide.size());
  int n = WideCharToMultiByte(932, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  std::string text(n, '\0');
  WideCharToMultiByte(932, 0, wide.data(), size, text.data(), n, nullptr, nullptr);
  return text;
}

// At most `limit` bytes, never half a double-byte character.
std::string cut(std::string text, size_t limit) {
  size_t end = 0;
  while (end < text.size()) {
    size_t width = isShiftJisLead(static_cast<unsigned char>(text[end])) ? 2 : 1;
    if (end + width > limit) break;
    end += width;
  }
  text.resize(end < text.size() ? end : text.size());
  return text;
}

}  // namespace

std::string readProfileString(std::string_view section, std::string_view key,
                              std::string_view fallback, const std::string& iniPath,
                              size_t bufferSize) {
  if (bufferSize == 0) return std::string();
  std::vector<wchar_t> buffer(bufferSize, 0);
  DWORD n = GetPrivateProfileStringW(widen(section).c_str(), widen(key).c_str(),
                                     widen(fallback).c_str(), buffer.data(),
                                     static_cast<DWORD>(bufferSize), wideName(iniPath).c_str());
  return cut(narrow(std::wstring_view(buffer.data(), n)), bufferSize - 1);
}

bool writeProfileString(std::string_view section, std::string_view key, std::string_view value,
                        const std::string& iniPath) {
  return WritePrivateProfileStringW(widen(section).c_str(), widen(key).c_str(),
                                    widen(value).c_str(), wideName(iniPath).c_str()) != 0;
}

}  // namespace platform
