// The comment headers of the functions, kept in a temporary file rather
// than in memory: on a large run they are the biggest part of the function
// table, and only the function details report reads them, at the end.
//
// The text captured before a header grows while declarations follow each
// other without a blank line between them, and each of them registers it
// again: a text that begins with the last one stored is stored as that one
// and its new end only, and one that the last text begins with takes no
// bytes at all. A function that is given the text it holds again (the
// prototypes of a header read for each source) keeps the text it has.
// Offsets are 64-bit, so the file has no cap. When no temporary file can
// be made, or a write to it fails (the disk is full), the texts from then
// on stay in memory, and the log and standard error say so once.
#pragma once

#include <cstdint>
#include <cstdio>
#include <deque>
#include <string>
#include <string_view>

class CommentStore {
 public:
  // Where one text lies, and a digest of it; the empty text has size 0.
  struct Ref {
    std::uint64_t offset = 0;
    std::uint64_t digest = 0;
    std::uint32_t size = 0;
    bool empty() const { return size == 0; }
  };

  CommentStore() = default;
  ~CommentStore();
  CommentStore(const CommentStore&) = delete;
  CommentStore& operator=(const CommentStore&) = delete;

  // The reference of `text`: `held` itself when that is the same text
  // (same size and digest), so that an owner given its text again stores
  // nothing; otherwise a new one.
  Ref add(std::string_view text, Ref held);
  Ref add(std::string_view text) { return add(text, Ref()); }
  // The text, valid until the next call; empty when it cannot be read back.
  std::string_view text(Ref ref) const;

  // What the file took and gave back, for the measurements.
  std::uint64_t bytesWritten() const { return end_; }
  std::uint64_t bytesRead() const { return bytesRead_; }
  // Whether texts had to stay in memory because the file failed.
  bool inMemory() const { return !memory_.empty(); }

 private:
  static constexpr std::uint64_t kInMemory = 1ull << 63;

  bool fileWritable();
  // Writes `bytes` at the end of the file; false (and the file given up)
  // when they do not all go in.
  bool append(std::string_view bytes);
  void giveUpFile();
  Ref keepInMemory(Ref ref, std::string_view text);

  std::FILE* file_ = nullptr;
  bool fileFailed_ = false;  // no file, or a write failed: later texts stay here
  std::uint64_t end_ = 0;    // bytes written to the file
  mutable bool atEnd_ = true;  // no read since the last write
  // The last text stored in the file, which ends the file at lastOffset_.
  std::string last_;
  std::uint64_t lastOffset_ = 0;
  mutable std::string read_;  // the text last read back
  mutable std::uint64_t bytesRead_ = 0;
  std::deque<std::string> memory_;  // the texts when there is no file
};
