// Where a fuzz target's writing goes: a folder of the process for its
// files, removed when the process ends (libFuzzer and the replay both
// exit), and a buffer that drops its log.
#pragma once

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <streambuf>
#include <string>
#include <vector>

// "<tmp>/<prefix>-XXXXXX/", made on first use (in memory under /dev/shm
// where it can be).
inline const std::string& scratchFolder(const char* prefix) {
  static std::string name;
  static const std::string folder = [prefix] {
    const char* base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    std::string pattern = std::string(base) + "/" + prefix + "-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (!mkdtemp(buffer.data())) std::abort();
    name = buffer.data();
    std::atexit([] {
      std::error_code ignored;
      std::filesystem::remove_all(name, ignored);
    });
    return name + "/";
  }();
  return folder;
}

// Takes every byte and keeps none: a run's log goes nowhere, but every
// message is still formatted.
class NullBuffer : public std::streambuf {
 protected:
  int overflow(int c) override { return c == traits_type::eof() ? 0 : c; }
  std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};
