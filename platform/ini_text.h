// The profile-file rules of the Windows profile functions, applied to the
// text of an INI file held in memory. The POSIX profile functions use it;
// it is portable so that its rules can be tested everywhere.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// Value of section/key in `text`, or `fallback`; cut to bufferSize - 1.
std::string iniLookup(std::string_view text, std::string_view section, std::string_view key,
                      std::string_view fallback, size_t bufferSize);

// `text` with section/key set to value; other lines are kept byte for byte.
std::string iniAssign(std::string_view text, std::string_view section, std::string_view key,
                      std::string_view value);

}  // namespace platform
