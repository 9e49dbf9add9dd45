#include <windows.h>
#include <shellapi.h>

#include <cstdio>

#include "platform/program.h"

namespace platform {

std::string programPath() {
  char buffer[MAX_PATH + 1] = {};
  DWORD n = GetModuleFileNameA(nullptr, buffer, 257);
  return std::string(buffer, n);
}

bool acquireSingleInstance(const std::string& name) {
  HANDLE mutex = CreateMutexA(nullptr, TRUE, name.c_str());
  // The handle is kept open on purpose: the mutex lives as long as the process.
  return !(mutex && GetLastError() == ERROR_ALREADY_EXISTS);
}

void showMessageBox(std::string_view text, std::string_view caption) {
  std::string t(text), c(caption);
  MessageBoxA(nullptr, t.c_str(), c.c_str(), MB_OK);
}

void shellOpenFolder(const std::string& folder) {
  ShellExecuteA(nullptr, "open", nullptr, nullptr, folder.c_str(), SW_SHOWNA);
}

std::uint64_t clockMilliseconds() { return GetTickCount64(); }

void writeStandardOutput(std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fflush(stdout);
}

void writeStandardError(std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), stderr);
  std::fflush(stderr);
}

bool standardErrorIsTerminal() { return false; }

}  // namespace platform
