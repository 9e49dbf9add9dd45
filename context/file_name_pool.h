// Small integer ids for file names. The function, variable and other tables
// store the file of an entry as such an id. Ids start at 1, never change and
// are never reused within a run; 0 stands for no name. Names are told apart
// byte for byte (case-sensitive) and found through a hash index: a run over
// a large tree names thousands of files and headers, each again and again.
#pragma once

#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>

class FileNamePool {
 public:
  // The id of `name`, added when new. A missing or empty name, or one that
  // starts with a blank, has id 0.
  int add(const std::string& name);
  // The id of a name already added, or 0.
  int find(const std::string& name) const;
  // The name of `id`, or the empty text for 0 and unknown ids.
  const std::string& name(int id) const;
  int size() const { return static_cast<int>(names_.size()); }

 private:
  // Element k: the name with id k + 1; a deque, so that the index's views
  // of the texts stay valid as names are added.
  std::deque<std::string> names_;
  std::unordered_map<std::string_view, int> ids_;
};
