// Where the reports of one run go and what becomes of them: the output
// folder, the line style, the writers (tests put a recorder in their
// place), the run's workbook, the list files kept open between sections,
// and where messages go (the log, and the sink told of every report that
// could not be written). The run makes one and hands it to every report
// producer; reports written on another thread beside the run's get a
// session of their own (beside()), whose messages wait in a hold.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <ostream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_replace.h"
#include "platform/workbook.h"
#include "report/report_model.h"
#include "report/report_writer.h"

// Where the run stands on one sheet of its workbook: the rows written so
// far (gaps included; 0 for a sheet not begun), and whether a failed
// operation left it (it then takes no further section).
struct SheetPlace {
  int rowsUsed = 0;
  bool abandoned = false;
};

// A list file between two of its sections: open, with its unwritten bytes.
// Opening, measuring, writing and closing each list for every one of
// thousands of files costs more than writing the sections.
struct KeptReport {
  std::string path;
  std::FILE* file;  // null for one that failed: its sections go nowhere
  platform::Replacement replacement;
  long long written;
  std::unique_ptr<char[]> buffers;
  std::ptrdiff_t pending;   // bytes in the put area
  long long pendingGrowth;  // what they grow by on the disk
};

// The messages of reports written beside the others, kept for their place
// in the run's order: log text and the paths of reports not written.
class MessageHold {
 public:
  MessageHold() : stream_(&text_) {}
  MessageHold(const MessageHold&) = delete;
  MessageHold& operator=(const MessageHold&) = delete;

  std::ostream& log() { return stream_; }
  void addUnwritten(const std::string& path) { unwritten_.push_back(path); }
  void addWritten(const std::string& path) { written_.push_back(path); }
  const std::vector<std::string>& written() const { return written_; }
  std::string text() const { return text_.str(); }
  const std::vector<std::string>& unwritten() const { return unwritten_; }
  void clear() {
    text_.str(std::string());
    unwritten_.clear();
    written_.clear();
  }

 private:
  std::stringbuf text_;
  std::ostream stream_;
  std::vector<std::string> unwritten_;
  std::vector<std::string> written_;
};

class ReportSession {
 public:
  using FailureSink = std::function<void(const std::string& path)>;

  // `folder` ends with a separator (or is empty: the current folder).
  ReportSession(std::string folder, ReportStyle style, FailureSink sink = nullptr);
  // Closes the kept list files.
  ~ReportSession();
  ReportSession(const ReportSession&) = delete;
  ReportSession& operator=(const ReportSession&) = delete;

  const std::string& folder() const { return folder_; }
  std::string path(std::string_view fileName) const { return folder_ + std::string(fileName); }
  const ReportStyle& style() const { return style_; }
  void setFailureSink(FailureSink sink) { sink_ = std::move(sink); }

  // The writer of format `written` into `out`; null for the workbook, whose
  // sheets have their writer in sheet_writer.h.
  std::unique_ptr<ReportWriter> makeWriter(ReportFormat written, const ReportStyle& style,
                                           std::ostream& out) const;
  // Puts `maker` in place of the writers of every format (null: the
  // program's own). Tests record what the producers describe with it.
  void replaceWriters(ReportWriterMaker maker) { writerMaker_ = maker; }

  // The workbook the reports go to in the "xls" format; null for none.
  void setWorkbook(platform::Workbook* book);
  platform::Workbook* workbook() const { return workbook_; }
  SheetPlace& sheetPlace(const std::string& sheet) { return sheets_[sheet]; }
  // Ends the workbook (saved, or discarded when `cancelled`) and forgets
  // it; one that cannot be saved is named like an unwritten report. True
  // when there was none or it ended as asked.
  bool endWorkbook(bool cancelled);

  // Where the session's messages go: the run's log, or the hold.
  std::ostream& log();
  // A report file that could not be opened, whose bytes did not all reach
  // the disk or that could not take the earlier file's place.
  void unwritten(const std::string& path);
  // A report file (or the workbook) put in place complete.
  void wrote(const std::string& path);
  // The paths of wrote(), in their order, this session's and those
  // released from holds.
  const std::vector<std::string>& writtenPaths() const { return written_; }

  // While a hold is set, the session's messages wait in it, and so do the
  // run's log lines (the run's session only, on the run's thread); null
  // ends the hold.
  void hold(MessageHold* held);
  // The held messages, in their order, to this session's log and sink; the
  // hold is empty afterwards.
  void release(MessageHold& held);

  // A session for reports written on another thread while this one goes
  // on: the same folder, style and writers, no workbook, no kept files of
  // this one's, and every message in `held`.
  std::unique_ptr<ReportSession> beside(MessageHold& held) const;

  // Writes out and closes every kept list file, putting each in place.
  void closeKeptReports();
  // The kept file of `path`, taken out of the list; null when there is none.
  std::unique_ptr<KeptReport> takeKept(const std::string& path);
  void keep(KeptReport kept) { kept_.push_back(std::move(kept)); }

 private:
  std::string folder_;
  ReportStyle style_;
  FailureSink sink_;
  ReportWriterMaker writerMaker_ = nullptr;
  platform::Workbook* workbook_ = nullptr;
  std::map<std::string, SheetPlace> sheets_;
  MessageHold* held_ = nullptr;
  bool runLog_ = true;  // log() is the run's error log when nothing is held
  std::vector<KeptReport> kept_;
  std::vector<std::string> written_;
};
