#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <climits>

#include "platform/file_names.h"
#include "platform/file_system.h"
#include "platform/path_resolution_posix.h"

namespace platform {

const char kPathSeparator = '/';

namespace {

unsigned char fold(unsigned char c) { return std::tolower(c); }

// '*' and '?' wildcard match without regard to ASCII case (as on Windows).
bool wildcardMatch(const char* p, const char* s) {
  const char* star = nullptr;
  const char* resume = nullptr;
  while (*s) {
    if (*p == '*') {
      star = p++;
      resume = s;
    } else if (*p == '?' || (*p && fold(*p) == fold(*s))) {
      ++p;
      ++s;
    } else if (star) {
      p = star + 1;
      s = ++resume;
    } else {
      return false;
    }
  }
  while (*p == '*') ++p;
  return *p == '\0';
}

}  // namespace

FileStatus fileStatus(const std::string& path) {
  FileStatus status;
  struct stat st;
  std::string native = resolveNativePath(path);
  if (native.empty() || ::stat(native.c_str(), &st) != 0) return status;
  status.exists = true;
  status.isDirectory = S_ISDIR(st.st_mode);
  return status;
}

std::vector<DirectoryEntry> findFiles(const std::string& pattern) {
  std::vector<DirectoryEntry> entries;
  size_t cut = pattern.find_last_of("\\/");
  std::string dir = cut == std::string::npos ? std::string() : pattern.substr(0, cut + 1);
  std::string namePattern = cut == std::string::npos ? pattern : pattern.substr(cut + 1);
  std::string nativePattern = utf8FromCp932Name(namePattern);
  if (nativePattern == "*.*") nativePattern = "*";
  std::string nativeDir = dir.empty() ? std::string(".") : resolveNativePath(dir);
  DIR* d = ::opendir(nativeDir.c_str());
  if (!d) return entries;
  while (dirent* e = ::readdir(d)) {
    if (!wildcardMatch(nativePattern.c_str(), e->d_name)) continue;
    // The entry's type as the folder tells it; a link (followed, as a
    // Windows search would) or an untold type asks the file itself.
    bool isDir = e->d_type == DT_DIR;
    if (e->d_type == DT_LNK || e->d_type == DT_UNKNOWN) {
      std::string full = nativeDir + "/" + e->d_name;
      struct stat st;
      isDir = ::stat(full.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    }
    entries.push_back({cp932NameFromUtf8(e->d_name), isDir});
  }
  ::closedir(d);
  return entries;
}

// The name as written is asked first; only where nothing is there, not
// even a broken link, is it looked for in another letter case.
bool fileIdentity(const std::string& path, FileIdentity& identity) {
  struct stat st;
  std::string native = nativePathAsWritten(path);
  if (native.empty()) return false;
  if (::stat(native.c_str(), &st) != 0) {
    if (::lstat(native.c_str(), &st) == 0) return false;
    std::string other = resolveMissingNativePath(native);
    if (other == native || ::stat(other.c_str(), &st) != 0) return false;
  }
  identity.volume = static_cast<std::uint64_t>(st.st_dev);
  identity.index = static_cast<std::uint64_t>(st.st_ino);
  return true;
}

bool folderTakesFile(const std::string& folder, const std::string& name) {
  std::string dir = folder.empty() ? std::string(".") : resolveNativePath(folder);
  struct stat st;
  if (::stat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
  if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return false;
  std::string file = resolveNativePath(folder + name);
  bool existed = ::access(file.c_str(), F_OK) == 0;
  int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  ::close(fd);
  if (!existed) ::unlink(file.c_str());
  return true;
}

std::string currentDirectory() {
  char buffer[PATH_MAX];
  if (!::getcwd(buffer, sizeof buffer)) return "./";
  std::string folder = cp932NameFromUtf8(buffer);
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

std::FILE* openFile(const std::string& path, const char* mode) {
  // A file read under the name as written needs no look at its folder
  // first; only a failed open asks for the name in another letter case.
  std::string native;
  if (mode[0] == 'r') {
    std::string asWritten = nativePathAsWritten(path);
    if (std::FILE* file = std::fopen(asWritten.c_str(), mode)) return file;
    native = resolveMissingNativePath(asWritten);
    if (native == asWritten) return nullptr;  // no other name to try
  } else {
    native = resolveNativePath(path);
  }
  return native.empty() ? nullptr : std::fopen(native.c_str(), mode);
}

namespace {

FileProblem problemOfError(int error) {
  bool missing = error == ENOENT || error == ENOTDIR || error == ENAMETOOLONG;
  return missing ? FileProblem::kMissing : FileProblem::kUnreadable;
}

FileProblem problemOfMode(mode_t mode) {
  if (S_ISREG(mode)) return FileProblem::kNone;
  return S_ISDIR(mode) ? FileProblem::kFolder : FileProblem::kNotRegularFile;
}

}  // namespace

// The name as written first, then in another letter case; the file is
// looked at before it is opened (a device may act on an opening) and
// again after (it may have been replaced in between). It is opened without
// waiting; a regular file reads alike with the flag set (open(2)), so the
// flag stays.
OpenedFile openRegularFile(const std::string& path) {
  OpenedFile opened;
  std::string native = nativePathAsWritten(path);
  struct stat st;
  if (::stat(native.c_str(), &st) != 0) {
    int error = errno;
    std::string other = resolveMissingNativePath(native);
    if (other == native || ::stat(other.c_str(), &st) != 0) {
      opened.problem = problemOfError(other == native ? error : errno);
      return opened;
    }
    native = other;
  }
  opened.problem = problemOfMode(st.st_mode);
  if (opened.problem != FileProblem::kNone) return opened;
  int fd = ::open(native.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    opened.problem = problemOfError(errno);
    return opened;
  }
  opened.problem = ::fstat(fd, &st) == 0 ? problemOfMode(st.st_mode) : FileProblem::kUnreadable;
  if (opened.problem == FileProblem::kNone) opened.stream = ::fdopen(fd, "rb");
  if (!opened.stream) {
    ::close(fd);
    if (opened.problem == FileProblem::kNone) opened.problem = FileProblem::kUnreadable;
    return opened;
  }
  opened.size = static_cast<std::uint64_t>(st.st_size);
  return opened;
}

std::FILE* openTemporaryFile() { return std::tmpfile(); }

bool seekFile(std::FILE* file, std::uint64_t offset) {
  static_assert(sizeof(off_t) == 8, "files past 2 GiB need a 64-bit off_t");
  return offset <= static_cast<std::uint64_t>(INT64_MAX) &&
         ::fseeko(file, static_cast<off_t>(offset), SEEK_SET) == 0;
}

std::string nativeFileName(const std::string& path) { return resolveNativePath(path); }

bool makeDirectory(const std::string& path) {
  std::string native = resolveNativePath(path);
  ::mkdir(native.c_str(), 0777);
  return fileStatus(path).isDirectory;
}

}  // namespace platform
