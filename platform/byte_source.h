// Where a reader's bytes come from: a file opened by path (under the
// platform's path rules) or bytes held in memory, behind one small
// interface, and the set of files a run opens by path: the disk, or an
// in-memory stand-in that lets include handling and whole runs be tested
// without touching the disk.
#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

#include "platform/file_system.h"

namespace platform {

class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Copies the next bytes, up to `size`, into `buffer` and returns how
  // many; fewer than `size` only at the end.
  virtual size_t read(char* buffer, size_t size) = 0;
};

// Bytes in memory, read in order; the text must outlive the source.
class MemoryByteSource final : public ByteSource {
 public:
  explicit MemoryByteSource(std::string_view bytes) : rest_(bytes) {}
  size_t read(char* buffer, size_t size) override;

 private:
  std::string_view rest_;
};

class FileSet {
 public:
  virtual ~FileSet() = default;
  // The file at `path` (CP932), or null when it is not read: missing,
  // unreadable, or no regular file (a folder, a pipe, a device);
  // `problem`, when given, tells which.
  std::unique_ptr<ByteSource> open(const std::string& path, FileProblem* problem = nullptr);
  // What tells the file at `path` from every other whatever the spelling
  // that leads to it; false where the set cannot tell, and then the path
  // alone names the file.
  virtual bool identify(const std::string& path, FileIdentity& identity) { return false; }

 protected:
  // The file, or null with `problem` set (it comes as kMissing).
  virtual std::unique_ptr<ByteSource> openSource(const std::string& path, FileProblem& problem) = 0;
};

// The files on disk. A file is read up to the size it had when it was
// opened, so one that grows meanwhile still comes to an end.
FileSet& diskFiles();

// Files held in memory under their exact paths (no case or separator
// folding). Sources opened from it read the set's own copy of the bytes,
// which stays until the file is replaced or the set goes away.
class MemoryFileSet final : public FileSet {
 public:
  void add(const std::string& path, std::string bytes) { files_[path] = std::move(bytes); }
  // Something at `path` that does not open for the reason `problem` (a
  // folder, a pipe, a file without permission).
  void addUnreadable(const std::string& path, FileProblem problem) { problems_[path] = problem; }

 protected:
  std::unique_ptr<ByteSource> openSource(const std::string& path, FileProblem& problem) override;

 private:
  std::map<std::string, std::string> files_;
  std::map<std::string, FileProblem> problems_;
};

// Files opened through `inner` are read whole on their first opening and
// served from memory afterwards, while the set lasts: a run that reads the
// same headers for every source file reads each from disk once. At most
// `byteBound` bytes are kept, first come first kept; a file beyond the
// bound is read from `inner` again each time. Files must not change while
// the set lasts.
class KeptFileSet final : public FileSet {
 public:
  KeptFileSet(FileSet& inner, size_t byteBound) : inner_(inner), bound_(byteBound) {}
  // Asks `inner` once per path.
  bool identify(const std::string& path, FileIdentity& identity) override;
  size_t keptBytes() const { return kept_; }

 protected:
  std::unique_ptr<ByteSource> openSource(const std::string& path, FileProblem& problem) override;

 private:
  struct Identified {
    bool known = false;
    FileIdentity identity;
  };
  FileSet& inner_;
  size_t bound_;
  size_t kept_ = 0;
  std::unordered_map<std::string, std::string> files_;
  std::unordered_map<std::string, Identified> identities_;
};

}  // namespace platform
