// Files and folders as the analyser sees them: paths are CP932 byte strings
// with either separator; the platform maps them onto the real file system
// (on POSIX: UTF-8 names, '/' separators, and names that differ only in
// letter case or use '\' still resolve, as they would on Windows).
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The separator that the platform writes when it joins path parts.
extern const char kPathSeparator;

// Both '\' and '/' separate path parts on every platform.
inline bool isPathSeparator(char c) { return c == '\\' || c == '/'; }

struct FileStatus {
  bool exists = false;
  bool isDirectory = false;
};

FileStatus fileStatus(const std::string& path);

struct DirectoryEntry {
  std::string name;  // CP932, without directory
  bool isDirectory = false;
};

// The entries of a folder whose names match the last part of `pattern`
// ('*' any run of characters, '?' one character, letter case ignored), as
// the platform's find-first/find-next would list them ("." and ".."
// included where the platform lists them).
std::vector<DirectoryEntry> findFiles(const std::string& pattern);

// Opens a file like fopen; `mode` is an fopen mode ("rb", "wb", "ab").
// Returns null when the file cannot be opened.
std::FILE* openFile(const std::string& path, const char* mode);

// A new temporary file for reading and writing, removed by the system when
// it is closed (or the program ends). Null when none can be made.
std::FILE* openTemporaryFile();

// Creates one folder; true when it exists afterwards.
bool makeDirectory(const std::string& path);

}  // namespace platform
