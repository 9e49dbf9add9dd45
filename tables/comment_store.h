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
// Offsets are 64-bit, so the file has no cap. The store buffers its
// writes itself: bytes that the file refuses (the disk is full) are still
// in the buffer, so no text is lost; they and the texts from then on stay
// in memory, and the log and standard error say so once. So it is when no
// temporary file can be made.
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
  // A store on a file that is open for reading and writing (tests give
  // one that refuses writes); it closes the file.
  explicit CommentStore(std::FILE* file);
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
  std::uint64_t bytesWritten() const { return flushed_; }
  std::uint64_t bytesRead() const { return bytesRead_; }
  // Whether the file failed, so that texts stay in memory.
  bool keptInMemory() const { return fileFailed_; }

 private:
  static constexpr std::uint64_t kInMemory = 1ull << 63;

  void useFile(std::FILE* file);
  bool fileWritable();
  // Puts `bytes` at the end of the store (the buffer, the file behind it).
  void append(std::string_view bytes);
  // Writes the buffer to the file; when the file refuses it, the buffer
  // stays for good and the file takes nothing more.
  void flush() const;
  void giveUpFile() const;
  Ref keepInMemory(Ref ref, std::string_view text);
  // `size` bytes from `offset` of the file and the buffer after it.
  bool readBack(std::uint64_t offset, std::uint32_t size) const;

  std::FILE* file_ = nullptr;
  mutable bool fileFailed_ = false;    // no file, or a write failed: later texts stay here
  std::uint64_t end_ = 0;              // bytes stored in the file and the buffer
  mutable std::uint64_t flushed_ = 0;  // bytes in the file
  mutable std::string pending_;        // the bytes after flushed_
  mutable bool atEnd_ = true;          // no read since the last write
  // The last text stored in the file, which ends the store at lastOffset_.
  std::string last_;
  std::uint64_t lastOffset_ = 0;
  mutable std::string read_;  // the text last read back
  mutable std::uint64_t bytesRead_ = 0;
  std::deque<std::string> memory_;  // the texts after the file failed
};
