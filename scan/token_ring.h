// A fixed number of reusable token slots: the reader's short ring (the
// last tokens the tokenizer delivered) and long ring (the tokens handed to
// the parser). Slot n holds the token pushed n pushes ago. A slot's buffer
// grows when a longer token arrives and is never shrunk, so once the slots
// have grown a push allocates nothing. References stay valid until the
// next push or clear. One slot more than the ring shows is kept as the
// place of the next push, so that a token can be built in it while the
// shown ones stay.
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
    nextPlace().assign(token.data(), token.size());
    pushBuilt();
  }
  // The place of the next push, not shown by at(): a token built there
  // (the buffers circulate instead of being copied) joins the ring with
  // pushBuilt().
  std::string& nextPlace() { return slots_[following(newest_)]; }
  void pushBuilt() {
    newest_ = following(newest_);
    ++pushes_;
  }
  // The token pushed n pushes ago; the empty text for n outside the ring.
  const std::string& at(int n) const {
    if (n < 0 || n >= slotCount_) return noToken();
    int slot = newest_ - n;
    if (slot < 0) slot += slotCount_ + 1;
    return slots_[slot];
  }
  int slots() const { return slotCount_; }
  // Pushes since the ring was made; the newest token has this number.
  std::uint64_t pushes() const { return pushes_; }
  // Empties every slot, keeping its buffer.
  void clear();

 private:
  static const std::string& noToken();
  int following(int slot) const { return slot == slotCount_ ? 0 : slot + 1; }

  std::vector<std::string> slots_;  // slotCount_ shown, and the next place
  int slotCount_;
  int newest_ = 0;
  std::uint64_t pushes_ = 0;
};
