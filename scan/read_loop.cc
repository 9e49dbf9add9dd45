#include "scan/read_loop.h"

#include <memory>

#include "scan/source_reader.h"

ReadResult readSource(SourceReader& reader, platform::ByteSource& source,
                      const ReadSettings& settings) {
  using Step = SourceReader::Step;
  const size_t size = settings.blockBytes ? settings.blockBytes : ReadSettings::kBlockBytes;
  const std::atomic<bool>* stop = settings.stop;
  IncludeHandler* includes = settings.includes;
  // Exactly a block: the tokenizer never looks past the bytes it is lent.
  std::unique_ptr<char[]> block(new char[size]);
  bool last = false;
  while (!last) {
    size_t got = source.read(block.get(), size);
    last = got < size;
    reader.giveBlock(block.get(), got);
    // The block's tokens, until it is used up.
    for (Step step = reader.nextToken(last); step != Step::kBlockUsedUp;
         step = reader.nextToken(last)) {
      if (step == Step::kCallAgain) continue;
      if (stop && stop->load(std::memory_order_relaxed)) return ReadResult::kStopped;
      reader.processToken();
      if (reader.includeReady()) {
        if (includes) includes->include(reader);
        reader.clearInclude();
      }
      if (step == Step::kTokenLast) break;
    }
  }
  reader.endOfFile();
  return ReadResult::kEndOfFile;
}
