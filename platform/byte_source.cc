#include "platform/byte_source.h"

#include <cstdio>
#include <cstring>

#include "platform/file_system.h"

namespace platform {
namespace {

// Owns the stream; closes it when the reading is over.
class FileByteSource final : public ByteSource {
 public:
  explicit FileByteSource(std::FILE* stream) : stream_(stream) {}
  ~FileByteSource() override { std::fclose(stream_); }
  FileByteSource(const FileByteSource&) = delete;
  FileByteSource& operator=(const FileByteSource&) = delete;
  size_t read(char* buffer, size_t size) override { return std::fread(buffer, 1, size, stream_); }

 private:
  std::FILE* stream_;
};

class DiskFileSet final : public FileSet {
 public:
  std::unique_ptr<ByteSource> open(const std::string& path) override {
    std::FILE* stream = openFile(path, "rb");
    if (!stream) return nullptr;
    return std::make_unique<FileByteSource>(stream);
  }
};

}  // namespace

size_t MemoryByteSource::read(char* buffer, size_t size) {
  size_t n = rest_.size() < size ? rest_.size() : size;
  if (n) std::memcpy(buffer, rest_.data(), n);
  rest_.remove_prefix(n);
  return n;
}

FileSet& diskFiles() {
  static DiskFileSet disk;
  return disk;
}

std::unique_ptr<ByteSource> MemoryFileSet::open(const std::string& path) {
  auto found = files_.find(path);
  if (found == files_.end()) return nullptr;
  return std::make_unique<MemoryByteSource>(found->second);
}

}  // namespace platform
