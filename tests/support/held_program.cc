#include "tests/support/held_program.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>

namespace {

// The terminal's writer side, raw (no echo, no line-end translation).
int openSide(const char* name, int flags) {
  int fd = open(name, flags | O_RDWR | O_NOCTTY);
  termios mode;
  if (fd >= 0 && tcgetattr(fd, &mode) == 0) {
    cfmakeraw(&mode);
    tcsetattr(fd, TCSANOW, &mode);
  }
  return fd;
}

}  // namespace

HeldProgram::HeldProgram(const std::string& folder, const std::string& cwd,
                         const std::vector<std::string>& args) {
  master_ = posix_openpt(O_RDWR | O_NOCTTY);
  if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) {
    ADD_FAILURE() << "no terminal for the held program";
    return;
  }
  const char* name = ptsname(master_);
  int fill = openSide(name, O_NONBLOCK);
  int side = openSide(name, 0);
  // The system moves what was written on to the reading side's buffer a
  // moment later, which makes room again: filled until a pause makes none.
  std::string block(4096, '.');
  for (size_t before = SIZE_MAX; before != filled_; usleep(20 * 1000)) {
    before = filled_;
    for (ssize_t n; (n = write(fill, block.data(), block.size())) > 0;) filled_ += n;
  }
  close(fill);
  std::vector<std::string> argv = {folder + "/mizenta"};
  argv.insert(argv.end(), args.begin(), args.end());
  child_ = fork();
  if (child_ == 0) {
    int none = open("/dev/null", O_RDWR);
    dup2(none, 0);
    dup2(none, 1);
    dup2(side, 2);
    if (chdir(cwd.c_str()) != 0) _exit(127);
    setenv("LC_ALL", "C.UTF-8", 1);
    std::vector<char*> pointers;
    for (std::string& a : argv) pointers.push_back(a.data());
    pointers.push_back(nullptr);
    execv(pointers[0], pointers.data());
    _exit(127);
  }
  close(side);
}

HeldProgram::~HeldProgram() {
  if (child_ > 0) release();
  if (master_ >= 0) close(master_);
}

bool HeldProgram::waitFor(const std::string& path) {
  for (int i = 0; i < 6000 && child_ > 0; ++i) {
    if (std::filesystem::exists(path)) return true;
    int status;
    if (waitpid(child_, &status, WNOHANG) == child_) {
      child_ = -1;
      return false;
    }
    usleep(10 * 1000);
  }
  return false;
}

ProgramResult HeldProgram::release() {
  ProgramResult result;
  std::string output;
  char buffer[4096];
  int status = 0;
  bool ended = child_ <= 0;
  // Read while the program writes; after its end, what is left.
  for (;;) {
    pollfd p{master_, POLLIN, 0};
    if (poll(&p, 1, ended ? 0 : 50) > 0 && (p.revents & POLLIN)) {
      ssize_t n = read(master_, buffer, sizeof buffer);
      if (n > 0) {
        output.append(buffer, n);
        continue;
      }
    }
    if (ended) break;
    if (waitpid(child_, &status, WNOHANG) == child_) ended = true;
  }
  if (child_ > 0) result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  child_ = -1;
  result.standardError = output.size() > filled_ ? output.substr(filled_) : std::string();
  return result;
}
