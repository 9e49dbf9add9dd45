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

HideSets::Id HideSets::unite(Id left, Id right) {
  if (right == kEmpty || left == right) return left;
  if (left == kEmpty) return right;
  if (left == lastLeft_ && right == lastRight_) return lastUnion_;
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
