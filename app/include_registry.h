// Every include path that a run read or found missing, so that each header
// is read once per scope and each missing one is reported once. Paths are
// compared byte for byte. The missing ones stay for the whole run, and a
// run over a large tree meets thousands of them (each system header beside
// each including folder): a path is found through an index, not by a walk
// of the list.
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

class RunTables;

class IncludeRegistry {
 public:
  explicit IncludeRegistry(RunTables& tables) : tables_(tables) {}

  // 1 when `path` was seen before (the repeat is recorded in the file
  // tree); otherwise registers it as read and returns 0.
  int checkAndRegister(const std::string& path, const std::string& name);
  // Records a path that could not be opened.
  void registerMissing(const std::string& path, const std::string& name);
  // Forgets the headers that were read; the missing ones stay known.
  void forgetRead();

  struct Entry {
    std::string path;
    bool missing = false;
  };
  const std::vector<Entry>& entries() const { return entries_; }

 private:
  Entry* find(const std::string& path);
  void addTreeEdge(const std::string& child);

  void add(const std::string& path, bool missing);

  RunTables& tables_;
  std::vector<Entry> entries_;  // in order of registration
  std::unordered_map<std::string, size_t> positions_;  // path -> entry
};
