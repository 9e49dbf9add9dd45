#include "platform/side_thread.h"

#include <mutex>
#include <system_error>
#include <thread>

namespace platform {

struct SideThread::Handle {
  std::thread thread;
};

SideThread::SideThread(std::function<void()> work) : work_(std::move(work)) {
  try {
    handle_ = std::make_unique<Handle>(Handle{std::thread([this] { work_(); })});
  } catch (const std::system_error&) {
    work_();
  }
}

SideThread::~SideThread() { join(); }

void SideThread::join() {
  if (!handle_) return;
  handle_->thread.join();
  handle_.reset();
}

struct SideLock::State {
  std::mutex mutex;
};

SideLock::SideLock() : state_(std::make_unique<State>()) {}
SideLock::~SideLock() = default;
void SideLock::lock() { state_->mutex.lock(); }
void SideLock::unlock() { state_->mutex.unlock(); }

}  // namespace platform
