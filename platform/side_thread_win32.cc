// Win32 threads and a slim reader/writer lock: the toolchain's thread model
// has no std::thread or std::mutex.
#include "platform/side_thread.h"

#include <windows.h>

namespace platform {

namespace {

DWORD WINAPI runWork(void* work) {
  (*static_cast<std::function<void()>*>(work))();
  return 0;
}

}  // namespace

struct SideThread::Handle {
  HANDLE thread;
};

SideThread::SideThread(std::function<void()> work) : work_(std::move(work)) {
  HANDLE thread = CreateThread(nullptr, 0, runWork, &work_, 0, nullptr);
  if (thread)
    handle_ = std::make_unique<Handle>(Handle{thread});
  else
    work_();
}

SideThread::~SideThread() { join(); }

void SideThread::join() {
  if (!handle_) return;
  WaitForSingleObject(handle_->thread, INFINITE);
  CloseHandle(handle_->thread);
  handle_.reset();
}

struct SideLock::State {
  SRWLOCK lock = SRWLOCK_INIT;
};

SideLock::SideLock() : state_(std::make_unique<State>()) {}
SideLock::~SideLock() = default;
void SideLock::lock() { AcquireSRWLockExclusive(&state_->lock); }
void SideLock::unlock() { ReleaseSRWLockExclusive(&state_->lock); }

}  // namespace platform
