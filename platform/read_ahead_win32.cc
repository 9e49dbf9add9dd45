// Windows has no call that only asks for a file to be loaded: the helper
// reads each file through a scratch buffer of its own, which leaves it in
// the system's cache for the run's read.
#include "platform/read_ahead.h"

#include <windows.h>

#include "platform/wide_names_win32.h"

namespace platform {

namespace {

constexpr DWORD kScratchBytes = 64 * 1024;

}  // namespace

struct ReadAhead::Helper {
  std::vector<std::wstring> paths;
  CRITICAL_SECTION lock;
  CONDITION_VARIABLE moved;
  std::size_t reading = 0;  // guarded by lock
  bool stop = false;        // guarded by lock
  HANDLE thread = nullptr;
  std::vector<char> scratch;

  Helper() {
    InitializeCriticalSection(&lock);
    InitializeConditionVariable(&moved);
  }
  ~Helper() { DeleteCriticalSection(&lock); }

  static DWORD WINAPI start(void* self) {
    static_cast<Helper*>(self)->run();
    return 0;
  }

  void run() {
    scratch.resize(kScratchBytes);
    for (std::size_t next = 0; next < paths.size(); ++next) {
      EnterCriticalSection(&lock);
      while (!stop && next >= reading + kFilesAhead)
        SleepConditionVariableCS(&moved, &lock, INFINITE);
      bool ended = stop;
      bool passed = next < reading;
      LeaveCriticalSection(&lock);
      if (ended) return;
      if (!passed) warm(paths[next]);
    }
  }

  bool stopped() {
    EnterCriticalSection(&lock);
    bool s = stop;
    LeaveCriticalSection(&lock);
    return s;
  }

  // Shared every way, so that the run's own open is never refused.
  void warm(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    if (GetFileType(file) == FILE_TYPE_DISK) {
      DWORD got = 0;
      while (!stopped() && ReadFile(file, scratch.data(), kScratchBytes, &got, nullptr) &&
             got > 0) {
      }
    }
    CloseHandle(file);
  }
};

ReadAhead::ReadAhead(const std::vector<std::string>& paths) {
  if (paths.size() < 2) return;  // the first file is read at once anyway
  helper_ = std::make_unique<Helper>();
  helper_->paths.reserve(paths.size());
  for (const std::string& path : paths) helper_->paths.push_back(wideName(path));
  helper_->thread = CreateThread(nullptr, 0, &Helper::start, helper_.get(), 0, nullptr);
  if (!helper_->thread) helper_.reset();  // no thread to spare: the files are read as they come
}

ReadAhead::~ReadAhead() {
  if (!helper_) return;
  EnterCriticalSection(&helper_->lock);
  helper_->stop = true;
  LeaveCriticalSection(&helper_->lock);
  WakeConditionVariable(&helper_->moved);
  WaitForSingleObject(helper_->thread, INFINITE);
  CloseHandle(helper_->thread);
}

void ReadAhead::tell(std::size_t index) {
  EnterCriticalSection(&helper_->lock);
  helper_->reading = index;
  LeaveCriticalSection(&helper_->lock);
  WakeConditionVariable(&helper_->moved);
}

}  // namespace platform
