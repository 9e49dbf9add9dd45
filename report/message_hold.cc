#include "report/message_hold.h"

#include "report/error_log.h"
#include "report/report_file.h"

MessageHold::MessageHold() : stream_(&text_) {}

// A hold still on would leave the thread writing into a freed buffer.
MessageHold::~MessageHold() { end(); }

void MessageHold::begin() {
  holdErrorLogOnThisThread(&stream_);
  holdReportFailuresOnThisThread(&unwritten_);
  holding_ = true;
}

void MessageHold::end() {
  if (!holding_) return;
  holdErrorLogOnThisThread(nullptr);
  holdReportFailuresOnThisThread(nullptr);
  holding_ = false;
}

void MessageHold::release() {
  std::string text = text_.str();
  if (!text.empty()) errorLog() << text;
  for (const std::string& path : unwritten_) reportUnwritten(path);
  text_.str(std::string());
  unwritten_.clear();
}
