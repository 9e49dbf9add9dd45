// The system's UTF-16 names and the analyser's CP932 names with stand-ins
// (platform/file_names.h), in the wide-character type of the Windows API.
#pragma once

#include <string>
#include <string_view>

#include "platform/file_names.h"

namespace platform {

inline std::wstring wideName(std::string_view name) {
  std::u16string utf16 = utf16FromCp932Name(name);
  return std::wstring(utf16.begin(), utf16.end());
}

inline std::string nameFromWide(std::wstring_view wide) {
  std::u16string utf16(wide.begin(), wide.end());
  return cp932NameFromUtf16(utf16);
}

}  // namespace platform
