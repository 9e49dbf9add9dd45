// A second thread for one piece of work that runs beside the caller's, and
// a lock for what the two share. The work must not touch what the caller
// changes meanwhile; the caller waits for it with join().
#pragma once

#include <functional>
#include <memory>

namespace platform {

class SideThread {
 public:
  // Starts `work`; where no thread can be started, it is done here and now,
  // so that nothing is left undone.
  explicit SideThread(std::function<void()> work);
  // Waits for the work.
  ~SideThread();
  SideThread(const SideThread&) = delete;
  SideThread& operator=(const SideThread&) = delete;

  void join();

 private:
  struct Handle;
  std::function<void()> work_;
  std::unique_ptr<Handle> handle_;  // null once joined or when done in place
};

// Held by one thread at a time; lock()/unlock() as std::lock_guard asks.
class SideLock {
 public:
  SideLock();
  ~SideLock();
  SideLock(const SideLock&) = delete;
  SideLock& operator=(const SideLock&) = delete;

  void lock();
  void unlock();

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace platform
