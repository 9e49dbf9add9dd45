// The blocks of one source file as its reader takes them, in CP932: read
// from the file into a window of 64 KiB and lent from there in place while
// the text is Shift-JIS (or ASCII), or converted whole once it shows
// another encoding (see read_loop.h). Blocks are lent as the file's own would be: each of the
// block size but the last, which is shorter, and empty when the text ends
// on a block's end.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "scan/read_loop.h"

class SourceBlocks {
 public:
  // The source and the watch must outlive the object.
  SourceBlocks(platform::ByteSource& source, size_t blockBytes, SourceEncoding encoding,
               FileTextWatch* watch);

  struct Block {
    const char* data;
    size_t size;
    bool last;
  };
  // The next block; valid until the next call. Not called after the last.
  Block next();
  FileText readAs() const { return readAs_; }

 private:
  enum class Mode { kUndecided, kInPlace, kConverted };
  void startOfFile();
  void fillWindow();
  void findHighByte();
  void decide();
  void convertRest(size_t from, FileText text);
  void convertMore();
  size_t pieceEnd() const;
  void tell(FileText text);

  platform::ByteSource& source_;
  const size_t block_;
  const SourceEncoding encoding_;
  FileTextWatch* watch_;
  Mode mode_;
  FileText readAs_ = FileText::kShiftJis;
  std::unique_ptr<char[]> window_;
  size_t capacity_;
  size_t filled_ = 0;
  size_t at_ = 0;            // the next block starts here (in the window or converted_)
  size_t highByte_ = 0;      // undecided: the window's first byte of 0x80 or above
  bool sourceDone_ = false;  // the source gave its last bytes
  bool firstWindow_ = true;
  std::string converted_;    // converted text not lent yet starts at at_
  std::string unconverted_;  // read, not converted yet (a line at most past a piece)
};
