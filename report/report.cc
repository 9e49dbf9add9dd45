#include "report/report.h"

#include "report/sheet_writer.h"

bool Report::create(ReportId id, int number) { return open(id, number, FileMode::kWhole); }

bool Report::append(ReportId id, int number) { return open(id, number, FileMode::kNextSection); }

bool Report::createSections(ReportId id, int number) {
  return open(id, number, FileMode::kFirstSection);
}

bool Report::open(ReportId id, int number, FileMode mode) {
  close();
  std::optional<ReportFormat> form = writtenForm(id, style_.format);
  if (!form) return false;
  if (*form == ReportFormat::kWorkbook) {
    // A sheet of the run's workbook, not a file.
    if (!session_.workbook()) return false;
    written_ = *form;
    writer_ = makeSheetWriter(session_, sheetLayout(id), file_);
    return true;
  }
  written_ = *form;
  if (!writesRows(*form)) {
    // Its producer writes the file's bytes itself (stream()), UTF-8 already
    // whatever the reports are written in.
    file_.openPath(session_.path(reportFileName(id, *form, number)), mode);
    file_.keepBytesAsGiven();
    return true;
  }
  std::unique_ptr<ReportWriter> writer = session_.makeWriter(*form, style_, file_);
  if (!writer) return false;
  writer_ = std::move(writer);
  file_.openPath(session_.path(reportFileName(id, *form, number)), mode);
  return true;
}

void Report::close() {
  writer_.reset();
  file_.close();
}

void Report::abandon() {
  writer_.reset();
  file_.abandon();
}

bool ListSections::open(Report& report, ReportId id, std::string_view title) {
  bool fresh = sections_ == 0;
  if (!fresh) {
    if (!report.append(id, fileNumber_)) return false;
    if (sizeLimit_ > 0 && report.size() > sizeLimit_) {
      report->endPage();
      ++fileNumber_;
      fresh = true;
    }
  }
  if (fresh) {
    if (!report.createSections(id, fileNumber_)) return false;
    report->beginPage(title);
  }
  ++sections_;
  return true;
}

void ListSections::finish(ReportSession& session, ReportId id) {
  Report report(session);
  if (sections_ == 0 || !report.append(id, fileNumber_)) return;
  if (report->pageHasEnd()) report->endPage();
}
