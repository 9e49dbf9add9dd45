#include <fcntl.h>
#include <langinfo.h>
#include <sys/file.h>
#include <unistd.h>

#include <time.h>

#include <cerrno>
#include <clocale>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/file_names.h"
#include "platform/program.h"

namespace platform {
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

// Stand-ins of names become their characters again on a UTF-8 terminal
// (but for control characters, which would break the line).
void writeTo(std::FILE* stream, std::string_view text) {
  std::string out = terminalIsShiftJis() ? std::string(text) : utf8TextForTerminal(text);
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

}  // namespace

std::string programPath() { return cp932NameFromUtf8(nativeProgramPath()); }

// A lock file stands for the named mutex: flock is released by the system
// when the process ends, as a mutex handle is. The file lies in the
// program's folder, hidden; where that folder takes no new file, a file in
// the user's runtime folder named after the folder's path stands in.
bool acquireSingleInstance(const std::string& name) {
  std::string stem;
  for (char c : name) stem += (c == ' ' || c == '/') ? '_' : c;
  std::string folder = nativeProgramFolder();
  int fd = folder.empty() ? -1 : openLockFile(folder + "." + stem + ".lock", 0644);
  if (fd < 0) {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    std::string dir = runtime && *runtime ? runtime : "/tmp";
    fd = openLockFile(dir + "/" + stem + "." + std::to_string(::getuid()) + "." +
                          pathHash(folder) + ".lock",
                      0600);
  }
  if (fd < 0) return true;  // no lock possible: do not refuse to run
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    bool held = errno == EWOULDBLOCK;
    ::close(fd);
    return !held;
  }
  return true;  // fd stays open for the life of the process
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

void writeStandardError(std::string_view text) { writeTo(stderr, text); }

bool standardErrorIsTerminal() { return ::isatty(2) == 1; }

}  // namespace platform
