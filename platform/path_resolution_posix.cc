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
  if (part == "." || part == "..") return part;
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

// Linear in the length of `native`: a part is looked up only while every
// folder before it is there, and the kernel finds none past PATH_MAX, so
// a long name of many parts costs one pass over its text.
std::string resolveMissingNativePath(const std::string& native) {
  if (native.empty()) return native;
  // Mostly the file's own folder is there as written, and only the file is
  // missing or written in another letter case.
  size_t last = native.rfind('/');
  if (last != std::string::npos && last > 0) {
    std::string folder = native.substr(0, last + 1);
    if (exists(folder)) return folder + matchCase(folder, native.substr(last + 1));
  }
  std::string result;
  size_t pos = 0;
  if (native[0] == '/') {
    result = "/";
    pos = 1;
  }
  while (pos < native.size()) {
    size_t slash = native.find('/', pos);
    if (slash == std::string::npos) slash = native.size();
    if (slash > pos) {
      size_t folderLength = result.size();
      result.append(native, pos, slash - pos);
      if (!exists(result)) {
        std::string part = result.substr(folderLength);
        result.resize(folderLength);
        std::string found = matchCase(result, part);
        // Nothing is below a folder that is not there in any letter case.
        if (found == part) return result + native.substr(pos);
        result += found;
      }
    }
    if (slash < native.size()) result += '/';
    pos = slash + 1;
  }
  return result;
}

}  // namespace platform
