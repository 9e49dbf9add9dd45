// Report files in the output folder. Every report is written through a
// ReportFile: a standard output stream whose line ends reach the disk as
// CR LF on every platform, as text files are on Windows, and whose CP932
// text reaches it in the encoding of the session's style (report_model.h):
// the one place where a written file's bytes are made. A report is
// written under a name of its own beside its file and takes the file's place
// only when every byte reached the disk, so that a report that cannot be
// completed (a full disk) leaves the earlier one as it was. A file that
// cannot be opened leaves the stream failed, so the writer runs and writes
// nothing.
#pragma once

#include <cstdio>
#include <cstring>
#include <memory>
#include <ostream>
#include <streambuf>
#include <string>
#include <vector>

#include "platform/file_replace.h"
#include "report/report_model.h"

class ReportSession;

enum class FileMode : unsigned char {
  kWhole,         // a new file, in the old one's place once closed complete
  kFirstSection,  // the same, kept open after close() for the sections that
                  // follow, in place at closeKeptReports()
  kNextSection,   // the kept file of the path, or else the file there,
                  // appended to and kept
  kInPlace,       // truncated and written where it is (the run's log, which
                  // tells of this run however far the run or the disk got)
};

class CrLfFileBuf : public std::streambuf {
 public:
  // Kept files and failures belong to the session; a buffer without one
  // (the run's log) keeps nothing and tells nobody.
  CrLfFileBuf() = default;
  explicit CrLfFileBuf(ReportSession& session) : session_(&session) {}
  void useSession(ReportSession* session) { session_ = session; }
  ~CrLfFileBuf() override;
  CrLfFileBuf(const CrLfFileBuf&) = delete;
  CrLfFileBuf& operator=(const CrLfFileBuf&) = delete;

  // A kept file stays open after close(), with what is not written yet,
  // for the next open of the same path, until the session closes its kept
  // reports. Once a write fails, the file takes no more bytes: it is not put
  // in place (or, written in place, ends where the failure was), and its
  // path goes to the session as unwritten.
  bool open(const std::string& path, FileMode mode);
  bool isOpen() const { return file_ != nullptr; }
  void close();
  // Closes a file that is not kept without putting it in place: the
  // earlier file stays, and nobody is told.
  void abandon();
  void keepBytesAsGiven() { encoding_ = FileEncoding(); }
  // Bytes in the file so far (including what is still buffered).
  long long size() const;

 protected:
  int_type overflow(int_type c) override;
  // A piece that fits is one copy; a longer one goes the library's way.
  std::streamsize xsputn(const char* s, std::streamsize n) override {
    if (n <= 0) return 0;
    if (n > epptr() - pptr()) return std::streambuf::xsputn(s, n);
    std::memcpy(pptr(), s, static_cast<size_t>(n));
    pbump(static_cast<int>(n));
    return n;
  }
  int sync() override;

 private:
  // The file itself is unbuffered: a full put area is one write.
  static constexpr size_t kTextBytes = 32 * 1024;
  friend class ReportSession;
  bool openFile(const std::string& path, FileMode mode);
  // `complete`: the text ends here (else a character cut at the end of the
  // put area stays in it for the next flush).
  bool flushBuffer(bool complete = false);
  // The bytes more on disk than in the put area for its text from..to.
  long long growth(const char* from, const char* to) const;
  // close() of a kept file / of one that is done.
  void keepOpen();
  void finish();
  // An empty put area, or one holding `pending` bytes that grow by
  // `growth` on their way to the disk.
  void startPutArea(std::ptrdiff_t pending = 0, long long growth = 0);
  // Takes over the kept file of `path` with its unwritten bytes, if any.
  bool takeKept(const std::string& path);
  // Writes out and closes the kept file of `path`, if any.
  void closeKept(const std::string& path);
  void reportFailure(const std::string& path);
  char* text() { return buffers_.get(); }
  char* disk() { return buffers_.get() + kTextBytes; }

  ReportSession* session_ = nullptr;
  FileEncoding encoding_;  // the session's, from the first open on
  std::FILE* file_ = nullptr;
  platform::Replacement replacement_;  // where file_ writes
  bool failed_ = false;                // a write went wrong
  bool keep_ = false;
  bool taken_ = false;  // a kept file (perhaps one that failed) is in hand
  std::string path_;
  // The put area (line feeds as written), then twice its size for the same
  // with CR LF on its way to the file; from the first open on.
  std::unique_ptr<char[]> buffers_;
  std::string encoded_;    // the put area in UTF-8 on its way to the file
  long long written_ = 0;  // bytes handed to the file
  // How many bytes more than the put area's text up to `countedTo_` will
  // reach the disk (a CR for each line feed, what UTF-8 adds).
  mutable const char* countedTo_ = nullptr;
  mutable long long countedGrowth_ = 0;
};

class ReportFile : public std::ostream {
 public:
  explicit ReportFile(ReportSession& session) : std::ostream(&buf_), buf_(session) {}
  // Opens `path` as it is (no output folder).
  bool openPath(const std::string& path, FileMode mode);
  void close();
  void abandon() { buf_.abandon(); }
  // The bytes written are not converted to the session's encoding (only
  // their line feeds become CR LF): a text the producer encoded itself.
  void keepBytesAsGiven() { buf_.keepBytesAsGiven(); }
  bool isOpen() const { return buf_.isOpen(); }
  long long size() const { return buf_.size(); }

 private:
  CrLfFileBuf buf_;
};
