#include "platform/byte_source.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <utility>

#include "platform/file_system.h"

namespace platform {
namespace {

// Owns the stream; closes it when the reading is over. The reader asks
// for small blocks; the stream reads ahead in large ones, as a system call
// costs more than copying a few pages. At most `size` bytes are read.
class FileByteSource final : public ByteSource {
 public:
  FileByteSource(std::FILE* stream, std::uint64_t size)
      : stream_(stream), left_(size), buffer_(new char[kBufferBytes]) {
    std::setvbuf(stream_, buffer_.get(), _IOFBF, kBufferBytes);
  }
  ~FileByteSource() override { std::fclose(stream_); }
  FileByteSource(const FileByteSource&) = delete;
  FileByteSource& operator=(const FileByteSource&) = delete;
  size_t read(char* buffer, size_t size) override {
    if (size > left_) size = static_cast<size_t>(left_);
    size_t n = size ? std::fread(buffer, 1, size, stream_) : 0;
    left_ -= n;
    return n;
  }

 private:
  static constexpr size_t kBufferBytes = 64 * 1024;
  std::FILE* stream_;
  std::uint64_t left_;
  std::unique_ptr<char[]> buffer_;  // the stream's; outlives it
};

class DiskFileSet final : public FileSet {
 public:
  bool identify(const std::string& path, FileIdentity& identity) override {
    return fileIdentity(path, identity);
  }

 protected:
  std::unique_ptr<ByteSource> openSource(const std::string& path, FileProblem& problem) override {
    OpenedFile opened = openRegularFile(path);
    problem = opened.problem;
    if (!opened.stream) return nullptr;
    return std::make_unique<FileByteSource>(opened.stream, opened.size);
  }
};

// Bytes read whole from another source, owned by this one.
class OwnedByteSource final : public ByteSource {
 public:
  explicit OwnedByteSource(std::string bytes) : bytes_(std::move(bytes)), rest_(bytes_) {}
  size_t read(char* buffer, size_t size) override { return rest_.read(buffer, size); }

 private:
  std::string bytes_;
  MemoryByteSource rest_;
};

// Sized to the file: kept files hold no spare capacity.
std::string readWhole(ByteSource& source) {
  constexpr size_t kChunk = 16 * 1024;
  char chunk[kChunk];
  std::string bytes;
  size_t n = 0;
  do {
    n = source.read(chunk, kChunk);
    bytes.append(chunk, n);
  } while (n == kChunk);
  bytes.shrink_to_fit();
  return bytes;
}

}  // namespace

std::unique_ptr<ByteSource> FileSet::open(const std::string& path, FileProblem* problem) {
  FileProblem why = FileProblem::kMissing;  // unless the set knows better
  std::unique_ptr<ByteSource> source = openSource(path, why);
  if (problem) *problem = source ? FileProblem::kNone : why;
  return source;
}

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

std::unique_ptr<ByteSource> KeptFileSet::openSource(const std::string& path, FileProblem& problem) {
  auto found = files_.find(path);
  if (found != files_.end()) return std::make_unique<MemoryByteSource>(found->second);
  std::unique_ptr<ByteSource> source = inner_.open(path, &problem);
  if (!source) return nullptr;
  std::string bytes = readWhole(*source);
  if (bytes.size() > bound_ - kept_) return std::make_unique<OwnedByteSource>(std::move(bytes));
  kept_ += bytes.size();
  const std::string& kept = files_.emplace(path, std::move(bytes)).first->second;
  return std::make_unique<MemoryByteSource>(kept);
}

bool KeptFileSet::identify(const std::string& path, FileIdentity& identity) {
  auto [entry, fresh] = identities_.try_emplace(path);
  if (fresh) entry->second.known = inner_.identify(path, entry->second.identity);
  identity = entry->second.identity;
  return entry->second.known;
}

std::unique_ptr<ByteSource> MemoryFileSet::openSource(const std::string& path,
                                                      FileProblem& problem) {
  auto found = files_.find(path);
  if (found == files_.end()) {
    auto unreadable = problems_.find(path);
    problem = unreadable == problems_.end() ? FileProblem::kMissing : unreadable->second;
    return nullptr;
  }
  return std::make_unique<MemoryByteSource>(found->second);
}

}  // namespace platform
