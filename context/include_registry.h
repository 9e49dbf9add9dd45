// Every include path that a run read or found missing, so that each header
// is read once per scope and each missing one is reported once. Paths are
// compared byte for byte; a header that was opened is also known by its
// file's identity, so that two spellings of one file (another folder
// route, another letter case) are one header. The missing ones stay for the whole run, and a
// run over a large tree meets thousands of them (each system header beside
// each including folder): paths are kept in hash sets, not lists, and the
// read ones apart, so that forgetting them does not walk the missing ones.
#pragma once

#include <set>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "platform/file_system.h"

class FileTree;
class ReadWatch;
class SourceContext;

class IncludeRegistry {
 public:
  // Repeated and missing includes become edges from the file on top of
  // `context` in `fileTree`.
  IncludeRegistry(const SourceContext& context, FileTree& fileTree)
      : context_(context), fileTree_(fileTree) {}

  // 1 when `path` was seen before (the repeat is recorded in the file
  // tree); otherwise registers it as read and returns 0.
  int checkAndRegister(const std::string& path, const std::string& name);
  // For a header opened at `path`: 1 when the same file was already read
  // in this scope under another spelling (the repeat is recorded in the
  // file tree); otherwise registers the file and `path` as read and
  // returns 0.
  int checkAndRegisterFile(const platform::FileIdentity& file, const std::string& path);
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

  // Told of every path and file asked for and every change, while it
  // watches (the run's header replay); null for none.
  void setWatch(ReadWatch* watch) { watch_ = watch; }
  // A path's or a file's state as the watch is told it (the key as told).
  std::string pathState(std::string_view path) const;
  std::string fileState(std::string_view fileKey) const;

 private:
  void addTreeEdge(const std::string& child);
  void tellPath(const std::string& path);
  void tellFile(const platform::FileIdentity& file);

  const SourceContext& context_;
  FileTree& fileTree_;
  std::unordered_set<std::string> read_;
  std::unordered_set<std::string> missing_;
  std::set<platform::FileIdentity> readFiles_;
  ReadWatch* watch_ = nullptr;
};
