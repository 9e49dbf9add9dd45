// Small integer ids for file names. The function, variable and other tables
// store the file of an entry as such an id. Ids start at 1, never change and
// are never reused within a run; 0 stands for no name. Names are kept sorted
// in byte order (case-sensitive) and found by binary search.
#pragma once

#include <string>
#include <vector>

class FileNamePool {
 public:
  // The id of `name`, added when new. A missing or empty name, or one that
  // starts with a blank, has id 0.
  int add(const std::string& name);
  // The id of a name already added, or 0.
  int find(const std::string& name) const;
  // The name of `id`, or the empty text for 0 and unknown ids.
  const std::string& name(int id) const;
  int size() const { return static_cast<int>(positionOfId_.size()); }

 private:
  // Position of `name` in sorted_, or where it would be inserted.
  size_t search(const std::string& name, bool& found) const;

  std::vector<std::string> sorted_;
  std::vector<int> positionOfId_;  // element k: position of the name with id k + 1
  std::vector<int> idAtPosition_;  // inverse of positionOfId_
  // The id found last: the tables ask for the file being read again and
  // again (ids and names never change, so it stays right).
  mutable int lastFound_ = 0;
};
