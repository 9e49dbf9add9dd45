#include "report/report_file.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/file_system.h"

namespace {

void (*failureHandler)(const std::string&) = nullptr;

void reportFailure(const std::string& path) {
  if (failureHandler) failureHandler(path);
}

// Report files that receive a section after every main file stay open from
// one section to the next: opening, measuring and closing each of them for
// every one of thousands of files costs more than writing the sections.
struct KeptFile {
  std::string path;
  std::FILE* file;
  long long size;
};

std::vector<KeptFile>& keptFiles() {
  static std::vector<KeptFile> kept;
  return kept;
}

std::FILE* takeKeptFile(const std::string& path, long long& size) {
  std::vector<KeptFile>& kept = keptFiles();
  for (size_t i = 0; i < kept.size(); ++i) {
    if (kept[i].path != path) continue;
    std::FILE* file = kept[i].file;
    size = kept[i].size;
    kept.erase(kept.begin() + static_cast<std::ptrdiff_t>(i));
    return file;
  }
  return nullptr;
}

void dropKeptFile(const std::string& path) {
  long long size;
  if (std::FILE* file = takeKeptFile(path, size)) std::fclose(file);
}

}  // namespace

void closeKeptReports() {
  for (KeptFile& k : keptFiles())
    if (std::fclose(k.file) != 0) reportFailure(k.path);
  keptFiles().clear();
}

void reportUnwritten(const std::string& path) { reportFailure(path); }

void setReportFailureHandler(void (*handler)(const std::string& path)) { failureHandler = handler; }

CrLfFileBuf::~CrLfFileBuf() { close(); }

bool CrLfFileBuf::open(const std::string& path, bool append, bool keep) {
  close();
  written_ = 0;
  keep_ = keep && append;
  path_ = path;
  failed_ = false;
  if (!buffers_) buffers_.reset(new char[3 * kTextBytes]);
  if (keep_) {
    file_ = takeKeptFile(path, written_);
    if (file_) {
      setp(text(), text() + kTextBytes);
      return true;
    }
  } else {
    dropKeptFile(path);  // a fresh start of a kept report
  }
  file_ = platform::openFile(path, append ? "ab" : "wb");
  if (file_) std::setvbuf(file_, nullptr, _IONBF, 0);
  if (file_ && append) {
    std::fseek(file_, 0, SEEK_END);
    written_ = std::ftell(file_);
  }
  if (!file_) {
    reportFailure(path);
    return false;
  }
  setp(text(), text() + kTextBytes);
  return true;
}

void CrLfFileBuf::close() {
  if (!file_) return;
  flushBuffer();
  if (keep_) {
    // On disk at once, so that the file reads complete while it is kept.
    if (std::fflush(file_) != 0) failed_ = true;
    keptFiles().push_back(KeptFile{path_, file_, written_});
  } else if (std::fclose(file_) != 0) {
    failed_ = true;
  }
  file_ = nullptr;
  setp(nullptr, nullptr);
  if (failed_) reportFailure(path_);
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
  setp(text(), text() + kTextBytes);
  bool ok = std::fwrite(disk(), 1, used, file_) == used;
  written_ += static_cast<long long>(used);
  if (!ok) failed_ = true;
  return ok;
}

long long CrLfFileBuf::size() const {
  const char* from = pbase();
  const char* end = pptr();
  return written_ + (end - from) + std::count(from, end, '\n');
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

bool ReportFile::openPath(const std::string& path, bool append, bool keep) {
  clear();
  if (!buf_.open(path, append, keep)) {
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

void openReport(const std::string& fileName, ReportFile& stream) {
  stream.openPath(reportPath(fileName), false);
}

void openReportAppend(const std::string& fileName, ReportFile& stream) {
  stream.openPath(reportPath(fileName), true, true);
}
