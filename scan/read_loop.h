// The one loop that feeds a source's bytes through a reader: a block at a
// time (1,022 bytes, as the reader's blocks have always been), every token
// classified and handed to the parser, and each #include followed as soon
// as its line is complete. The run, the settings data file, the tests and
// the fuzz targets all read through it.
//
// It is also where a file's encoding is settled. A file in UTF-8, EUC-JP
// or UTF-16 is converted to CP932 once, whole, before its first block; a
// Shift-JIS or ASCII file is lent as it was read, in place. The decision
// waits for the first byte of 0x80 or above (ASCII reads alike in all of
// them) and then looks at up to 64 KiB from there; a byte-order mark
// (UTF-8 or UTF-16) decides at once. Shift-JIS set for all files takes
// every byte as it is, marks included, and tells of no file (a UTF-16
// file then goes to the tokenizer, which reads UTF-16 itself).
#pragma once

#include <atomic>
#include <cstddef>

#include "context/options.h"
#include "platform/byte_source.h"

class SourceReader;

// Follows an #include whose line `reader` has just completed (its name is
// reader.includeName()); the loop clears the request afterwards.
class IncludeHandler {
 public:
  virtual ~IncludeHandler() = default;
  virtual void include(SourceReader& reader) = 0;
};

// What a file's text was read as.
enum class FileText : unsigned char { kShiftJis, kUtf16, kUtf8, kEucJp };

// Told of a file that is not read as Shift-JIS, once, before its first
// token reaches the reader.
class FileTextWatch {
 public:
  virtual ~FileTextWatch() = default;
  virtual void readAs(FileText text) = 0;
};

struct ReadSettings {
  static constexpr size_t kBlockBytes = 1022;
  size_t blockBytes = kBlockBytes;
  // Null: #include lines are read and not followed.
  IncludeHandler* includes = nullptr;
  // Looked at between tokens; once set, the loop leaves the file at once.
  const std::atomic<bool>* stop = nullptr;
  // Shift-JIS: every byte as it is (the settings data file); Detect: each
  // file's own; another: every file with bytes of 0x80 and above in it
  // (and no byte-order mark).
  SourceEncoding encoding = SourceEncoding::ShiftJis;
  FileTextWatch* watch = nullptr;
};

enum class ReadResult {
  kEndOfFile,  // every byte read and the file's end checks made
  kStopped,    // a stop request ended the reading; the file is unfinished
};

// The reader must have been given its file (setFile) first.
ReadResult readSource(SourceReader& reader, platform::ByteSource& source,
                      const ReadSettings& settings = ReadSettings());
