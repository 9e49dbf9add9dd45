// A hash index beside a sorted name table: each name once, with the
// position of its record in the owner's store, found by hashing the name
// once instead of a binary search with a comparison per step. The sorted
// table stays for the order of the reports.
// The index keeps no names, only their hashes (8 bytes a slot): the owner
// passes `nameOf(position)`, the name its record holds. Names are equal as
// compareNames says; the index remembers the comparison they were added
// under. Once the run's comparison differs from it, usable() is false and
// the owner searches its sorted list as before (which the same change
// leaves as it was). A record's name must not change while it is indexed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "context/text_util.h"
#include "scan/lexical_rules.h"

class NameIndex {
 public:
  // The position of `name`, or null; only while usable().
  template <class NameOf>
  const std::uint32_t* find(std::string_view name, NameOf nameOf) const {
    if (count_ == 0) return nullptr;
    return findHashed(hashName(name, folded_),
                      [&](std::uint32_t position) { return sameName(nameOf(position), name); });
  }
  // A key of several names (a name and its owners) is indexed by the hash
  // of its parts (partHash, combined by the owner) and found by the
  // owner's test of a position (`holds`), under the run's comparison too.
  static std::uint32_t partHash(std::string_view name) {
    return hashName(name, caseInsensitiveNames());
  }
  // The hash of the bytes as they are, for keys compared byte for byte.
  static std::uint32_t bytesHash(std::string_view name) { return hashName(name, false); }
  template <class Holds>
  const std::uint32_t* findHashed(std::uint32_t hash, Holds holds) const {
    if (count_ == 0) return nullptr;
    const Slot& slot = slots_[slotWith(hash, holds)];
    return slot.position == kFree ? nullptr : &slot.position;
  }
  // The owner's store position of `name`, or -1: from the index while it
  // is usable, else from `search` (the owner's sorted search, giving the
  // same). The one way every owner asks.
  template <class NameOf, class Search>
  int positionOf(std::string_view name, NameOf nameOf, Search search) const {
    if (!usable()) return search();
    const std::uint32_t* position = find(name, nameOf);
    return position ? static_cast<int>(*position) : -1;
  }
  // Adds a name that is not in the index.
  void add(std::string_view name, std::uint32_t position) {
    addHashed(hashName(name, caseInsensitiveNames()), position);
  }
  void addHashed(std::uint32_t hash, std::uint32_t position);
  // Takes `name` out, when it is there.
  template <class NameOf>
  void remove(std::string_view name, NameOf nameOf) {
    if (!usable()) {
      broken_ = true;  // it would keep a name its owner no longer has
      return;
    }
    if (count_ == 0) return;
    size_t hole = slotWith(hashName(name, folded_), [&](std::uint32_t position) {
      return sameName(nameOf(position), name);
    });
    if (slots_[hole].position != kFree) removeAt(hole);
  }
  void clear();
  // The owner's names are no longer one per name: unusable until clear().
  void abandon() { broken_ = true; }
  bool usable() const { return !broken_ && (count_ == 0 || folded_ == caseInsensitiveNames()); }
  size_t size() const { return count_; }

 private:
  static constexpr std::uint32_t kFree = 0xFFFFFFFFu;
  struct Slot {
    std::uint32_t hash = 0;
    std::uint32_t position = kFree;
  };
  // Names of up to two words (most of them) are hashed here, where the
  // lookup is; longer ones and folded double-byte ones by hashLongName.
  static std::uint32_t hashName(std::string_view name, bool folded) {
    size_t n = name.size();
    if (n == 0 || n > 16) return hashLongName(name, folded);
    std::uint64_t first = nameWord(name.data(), n < 8 ? n : 8);
    std::uint64_t second = n > 8 ? nameWord(name.data() + 8, n - 8) : 0;
    if (folded) {
      if ((first | second) & kNameWordHighBits) return hashLongName(name, folded);
      first = lowerAsciiWord(first);
      second = lowerAsciiWord(second);
    }
    std::uint64_t h = mixWord(startHash(n), first);
    if (n > 8) h = mixWord(h, second);
    return finishHash(h);
  }
  static std::uint32_t hashLongName(std::string_view name, bool folded);
  // The steps of the rule both share: a start from the length, a word at a
  // time, and the final mix.
  static constexpr std::uint64_t kHashMultiplier = 0x9E3779B97F4A7C15ull;
  static std::uint64_t startHash(size_t length) { return (length + 1) * kHashMultiplier; }
  static std::uint64_t mixWord(std::uint64_t h, std::uint64_t word) {
    h = (h ^ word) * kHashMultiplier;
    return h ^ (h >> 29);
  }
  static std::uint32_t finishHash(std::uint64_t h) {
    h ^= h >> 32;
    h *= 0xD6E8FEB86659FD93ull;
    h ^= h >> 32;
    return static_cast<std::uint32_t>(h);
  }

  // The slot holding the key, or the free slot where it would go.
  template <class Holds>
  size_t slotWith(std::uint32_t hash, const Holds& holds) const {
    size_t mask = slots_.size() - 1;
    for (size_t i = hash & mask;; i = (i + 1) & mask) {
      const Slot& slot = slots_[i];
      if (slot.position == kFree) return i;
      if (slot.hash == hash && holds(slot.position)) return i;
    }
  }
  void removeAt(size_t hole);
  void grow();

  std::vector<Slot> slots_;  // open addressing; the size is a power of two
  size_t count_ = 0;
  bool folded_ = false;  // the names compare with letters folded
  bool broken_ = false;  // a name was added or removed under another comparison
};
