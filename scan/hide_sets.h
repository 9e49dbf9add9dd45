// The sets of macro names that may not expand in a token, shared between
// tokens: a token holds a small id, and a set grows by a node that points
// at the set it extends, so handing a set on copies nothing. Id 0 is the
// empty set. The names are views the caller keeps alive; ids stay valid
// until clear().
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

class HideSets {
 public:
  using Id = std::uint32_t;
  static constexpr Id kEmpty = 0;

  bool contains(Id set, std::string_view name) const;
  // `set` with `name` in it.
  Id with(Id set, std::string_view name);
  // Every name of `left` and of `right`.
  Id unite(Id left, Id right);
  // Forgets every set but the empty one.
  void clear();

 private:
  struct Node {
    std::string_view name;
    Id rest;  // the set this node extends
  };
  const Node& node(Id set) const { return nodes_[set - 1]; }
  bool extends(Id set, Id base) const;

  std::vector<Node> nodes_;  // set n is nodes_[n - 1] and its rest
  // The last union asked for: the tokens of one expansion mostly ask the
  // same one over and over.
  Id lastLeft_ = kEmpty, lastRight_ = kEmpty, lastUnion_ = kEmpty;
};
