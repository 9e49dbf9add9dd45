// Texts that many records share or that are only read for the reports
// (return types, argument lists, the names in reference lists), each kept
// once and named by a 4-byte id instead of a string per record: a large
// translation unit holds hundreds of thousands of them, and a string each
// cost 32 bytes, one allocation and its rounding. The bytes lie in blocks
// that never move, so a text's view stays valid for the pool's life.
// Texts are the same when their bytes are the same.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class TextPool {
 public:
  using Id = std::uint32_t;
  // The empty text, which every pool holds.
  static constexpr Id kEmpty = 0;

  TextPool();
  TextPool(const TextPool&) = delete;
  TextPool& operator=(const TextPool&) = delete;

  // The id of `text`, added when new. A text of 4 GiB or more is cut.
  Id add(std::string_view text);
  // The text of an id that add() gave.
  std::string_view text(Id id) const { return {starts_[id], sizes_[id]}; }
  // The texts of a list of ids, in its order (for the reports' cells).
  std::vector<std::string> texts(const std::vector<Id>& ids) const;
  // Texts held, the empty one included.
  size_t size() const { return sizes_.size(); }

 private:
  static constexpr Id kFree = 0;  // no text in the slot (the empty text is never looked up)

  const char* store(std::string_view text);
  void grow();
  size_t slotOf(std::string_view text, size_t hash) const;

  std::vector<std::unique_ptr<char[]>> blocks_;
  size_t blockLeft_ = 0;  // bytes still free in the last block
  char* blockNext_ = nullptr;
  std::vector<const char*> starts_;  // by id
  std::vector<std::uint32_t> sizes_;
  std::vector<Id> slots_;  // open addressing, a power of two, at most half full
};
