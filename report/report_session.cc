#include "report/report_session.h"

#include <algorithm>

#include "report/error_log.h"
#include "report/report_file.h"

ReportSession::ReportSession(std::string folder, ReportStyle style, FailureSink sink)
    : folder_(std::move(folder)), style_(style), sink_(std::move(sink)) {}

ReportSession::~ReportSession() { closeKeptReports(); }

std::unique_ptr<ReportWriter> ReportSession::makeWriter(ReportFormat written,
                                                        const ReportStyle& style,
                                                        std::ostream& out) const {
  if (writerMaker_) return writerMaker_(written, style, out);
  return makeReportWriter(written, style, out);
}

void ReportSession::setWorkbook(platform::Workbook* book) {
  workbook_ = book;
  sheets_.clear();
}

bool ReportSession::endWorkbook(bool cancelled) {
  platform::Workbook* book = workbook_;
  setWorkbook(nullptr);
  if (!book) return true;
  bool ended = book->endExcel(cancelled);
  if (!ended && !cancelled) unwritten(book->path());
  if (ended && !cancelled) wrote(book->path());
  return ended;
}

std::ostream& ReportSession::log() {
  if (held_) return held_->log();
  return errorLog();
}

void ReportSession::unwritten(const std::string& path) {
  if (held_)
    held_->addUnwritten(path);
  else if (sink_)
    sink_(path);
}

void ReportSession::wrote(const std::string& path) {
  if (held_)
    held_->addWritten(path);
  else
    written_.push_back(path);
}

void ReportSession::hold(MessageHold* held) {
  held_ = held;
  if (runLog_) holdErrorLog(held ? &held->log() : nullptr);
}

void ReportSession::release(MessageHold& held) {
  const std::string text = held.text();
  if (!text.empty()) log() << text;
  for (const std::string& path : held.unwritten()) unwritten(path);
  for (const std::string& path : held.written()) wrote(path);
  held.clear();
}

std::unique_ptr<ReportSession> ReportSession::beside(MessageHold& held) const {
  auto side = std::make_unique<ReportSession>(folder_, style_);
  side->writerMaker_ = writerMaker_;
  side->held_ = &held;
  side->runLog_ = false;
  return side;
}

void ReportSession::closeKeptReports() {
  while (!kept_.empty()) {
    CrLfFileBuf last(*this);
    last.takeKept(kept_.front().path);
    last.close();
  }
}

std::unique_ptr<KeptReport> ReportSession::takeKept(const std::string& path) {
  auto at = std::find_if(kept_.begin(), kept_.end(),
                         [&path](const KeptReport& k) { return k.path == path; });
  if (at == kept_.end()) return nullptr;
  auto kept = std::make_unique<KeptReport>(std::move(*at));
  kept_.erase(at);
  return kept;
}
