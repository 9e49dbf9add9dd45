#include <windows.h>
#include <shellapi.h>

#include <cstdio>

#include "platform/file_names.h"
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

const char kOutputLockName[] = ".Mizenta_Output.lock";

namespace {

// Locks the first byte of the hidden lock file: exclusively where the file
// can be written, else shared, which still keeps a writer out.
HANDLE lockOutputFile(const std::wstring& path, bool& held) {
  held = false;
  const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
  DWORD flags = LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY;
  HANDLE h = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, share, nullptr, OPEN_ALWAYS,
                         FILE_ATTRIBUTE_HIDDEN, nullptr);
  if (h == INVALID_HANDLE_VALUE && GetLastError() == ERROR_ACCESS_DENIED) {
    flags = LOCKFILE_FAIL_IMMEDIATELY;
    h = CreateFileW(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, 0, nullptr);
  }
  if (h == INVALID_HANDLE_VALUE) return h;
  OVERLAPPED at = {};
  if (LockFileEx(h, flags, 0, 1, 0, &at)) return h;
  held = GetLastError() == ERROR_LOCK_VIOLATION;
  CloseHandle(h);
  return INVALID_HANDLE_VALUE;
}

}  // namespace

bool OutputFolderLock::take(const std::string& folder) {
  release();
  std::string path = folder.empty() ? std::string(".\\") : folder;
  if (path.back() != '\\' && path.back() != '/') path += '\\';
  bool held = false;
  HANDLE h = lockOutputFile(wideName(path + kOutputLockName), held);
  if (held) return false;
  if (h != INVALID_HANDLE_VALUE) handle_ = reinterpret_cast<std::intptr_t>(h);
  return true;
}

// Closing the handle ends its lock.
void OutputFolderLock::release() {
  if (handle_ != -1) CloseHandle(reinterpret_cast<HANDLE>(handle_));
  handle_ = -1;
}

void showMessageBox(std::string_view text, std::string_view caption) {
  MessageBoxW(nullptr, wideName(text).c_str(), wideName(caption).c_str(), MB_OK);
}

void shellOpenFolder(const std::string& folder) {
  ShellExecuteW(nullptr, L"open", nullptr, nullptr, wideName(folder).c_str(), SW_SHOWNA);
}

std::uint64_t clockMilliseconds() { return GetTickCount64(); }

namespace {

bool streamsUtf8 = false;

void writeTo(std::FILE* stream, std::string_view text) {
  std::string utf8 = streamsUtf8 ? utf8TextForTerminal(text) : std::string();
  if (streamsUtf8) text = utf8;
  std::fwrite(text.data(), 1, text.size(), stream);
  std::fflush(stream);
}

}  // namespace

void setStandardStreamsUtf8(bool utf8) { streamsUtf8 = utf8; }

void writeStandardOutput(std::string_view text) { writeTo(stdout, text); }

void writeStandardError(std::string_view text) { writeTo(stderr, text); }

bool standardErrorIsTerminal() { return false; }

}  // namespace platform
