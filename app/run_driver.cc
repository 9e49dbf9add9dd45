#include "app/run_driver.h"

#include <atomic>
#include <cstdio>

#include "app/analysis_run.h"
#include "app/options.h"
#include "app/source_file_list.h"
#include "report/error_log.h"
#include "report/report_file.h"

const char kErrorLogName[] = "MizentaErrLog.txt";

namespace {

double lastElapsed = 0.0;
void (*progressDisplay)(const std::string&) = nullptr;

// Stop requests for the run in progress: a flag that outlives every run,
// so that another thread never reaches a run that is going away.
std::atomic<bool> stopFlag{false};

void showProgress(int position, int count, const std::string& name) {
  if (!progressDisplay) return;
  char head[32];
  std::snprintf(head, sizeof head, "(%4d/%4d) ", position, count);
  progressDisplay(head + name + "を処理中\n");
}

}  // namespace

double elapsedSeconds() { return lastElapsed; }

void setProgressDisplay(void (*show)(const std::string&)) { progressDisplay = show; }

void stopAnalysis() { stopFlag.store(true, std::memory_order_relaxed); }

bool runAnalysis() {
  checkOutputFolder();
  // The run's settings, read once: the window may edit the live record.
  const Options options = liveOptions();
  setReportFolder(options.outputFolder);
  bool finished;
  stopFlag.store(false, std::memory_order_relaxed);
  {
    AnalysisRun run(options);
    run.setProgress(showProgress);
    run.shareStopFlag(stopFlag);
    attachErrorLogFile(reportPath(kErrorLogName));
    finished = run.run(sourceFiles());
    if (finished && options.showElapsedTime) lastElapsed = run.elapsedSeconds();
    closeKeptReports();
    detachErrorLog();
  }
  return finished;
}
