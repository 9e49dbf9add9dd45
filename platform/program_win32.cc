#include <windows.h>
#include <shellapi.h>

#include <cstdio>

#include "platform/program.h"
#include "platform/wide_names_win32.h"

namespace platform {

// Wide, so that a folder named with characters outside CP932 still leads
// to the program's settings (their stand-ins come back on opening).
std::string programPath() {
  std::wstring buffer(32768, L'\0');
  DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
  buffer.resize(n);
  return nameFromWide(buffer);
}

bool acquireSingleInstance(const std::string& name) {
  HANDLE mutex = CreateMutexA(nullptr, TRUE, name.c_str());
  // The handle is kept open on purpose: the mutex lives as long as the process.
  return !(mutex && GetLastError() == ERROR_ALREADY_EXISTS);
}

void showMessageBox(std::string_view text, std::string_view caption) {
  MessageBoxW(nullptr, wideName(text).c_str(), wideName(caption).c_str(), MB_OK);
}

void shellOpenFolder(const std::string& folder) {
  ShellExecuteW(nullptr, L"open", nullptr, nullptr, wideName(folder).c_str(), SW_SHOWNA);
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
