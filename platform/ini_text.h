// The profile-file rules of the Windows profile functions, applied to the
// text of an INI file held in memory. The POSIX profile functions use it;
// it is portable so that its rules can be tested everywhere.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace platform {

// A line of an INI text as written: a section line (key empty), or a key
// line under its section.
struct IniEntry {
  std::string section;
  std::string key;
};

// The keys of an INI text, found in one pass: a lookup then walks no line.
// As with the profile functions, only the first section of a name counts,
// and in it the first line of a key.
class IniIndex {
 public:
  explicit IniIndex(std::string_view text);
  // Value of section/key, or `fallback`; cut to bufferSize - 1.
  std::string lookup(std::string_view section, std::string_view key, std::string_view fallback,
                     size_t bufferSize) const;
  // Every section line and key line, in the order of the text.
  const std::vector<IniEntry>& entries() const { return entries_; }

 private:
  std::vector<IniEntry> entries_;
  // (section, key) in their folded spelling -> the value as written.
  std::map<std::pair<std::string, std::string>, std::string> values_;
};

// One lookup in `text`: IniIndex(text).lookup(...).
std::string iniLookup(std::string_view text, std::string_view section, std::string_view key,
                      std::string_view fallback, size_t bufferSize);

// `text` with section/key set to value; other lines are kept byte for byte.
std::string iniAssign(std::string_view text, std::string_view section, std::string_view key,
                      std::string_view value);

}  // namespace platform
