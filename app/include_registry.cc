#include "app/include_registry.h"

#include "app/file_tree.h"
#include "app/run_tables.h"
#include "app/source_context.h"

IncludeRegistry::Entry* IncludeRegistry::find(const std::string& path) {
  auto at = positions_.find(path);
  return at == positions_.end() ? nullptr : &entries_[at->second];
}

void IncludeRegistry::add(const std::string& path, bool missing) {
  positions_.emplace(path, entries_.size());
  entries_.push_back({path, missing});
}

void IncludeRegistry::addTreeEdge(const std::string& child) {
  if (!tables_.fileTree || !tables_.context) return;
  tables_.fileTree->addEdge(tables_.context->item(0), child);
}

int IncludeRegistry::checkAndRegister(const std::string& path, const std::string& name) {
  if (Entry* e = find(path)) {
    addTreeEdge(e->missing ? name : path);
    return 1;
  }
  add(path, false);
  return 0;
}

void IncludeRegistry::registerMissing(const std::string& path, const std::string& name) {
  addTreeEdge(name);
  if (Entry* e = find(path))
    e->missing = true;
  else
    add(path, true);
}

// The entries after a forgotten one move up, and their index with them.
void IncludeRegistry::forgetRead() {
  size_t kept = 0;
  for (size_t i = 0; i < entries_.size(); ++i) {
    if (!entries_[i].missing) {
      positions_.erase(entries_[i].path);
      continue;
    }
    if (kept != i) {
      entries_[kept] = std::move(entries_[i]);
      positions_[entries_[kept].path] = kept;
    }
    ++kept;
  }
  entries_.resize(kept);
}
