#include <cstdio>
#include <string>

#include "platform/file_system.h"
#include "platform/ini_text.h"
#include "platform/profile.h"
#include "platform/settings_text.h"

namespace platform {

// The file is rewritten whole with the one key changed; a file that could
// not be read as an INI file is left alone.
bool writeProfileString(std::string_view section, std::string_view key, std::string_view value,
                        const std::string& iniPath) {
  SettingsText old = readSettingsText(diskFiles(), iniPath);
  if (old.problem != FileProblem::kNone && old.problem != FileProblem::kMissing) return false;
  std::string text = iniAssign(old.bytes, section, key, value);
  std::FILE* f = openFile(iniPath, "wb");
  if (!f) return false;
  bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  return std::fclose(f) == 0 && ok;
}

}  // namespace platform
