#include <windows.h>

#include "platform/profile.h"
#include "platform/settings_text.h"
#include "platform/wide_names_win32.h"

namespace platform {
namespace {

// Sections, keys and values are the INI file's CP932 text; only the file's
// path is a name (with stand-ins). Reading is portable (profile.cc), and so
// is writing into a file in UTF-8, which the system's functions would write
// in the code page.
std::wstring widen(std::string_view text) {
  if (text.empty()) return std::wstring();
  int n = MultiByteToWideChar(932, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(n, L'\0');
  MultiByteToWideChar(932, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
  return wide;
}

}  // namespace

bool writeProfileString(std::string_view section, std::string_view key, std::string_view value,
                        const std::string& iniPath) {
  SettingsText old = readSettingsText(diskFiles(), iniPath);
  if (old.problem == FileProblem::kNone && isUtf8IniText(old.bytes))
    return rewriteProfileString(section, key, value, iniPath);
  return WritePrivateProfileStringW(widen(section).c_str(), widen(key).c_str(),
                                    widen(value).c_str(), wideName(iniPath).c_str()) != 0;
}

}  // namespace platform
