// A quick "certainly not" before a table's name lookup: one bit per
// length, first byte and last byte of the names added, the letters of
// either case alike, so that it answers under both name comparisons (two
// names equal under either have the same length and the same ends but for
// case). Most names asked about were never added and are told at once,
// without hashing; a name added stays a "maybe" for good.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

class NameFilter {
 public:
  void add(std::string_view name) {
    size_t bit = bitOf(name);
    bits_[bit / 64] |= std::uint64_t{1} << (bit % 64);
  }
  bool mayHold(std::string_view name) const {
    size_t bit = bitOf(name);
    return (bits_[bit / 64] >> (bit % 64)) & 1;
  }
  void clear() { bits_.fill(0); }

 private:
  // 32 lengths (longer ones share) x 64 first bytes x 32 last bytes: bytes
  // folded to their low bits may share a bit, which only makes a maybe.
  static size_t bitOf(std::string_view name) {
    if (name.empty()) return 0;
    auto folded = [](unsigned char c) { return static_cast<size_t>(c | 0x20); };
    size_t length = name.size() < 32 ? name.size() : 31;
    return length << 11 | (folded(name.front()) & 63) << 5 | (folded(name.back()) & 31);
  }
  std::array<std::uint64_t, 32 * 64 * 32 / 64> bits_{};
};
