#include "scan/hide_sets.h"

bool HideSets::contains(Id set, std::string_view name) const {
  for (; set != kEmpty; set = node(set).rest)
    if (node(set).name == name) return true;
  return false;
}

HideSets::Id HideSets::with(Id set, std::string_view name) {
  if (contains(set, name)) return set;
  nodes_.push_back(Node{name, set});
  return static_cast<Id>(nodes_.size());
}

// True when `set` was grown from `base` (or is it): it holds every name
// of `base`. Ids only, no names compared.
bool HideSets::extends(Id set, Id base) const {
  for (; set != kEmpty; set = node(set).rest)
    if (set == base) return true;
  return base == kEmpty;
}

HideSets::Id HideSets::unite(Id left, Id right) {
  if (left == lastLeft_ && right == lastRight_) return lastUnion_;
  // Mostly one side was grown from the other: it is the union.
  if (extends(left, right)) return left;
  if (extends(right, left)) return right;
  Id result = left;
  for (Id r = right; r != kEmpty; r = node(r).rest) result = with(result, node(r).name);
  lastLeft_ = left;
  lastRight_ = right;
  lastUnion_ = result;
  return result;
}

void HideSets::clear() {
  nodes_.clear();
  lastLeft_ = lastRight_ = lastUnion_ = kEmpty;
}
