#include "app/include_registry.h"

#include <algorithm>

#include "app/file_tree.h"
#include "app/run_tables.h"
#include "app/source_context.h"

IncludeRegistry::Entry* IncludeRegistry::find(const std::string& path) {
  for (Entry& e : entries_)
    if (e.path == path) return &e;
  return nullptr;
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
  entries_.push_back({path, false});
  return 0;
}

void IncludeRegistry::registerMissing(const std::string& path, const std::string& name) {
  addTreeEdge(name);
  if (Entry* e = find(path))
    e->missing = true;
  else
    entries_.push_back({path, true});
}

void IncludeRegistry::forgetRead() {
  entries_.erase(std::remove_if(entries_.begin(), entries_.end(),
                                [](const Entry& e) { return !e.missing; }),
                 entries_.end());
}
