#include "platform/profile.h"

#include <cstdint>

#include "platform/settings_text.h"
#include "platform/text_encoding.h"

namespace platform {
namespace {

// UTF-16 little-endian text after its byte-order mark, as CP932; what
// CP932 lacks becomes '?', as the system's conversion has it.
std::string cp932FromUtf16(std::string_view bytes) {
  std::string out;
  for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
    auto unit = static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[i]) |
                                           static_cast<unsigned char>(bytes[i + 1]) << 8);
    char cp932[2];
    int n = utf16UnitToCp932(unit, cp932);
    if (n > 0)
      out.append(cp932, n);
    else
      out += '?';
  }
  return out;
}

SettingsText iniText(const std::string& iniPath, FileSet& files) {
  SettingsText text = readSettingsText(files, iniPath);
  if (text.bytes.size() >= 2 && text.bytes[0] == '\xFF' && text.bytes[1] == '\xFE')
    text.bytes = cp932FromUtf16(text.bytes);
  return text;
}

}  // namespace

ProfileReader::ProfileReader(const std::string& iniPath, FileSet& files)
    : ProfileReader(iniText(iniPath, files)) {}

ProfileReader::ProfileReader(const SettingsText& text)
    : problem_(text.problem), index_(text.bytes) {}

std::string ProfileReader::read(std::string_view section, std::string_view key,
                                std::string_view fallback, size_t bufferSize) const {
  return index_.lookup(section, key, fallback, bufferSize);
}

}  // namespace platform
