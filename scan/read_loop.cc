#include "scan/read_loop.h"

#include <memory>

#include "scan/source_reader.h"

namespace {

bool stopRequested(const ReadSettings& settings) {
  return settings.stop && settings.stop->load(std::memory_order_relaxed);
}

// Takes the tokens of the block lent to the reader until it is used up.
ReadResult readBlock(SourceReader& reader, bool last, const ReadSettings& settings) {
  for (;;) {
    SourceReader::Step step = reader.nextToken(last);
    if (step == SourceReader::Step::kBlockUsedUp) return ReadResult::kEndOfFile;
    if (step == SourceReader::Step::kCallAgain) continue;
    if (stopRequested(settings)) return ReadResult::kStopped;
    reader.processToken();
    if (reader.includeReady()) {
      if (settings.includes) settings.includes->include(reader);
      reader.clearInclude();
    }
    if (step == SourceReader::Step::kTokenLast) return ReadResult::kEndOfFile;
  }
}

}  // namespace

ReadResult readSource(SourceReader& reader, platform::ByteSource& source,
                      const ReadSettings& settings) {
  const size_t size = settings.blockBytes ? settings.blockBytes : ReadSettings::kBlockBytes;
  // Exactly a block: the tokenizer never looks past the bytes it is lent.
  std::unique_ptr<char[]> block(new char[size]);
  bool last = false;
  while (!last) {
    size_t got = source.read(block.get(), size);
    last = got < size;
    reader.giveBlock(block.get(), got);
    if (readBlock(reader, last, settings) == ReadResult::kStopped) return ReadResult::kStopped;
  }
  reader.endOfFile();
  return ReadResult::kEndOfFile;
}
