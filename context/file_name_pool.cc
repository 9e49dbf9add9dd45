#include "context/file_name_pool.h"

namespace {
const std::string kNoName;
}

int FileNamePool::add(const std::string& name) {
  if (name.empty() || name[0] == ' ') return 0;
  if (int id = find(name)) return id;
  names_.push_back(name);
  const int id = static_cast<int>(names_.size());
  ids_.emplace(names_.back(), id);
  return id;
}

int FileNamePool::find(const std::string& name) const {
  auto at = ids_.find(name);
  return at == ids_.end() ? 0 : at->second;
}

const std::string& FileNamePool::name(int id) const {
  if (id <= 0 || id > static_cast<int>(names_.size())) return kNoName;
  return names_[id - 1];
}
