#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>

#include "platform/file_replace.h"
#include "platform/path_resolution_posix.h"

namespace platform {

namespace {

// The file a link leads to; the path itself when it is no link.
std::string linkTarget(const std::string& native) {
  struct stat st;
  if (::lstat(native.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return native;
  char resolved[PATH_MAX];
  if (!::realpath(native.c_str(), resolved)) return native;
  return resolved;
}

// A new file beside `target`, readable and writable as the file it
// replaces is (or as a new file would be).
int createBeside(const std::string& target, std::string& name) {
  struct stat st;
  const bool exists = ::stat(target.c_str(), &st) == 0;
  const mode_t mode = exists ? (st.st_mode & 07777) : 0666;
  const std::string stem = target + "." + std::to_string(::getpid());
  for (int n = 0; n < 100; ++n) {
    name = stem + (n ? "-" + std::to_string(n) : std::string()) + ".tmp";
    int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd >= 0) {
      // Not through the umask: the old file's own mode, or the usual one.
      if (!exists) {
        mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(fd, mode & ~mask);
      } else {
        ::fchmod(fd, mode);
      }
      return fd;
    }
    if (errno != EEXIST) return -1;
  }
  return -1;
}

}  // namespace

Replacement openReplacement(const std::string& path) {
  Replacement r;
  const std::string native = resolveNativePath(path);
  if (native.empty()) return r;
  const std::string target = linkTarget(native);
  struct stat st;
  if (::stat(target.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
    r.written = target;
    r.file = std::fopen(target.c_str(), "wb");
    return r;
  }
  // A file that may not be written stays as it is, as an open would leave
  // it.
  if (::access(target.c_str(), F_OK) == 0 && ::access(target.c_str(), W_OK) != 0) return r;
  int fd = createBeside(target, r.written);
  if (fd < 0) {
    // A folder that takes no new file may still hold a file that can be
    // written: it is written where it is, as nothing else can be.
    if ((errno == EACCES || errno == EPERM) && ::access(target.c_str(), W_OK) == 0) {
      r.written = target;
      r.file = std::fopen(target.c_str(), "wb");
    }
    return r;
  }
  r.file = ::fdopen(fd, "wb");
  if (!r.file) {
    ::close(fd);
    ::unlink(r.written.c_str());
    return r;
  }
  r.target = target;
  return r;
}

bool putReplacementInPlace(const Replacement& r) {
  if (r.target.empty()) return true;
  if (::rename(r.written.c_str(), r.target.c_str()) == 0) return true;
  ::unlink(r.written.c_str());
  return false;
}

void discardReplacement(const Replacement& r) {
  if (!r.target.empty()) ::unlink(r.written.c_str());
}

std::string replacementFileName(const Replacement& r) { return r.written; }

}  // namespace platform
