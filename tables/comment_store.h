// The comment headers of the functions, kept in a temporary file rather
// than in memory: on a large run they are the biggest part of the function
// table, and only the function details report reads them, once, at the
// end. When no temporary file can be made they stay in memory.
#pragma once

#include <cstdint>
#include <cstdio>
#include <deque>
#include <string>
#include <string_view>

class CommentStore {
 public:
  // Where one text lies; the empty text has size 0.
  struct Ref {
    std::uint64_t offset = 0;
    std::uint32_t size = 0;
    bool empty() const { return size == 0; }
  };

  CommentStore() = default;
  ~CommentStore();
  CommentStore(const CommentStore&) = delete;
  CommentStore& operator=(const CommentStore&) = delete;

  Ref add(std::string_view text);
  // The text, valid until the next call; empty when it cannot be read back.
  std::string_view text(Ref ref) const;

 private:
  static constexpr std::uint64_t kInMemory = 1ull << 63;

  bool fileWritable();
  // Reads the file from `offset` into the window: `size` bytes at least,
  // a whole window when the file has that many.
  bool fillWindow(std::uint64_t offset, std::uint32_t size) const;

  std::FILE* file_ = nullptr;
  bool fileFailed_ = false;  // no file, or a write failed: later texts stay here
  std::uint64_t end_ = 0;  // bytes written to the file
  mutable bool atEnd_ = true;  // no read since the last write
  // The report reads the texts in its own order, mostly near each other in
  // the file: a block read once serves the texts in it, one seek and read
  // for many. The file only grows, so the block never goes stale.
  mutable std::string window_;
  mutable std::uint64_t windowStart_ = 0;
  std::deque<std::string> memory_;  // the texts when there is no file
};
