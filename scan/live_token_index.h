// Where the live tokens (neither blanks nor line breaks) stand in the
// reader's long ring. The ring keeps every token handed to the parser, and
// in indented code most of them are single blanks; looking back n live
// tokens by walking the ring costs a step per blank, and the parsers' walks
// look back again and again. The index remembers the push number of each
// live token, newest first, so that look-back n is one step.
#pragma once

#include <array>
#include <cstdint>

class LiveTokenIndex {
 public:
  static constexpr int kCapacity = 200;

  void clear() { count_ = 0; }

  void add(std::uint64_t pushNumber) {
    newest_ = newest_ + 1 == kCapacity ? 0 : newest_ + 1;
    pushNumbers_[newest_] = pushNumber;
    if (count_ < kCapacity) ++count_;
  }

  int count() const { return count_; }

  // Push number of the live token added n additions ago (0 = newest);
  // n must be below count().
  std::uint64_t at(int n) const {
    int slot = newest_ - n;
    if (slot < 0) slot += kCapacity;
    return pushNumbers_[slot];
  }

 private:
  std::array<std::uint64_t, kCapacity> pushNumbers_{};
  int newest_ = 0;
  int count_ = 0;
};
