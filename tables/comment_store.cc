#include "tables/comment_store.h"

#include <functional>

#include "platform/file_system.h"
#include "platform/program.h"
#include "report/error_log.h"

namespace {

const char kKeptInMemoryLine[] =
    "コメントを一時ファイルに書き込めません。以降のコメントはメモリに保持します";

std::uint64_t digestOf(std::string_view text) { return std::hash<std::string_view>()(text); }

bool startsWith(std::string_view text, std::string_view head) {
  return text.size() >= head.size() && text.compare(0, head.size(), head) == 0;
}

}  // namespace

CommentStore::~CommentStore() {
  if (file_) std::fclose(file_);
}

bool CommentStore::fileWritable() {
  if (!file_ && !fileFailed_) {
    file_ = platform::openTemporaryFile();
    if (!file_) giveUpFile();
  }
  return !fileFailed_;
}

// Writes go to the end; only a read in between moves the position (a seek
// before every write would flush the buffer each time).
bool CommentStore::append(std::string_view bytes) {
  bool placed = atEnd_ || platform::seekFile(file_, end_);
  atEnd_ = true;
  if (placed && std::fwrite(bytes.data(), 1, bytes.size(), file_) == bytes.size()) {
    end_ += bytes.size();
    return true;
  }
  giveUpFile();
  return false;
}

// The texts written so far stay readable; the next ones are kept here.
void CommentStore::giveUpFile() {
  if (fileFailed_) return;
  fileFailed_ = true;
  last_.clear();
  last_.shrink_to_fit();
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
  if (!fileWritable()) return keepInMemory(ref, text);
  if (!last_.empty() && startsWith(last_, text)) {
    ref.offset = lastOffset_;
    return ref;
  }
  if (!last_.empty() && startsWith(text, last_)) {
    if (!append(text.substr(last_.size()))) return keepInMemory(ref, text);
    ref.offset = lastOffset_;
    last_.append(text.substr(last_.size()));
    return ref;
  }
  std::uint64_t offset = end_;
  if (!append(text)) return keepInMemory(ref, text);
  ref.offset = lastOffset_ = offset;
  last_.assign(text);
  return ref;
}

std::string_view CommentStore::text(Ref ref) const {
  if (ref.empty()) return {};
  if (ref.offset & kInMemory) {
    std::uint64_t index = ref.offset & ~kInMemory;
    return index < memory_.size() ? std::string_view(memory_[index]) : std::string_view();
  }
  // Only the text itself is read: the details ask in key order, which is
  // seldom the order of the file, so a larger block would mostly be read
  // for nothing.
  read_.resize(ref.size);
  atEnd_ = false;
  bool read = file_ && platform::seekFile(file_, ref.offset) &&
              std::fread(read_.data(), 1, read_.size(), file_) == read_.size();
  if (!read) return {};
  bytesRead_ += ref.size;
  return read_;
}
