#include <windows.h>

#include "platform/file_system.h"

namespace platform {

const char kPathSeparator = '\\';

FileStatus fileStatus(const std::string& path) {
  FileStatus status;
  DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return status;
  status.exists = true;
  status.isDirectory = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  return status;
}

std::vector<DirectoryEntry> findFiles(const std::string& pattern) {
  std::vector<DirectoryEntry> entries;
  WIN32_FIND_DATAA data;
  HANDLE h = FindFirstFileA(pattern.c_str(), &data);
  if (h == INVALID_HANDLE_VALUE) return entries;
  do {
    entries.push_back({data.cFileName, (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
  } while (FindNextFileA(h, &data));
  FindClose(h);
  return entries;
}

std::FILE* openFile(const std::string& path, const char* mode) {
  return std::fopen(path.c_str(), mode);
}

// In the user's temporary folder (tmpfile would try the drive's root,
// where a user may not write); "D" deletes the file when it is closed.
std::FILE* openTemporaryFile() {
  char folder[MAX_PATH + 1];
  char path[MAX_PATH + 1];
  DWORD length = GetTempPathA(sizeof folder, folder);
  if (length == 0 || length > MAX_PATH) return nullptr;
  if (GetTempFileNameA(folder, "mz", 0, path) == 0) return nullptr;
  std::FILE* file = std::fopen(path, "w+bTD");
  if (!file) DeleteFileA(path);
  return file;
}

bool makeDirectory(const std::string& path) {
  CreateDirectoryA(path.c_str(), nullptr);
  return fileStatus(path).isDirectory;
}

}  // namespace platform
