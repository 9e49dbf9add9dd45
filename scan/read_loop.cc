#include "scan/read_loop.h"

#include "scan/source_blocks.h"
#include "scan/source_reader.h"

ReadResult readSource(SourceReader& reader, platform::ByteSource& source,
                      const ReadSettings& settings) {
  using Step = SourceReader::Step;
  const size_t size = settings.blockBytes ? settings.blockBytes : ReadSettings::kBlockBytes;
  const std::atomic<bool>* stop = settings.stop;
  IncludeHandler* includes = settings.includes;
  // Exactly a block each time: the tokenizer never looks past the bytes it is lent.
  SourceBlocks blocks(source, size, settings.encoding, settings.watch);
  bool last = false;
  while (!last) {
    SourceBlocks::Block block = blocks.next();
    last = block.last;
    reader.giveBlock(block.data, block.size);
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
