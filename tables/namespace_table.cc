#include "tables/namespace_table.h"

#include "context/source_context.h"
#include "context/source_context.h"
#include "report/error_log.h"

namespace {
const std::string kNoName;
const std::string kAtl = "ATL";
}  // namespace

void NamespaceTable::openNamespace(std::string_view name, int depth) {
  std::string full = open_.empty() ? std::string(name) : open_.back().fullName + "::";
  if (!open_.empty()) full += name;
  known_.insert(full);
  open_.push_back({std::move(full), depth});
}

int NamespaceTable::openCount() const {
  int levels = 0;
  for (size_t i = 0; i < open_.size(); ++i)
    if (i == 0 || open_[i].depth != open_[i - 1].depth) ++levels;
  return levels;
}

void NamespaceTable::addUsing(std::string_view name, int depth) {
  using_.push_back({std::string(name), depth});
}

const std::string& NamespaceTable::currentPath() const {
  return open_.empty() ? kNoName : open_.back().fullName;
}

const std::string& NamespaceTable::usingName(size_t i) const {
  if (i < using_.size()) return using_[i].name;
  bool atl = context_.atlHeaderMissing();
  if (i == using_.size() && atl) return kAtl;
  return kNoName;
}

// Cuts "::part" off the end until what is left is known. A lone ':' where
// the cut should be means the name was put together wrongly.
std::string NamespaceTable::knownPrefix(std::string_view name) const {
  while (!name.empty() && !known_.contains(name)) {
    size_t colon = name.rfind(':');
    if (colon == std::string_view::npos) return std::string();
    if (colon == 0 || name[colon - 1] != ':') {
      errorLog() << "  (内部ｴﾗｰ)名前空間のディレクティブが異常です\n";
      return std::string(name);
    }
    name = name.substr(0, colon - 1);
  }
  return std::string(name);
}

void NamespaceTable::statementEnd(int depth) {
  // `namespace a::b {` opened both at one depth: they close together.
  while (!open_.empty() && open_.back().depth >= depth) open_.pop_back();
}

void NamespaceTable::closeScope(int depth) {
  while (!using_.empty() && using_.back().depth >= depth) using_.pop_back();
}

void NamespaceTable::clear() {
  open_.clear();
  using_.clear();
  known_.clear();
}
