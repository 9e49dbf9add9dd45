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
  // The text; empty when it cannot be read back.
  std::string text(Ref ref) const;

 private:
  static constexpr std::uint64_t kInMemory = 1ull << 63;

  bool fileWritable();

  std::FILE* file_ = nullptr;
  bool fileFailed_ = false;  // no file, or a write failed: later texts stay here
  std::uint64_t end_ = 0;  // bytes written to the file
  mutable bool atEnd_ = true;  // no read since the last write
  std::deque<std::string> memory_;  // the texts when there is no file
};
