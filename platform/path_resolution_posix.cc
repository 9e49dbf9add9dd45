#include "platform/path_resolution_posix.h"

#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>

#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "platform/file_names.h"

namespace platform {
namespace {

bool exists(const std::string& p) {
  struct stat st;
  return ::lstat(p.c_str(), &st) == 0;
}

// The names of one folder, kept while the folder stays unchanged: a run
// looks for many headers that are not there (every include folder is tried
// in turn), and listing the same folder again for each would cost more
// than reading the headers that are. The threads of a run (a report
// written beside others) share them under one lock.
struct FolderNames {
  struct timespec changed {};
  std::vector<std::string> names;
};

std::mutex& foldersLock() {
  static std::mutex lock;
  return lock;
}

// Under foldersLock().
const std::vector<std::string>& namesOf(const std::string& dir) {
  static std::map<std::string, FolderNames> folders;
  static const std::vector<std::string> none;
  struct stat st;
  if (::stat(dir.empty() ? "." : dir.c_str(), &st) != 0) return none;
  FolderNames& folder = folders[dir];
  if (!folder.names.empty() && folder.changed.tv_sec == st.st_mtim.tv_sec &&
      folder.changed.tv_nsec == st.st_mtim.tv_nsec)
    return folder.names;
  folder.names.clear();
  folder.changed = st.st_mtim;
  if (DIR* d = ::opendir(dir.empty() ? "." : dir.c_str())) {
    while (dirent* e = ::readdir(d)) folder.names.emplace_back(e->d_name);
    ::closedir(d);
  }
  return folder.names;
}

// Name in `dir` that equals `part` without regard to case, or `part`.
std::string matchCase(const std::string& dir, const std::string& part) {
  std::lock_guard<std::mutex> guard(foldersLock());
  for (const std::string& name : namesOf(dir))
    if (::strcasecmp(name.c_str(), part.c_str()) == 0) return name;
  return part;
}

std::string toNativeText(const std::string& path) {
  std::string s = utf8FromCp932Name(path);
  for (char& c : s)
    if (c == '\\') c = '/';
  return s;
}

}  // namespace

std::string nativePathAsWritten(const std::string& path) { return toNativeText(path); }

std::string resolveNativePath(const std::string& path) {
  std::string native = toNativeText(path);
  if (native.empty() || exists(native)) return native;
  return resolveMissingNativePath(native);
}

std::string resolveMissingNativePath(const std::string& native) {
  if (native.empty()) return native;
  // The longest leading folder that is there as written stays as it is
  // (mostly the file's own folder: only the file is missing or written in
  // another letter case); each part after it is looked up.
  std::string result;
  size_t pos = 0;
  for (size_t slash = native.rfind('/'); slash != std::string::npos && slash > 0;
       slash = native.rfind('/', slash - 1)) {
    std::string folder = native.substr(0, slash + 1);
    if (exists(folder)) {
      result = std::move(folder);
      pos = slash + 1;
      break;
    }
  }
  if (pos == 0 && native[0] == '/') {
    result = "/";
    pos = 1;
  }
  while (pos <= native.size()) {
    size_t slash = native.find('/', pos);
    if (slash == std::string::npos) slash = native.size();
    std::string part = native.substr(pos, slash - pos);
    if (!part.empty()) {
      std::string candidate = result + part;
      if (!exists(candidate) && part != "." && part != "..")
        candidate = result + matchCase(result, part);
      result = candidate;
      if (slash < native.size()) result += '/';
    }
    pos = slash + 1;
  }
  return result;
}

}  // namespace platform
