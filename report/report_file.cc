#include "report/report_file.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <vector>

#include "platform/file_system.h"
#include "platform/side_thread.h"

namespace {

void (*failureHandler)(const std::string&) = nullptr;
thread_local std::vector<std::string>* heldFailures = nullptr;

void reportFailure(const std::string& path) {
  if (heldFailures)
    heldFailures->push_back(path);
  else if (failureHandler)
    failureHandler(path);
}

// Report files that receive a section after every main file stay open from
// one section to the next, their unwritten bytes with them: opening,
// measuring, writing and closing each of them for every one of thousands of
// files costs more than writing the sections. They reach the disk when their
// put area fills and when they are closed for good.
struct KeptFile {
  std::string path;
  std::FILE* file;  // null for one that failed: its sections go nowhere
  platform::Replacement replacement;
  long long written;
  std::unique_ptr<char[]> buffers;
  std::ptrdiff_t pending;  // bytes in the put area
  long long pendingLineFeeds;
};

std::vector<KeptFile>& keptFiles() {
  static std::vector<KeptFile> kept;
  return kept;
}

// A report written beside the others looks up its path in the registry
// too (a kept file of that path is written out first).
platform::SideLock& keptFilesLock() {
  static platform::SideLock lock;
  return lock;
}

}  // namespace

bool CrLfFileBuf::takeKept(const std::string& path) {
  std::lock_guard<platform::SideLock> guard(keptFilesLock());
  std::vector<KeptFile>& kept = keptFiles();
  auto at = std::find_if(kept.begin(), kept.end(),
                         [&path](const KeptFile& k) { return k.path == path; });
  if (at == kept.end()) return false;
  path_ = path;
  file_ = at->file;
  replacement_ = std::move(at->replacement);
  failed_ = file_ == nullptr;
  taken_ = true;
  written_ = at->written;
  buffers_.swap(at->buffers);
  if (!buffers_) buffers_.reset(new char[3 * kTextBytes]);
  startPutArea(at->pending, at->pendingLineFeeds);
  kept.erase(at);
  return true;
}

void CrLfFileBuf::closeKept(const std::string& path) {
  CrLfFileBuf last;
  if (last.takeKept(path)) last.close();
}

void closeKeptReports() {
  for (;;) {
    std::string path;
    {
      std::lock_guard<platform::SideLock> guard(keptFilesLock());
      if (keptFiles().empty()) return;
      path = keptFiles().front().path;
    }
    CrLfFileBuf::closeKept(path);
  }
}

void reportUnwritten(const std::string& path) { reportFailure(path); }

void setReportFailureHandler(void (*handler)(const std::string& path)) { failureHandler = handler; }

void holdReportFailuresOnThisThread(std::vector<std::string>* held) { heldFailures = held; }

CrLfFileBuf::~CrLfFileBuf() { close(); }

bool CrLfFileBuf::open(const std::string& path, FileMode mode) {
  close();
  written_ = 0;
  keep_ = mode == FileMode::kFirstSection || mode == FileMode::kNextSection;
  path_ = path;
  failed_ = false;
  if (mode == FileMode::kNextSection && takeKept(path)) return file_ != nullptr;
  closeKept(path);  // written out first: this open reads its size or starts it afresh
  if (!buffers_) buffers_.reset(new char[3 * kTextBytes]);
  if (!openFile(path, mode)) {
    reportFailure(path);
    return false;
  }
  std::setvbuf(file_, nullptr, _IONBF, 0);
  startPutArea();
  return true;
}

bool CrLfFileBuf::openFile(const std::string& path, FileMode mode) {
  replacement_ = platform::Replacement();
  switch (mode) {
    case FileMode::kWhole:
    case FileMode::kFirstSection:
      replacement_ = platform::openReplacement(path);
      file_ = replacement_.file;
      break;
    case FileMode::kNextSection:
      file_ = platform::openFile(path, "ab");
      if (file_) {
        std::fseek(file_, 0, SEEK_END);
        written_ = std::ftell(file_);
      }
      break;
    case FileMode::kInPlace:
      file_ = platform::openFile(path, "wb");
      break;
  }
  return file_ != nullptr;
}

void CrLfFileBuf::close() {
  if (!file_ && !taken_) return;
  if (keep_)
    keepOpen();
  else
    finish();
  file_ = nullptr;
  taken_ = false;
  replacement_ = platform::Replacement();
  setp(nullptr, nullptr);
  countedTo_ = nullptr;
  countedLineFeeds_ = 0;
}

// A kept file that failed is dropped at once, so that what it holds does
// not take the room of the reports after it; its later sections go nowhere.
void CrLfFileBuf::keepOpen() {
  size();  // brings the count of line feeds up to date
  if (failed_ && file_) {
    std::fclose(file_);
    platform::discardReplacement(replacement_);
    reportFailure(path_);
    file_ = nullptr;
  }
  std::lock_guard<platform::SideLock> guard(keptFilesLock());
  keptFiles().push_back(KeptFile{path_, file_, std::move(replacement_), written_,
                                 std::move(buffers_), pptr() - pbase(), countedLineFeeds_});
}

void CrLfFileBuf::finish() {
  if (!file_) return;  // a kept file that failed: told already
  flushBuffer();
  if (std::fclose(file_) != 0) failed_ = true;
  if (failed_) {
    platform::discardReplacement(replacement_);
    reportFailure(path_);
  } else if (!platform::putReplacementInPlace(replacement_)) {
    reportFailure(path_);
  }
}

// The put area to the file, each line feed as CR LF.
bool CrLfFileBuf::flushBuffer() {
  if (!file_) return false;
  const char* from = pbase();
  const char* end = pptr();
  size_t used = 0;
  while (from < end) {
    const void* lf = std::memchr(from, '\n', static_cast<size_t>(end - from));
    const char* runEnd = lf ? static_cast<const char*>(lf) : end;
    std::memcpy(disk() + used, from, static_cast<size_t>(runEnd - from));
    used += static_cast<size_t>(runEnd - from);
    from = runEnd;
    if (lf) {
      disk()[used++] = '\r';
      disk()[used++] = '\n';
      ++from;
    }
  }
  startPutArea();
  written_ += static_cast<long long>(used);
  // After a failed write nothing more: the file ends where the failure was.
  if (failed_) return false;
  if (std::fwrite(disk(), 1, used, file_) != used) failed_ = true;
  return !failed_;
}

void CrLfFileBuf::startPutArea(std::ptrdiff_t pending, long long lineFeeds) {
  setp(text(), text() + kTextBytes);
  pbump(static_cast<int>(pending));
  countedTo_ = pptr();
  countedLineFeeds_ = lineFeeds;
}

// A kept list report is measured before each of its sections: the line
// feeds are counted once, as far as the last measure, not over the whole
// put area each time.
long long CrLfFileBuf::size() const {
  countedLineFeeds_ += std::count(countedTo_, static_cast<const char*>(pptr()), '\n');
  countedTo_ = pptr();
  return written_ + (pptr() - pbase()) + countedLineFeeds_;
}

CrLfFileBuf::int_type CrLfFileBuf::overflow(int_type c) {
  if (!file_) return traits_type::eof();
  if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
  if (!flushBuffer()) return traits_type::eof();
  *pptr() = traits_type::to_char_type(c);
  pbump(1);
  return c;
}

int CrLfFileBuf::sync() {
  if (!file_) return 0;
  bool ok = flushBuffer();
  return (std::fflush(file_) == 0 && ok) ? 0 : -1;
}

bool ReportFile::openPath(const std::string& path, FileMode mode) {
  clear();
  if (!buf_.open(path, mode)) {
    setstate(std::ios::badbit);
    return false;
  }
  return true;
}

void ReportFile::close() {
  flush();
  buf_.close();
}

namespace {

std::string& folderText() {
  static std::string folder;
  return folder;
}

}  // namespace

void setReportFolder(const std::string& folder) { folderText() = folder; }

const std::string& reportFolder() { return folderText(); }

std::string reportPath(const std::string& fileName) { return folderText() + fileName; }

void openReport(const std::string& fileName, ReportFile& stream, FileMode mode) {
  stream.openPath(reportPath(fileName), mode);
}
