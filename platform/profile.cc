#include "platform/profile.h"

#include <cstdint>
#include <cstdio>

#include "platform/file_system.h"
#include "platform/ini_text.h"

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

const char kUtf8Mark[] = "\xEF\xBB\xBF";

bool startsWithUtf8Mark(std::string_view bytes) { return bytes.substr(0, 3) == kUtf8Mark; }

// The length of the UTF-8 sequence at `at`, or 0 when none starts there.
size_t utf8SequenceLength(std::string_view bytes, size_t at) {
  auto c = static_cast<unsigned char>(bytes[at]);
  size_t length = c < 0x80                 ? 1
                  : c >= 0xC2 && c <= 0xDF ? 2
                  : c >= 0xE0 && c <= 0xEF ? 3
                  : c >= 0xF0 && c <= 0xF4 ? 4
                                           : 0;
  if (length == 0 || at + length > bytes.size()) return 0;
  for (size_t i = 1; i < length; ++i)
    if ((static_cast<unsigned char>(bytes[at + i]) & 0xC0) != 0x80) return 0;
  return length;
}

SettingsText iniText(const std::string& iniPath, FileSet& files) {
  SettingsText text = readSettingsText(files, iniPath);
  if (text.bytes.size() >= 2 && text.bytes[0] == '\xFF' && text.bytes[1] == '\xFE')
    text.bytes = cp932FromUtf16(text.bytes);
  else if (isUtf8IniText(text.bytes))
    text.bytes =
        utf8ToCp932(std::string_view(text.bytes).substr(startsWithUtf8Mark(text.bytes) ? 3 : 0));
  return text;
}

std::string withLineFeedsOnly(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i)
    if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) out += text[i];
  return out;
}

}  // namespace

bool isUtf8IniText(std::string_view bytes) {
  if (startsWithUtf8Mark(bytes)) return true;
  bool beyondAscii = false;
  for (size_t at = 0; at < bytes.size();) {
    size_t length = utf8SequenceLength(bytes, at);
    if (length == 0) return false;
    beyondAscii = beyondAscii || length > 1;
    at += length;
  }
  return beyondAscii;
}

std::string assignInIniFile(std::string_view bytes, std::string_view section, std::string_view key,
                            std::string_view value) {
  if (!isUtf8IniText(bytes)) return iniAssign(bytes, section, key, value);
  bool mark = startsWithUtf8Mark(bytes);
  std::string_view text = bytes.substr(mark ? 3 : 0);
  std::string out = iniAssign(text, cp932ToUtf8(section), cp932ToUtf8(key), cp932ToUtf8(value));
  bool lineFeedsOnly =
      text.find("\r\n") == std::string_view::npos && text.find('\n') != std::string_view::npos;
  if (lineFeedsOnly) out = withLineFeedsOnly(out);
  return (mark ? kUtf8Mark : "") + out;
}

bool rewriteProfileString(std::string_view section, std::string_view key, std::string_view value,
                          const std::string& iniPath) {
  SettingsText old = readSettingsText(diskFiles(), iniPath);
  if (old.problem != FileProblem::kNone && old.problem != FileProblem::kMissing) return false;
  std::string text = assignInIniFile(old.bytes, section, key, value);
  std::FILE* f = openFile(iniPath, "wb");
  if (!f) return false;
  bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  return std::fclose(f) == 0 && ok;
}

ProfileReader::ProfileReader(const std::string& iniPath, FileSet& files)
    : ProfileReader(iniText(iniPath, files)) {}

ProfileReader::ProfileReader(const SettingsText& text)
    : problem_(text.problem), index_(text.bytes) {}

std::string ProfileReader::read(std::string_view section, std::string_view key,
                                std::string_view fallback, size_t bufferSize) const {
  return index_.lookup(section, key, fallback, bufferSize);
}

}  // namespace platform
