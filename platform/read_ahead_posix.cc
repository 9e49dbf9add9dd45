#include "platform/read_ahead.h"

#include <fcntl.h>
#include <unistd.h>

#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

#include "platform/path_resolution_posix.h"

namespace platform {

// A thread of its own opens each file in turn and asks the kernel to load
// the whole of it (posix_fadvise starts the reading and returns). A file
// the reading has already passed is skipped.
struct ReadAhead::Helper {
  std::vector<std::string> paths;  // native names
  std::mutex mutex;
  std::condition_variable moved;
  std::size_t reading = 0;  // guarded by mutex
  bool stop = false;        // guarded by mutex
  std::thread thread;

  void run() {
    for (std::size_t next = 0; next < paths.size(); ++next) {
      {
        std::unique_lock lock(mutex);
        moved.wait(lock, [&] { return stop || next < reading + kFilesAhead; });
        if (stop) return;
        if (next < reading) continue;
      }
      warm(paths[next]);
    }
  }

  // Without blocking on a named pipe or a device that waits for a writer.
  static void warm(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return;
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_WILLNEED);
    ::close(fd);
  }
};

ReadAhead::ReadAhead(const std::vector<std::string>& paths) {
  if (paths.size() < 2) return;  // the first file is read at once anyway
  helper_ = std::make_unique<Helper>();
  // Converted here, on the run's thread: the conversion of double-byte
  // characters shares one converter.
  helper_->paths.reserve(paths.size());
  for (const std::string& path : paths) helper_->paths.push_back(nativePathAsWritten(path));
  try {
    helper_->thread = std::thread([helper = helper_.get()] { helper->run(); });
  } catch (const std::system_error&) {
    helper_.reset();  // no thread to spare: the files are read as they come
  }
}

ReadAhead::~ReadAhead() {
  if (!helper_) return;
  {
    std::lock_guard lock(helper_->mutex);
    helper_->stop = true;
  }
  helper_->moved.notify_one();
  helper_->thread.join();
}

void ReadAhead::tell(std::size_t index) {
  {
    std::lock_guard lock(helper_->mutex);
    helper_->reading = index;
  }
  helper_->moved.notify_one();
}

}  // namespace platform
