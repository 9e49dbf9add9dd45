#include "platform/path_resolution_posix.h"

#include <dirent.h>
#include <sys/stat.h>
#include <strings.h>

#include "platform/text_encoding.h"

namespace platform {
namespace {

bool exists(const std::string& p) {
  struct stat st;
  return ::lstat(p.c_str(), &st) == 0;
}

// Name in `dir` that equals `part` without regard to case, or `part`.
std::string matchCase(const std::string& dir, const std::string& part) {
  DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
  if (!d) return part;
  std::string found = part;
  while (dirent* e = ::readdir(d)) {
    if (::strcasecmp(e->d_name, part.c_str()) == 0) {
      found = e->d_name;
      break;
    }
  }
  ::closedir(d);
  return found;
}

std::string toNativeText(const std::string& path) {
  bool ok = true;
  std::string utf8 = cp932ToUtf8(path, &ok);
  // Names that are not CP932 (bytes taken raw from the file system) stay.
  std::string s = ok ? utf8 : path;
  for (char& c : s)
    if (c == '\\') c = '/';
  return s;
}

}  // namespace

std::string resolveNativePath(const std::string& path) {
  std::string native = toNativeText(path);
  if (native.empty() || exists(native)) return native;
  std::string result;
  size_t pos = 0;
  if (native[0] == '/') {
    result = "/";
    pos = 1;
  }
  while (pos <= native.size()) {
    size_t slash = native.find('/', pos);
    if (slash == std::string::npos) slash = native.size();
    std::string part = native.substr(pos, slash - pos);
    if (!part.empty()) {
      std::string dir = result.empty() ? "" : result;
      std::string candidate = dir + part;
      if (!exists(candidate) && part != "." && part != "..")
        candidate = dir + matchCase(dir, part);
      result = candidate;
      if (slash < native.size()) result += '/';
    }
    pos = slash + 1;
  }
  return result;
}

}  // namespace platform
