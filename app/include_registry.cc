#include "app/include_registry.h"

#include <algorithm>

#include "app/file_tree.h"
#include "app/run_tables.h"
#include "app/source_context.h"

void IncludeRegistry::addTreeEdge(const std::string& child) {
  if (!tables_.fileTree || !tables_.context) return;
  tables_.fileTree->addEdge(tables_.context->item(0), child);
}

int IncludeRegistry::checkAndRegister(const std::string& path, const std::string& name) {
  auto [at, added] = missing_.try_emplace(path, false);
  if (added) return 0;
  addTreeEdge(at->second ? name : path);
  return 1;
}

void IncludeRegistry::registerMissing(const std::string& path, const std::string& name) {
  addTreeEdge(name);
  missing_[path] = true;
}

void IncludeRegistry::forgetRead() {
  std::erase_if(missing_, [](const auto& entry) { return !entry.second; });
}

std::vector<IncludeRegistry::Entry> IncludeRegistry::entries() const {
  std::vector<Entry> list;
  for (const auto& [path, missing] : missing_) list.push_back({path, missing});
  std::sort(list.begin(), list.end(), [](const Entry& a, const Entry& b) { return a.path < b.path; });
  return list;
}
