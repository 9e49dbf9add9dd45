#include "tables/text_pool.h"

#include <algorithm>
#include <cstring>
#include <functional>

namespace {

// Small enough that the last block's unused end costs little, large enough
// that blocks are few; a longer text gets a block of its own.
constexpr size_t kBlockBytes = 64 * 1024;
constexpr size_t kFirstSlots = 64;

size_t hashOf(std::string_view text) { return std::hash<std::string_view>{}(text); }

}  // namespace

TextPool::TextPool() : starts_{""}, sizes_{0}, slots_(kFirstSlots, kFree) {}

TextPool::Id TextPool::add(std::string_view text) {
  if (text.empty()) return kEmpty;
  if (text.size() > UINT32_MAX) text = text.substr(0, UINT32_MAX);
  size_t hash = hashOf(text);
  size_t slot = slotOf(text, hash);
  if (slots_[slot] != kFree) return slots_[slot];
  Id id = static_cast<Id>(sizes_.size());
  starts_.push_back(store(text));
  sizes_.push_back(static_cast<std::uint32_t>(text.size()));
  slots_[slot] = id;
  if (2 * sizes_.size() > slots_.size()) grow();
  return id;
}

std::vector<std::string> TextPool::texts(const std::vector<Id>& ids) const {
  std::vector<std::string> list;
  list.reserve(ids.size());
  for (Id id : ids) list.emplace_back(text(id));
  return list;
}

const char* TextPool::store(std::string_view text) {
  if (text.size() > blockLeft_) {
    size_t bytes = std::max(kBlockBytes, text.size());
    blocks_.push_back(std::make_unique<char[]>(bytes));
    blockNext_ = blocks_.back().get();
    blockLeft_ = bytes;
  }
  char* at = blockNext_;
  std::memcpy(at, text.data(), text.size());
  blockNext_ += text.size();
  blockLeft_ -= text.size();
  return at;
}

size_t TextPool::slotOf(std::string_view text, size_t hash) const {
  size_t mask = slots_.size() - 1;
  for (size_t i = hash & mask;; i = (i + 1) & mask)
    if (slots_[i] == kFree || this->text(slots_[i]) == text) return i;
}

void TextPool::grow() {
  std::vector<Id> old(slots_.size() * 2, kFree);
  old.swap(slots_);
  for (Id id : old)
    if (id != kFree) slots_[slotOf(text(id), hashOf(text(id)))] = id;
}
