#include <windows.h>
#include <fcntl.h>
#include <io.h>

#include "platform/file_system.h"
#include "platform/wide_names_win32.h"

namespace platform {

const char kPathSeparator = '\\';

FileStatus fileStatus(const std::string& path) {
  FileStatus status;
  DWORD attributes = GetFileAttributesW(wideName(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return status;
  status.exists = true;
  status.isDirectory = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  return status;
}

bool fileIdentity(const std::string& path, FileIdentity& identity) {
  // Backup semantics let a folder be opened as a handle.
  HANDLE h =
      CreateFileW(wideName(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  BY_HANDLE_FILE_INFORMATION info;
  bool ok = GetFileInformationByHandle(h, &info) != 0;
  CloseHandle(h);
  if (!ok) return false;
  identity.volume = info.dwVolumeSerialNumber;
  identity.index = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
  return true;
}

// The read-only attribute of a folder means nothing to Windows (it marks
// folders with their own look), so only opening a file tells.
bool folderTakesFile(const std::string& folder, const std::string& name) {
  std::wstring path = wideName(folder + name);
  HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  bool made = GetLastError() != ERROR_ALREADY_EXISTS;
  CloseHandle(h);
  if (made) DeleteFileW(path.c_str());
  return true;
}

std::string currentDirectory() {
  DWORD length = GetCurrentDirectoryW(0, nullptr);
  std::wstring folder(length, L'\0');
  length = GetCurrentDirectoryW(length, folder.data());
  folder.resize(length);
  if (folder.empty() || folder.back() != L'\\') folder += L'\\';
  return nameFromWide(folder);
}

std::vector<DirectoryEntry> findFiles(const std::string& pattern) {
  std::vector<DirectoryEntry> entries;
  WIN32_FIND_DATAW data;
  HANDLE h = FindFirstFileW(wideName(pattern).c_str(), &data);
  if (h == INVALID_HANDLE_VALUE) return entries;
  do {
    entries.push_back(
        {nameFromWide(data.cFileName), (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
  } while (FindNextFileW(h, &data));
  FindClose(h);
  return entries;
}

std::FILE* openFile(const std::string& path, const char* mode) {
  std::wstring wideMode(mode, mode + std::char_traits<char>::length(mode));
  return _wfopen(wideName(path).c_str(), wideMode.c_str());
}

namespace {

FileProblem problemOfError(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_FILENAME_EXCED_RANGE:
      return FileProblem::kMissing;
    default:
      return FileProblem::kUnreadable;
  }
}

}  // namespace

// A folder does not open as a file; a console ("CON"), a pipe or another
// device does, and tells its kind before a byte is read.
OpenedFile openRegularFile(const std::string& path) {
  OpenedFile opened;
  std::wstring wide = wideName(path);
  HANDLE h = CreateFileW(wide.c_str(), GENERIC_READ,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    DWORD error = GetLastError();
    DWORD attributes = GetFileAttributesW(wide.c_str());
    bool folder = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    opened.problem = folder ? FileProblem::kFolder : problemOfError(error);
    return opened;
  }
  LARGE_INTEGER size;
  if (GetFileType(h) != FILE_TYPE_DISK || !GetFileSizeEx(h, &size)) {
    CloseHandle(h);
    opened.problem = FileProblem::kNotRegularFile;
    return opened;
  }
  int fd = _open_osfhandle(reinterpret_cast<intptr_t>(h), _O_RDONLY | _O_BINARY);
  if (fd < 0) {
    CloseHandle(h);
    opened.problem = FileProblem::kUnreadable;
    return opened;
  }
  opened.stream = _fdopen(fd, "rb");
  if (!opened.stream) {
    _close(fd);
    opened.problem = FileProblem::kUnreadable;
    return opened;
  }
  opened.problem = FileProblem::kNone;
  opened.size = static_cast<std::uint64_t>(size.QuadPart);
  return opened;
}

// Libraries built with mingw-w64 open files through the C runtime's fopen,
// which reads names in the system code page.
std::string nativeFileName(const std::string& path) {
  std::wstring wide = wideName(path);
  BOOL lost = FALSE;
  int size = WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, nullptr, 0, nullptr, &lost);
  if (size <= 1 || lost) return std::string();
  std::string name(size - 1, '\0');
  WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, name.data(), size, nullptr, nullptr);
  return name;
}

// In the user's temporary folder (tmpfile would try the drive's root,
// where a user may not write); "D" deletes the file when it is closed.
std::FILE* openTemporaryFile() {
  wchar_t folder[MAX_PATH + 1];
  wchar_t path[MAX_PATH + 1];
  DWORD length = GetTempPathW(MAX_PATH + 1, folder);
  if (length == 0 || length > MAX_PATH) return nullptr;
  if (GetTempFileNameW(folder, L"mz", 0, path) == 0) return nullptr;
  std::FILE* file = _wfopen(path, L"w+bTD");
  if (!file) DeleteFileW(path);
  return file;
}

bool seekFile(std::FILE* file, std::uint64_t offset) {
  return offset <= static_cast<std::uint64_t>(INT64_MAX) &&
         _fseeki64(file, static_cast<__int64>(offset), SEEK_SET) == 0;
}

bool makeDirectory(const std::string& path) {
  CreateDirectoryW(wideName(path).c_str(), nullptr);
  return fileStatus(path).isDirectory;
}

}  // namespace platform
