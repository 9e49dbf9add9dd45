#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include "platform/file_replace.h"
#include "platform/file_system.h"
#include "platform/wide_names_win32.h"

namespace platform {

namespace {

// The file a report is written into before it takes its place: a new one,
// shared for reading only, so that nobody writes into it meanwhile.
std::FILE* createNew(const std::wstring& name) {
  HANDLE h = CreateFileW(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return nullptr;
  int fd = _open_osfhandle(reinterpret_cast<intptr_t>(h), _O_WRONLY | _O_BINARY);
  if (fd < 0) {
    CloseHandle(h);
    DeleteFileW(name.c_str());
    return nullptr;
  }
  std::FILE* file = _fdopen(fd, "wb");
  if (!file) {
    _close(fd);
    DeleteFileW(name.c_str());
  }
  return file;
}

}  // namespace

// Paths stay CP932 here (wideName turns them into the system's names).
Replacement openReplacement(const std::string& path) {
  Replacement r;
  DWORD attributes = GetFileAttributesW(wideName(path).c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) {
    // A read-only file stays as it is, as an open would leave it; a folder
    // of that name cannot take a file's place either.
    if (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) return r;
  } else if (GetLastError() != ERROR_FILE_NOT_FOUND) {
    // A device name ("NUL", "CON") or a path the system will not look at:
    // written as it is.
    r.written = path;
    r.file = openFile(path, "wb");
    return r;
  }
  const std::string stem = path + "." + std::to_string(GetCurrentProcessId());
  for (int n = 0; n < 100 && !r.file; ++n) {
    r.written = stem + (n ? "-" + std::to_string(n) : std::string()) + ".tmp";
    r.file = createNew(wideName(r.written));
    if (!r.file && GetLastError() != ERROR_FILE_EXISTS) break;
  }
  if (r.file) {
    r.target = path;
  } else if (GetLastError() == ERROR_ACCESS_DENIED && attributes != INVALID_FILE_ATTRIBUTES) {
    // A folder that takes no new file may still hold a file that can be
    // written: it is written where it is, as nothing else can be.
    r.written = path;
    r.file = openFile(path, "wb");
  }
  return r;
}

bool putReplacementInPlace(const Replacement& r) {
  if (r.target.empty()) return true;
  std::wstring written = wideName(r.written);
  if (MoveFileExW(written.c_str(), wideName(r.target).c_str(), MOVEFILE_REPLACE_EXISTING))
    return true;
  DeleteFileW(written.c_str());
  return false;
}

void discardReplacement(const Replacement& r) {
  if (!r.target.empty()) DeleteFileW(wideName(r.written).c_str());
}

std::string replacementFileName(const Replacement& r) { return nativeFileName(r.written); }

}  // namespace platform
