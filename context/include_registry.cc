#include "context/include_registry.h"

#include <algorithm>
#include <cstring>

#include "context/file_tree.h"
#include "context/read_watch.h"
#include "context/source_context.h"

void IncludeRegistry::addTreeEdge(const std::string& child) {
  fileTree_.addEdge(context_.item(0), child);
}

namespace {

// A file's identity as a key of its own bytes.
std::string fileKey(const platform::FileIdentity& file) {
  char bytes[sizeof file.volume + sizeof file.index];
  std::memcpy(bytes, &file.volume, sizeof file.volume);
  std::memcpy(bytes + sizeof file.volume, &file.index, sizeof file.index);
  return std::string(bytes, sizeof bytes);
}

platform::FileIdentity fileOfKey(std::string_view key) {
  platform::FileIdentity file;
  if (key.size() != sizeof file.volume + sizeof file.index) return file;
  std::memcpy(&file.volume, key.data(), sizeof file.volume);
  std::memcpy(&file.index, key.data() + sizeof file.volume, sizeof file.index);
  return file;
}

}  // namespace

// A missing path and one not asked for yet read alike: a path that could
// not be opened once cannot be opened again, and an include of either
// reads nothing (what differs, the log line and the file tree's edge, the
// include writes when it is made again).
std::string IncludeRegistry::pathState(std::string_view path) const {
  return read_.contains(std::string(path)) ? "r" : "";
}

std::string IncludeRegistry::fileState(std::string_view key) const {
  return readFiles_.contains(fileOfKey(key)) ? "r" : "";
}

// Asked and changed alike: every call below reads a path's state and may
// change it.
void IncludeRegistry::tellPath(const std::string& path) {
  if (!watch_ || !watch_->watching()) return;
  watch_->asked(ReadWatch::Table::kIncludePath, path, pathState(path));
  watch_->changed(ReadWatch::Table::kIncludePath, path);
}

void IncludeRegistry::tellFile(const platform::FileIdentity& file) {
  if (!watch_ || !watch_->watching()) return;
  const std::string key = fileKey(file);
  watch_->asked(ReadWatch::Table::kIncludeFile, key, fileState(key));
  watch_->changed(ReadWatch::Table::kIncludeFile, key);
}

int IncludeRegistry::checkAndRegister(const std::string& path, const std::string& name) {
  tellPath(path);
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
  tellFile(file);
  tellPath(path);
  if (readFiles_.insert(file).second) {
    read_.insert(path);
    return 0;
  }
  addTreeEdge(path);
  return 1;
}

void IncludeRegistry::registerMissing(const std::string& path, const std::string& name) {
  tellPath(path);
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
