// Text that lives as long as one macro expansion: the tokens made while
// expanding are views into it. Blocks are kept when the arena is cleared,
// so a warmed-up arena copies without allocating. Views stay valid until
// clear().
#pragma once

#include <cstddef>
#include <memory>
#include <string_view>
#include <vector>

class TextArena {
 public:
  // A lasting copy of `text`.
  std::string_view copy(std::string_view text);
  // A lasting copy of `left` followed by `right`.
  std::string_view join(std::string_view left, std::string_view right);
  // Forgets every copy; the memory is kept for the next ones.
  void clear();

  static constexpr size_t kBlockBytes = 16384;

 private:
  char* room(size_t bytes);

  std::vector<std::unique_ptr<char[]>> blocks_;  // of kBlockBytes each
  size_t current_ = 0;                           // the block being filled
  size_t used_ = 0;                              // bytes used in it
  std::vector<std::unique_ptr<char[]>> large_;   // texts longer than a block
};
