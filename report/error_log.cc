#include "report/error_log.h"

#include "report/report_file.h"

namespace {

CrLfFileBuf& logFile() {
  static CrLfFileBuf buf;
  return buf;
}

std::ostream& logStream() {
  static std::ostream stream(nullptr);
  return stream;
}

thread_local std::ostream* heldLog = nullptr;

}  // namespace

std::ostream& errorLog() { return heldLog ? *heldLog : logStream(); }

void holdErrorLogOnThisThread(std::ostream* held) { heldLog = held; }

void attachErrorLogFile(const std::string& path) {
  std::ostream& log = logStream();
  logFile().open(path, FileMode::kInPlace);
  log.rdbuf(&logFile());
  log.clear();
  if (!logFile().isOpen()) log.setstate(std::ios::badbit);
}

void attachErrorLog(std::streambuf* buffer) {
  std::ostream& log = logStream();
  log.rdbuf(buffer);
  if (buffer) log.clear();
}

void detachErrorLog() {
  std::ostream& log = logStream();
  log.flush();
  logFile().close();
  log.rdbuf(nullptr);
  log.setstate(std::ios::badbit);
}
