#include "tables/comment_store.h"

#include <algorithm>

#include "platform/file_system.h"

namespace {

constexpr std::uint64_t kWindowBytes = 64 * 1024;

}  // namespace

CommentStore::~CommentStore() {
  if (file_) std::fclose(file_);
}

bool CommentStore::fileWritable() {
  if (!file_ && !fileFailed_) {
    file_ = platform::openTemporaryFile();
    fileFailed_ = file_ == nullptr;
  }
  return !fileFailed_;
}

CommentStore::Ref CommentStore::add(std::string_view text) {
  Ref ref;
  if (text.empty()) return ref;
  // A text of 4 GB or more is cut: its size must fit the reference.
  if (text.size() > UINT32_MAX) text = text.substr(0, UINT32_MAX);
  ref.size = static_cast<std::uint32_t>(text.size());
  // Offsets must stay within what fseek takes everywhere (a 32-bit long).
  if (fileWritable() && end_ + text.size() <= 0x7FFFFFFF) {
    // Writes go to the end; only a read in between moves the position (a
    // seek before every write would flush the buffer each time).
    bool placed = atEnd_ || std::fseek(file_, static_cast<long>(end_), SEEK_SET) == 0;
    atEnd_ = true;
    if (placed && std::fwrite(text.data(), 1, text.size(), file_) == text.size()) {
      ref.offset = end_;
      end_ += text.size();
      return ref;
    }
    // The disk is full: the texts written so far stay readable, the next
    // ones are kept here.
    fileFailed_ = true;
  }
  ref.offset = kInMemory | memory_.size();
  memory_.emplace_back(text);
  return ref;
}

std::string_view CommentStore::text(Ref ref) const {
  if (ref.empty()) return {};
  if (ref.offset & kInMemory) {
    std::uint64_t index = ref.offset & ~kInMemory;
    return index < memory_.size() ? std::string_view(memory_[index]) : std::string_view();
  }
  std::uint64_t into = ref.offset - windowStart_;
  bool inWindow = ref.offset >= windowStart_ && into + ref.size <= window_.size();
  if (!inWindow) {
    if (!fillWindow(ref.offset, ref.size)) return {};
    into = 0;
  }
  return std::string_view(window_).substr(static_cast<size_t>(into), ref.size);
}

bool CommentStore::fillWindow(std::uint64_t offset, std::uint32_t size) const {
  std::uint64_t bytes = std::max<std::uint64_t>(size, std::min(kWindowBytes, end_ - offset));
  window_.resize(static_cast<size_t>(bytes));
  atEnd_ = false;
  bool read = file_ && std::fseek(file_, static_cast<long>(offset), SEEK_SET) == 0 &&
              std::fread(window_.data(), 1, window_.size(), file_) == window_.size();
  windowStart_ = offset;
  if (!read) window_.clear();
  return read;
}
