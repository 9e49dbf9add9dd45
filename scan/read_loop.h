// The one loop that feeds a source's bytes through a reader: a block at a
// time (1,022 bytes, as the reader's blocks have always been), every token
// classified and handed to the parser, and each #include followed as soon
// as its line is complete. The run, the settings data file, the tests and
// the fuzz targets all read through it.
#pragma once

#include <atomic>
#include <cstddef>

#include "platform/byte_source.h"

class SourceReader;

// Follows an #include whose line `reader` has just completed (its name is
// reader.includeName()); the loop clears the request afterwards.
class IncludeHandler {
 public:
  virtual ~IncludeHandler() = default;
  virtual void include(SourceReader& reader) = 0;
};

struct ReadSettings {
  static constexpr size_t kBlockBytes = 1022;
  size_t blockBytes = kBlockBytes;
  // Null: #include lines are read and not followed.
  IncludeHandler* includes = nullptr;
  // Looked at between tokens; once set, the loop leaves the file at once.
  const std::atomic<bool>* stop = nullptr;
};

enum class ReadResult {
  kEndOfFile,  // every byte read and the file's end checks made
  kStopped,    // a stop request ended the reading; the file is unfinished
};

// The reader must have been given its file (setFile) first.
ReadResult readSource(SourceReader& reader, platform::ByteSource& source,
                      const ReadSettings& settings = ReadSettings());
