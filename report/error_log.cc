#include "report/error_log.h"

#include <atomic>

#include "report/report_file.h"

namespace {

// The log's file, the stream onto it, and a hold that takes its place.
struct RunLog {
  CrLfFileBuf file;
  std::ostream stream{nullptr};
  std::ostream* held = nullptr;
  // Reports written on another thread may ask for the stream meanwhile.
  std::atomic<std::uint64_t> uses{0};
};

RunLog& runLog() {
  static RunLog log;
  return log;
}

}  // namespace

std::ostream& errorLog() {
  RunLog& log = runLog();
  log.uses.fetch_add(1, std::memory_order_relaxed);
  return log.held ? *log.held : log.stream;
}

std::uint64_t errorLogUses() { return runLog().uses.load(std::memory_order_relaxed); }

void holdErrorLog(std::ostream* held) { runLog().held = held; }

void attachErrorLogFile(const std::string& path, ReportSession& session) {
  RunLog& log = runLog();
  log.file.useSession(&session);
  log.file.open(path, FileMode::kInPlace);
  log.stream.rdbuf(&log.file);
  log.stream.clear();
  if (!log.file.isOpen()) log.stream.setstate(std::ios::badbit);
}

void attachErrorLog(std::streambuf* buffer) {
  std::ostream& stream = runLog().stream;
  stream.rdbuf(buffer);
  if (buffer) stream.clear();
}

void detachErrorLog() {
  RunLog& log = runLog();
  log.stream.flush();
  log.file.close();
  log.file.useSession(nullptr);
  log.stream.rdbuf(nullptr);
  log.stream.setstate(std::ios::badbit);
}
