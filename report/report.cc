#include "report/report.h"

#include "report/sheet_writer.h"
#include "report/workbook_output.h"

bool Report::create(ReportId id, const ReportStyle& style, int number) {
  return open(id, style, number, FileMode::kWhole);
}

bool Report::append(ReportId id, const ReportStyle& style, int number) {
  return open(id, style, number, FileMode::kNextSection);
}

bool Report::createSections(ReportId id, const ReportStyle& style, int number) {
  return open(id, style, number, FileMode::kFirstSection);
}

bool Report::open(ReportId id, const ReportStyle& style, int number, FileMode mode) {
  close();
  std::optional<ReportFormat> form = writtenForm(id, style.format);
  if (!form) return false;
  if (*form == ReportFormat::kWorkbook) {
    // A sheet of the run's workbook, not a file.
    platform::Workbook* book = reportWorkbook();
    if (!book) return false;
    style_ = style;
    written_ = *form;
    writer_ = makeSheetWriter(*book, sheetLayout(id), file_);
    return true;
  }
  std::unique_ptr<ReportWriter> writer = makeReportWriter(*form, style, file_);
  if (!writer) return false;
  style_ = style;
  written_ = *form;
  writer_ = std::move(writer);
  openReport(reportFileName(id, *form, number), file_, mode);
  return true;
}

void Report::close() {
  writer_.reset();
  file_.close();
}

bool ListSections::open(Report& report, ReportId id, const ReportStyle& style,
                        std::string_view title) {
  bool fresh = sections_ == 0;
  if (!fresh) {
    if (!report.append(id, style, fileNumber_)) return false;
    if (sizeLimit_ > 0 && report.size() > sizeLimit_) {
      report->endPage();
      ++fileNumber_;
      fresh = true;
    }
  }
  if (fresh) {
    if (!report.createSections(id, style, fileNumber_)) return false;
    report->beginPage(title);
  }
  ++sections_;
  return true;
}

void ListSections::finish(ReportId id, const ReportStyle& style) {
  Report report;
  if (sections_ == 0 || !report.append(id, style, fileNumber_)) return;
  if (report->pageHasEnd()) report->endPage();
}
