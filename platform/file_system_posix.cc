#include <dirent.h>
#include <sys/stat.h>

#include <cctype>

#include "platform/file_system.h"
#include "platform/path_resolution_posix.h"
#include "platform/text_encoding.h"

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

std::string toCp932Name(const char* native) {
  bool ok = true;
  std::string name = utf8ToCp932(native, &ok);
  return ok ? name : std::string(native);
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
  bool ok = true;
  std::string nativePattern = cp932ToUtf8(namePattern, &ok);
  if (!ok) nativePattern = namePattern;
  if (nativePattern == "*.*") nativePattern = "*";
  std::string nativeDir = dir.empty() ? std::string(".") : resolveNativePath(dir);
  DIR* d = ::opendir(nativeDir.c_str());
  if (!d) return entries;
  while (dirent* e = ::readdir(d)) {
    if (!wildcardMatch(nativePattern.c_str(), e->d_name)) continue;
    std::string full = nativeDir + "/" + e->d_name;
    struct stat st;
    bool isDir = ::stat(full.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    entries.push_back({toCp932Name(e->d_name), isDir});
  }
  ::closedir(d);
  return entries;
}

std::FILE* openFile(const std::string& path, const char* mode) {
  std::string native = resolveNativePath(path);
  if (native.empty()) return nullptr;
  return std::fopen(native.c_str(), mode);
}

std::FILE* openTemporaryFile() { return std::tmpfile(); }

bool makeDirectory(const std::string& path) {
  std::string native = resolveNativePath(path);
  ::mkdir(native.c_str(), 0777);
  return fileStatus(path).isDirectory;
}

}  // namespace platform
