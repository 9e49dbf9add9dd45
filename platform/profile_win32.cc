#include <windows.h>

#include <vector>

#include "platform/profile.h"

namespace platform {

std::string readProfileString(std::string_view section, std::string_view key,
                              std::string_view fallback, const std::string& iniPath,
                              size_t bufferSize) {
  if (bufferSize == 0) return std::string();
  std::vector<char> buffer(bufferSize, 0);
  std::string s(section), k(key), d(fallback);
  DWORD n = GetPrivateProfileStringA(s.c_str(), k.c_str(), d.c_str(), buffer.data(),
                                     static_cast<DWORD>(bufferSize), iniPath.c_str());
  return std::string(buffer.data(), n);
}

bool writeProfileString(std::string_view section, std::string_view key, std::string_view value,
                        const std::string& iniPath) {
  std::string s(section), k(key), v(value);
  return WritePrivateProfileStringA(s.c_str(), k.c_str(), v.c_str(), iniPath.c_str()) != 0;
}

}  // namespace platform
