// A fixed number of reusable token slots: the reader's short ring (the
// last tokens the tokenizer delivered) and long ring (the tokens handed to
// the parser). Slot n holds the token pushed n pushes ago. A slot's buffer
// grows when a longer token arrives and is never shrunk, so once the slots
// have grown a push allocates nothing. References stay valid until the
// next push or clear.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class TokenRing {
 public:
  TokenRing(int slots, size_t initialCapacity);

  void push(std::string_view token);
  // The token pushed n pushes ago; the empty text for n outside the ring.
  const std::string& at(int n) const;
  int slots() const { return static_cast<int>(slots_.size()); }
  // Pushes since the ring was made; the newest token has this number.
  std::uint64_t pushes() const { return pushes_; }
  // Empties every slot, keeping its buffer.
  void clear();

 private:
  std::vector<std::string> slots_;
  int newest_ = 0;
  std::uint64_t pushes_ = 0;
};
