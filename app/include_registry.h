// Every include path that a run read or found missing, so that each header
// is read once per scope and each missing one is reported once. Paths are
// compared byte for byte. The missing ones stay for the whole run, and a
// run over a large tree meets thousands of them (each system header beside
// each including folder): paths are kept in hash sets, not lists, and the
// read ones apart, so that forgetting them does not walk the missing ones.
#pragma once

#include <string>
#include <unordered_set>
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
  // The paths known, sorted by path (for the tests).
  std::vector<Entry> entries() const;

 private:
  void addTreeEdge(const std::string& child);

  RunTables& tables_;
  std::unordered_set<std::string> read_;
  std::unordered_set<std::string> missing_;
};
