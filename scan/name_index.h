// A hash index beside a sorted name table: each name once, with a value the
// table chooses (a record's position, a language mask), found by hashing
// the name once instead of a binary search with a comparison per step. The
// sorted table stays for the order of the reports.
// Names are equal as compareNames says; the index keeps copies of them and
// remembers the comparison they were added under. Once the run's
// comparison differs from it, usable() is false and the owner searches its
// sorted list as before (which the same change leaves as it was). Values
// stay until clear(); a pointer from find() only until the next add().
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class NameIndex {
 public:
  // The value of `name`, or null. Only while usable(); the changeable value
  // of an index that is not usable is never given, and it stays unusable.
  std::uint32_t* find(std::string_view name);
  const std::uint32_t* find(std::string_view name) const;
  // Adds a name that is not in the index.
  void add(std::string_view name, std::uint32_t value);
  // Takes `name` out, when it is there.
  void remove(std::string_view name);
  void clear();
  // The owner's names are no longer one per name: unusable until clear().
  void abandon() { broken_ = true; }
  bool usable() const;
  size_t size() const { return count_; }

 private:
  struct Slot {
    std::string name;
    std::uint32_t hash = 0;
    std::uint32_t value = 0;
    bool used = false;
  };
  size_t slotOf(std::string_view name, std::uint32_t hash) const;
  void grow();

  std::vector<Slot> slots_;  // open addressing; the size is a power of two
  size_t count_ = 0;
  bool folded_ = false;  // the names compare with letters folded
  bool broken_ = false;  // a name was added under another comparison
};
