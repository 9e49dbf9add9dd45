#include "tables/comment_store.h"

#include <algorithm>
#include <cstring>
#include <functional>

#include "platform/file_system.h"
#include "platform/program.h"
#include "report/error_log.h"

namespace {

const char kKeptInMemoryLine[] =
    "コメントを一時ファイルに書き込めません。以降のコメントはメモリに保持します";

// Bytes gathered before they go to the file in one write.
constexpr size_t kBufferBytes = 64 * 1024;

std::uint64_t digestOf(std::string_view text) { return std::hash<std::string_view>()(text); }

bool startsWith(std::string_view text, std::string_view head) {
  return text.size() >= head.size() && text.compare(0, head.size(), head) == 0;
}

}  // namespace

CommentStore::~CommentStore() {
  if (file_) std::fclose(file_);
}

CommentStore::CommentStore(std::FILE* file) { useFile(file); }

// The store buffers itself: a write that fails must fail in its flush,
// not later in a buffer of the runtime holding texts already given out.
void CommentStore::useFile(std::FILE* file) {
  file_ = file;
  if (file_)
    std::setvbuf(file_, nullptr, _IONBF, 0);
  else
    giveUpFile();
}

bool CommentStore::fileWritable() {
  if (!file_ && !fileFailed_) useFile(platform::openTemporaryFile());
  return !fileFailed_;
}

void CommentStore::append(std::string_view bytes) {
  pending_.append(bytes);
  end_ += bytes.size();
  if (pending_.size() >= kBufferBytes) flush();
}

// Writes go to the end; only a read in between moves the position.
void CommentStore::flush() const {
  if (fileFailed_ || pending_.empty()) return;
  bool placed = atEnd_ || platform::seekFile(file_, flushed_);
  atEnd_ = true;
  if (placed && std::fwrite(pending_.data(), 1, pending_.size(), file_) == pending_.size()) {
    flushed_ += pending_.size();
    pending_.clear();
    return;
  }
  giveUpFile();
}

void CommentStore::giveUpFile() const {
  if (fileFailed_) return;
  fileFailed_ = true;
  errorLog() << kKeptInMemoryLine << "\n";
  platform::writeStandardError(std::string(kKeptInMemoryLine) + "\n");
}

CommentStore::Ref CommentStore::keepInMemory(Ref ref, std::string_view text) {
  ref.offset = kInMemory | memory_.size();
  memory_.emplace_back(text);
  return ref;
}

CommentStore::Ref CommentStore::add(std::string_view text, Ref held) {
  if (text.empty()) return Ref();
  // A text of 4 GB or more is cut: its size must fit the reference.
  if (text.size() > UINT32_MAX) text = text.substr(0, UINT32_MAX);
  Ref ref;
  ref.size = static_cast<std::uint32_t>(text.size());
  ref.digest = digestOf(text);
  if (held.size == ref.size && held.digest == ref.digest) return held;
  if (!fileWritable()) {
    if (!last_.empty()) {
      last_.clear();
      last_.shrink_to_fit();
    }
    return keepInMemory(ref, text);
  }
  if (startsWith(last_, text)) {
    ref.offset = lastOffset_;
    return ref;
  }
  if (!last_.empty() && startsWith(text, last_)) {
    append(text.substr(last_.size()));
    last_.append(text.substr(last_.size()));
  } else {
    lastOffset_ = end_;
    append(text);
    last_.assign(text);
  }
  ref.offset = lastOffset_;
  return ref;
}

std::string_view CommentStore::text(Ref ref) const {
  if (ref.empty()) return {};
  if (ref.offset & kInMemory) {
    std::uint64_t index = ref.offset & ~kInMemory;
    return index < memory_.size() ? std::string_view(memory_[index]) : std::string_view();
  }
  if (ref.offset + ref.size > end_ || !readBack(ref.offset, ref.size)) return {};
  return read_;
}

// Only the text itself is read: the details ask in key order, which is
// seldom the order of the file, so a larger block would mostly be read for
// nothing.
bool CommentStore::readBack(std::uint64_t offset, std::uint32_t size) const {
  flush();
  read_.resize(size);
  size_t fromFile =
      offset < flushed_ ? static_cast<size_t>(std::min<std::uint64_t>(size, flushed_ - offset)) : 0;
  if (fromFile > 0) {
    atEnd_ = false;
    if (!platform::seekFile(file_, offset) ||
        std::fread(read_.data(), 1, fromFile, file_) != fromFile)
      return false;
    bytesRead_ += fromFile;
  }
  // What the file refused is still in the buffer.
  if (fromFile < size) {
    size_t into = static_cast<size_t>(offset + fromFile - flushed_);
    std::memcpy(read_.data() + fromFile, pending_.data() + into, size - fromFile);
  }
  return true;
}
