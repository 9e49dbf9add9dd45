// INI profile strings, read and written one key at a time with the rules of
// the Windows profile functions: sections and keys match without regard to
// ASCII case, values are trimmed and cut to the caller's buffer size, and a
// write leaves every other line of the file as it was.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// The value of `key` in `section` of the file `iniPath`, or `fallback` when
// the file, the section or the key is missing. At most bufferSize - 1 bytes
// are returned, as a buffer of bufferSize bytes would hold.
std::string readProfileString(std::string_view section, std::string_view key,
                              std::string_view fallback, const std::string& iniPath,
                              size_t bufferSize = 256);

// Sets `key` in `section` to `value`, creating the file, the section or the
// key as needed. Returns false when the file cannot be written.
bool writeProfileString(std::string_view section, std::string_view key,
                        std::string_view value, const std::string& iniPath);

}  // namespace platform
