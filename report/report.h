// A report being written: its file in the output folder, named by the
// catalogue for the form the chosen format writes, and the writer of that
// form. A producer opens it, describes its rows through the writer and
// lets it go; list reports that take a section after every main file keep
// a ListSections that opens each section where the last one ended.
#pragma once

#include <memory>
#include <string_view>

#include "report/report_catalogue.h"
#include "report/report_file.h"
#include "report/report_writer.h"

class Report {
 public:
  Report() = default;
  Report(const Report&) = delete;
  Report& operator=(const Report&) = delete;

  // Creates the report's file (in place of the earlier one once closed) /
  // appends to it; `number` as in reportFileName. False, with nothing
  // opened, when the chosen format does not write the report. A file that
  // cannot be opened still gets its writer, whose output is lost.
  bool create(ReportId id, const ReportStyle& style, int number = 0);
  bool append(ReportId id, const ReportStyle& style, int number = 0);
  // Creates a file that later sections append to: it takes the earlier
  // one's place when the run's kept reports are closed.
  bool createSections(ReportId id, const ReportStyle& style, int number = 0);

  ReportWriter* operator->() { return writer_.get(); }
  ReportWriter& writer() { return *writer_; }
  // The drawing pieces of the form being written.
  LinePieces pieces() const { return linePieces(style_.pc98Lines, written_); }
  // Bytes in the file so far.
  long long size() const { return file_.size(); }
  void close();

 private:
  bool open(ReportId id, const ReportStyle& style, int number, FileMode mode);

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
  bool open(Report& report, ReportId id, const ReportStyle& style, std::string_view title);
  // After the last section of the run: the end of the page, where pages
  // have one.
  void finish(ReportId id, const ReportStyle& style);

 private:
  int sections_ = 0;
  int fileNumber_ = 0;  // 0: the base name; n: "_n"
  long long sizeLimit_ = 0;
};
