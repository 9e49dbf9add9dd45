// A report being written: its file in the session's folder, named by the
// catalogue for the form the session's format writes, and the writer of
// that form. A producer opens it, describes its rows through the writer and
// lets it go; list reports that take a section after every main file keep
// a ListSections that opens each section where the last one ended.
#pragma once

#include <memory>
#include <string_view>

#include "report/report_catalogue.h"
#include "report/report_file.h"
#include "report/report_session.h"
#include "report/report_writer.h"

class Report {
 public:
  // Written in the session's style, or in `style` (a report whose form does
  // not follow the run's options).
  explicit Report(ReportSession& session) : Report(session, session.style()) {}
  Report(ReportSession& session, const ReportStyle& style)
      : session_(session), file_(session), style_(style) {}
  Report(const Report&) = delete;
  Report& operator=(const Report&) = delete;

  // Creates the report's file (in place of the earlier one once closed) /
  // appends to it; `number` as in reportFileName. False, with nothing
  // opened, when the chosen format does not write the report. A file that
  // cannot be opened still gets its writer, whose output is lost.
  bool create(ReportId id, int number = 0);
  bool append(ReportId id, int number = 0);
  // Creates a file that later sections append to: it takes the earlier
  // one's place when the run's kept reports are closed.
  bool createSections(ReportId id, int number = 0);

  // The forms whose rows a writer writes; the others (JSON, DOT) have no
  // writer, and their producer writes into stream().
  static bool writesRows(ReportFormat form) {
    return form != ReportFormat::kJson && form != ReportFormat::kDot;
  }
  std::ostream& stream() { return file_; }
  // The form the report is written in (after create).
  ReportFormat form() const { return written_; }

  ReportWriter* operator->() { return writer_.get(); }
  ReportSession& session() { return session_; }
  ReportWriter& writer() { return *writer_; }
  // The drawing pieces of the form being written.
  LinePieces pieces() const { return linePieces(style_.pc98Lines, written_); }
  // Bytes in the file so far.
  long long size() const { return file_.size(); }
  void close();
  // Closes the file without putting it in place (a run that stopped).
  void abandon();

 private:
  bool open(ReportId id, int number, FileMode mode);

  ReportSession& session_;
  ReportFile file_;
  std::unique_ptr<ReportWriter> writer_;  // writes into file_
  ReportStyle style_;
  ReportFormat written_ = ReportFormat::kText;
};

// The sections of one list report in one run.
class ListSections {
 public:
  // Past `sizeLimit` bytes a list file is finished and the next section
  // starts a numbered one; 0 for no limit.
  explicit ListSections(long long sizeLimit = 0) : sizeLimit_(sizeLimit) {}
  void setSizeLimit(long long bytes) { sizeLimit_ = bytes; }
  int count() const { return sections_; }

  // Opens `report` for the next section: the first creates the file and
  // begins its page, later ones append. False when the format does not
  // write the report (nothing is counted then).
  bool open(Report& report, ReportId id, std::string_view title);
  // After the last section of the run: the end of the page, where pages
  // have one.
  void finish(ReportSession& session, ReportId id);

 private:
  int sections_ = 0;
  int fileNumber_ = 0;  // 0: the base name; n: "_n"
  long long sizeLimit_ = 0;
};
