#include "scan/source_blocks.h"

#include <algorithm>
#include <cstring>

#include "platform/source_text.h"

namespace {

// Enough text after the first non-ASCII byte to tell the encodings apart,
// and a large read from the file.
constexpr size_t kWindowBytes = 64 * 1024;

bool startsWith(const char* data, size_t size, const char* mark, size_t length) {
  return size >= length && std::memcmp(data, mark, length) == 0;
}

}  // namespace

SourceBlocks::SourceBlocks(platform::ByteSource& source, size_t blockBytes, SourceEncoding encoding,
                           FileTextWatch* watch)
    : source_(source),
      block_(blockBytes ? blockBytes : 1),
      encoding_(encoding),
      watch_(watch),
      mode_(encoding == SourceEncoding::ShiftJis ? Mode::kInPlace : Mode::kUndecided) {
  // A whole number of blocks: the blocks lent from the window fall where
  // the file's own blocks would.
  capacity_ = (kWindowBytes + block_ - 1) / block_ * block_;
  window_.reset(new char[capacity_]);
}

SourceBlocks::Block SourceBlocks::next() {
  if (firstWindow_) {
    firstWindow_ = false;
    fillWindow();
    // Shift-JIS set for every file: every byte as it is, marks too, as the
    // reader has always taken them.
    if (encoding_ != SourceEncoding::ShiftJis) startOfFile();
  }
  if (mode_ == Mode::kConverted) {
    convertMore();
    size_t n = std::min(block_, converted_.size() - at_);
    Block block{converted_.data() + at_, n, n < block_};
    at_ += n;
    return block;
  }
  if (at_ == filled_ && !sourceDone_) fillWindow();
  if (mode_ == Mode::kUndecided && highByte_ < filled_ && at_ + block_ > highByte_) {
    decide();
    if (mode_ == Mode::kConverted) return next();
  }
  size_t n = std::min(block_, filled_ - at_);
  Block block{window_.get() + at_, n, n < block_};
  at_ += n;
  return block;
}

// A byte-order mark decides at once.
void SourceBlocks::startOfFile() {
  const char* data = window_.get();
  if (startsWith(data, filled_, "\xFF\xFE", 2)) {
    convertRest(2, FileText::kUtf16);
  } else if (startsWith(data, filled_, "\xEF\xBB\xBF", 3)) {
    convertRest(3, FileText::kUtf8);
  }
}

// Keeps what is not lent yet at the window's start and fills the rest.
void SourceBlocks::fillWindow() {
  size_t kept = filled_ - at_;
  if (kept && at_) std::memmove(window_.get(), window_.get() + at_, kept);
  size_t wanted = capacity_ - kept;
  size_t got = source_.read(window_.get() + kept, wanted);
  sourceDone_ = got < wanted;
  filled_ = kept + got;
  at_ = 0;
  if (mode_ == Mode::kUndecided) findHighByte();
}

void SourceBlocks::findHighByte() {
  const auto* data = reinterpret_cast<const unsigned char*>(window_.get());
  highByte_ = platform::firstHighByte(data, at_, filled_);
}

// At the block that holds the first non-ASCII byte: the window is moved
// up to that block and filled, so that the sample is as long as it can be.
void SourceBlocks::decide() {
  if (at_ > 0 && !sourceDone_) fillWindow();
  FileText text = FileText::kShiftJis;
  if (encoding_ == SourceEncoding::Utf8) {
    text = FileText::kUtf8;
  } else if (encoding_ == SourceEncoding::EucJp) {
    text = FileText::kEucJp;
  } else {
    std::string_view sample(window_.get() + highByte_, filled_ - highByte_);
    switch (platform::recogniseSourceText(sample, sourceDone_)) {
      case platform::SourceText::kShiftJis:
        break;
      case platform::SourceText::kUtf8:
        text = FileText::kUtf8;
        break;
      case platform::SourceText::kEucJp:
        text = FileText::kEucJp;
        break;
    }
  }
  if (text == FileText::kShiftJis)
    mode_ = Mode::kInPlace;
  else
    convertRest(at_, text);
}

// From window position `from` to the file's end the text is converted,
// a piece at a time (no copy of the whole file is made).
void SourceBlocks::convertRest(size_t from, FileText text) {
  unconverted_.assign(window_.get() + from, filled_ - from);
  mode_ = Mode::kConverted;
  converted_.clear();
  at_ = 0;
  tell(text);
}

// Converted text for at least one whole block (or all that is left): the
// pieces end after a line end, where no character of any of the encodings
// is cut.
void SourceBlocks::convertMore() {
  if (converted_.size() - at_ >= block_) return;
  converted_.erase(0, at_);
  at_ = 0;
  while (converted_.size() < block_ && !(sourceDone_ && unconverted_.empty())) {
    if (!sourceDone_) {
      size_t got = source_.read(window_.get(), capacity_);
      unconverted_.append(window_.get(), got);
      sourceDone_ = got < capacity_;
    }
    size_t piece = sourceDone_ ? unconverted_.size() : pieceEnd();
    if (piece == 0) continue;  // a line longer than the window: read on
    std::string_view text(unconverted_.data(), piece);
    if (readAs_ == FileText::kUtf16)
      platform::appendCp932FromUtf16(text, converted_);
    else if (readAs_ == FileText::kUtf8)
      platform::appendCp932FromUtf8(text, converted_);
    else
      platform::appendCp932FromEucJp(text, converted_);
    unconverted_.erase(0, piece);
  }
}

// The length of the unconverted text up to its last line end: "\n" alone,
// or the unit 0x000A at an even offset in UTF-16; 0 when there is none.
size_t SourceBlocks::pieceEnd() const {
  if (readAs_ != FileText::kUtf16) {
    size_t newline = unconverted_.rfind('\n');
    return newline == std::string::npos ? 0 : newline + 1;
  }
  for (size_t i = unconverted_.size() & ~size_t{1}; i >= 2; i -= 2)
    if (unconverted_[i - 2] == '\n' && unconverted_[i - 1] == '\0') return i;
  return 0;
}

void SourceBlocks::tell(FileText text) {
  readAs_ = text;
  if (watch_) watch_->readAs(text);
}
