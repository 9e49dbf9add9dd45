#include "scan/text_arena.h"

#include <cstring>

std::string_view TextArena::copy(std::string_view text) { return join(text, {}); }

std::string_view TextArena::join(std::string_view left, std::string_view right) {
  const size_t size = left.size() + right.size();
  if (size == 0) return {};
  char* to = room(size);
  std::memcpy(to, left.data(), left.size());
  if (!right.empty()) std::memcpy(to + left.size(), right.data(), right.size());
  return std::string_view(to, size);
}

void TextArena::clear() {
  current_ = 0;
  used_ = 0;
  large_.clear();
}

char* TextArena::room(size_t bytes) {
  if (bytes > kBlockBytes) {
    large_.push_back(std::make_unique<char[]>(bytes));
    return large_.back().get();
  }
  if (blocks_.empty()) blocks_.push_back(std::make_unique<char[]>(kBlockBytes));
  if (used_ + bytes > kBlockBytes) {
    ++current_;
    used_ = 0;
    if (current_ == blocks_.size()) blocks_.push_back(std::make_unique<char[]>(kBlockBytes));
  }
  char* at = blocks_[current_].get() + used_;
  used_ += bytes;
  return at;
}
