#include "platform/profile.h"

namespace platform {

bool writeProfileString(std::string_view section, std::string_view key, std::string_view value,
                        const std::string& iniPath) {
  return rewriteProfileString(section, key, value, iniPath);
}

}  // namespace platform
