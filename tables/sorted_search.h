// The binary search that every sorted name list of the tables shares: over
// `count` entries whose names `nameAt(i)` gives in ascending order under the
// run's name comparison, it finds a name or the place to insert it.
#pragma once

#include <string_view>

#include "scan/lexical_rules.h"

// Position of `name` (found = true) or its insertion position.
template <class NameAt>
int searchSorted(int count, std::string_view name, NameAt nameAt, bool& found) {
  found = false;
  int lo = 0;
  int hi = count - 1;
  while (lo <= hi) {
    int mid = lo + (hi - lo) / 2;
    int order = compareNames(name, nameAt(mid));
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
