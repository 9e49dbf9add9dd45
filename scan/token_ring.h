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

  void push(std::string_view token) {
    newest_ = newest_ + 1 == slotCount_ ? 0 : newest_ + 1;
    slots_[newest_].assign(token.data(), token.size());
    ++pushes_;
  }
  // Pushes an empty place, to be filled by the caller (e.g. by swapping a
  // token into it, so that the buffers circulate instead of being copied).
  std::string& pushPlace() {
    newest_ = newest_ + 1 == slotCount_ ? 0 : newest_ + 1;
    ++pushes_;
    slots_[newest_].clear();
    return slots_[newest_];
  }
  // The token pushed n pushes ago; the empty text for n outside the ring.
  const std::string& at(int n) const {
    if (n < 0 || n >= slotCount_) return noToken();
    int slot = newest_ - n;
    if (slot < 0) slot += slotCount_;
    return slots_[slot];
  }
  int slots() const { return slotCount_; }
  // Pushes since the ring was made; the newest token has this number.
  std::uint64_t pushes() const { return pushes_; }
  // Empties every slot, keeping its buffer.
  void clear();

 private:
  static const std::string& noToken();

  std::vector<std::string> slots_;
  int slotCount_;
  int newest_ = 0;
  std::uint64_t pushes_ = 0;
};
