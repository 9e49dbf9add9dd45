// Reading the sources ahead of the analysis. A run reads thousands of files
// one after the other, and a file that is not in the system's file cache
// keeps the run waiting for the disk while it is read. A helper asks the
// system to load the next files while the current one is analysed, so that
// the waits overlap the work. It only warms the cache: the run reads every
// file as before, and a file the helper cannot open is simply left to it.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace platform {

class ReadAhead {
 public:
  // How many files the helper runs ahead of the reading: enough to keep the
  // disk busy, few enough that a tree larger than the memory does not push
  // out of the cache what was warmed before it is read.
  static constexpr std::size_t kFilesAhead = 64;

  // Starts warming `paths` (CP932), the files the run will read, in order.
  explicit ReadAhead(const std::vector<std::string>& paths);
  // Stops the helper; it does not wait for the files still ahead.
  ~ReadAhead();
  ReadAhead(const ReadAhead&) = delete;
  ReadAhead& operator=(const ReadAhead&) = delete;

  // The run is now reading paths[index]. The helper hears of it every
  // kFilesAhead / 2 files (one wake-up for as many files, not one each),
  // so it keeps between half its bound and its bound before the reading.
  void reached(std::size_t index);

 private:
  struct Helper;
  // Passes the reading's position to the helper and wakes it.
  void tell(std::size_t index);

  std::unique_ptr<Helper> helper_;
  std::size_t told_ = 0;  // the position last told
};

}  // namespace platform
