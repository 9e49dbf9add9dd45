#include <fcntl.h>
#include <langinfo.h>
#include <sys/file.h>
#include <unistd.h>

#include <time.h>

#include <clocale>
#include <cstdio>
#include <cstring>

#include "platform/program.h"
#include "platform/text_encoding.h"

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

void writeTo(std::FILE* stream, std::string_view text) {
  std::string out = terminalIsShiftJis() ? std::string(text) : cp932ToUtf8(text);
  std::fwrite(out.data(), 1, out.size(), stream);
  std::fflush(stream);
}

}  // namespace

std::string programPath() {
  char buffer[4096];
  ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (n <= 0) return std::string();
  bool ok = true;
  std::string path = utf8ToCp932(std::string_view(buffer, n), &ok);
  return ok ? path : std::string(buffer, n);
}

// A lock file stands for the named mutex: flock is released by the system
// when the process ends, as a mutex handle is.
bool acquireSingleInstance(const std::string& name) {
  std::string lockName;
  for (char c : name) lockName += (c == ' ' || c == '/') ? '_' : c;
  const char* dir = std::getenv("XDG_RUNTIME_DIR");
  std::string path = std::string(dir && *dir ? dir : "/tmp") + "/" + lockName + "." +
                     std::to_string(::getuid()) + ".lock";
  int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return true;  // no lock possible: do not refuse to run
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd);
    return false;
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
