#include <fcntl.h>
#include <langinfo.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <time.h>

#include <cerrno>
#include <clocale>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/file_names.h"
#include "platform/path_resolution_posix.h"
#include "platform/program.h"

namespace platform {

const char kOutputLockName[] = ".Mizenta_Output.lock";

namespace {

// Terminals here speak the locale's encoding; only a Shift-JIS locale gets
// the bytes as they are, every other one gets UTF-8.
bool terminalIsShiftJis() {
  static const bool sjis = [] {
    std::setlocale(LC_CTYPE, "");
    const char* codeset = nl_langinfo(CODESET);
    return codeset && (std::strstr(codeset, "SJIS") || std::strstr(codeset, "932") ||
                       std::strstr(codeset, "SHIFT"));
  }();
  return sjis;
}

bool streamsUtf8 = false;

// Stand-ins of names become their characters again on a UTF-8 terminal
// (but for control characters, which would break the line).
void writeTo(std::FILE* stream, std::string_view text) {
  bool sjis = !streamsUtf8 && terminalIsShiftJis();
  std::string out = sjis ? std::string(text) : utf8TextForTerminal(text);
  std::fwrite(out.data(), 1, out.size(), stream);
  std::fflush(stream);
}

std::string nativeProgramPath() {
  char buffer[4096];
  ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  return n > 0 ? std::string(buffer, n) : std::string();
}

// The folder of the program file with its final '/', or empty.
std::string nativeProgramFolder() {
  std::string path = nativeProgramPath();
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// 64-bit FNV-1a of `text` in hexadecimal: one short file name per folder.
std::string pathHash(const std::string& text) {
  std::uint64_t hash = 14695981039346656037ull;
  for (unsigned char c : text) hash = (hash ^ c) * 1099511628211ull;
  char out[17];
  std::snprintf(out, sizeof out, "%016llx", static_cast<unsigned long long>(hash));
  return out;
}

// Read-only is enough for flock, and lets every user who can read the file
// share one lock on a shared folder.
int openLockFile(const std::string& path, mode_t mode) {
  return ::open(path.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC, mode);
}

// A folder that only this user can change: a real folder (no link), the
// user's, which nobody else may write in.
bool ownedPrivately(const std::string& folder) {
  struct stat st;
  return ::lstat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid() &&
         (st.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

// The user's runtime folder (the system makes it for the user alone), else
// "mizenta-<uid>" in the temporary folder, made for the user alone; empty
// when neither is the user's own.
std::string privateFolder() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime && *runtime && ownedPrivately(runtime)) return runtime;
  const char* temporary = std::getenv("TMPDIR");
  std::string folder = std::string(temporary && *temporary ? temporary : "/tmp") + "/mizenta-" +
                       std::to_string(::getuid());
  ::mkdir(folder.c_str(), 0700);
  return ownedPrivately(folder) ? folder : std::string();
}

// A lock file of the user's own: made new (never through a link) or, when
// there already, opened only when it is a regular file of the user's.
int openPrivateLockFile(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0 && errno == EEXIST) fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return -1;
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::getuid()) {
    ::close(fd);
    return -1;
  }
  return fd;
}

// A record lock on the first byte, for this open file alone (so the flock
// of the single-instance lock never meets it), the same lock that Wine
// takes for the Windows program. A file this user may only read still
// takes a shared lock, which keeps a writer out.
int lockOutputFile(const std::string& path) {
  short type = F_WRLCK;
  int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0666);
  if (fd < 0 && (errno == EACCES || errno == EPERM || errno == EROFS)) {
    type = F_RDLCK;
    fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
  }
  if (fd < 0) return -1;
  struct flock lock {};
  lock.l_type = type;
  lock.l_whence = SEEK_SET;
  lock.l_start = 0;
  lock.l_len = 1;
  if (::fcntl(fd, F_OFD_SETLK, &lock) == 0) return fd;
  int error = errno;
  ::close(fd);
  return error == EAGAIN || error == EACCES ? -2 : -1;
}

}  // namespace

std::string programPath() { return cp932NameFromUtf8(nativeProgramPath()); }

// A lock file stands for the named mutex: flock is released by the system
// when the process ends, as a mutex handle is. The file lies in the
// program's folder, hidden; where that folder takes no new file, a file of
// the user's own named after the folder's path stands in.
bool acquireSingleInstance(const std::string& name) {
  std::string stem;
  for (char c : name) stem += (c == ' ' || c == '/') ? '_' : c;
  std::string folder = nativeProgramFolder();
  int fd = folder.empty() ? -1 : openLockFile(folder + "." + stem + ".lock", 0644);
  if (fd < 0) {
    std::string own = privateFolder();
    if (!own.empty()) fd = openPrivateLockFile(own + "/" + stem + "." + pathHash(folder) + ".lock");
  }
  if (fd < 0) return true;  // no lock possible: do not refuse to run
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    bool held = errno == EWOULDBLOCK;
    ::close(fd);
    return !held;
  }
  return true;  // fd stays open for the life of the process
}

bool OutputFolderLock::take(const std::string& folder) {
  release();
  std::string native = resolveNativePath(folder.empty() ? std::string("./") : folder);
  if (!native.empty() && native.back() != '/') native += '/';
  int fd = lockOutputFile(native + kOutputLockName);
  if (fd == -2) return false;
  handle_ = fd;
  return true;
}

void OutputFolderLock::release() {
  if (handle_ >= 0) ::close(static_cast<int>(handle_));
  handle_ = -1;
}

void showMessageBox(std::string_view text, std::string_view caption) {
  std::string all;
  all.append(caption).append(": ").append(text).append("\n");
  writeTo(stderr, all);
}

void shellOpenFolder(const std::string&) {}

std::uint64_t clockMilliseconds() {
  // <chrono> is not used: its C++20 unit names hold a character that the
  // Shift-JIS execution character set lacks.
  timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<std::uint64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

void writeStandardOutput(std::string_view text) { writeTo(stdout, text); }

void setStandardStreamsUtf8(bool utf8) { streamsUtf8 = utf8; }

void writeStandardError(std::string_view text) { writeTo(stderr, text); }

bool standardErrorIsTerminal() { return ::isatty(2) == 1; }

}  // namespace platform
