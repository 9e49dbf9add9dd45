// Files and folders as the analyser sees them: paths are CP932 byte strings
// with either separator and the stand-ins of platform/file_names.h; the
// platform maps them onto the real file system by their native names (on
// POSIX: UTF-8 names, '/' separators, and names that differ only in letter
// case or use '\' still resolve, as they would on Windows; on Windows the
// system's UTF-16 names).
#pragma once

#include <cstdint>
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

// What tells one file or folder from every other while the program runs,
// whatever path leads to it: device and inode on POSIX, the volume's serial
// number and the file index on Windows.
struct FileIdentity {
  std::uint64_t volume = 0;
  std::uint64_t index = 0;
  bool operator<(const FileIdentity& o) const {
    return volume != o.volume ? volume < o.volume : index < o.index;
  }
};

// False when `path` does not lead to an existing file or folder.
bool fileIdentity(const std::string& path, FileIdentity& identity);

// Whether a file `name` can be written into `folder` (which ends with a
// separator): it opens for writing there (an existing file is left as it
// is, one made for the question is removed again), and on POSIX the folder
// grants somebody write permission, so that a folder made read-only stays
// so for the superuser too.
bool folderTakesFile(const std::string& folder, const std::string& name);

// The current folder, ending with a separator.
std::string currentDirectory();

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

// Why a file was not read, or a file of settings could not serve.
enum class FileProblem {
  kNone,
  kMissing,         // nothing is there
  kFolder,          // a folder is there
  kNotRegularFile,  // a pipe, a device or a socket: its reading could wait
                    // for ever (a pipe without a writer) or never end
  kUnreadable,      // a file that does not open (permissions, a lock)
  kTooLarge,        // a file of settings beyond its bound
  kNotText,         // a file of settings that holds no text
};

// A regular file opened for binary reading (the stream is the caller's to
// close) with its size at the opening, or why none was opened.
struct OpenedFile {
  std::FILE* stream = nullptr;
  std::uint64_t size = 0;
  FileProblem problem = FileProblem::kMissing;
};

// Opens `path` for reading only when it leads to a regular file; what
// else is there is looked at without being opened for reading, so the
// call never waits.
OpenedFile openRegularFile(const std::string& path);

// A new temporary file for reading and writing, removed by the system when
// it is closed (or the program ends). Null when none can be made.
std::FILE* openTemporaryFile();

// The name that the C runtime's fopen takes for `path`, for a library that
// opens files itself: UTF-8 on POSIX, the system code page on Windows
// (empty where that code page lacks a character of the name).
std::string nativeFileName(const std::string& path);

// Creates one folder; true when it exists afterwards.
bool makeDirectory(const std::string& path);

}  // namespace platform
