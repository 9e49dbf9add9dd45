// A small sorted set of unique, non-empty names under the run's name
// comparison (compareNames); the namespace table keeps the namespaces it
// met in one. Owned by its user; a reference from at() stays valid until
// the next insert.
#pragma once

#include <string>
#include <string_view>
#include <vector>

class NameSet {
 public:
  struct Lookup {
    bool found = false;
    size_t index = 0;  // the name's position, or where it would go
  };

  // Ignores empty and already present names.
  void insert(std::string_view name);
  // Not found for an empty name.
  Lookup find(std::string_view name) const;
  bool contains(std::string_view name) const { return find(name).found; }
  size_t count() const { return names_.size(); }
  // The i-th name in sorted order, or null outside the range.
  const std::string* at(size_t i) const { return i < names_.size() ? &names_[i] : nullptr; }
  void clear() { names_.clear(); }

 private:
  std::vector<std::string> names_;
};
