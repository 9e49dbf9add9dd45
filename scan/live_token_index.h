// Where the live tokens (neither blanks nor line breaks) stand in the
// reader's long ring. The ring keeps every token handed to the parser, and
// in indented code most of them are single blanks; looking back n live
// tokens by walking the ring costs a step per blank, and the parsers' walks
// look back again and again. The index remembers the push number of each
// live token, newest first, so that look-back n is one step.
#pragma once

#include <array>
#include <cstdint>
#include <string>

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

// The nearest look-backs, which the parsers ask for most (several times a
// token): the live tokens before the newest push, nearest first, with the
// ring slot each stands in. Kept up to date as the pushes come, so that
// asking costs a load and a check that the ring has not reused the slot.
class NearLiveTokens {
 public:
  static constexpr int kDepth = 4;

  void clear() {
    count_ = 0;
    newestLive_ = false;
  }

  // Around each push: `newest` is the ring's newest token before the push
  // (its slot) and `number` its push number; `live` tells of the token
  // pushed.
  void beforePush(const std::string* newest, std::uint64_t number) {
    if (!newestLive_) return;
    for (int k = kDepth; k > 1; --k) entries_[k] = entries_[k - 1];
    entries_[1] = Entry{newest, number};
    if (count_ < kDepth) ++count_;
  }
  void afterPush(bool live) { newestLive_ = live; }

  // Look-back n (1 to kDepth) when the pushes are numbered up to `newest`
  // in a ring of `slots`; null when there is none or its slot was reused.
  const std::string* at(int n, std::uint64_t newest, int slots) const {
    if (n > count_) return nullptr;
    const Entry& e = entries_[n];
    return newest - e.number < static_cast<std::uint64_t>(slots) ? e.token : nullptr;
  }

 private:
  struct Entry {
    const std::string* token = nullptr;
    std::uint64_t number = 0;
  };
  std::array<Entry, kDepth + 1> entries_{};  // entry 0 unused: look-backs count from 1
  int count_ = 0;
  bool newestLive_ = false;
};
