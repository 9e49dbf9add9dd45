// The binary search that every sorted name list of the tables shares: over
// `count` entries whose names `nameAt(i)` gives in ascending order under the
// run's name comparison, it finds a name or the place to insert it.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

#include "report/error_log.h"
#include "scan/lexical_rules.h"

// Position of `name` (found = true) or its insertion position. A table that
// must never hold an empty name passes `emptyNameMessage`: meeting one
// writes that line to the error log and ends the search there, not found.
template <class NameAt>
int searchSorted(int count, std::string_view name, NameAt nameAt, bool& found,
                 const char* emptyNameMessage = nullptr) {
  found = false;
  int lo = 0;
  int hi = count - 1;
  while (lo <= hi) {
    int mid = lo + (hi - lo) / 2;
    std::string_view probe = nameAt(mid);
    if (emptyNameMessage && probe.empty()) {
      errorLog() << emptyNameMessage << "\n";
      return mid;
    }
    int order = compareNames(name, probe);
    if (order == 0) {
      found = true;
      return mid;
    }
    if (order < 0)
      hi = mid - 1;
    else
      lo = mid + 1;
  }
  return lo;
}

// The store positions `marked` (a few records of a table that keeps its
// name order as a list over all records) put in name order into `out`, so
// that a report of the records a file used walks those, not the whole
// table. False, and the list is to be walked, when they are not few (one
// in eight), when the comparison they were indexed under no longer holds,
// or when two have equal names (only the list knows their order).
template <class NameOf>
bool fewInNameOrder(const std::vector<std::uint32_t>& marked, size_t recordCount,
                    bool sameComparison, NameOf nameOf, std::vector<std::uint32_t>& out) {
  if (marked.size() * 8 > recordCount || !sameComparison) return false;
  auto before = [&nameOf](std::uint32_t a, std::uint32_t b) {
    return compareNames(nameOf(a), nameOf(b)) < 0;
  };
  out = marked;
  std::sort(out.begin(), out.end(), before);
  for (size_t i = 1; i < out.size(); ++i)
    if (!before(out[i - 1], out[i])) return false;
  return true;
}

// Record numbers put in the order of their names (`nameOf(n)`) compared
// with letters `folded` or exactly, equal names keeping their order; each
// name is read once (a lookup per comparison cost more than the sort).
template <class NameOf>
void sortByName(std::vector<int>& numbers, bool folded, NameOf nameOf) {
  std::vector<std::pair<std::string_view, int>> named;
  named.reserve(numbers.size());
  for (int n : numbers) named.emplace_back(nameOf(n), n);
  std::stable_sort(named.begin(), named.end(), [folded](const auto& a, const auto& b) {
    return compareNamesAs(folded, a.first, b.first) < 0;
  });
  for (size_t i = 0; i < named.size(); ++i) numbers[i] = named[i].second;
}

// The comparison a table's order of names was begun under (by its first
// record), and whether every record since came under it: only then may
// new records wait unsorted, to be sorted in when the order is read, as
// sorted inserts would have placed them.
struct WaitingOrderRule {
  bool folded = false;
  bool uniform = true;
  void begin() { folded = caseInsensitiveNames(); }
  bool holds() const { return uniform && caseInsensitiveNames() == folded; }
};

// A table whose records wait unsorted and are sorted in when its order is
// read: `waiting`, already in the order `before` gives, goes into `order`
// after its equals; its memory goes too (an order is mostly read once).
template <class Before>
void mergeWaiting(std::vector<int>& order, std::vector<int>& waiting, Before before) {
  if (waiting.empty()) return;
  auto middle = static_cast<std::ptrdiff_t>(order.size());
  order.insert(order.end(), waiting.begin(), waiting.end());
  std::inplace_merge(order.begin(), order.begin() + middle, order.end(), before);
  std::vector<int>().swap(waiting);
}
