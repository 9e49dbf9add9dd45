#include "report/report_file.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/file_names.h"
#include "platform/file_system.h"
#include "report/report_session.h"

bool CrLfFileBuf::takeKept(const std::string& path) {
  std::unique_ptr<KeptReport> kept = session_ ? session_->takeKept(path) : nullptr;
  if (!kept) return false;
  path_ = kept->path;  // `path` may be the name inside the entry just taken out
  encoding_ = session_->style().encoding;
  file_ = kept->file;
  replacement_ = std::move(kept->replacement);
  failed_ = file_ == nullptr;
  taken_ = true;
  written_ = kept->written;
  buffers_.swap(kept->buffers);
  if (!buffers_) buffers_.reset(new char[3 * kTextBytes]);
  startPutArea(kept->pending, kept->pendingGrowth);
  return true;
}

void CrLfFileBuf::closeKept(const std::string& path) {
  if (!session_) return;
  CrLfFileBuf last(*session_);
  if (last.takeKept(path)) last.close();
}

void CrLfFileBuf::reportFailure(const std::string& path) {
  if (session_) session_->unwritten(path);
}

CrLfFileBuf::~CrLfFileBuf() { close(); }

bool CrLfFileBuf::open(const std::string& path, FileMode mode) {
  close();
  written_ = 0;
  keep_ = mode == FileMode::kFirstSection || mode == FileMode::kNextSection;
  path_ = path;
  encoding_ = session_ ? session_->style().encoding : FileEncoding();
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
  if (keep_ && session_)
    keepOpen();
  else
    finish();
  file_ = nullptr;
  taken_ = false;
  replacement_ = platform::Replacement();
  setp(nullptr, nullptr);
  countedTo_ = nullptr;
  countedGrowth_ = 0;
}

void CrLfFileBuf::abandon() {
  if (file_ && !keep_ && !taken_) {
    std::fclose(file_);
    platform::discardReplacement(replacement_);
    file_ = nullptr;
    replacement_ = platform::Replacement();
    setp(nullptr, nullptr);
    countedTo_ = nullptr;
    countedGrowth_ = 0;
  }
  close();
}

// A kept file that failed is dropped at once, so that what it holds does
// not take the room of the reports after it; its later sections go nowhere.
void CrLfFileBuf::keepOpen() {
  size();  // brings the count of growth up to date
  if (failed_ && file_) {
    std::fclose(file_);
    platform::discardReplacement(replacement_);
    reportFailure(path_);
    file_ = nullptr;
  }
  session_->keep(KeptReport{path_, file_, std::move(replacement_), written_, std::move(buffers_),
                            pptr() - pbase(), countedGrowth_});
}

void CrLfFileBuf::finish() {
  if (!file_) return;  // a kept file that failed: told already
  flushBuffer(true);
  if (std::fclose(file_) != 0) failed_ = true;
  if (failed_) {
    platform::discardReplacement(replacement_);
    reportFailure(path_);
  } else if (!platform::putReplacementInPlace(replacement_)) {
    reportFailure(path_);
  } else if (session_) {
    session_->wrote(path_);
  }
}

// The put area to the file: in Shift-JIS each line feed as CR LF, in
// UTF-8 converted with the line ends asked for.
bool CrLfFileBuf::flushBuffer(bool complete) {
  if (!file_) return false;
  const char* from = pbase();
  const char* end = pptr();
  const char* bytes = disk();
  size_t used = 0;
  size_t carried = 0;
  if (encoding_.utf8) {
    encoded_.clear();
    size_t length = static_cast<size_t>(end - from);
    size_t taken = platform::appendUtf8Text({from, length}, complete, encoding_.crLf, encoded_);
    carried = length - taken;
    std::memmove(text(), from + taken, carried);
    bytes = encoded_.data();
    used = encoded_.size();
  } else {
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
  }
  // A few carried bytes are counted with no growth: the size is a measure
  // for splitting lists, not an exact count, in UTF-8.
  startPutArea(static_cast<std::ptrdiff_t>(carried));
  written_ += static_cast<long long>(used);
  // After a failed write nothing more: the file ends where the failure was.
  if (failed_) return false;
  if (std::fwrite(bytes, 1, used, file_) != used) failed_ = true;
  return !failed_;
}

void CrLfFileBuf::startPutArea(std::ptrdiff_t pending, long long growth) {
  setp(text(), text() + kTextBytes);
  pbump(static_cast<int>(pending));
  countedTo_ = pptr();
  countedGrowth_ = growth;
}

long long CrLfFileBuf::growth(const char* from, const char* to) const {
  if (!encoding_.utf8) return std::count(from, to, '\n');
  std::string encoded;
  size_t length = static_cast<size_t>(to - from);
  platform::appendUtf8Text({from, length}, true, encoding_.crLf, encoded);
  return static_cast<long long>(encoded.size()) - static_cast<long long>(length);
}

// A kept list report is measured before each of its sections: the growth
// is counted once, as far as the last measure, not over the whole put area
// each time.
long long CrLfFileBuf::size() const {
  countedGrowth_ += growth(countedTo_, pptr());
  countedTo_ = pptr();
  return written_ + (pptr() - pbase()) + countedGrowth_;
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
