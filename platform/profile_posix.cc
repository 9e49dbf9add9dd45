#include <cstdio>
#include <string>

#include "platform/file_system.h"
#include "platform/ini_text.h"
#include "platform/profile.h"

namespace platform {
namespace {

std::string readWhole(const std::string& path) {
  std::string text;
  std::FILE* f = openFile(path, "rb");
  if (!f) return text;
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) text.append(buffer, n);
  std::fclose(f);
  return text;
}

}  // namespace

std::string readProfileString(std::string_view section, std::string_view key,
                              std::string_view fallback, const std::string& iniPath,
                              size_t bufferSize) {
  return iniLookup(readWhole(iniPath), section, key, fallback, bufferSize);
}

bool writeProfileString(std::string_view section, std::string_view key, std::string_view value,
                        const std::string& iniPath) {
  std::string text = iniAssign(readWhole(iniPath), section, key, value);
  std::FILE* f = openFile(iniPath, "wb");
  if (!f) return false;
  bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  return std::fclose(f) == 0 && ok;
}

}  // namespace platform
