#include "context/include_registry.h"

#include <algorithm>

#include "context/file_tree.h"
#include "context/source_context.h"

void IncludeRegistry::addTreeEdge(const std::string& child) {
  fileTree_.addEdge(context_.item(0), child);
}

int IncludeRegistry::checkAndRegister(const std::string& path, const std::string& name) {
  if (missing_.contains(path)) {
    addTreeEdge(name);
    return 1;
  }
  if (read_.insert(path).second) return 0;
  addTreeEdge(path);
  return 1;
}

int IncludeRegistry::checkAndRegisterFile(const platform::FileIdentity& file,
                                          const std::string& path) {
  if (readFiles_.insert(file).second) {
    read_.insert(path);
    return 0;
  }
  addTreeEdge(path);
  return 1;
}

void IncludeRegistry::registerMissing(const std::string& path, const std::string& name) {
  addTreeEdge(name);
  read_.erase(path);
  missing_.insert(path);
}

void IncludeRegistry::forgetRead() {
  read_.clear();
  readFiles_.clear();
}

std::vector<IncludeRegistry::Entry> IncludeRegistry::entries() const {
  std::vector<Entry> list;
  for (const std::string& path : read_) list.push_back({path, false});
  for (const std::string& path : missing_) list.push_back({path, true});
  std::sort(list.begin(), list.end(),
            [](const Entry& a, const Entry& b) { return a.path < b.path; });
  return list;
}
