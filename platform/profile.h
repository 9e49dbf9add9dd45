// INI profile strings with the rules of the Windows profile functions:
// sections and keys match without regard to ASCII case, values are trimmed
// and cut to the caller's buffer size. A file is read once and then asked
// key by key; a write sets one key and leaves every other line of the file
// as it was.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/byte_source.h"
#include "platform/ini_text.h"
#include "platform/settings_text.h"

namespace platform {

// The keys of one INI file, read whole from `files` when made. A file
// that is missing reads as empty, and so does one that cannot serve as an
// INI file (a folder, a pipe, unreadable, too large, no text): problem()
// tells which. A file in UTF-16 (with its byte-order mark) is read as
// CP932, as the Windows functions read it, and so is one in UTF-8 (with
// its byte-order mark, or valid UTF-8 holding a byte past ASCII).
class ProfileReader {
 public:
  explicit ProfileReader(const std::string& iniPath, FileSet& files = diskFiles());
  FileProblem problem() const { return problem_; }
  // The value of `key` in `section`, or `fallback` when the section or the
  // key is missing. At most bufferSize - 1 bytes are returned, as a buffer
  // of bufferSize bytes would hold.
  std::string read(std::string_view section, std::string_view key, std::string_view fallback,
                   size_t bufferSize = 256) const;
  // Every section and key line of the file, as CP932.
  const std::vector<IniEntry>& entries() const { return index_.entries(); }

 private:
  explicit ProfileReader(const SettingsText& text);

  FileProblem problem_;
  IniIndex index_;
};

// Sets `key` in `section` to `value`, creating the file, the section or the
// key as needed. Returns false when the file cannot be written. A file in
// UTF-8 stays in UTF-8 (with its byte-order mark and line ends, if any).
bool writeProfileString(std::string_view section, std::string_view key, std::string_view value,
                        const std::string& iniPath);

// Whether INI bytes are UTF-8 text: the byte-order mark, or valid UTF-8
// with at least one byte past ASCII (CP932 text with a double-byte or a
// half-width character never is).
bool isUtf8IniText(std::string_view bytes);

// The bytes of an INI file with section/key set to value, in the file's own
// encoding: CP932 text as iniAssign() has it; UTF-8 text converted there
// and back, its byte-order mark kept and LF line ends kept where it has no
// CR LF.
std::string assignInIniFile(std::string_view bytes, std::string_view section, std::string_view key,
                            std::string_view value);

// Rewrites the INI file at `iniPath` whole with one key set (the portable
// way; the Windows program takes it for files in UTF-8). A file that could
// not be read as an INI file is left alone (false).
bool rewriteProfileString(std::string_view section, std::string_view key, std::string_view value,
                          const std::string& iniPath);

}  // namespace platform
