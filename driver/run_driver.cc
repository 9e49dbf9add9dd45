#include "driver/run_driver.h"

#include <algorithm>
#include <atomic>
#include <cstdio>

#include "driver/analysis_run.h"
#include "context/options.h"
#include "driver/run_outcome.h"
#include "context/source_file_list.h"
#include "context/text_util.h"
#include "platform/file_system.h"
#include "platform/program.h"
#include "report/error_log.h"
#include "report/report_file.h"
#include "report/workbook_start.h"
#include "tables/function_table.h"
#include "tables/line_distribution.h"

const char kErrorLogName[] = "MizentaErrLog.txt";

namespace {

// What the program keeps of its runs, which go one at a time: the record
// of the last one, and what the window reaches while one is active.
struct ProgramRuns {
  RunOutcome outcome;
  // Stop requests for the run in progress: a flag that outlives every
  // run, so that another thread never reaches a run that is going away.
  std::atomic<bool> stop{false};
  void (*progressDisplay)(const std::string&) = nullptr;
  double lastElapsed = 0.0;
  std::vector<std::int32_t> functionLengths;  // of the last run that finished
};

ProgramRuns& programRuns() {
  static ProgramRuns runs;
  return runs;
}

std::vector<std::int32_t>& functionLengths() { return programRuns().functionLengths; }

// "ｽﾃｯﾌﾟ数を出力中": the report being written, in the place of the file line.
void showReportProgress(const std::string& report) {
  void (*progressDisplay)(const std::string&) = programRuns().progressDisplay;
  if (progressDisplay) progressDisplay(report + "を出力中\n");
}

void showProgress(int position, int count, const std::string& name) {
  void (*progressDisplay)(const std::string&) = programRuns().progressDisplay;
  if (!progressDisplay) return;
  char head[32];
  std::snprintf(head, sizeof head, "(%4d/%4d) ", position, count);
  progressDisplay(head + name + "を処理中\n");
}

void noteUnwritten(const std::string& path) {
  std::vector<std::string>& unwritten = runOutcome().unwritten;
  if (std::find(unwritten.begin(), unwritten.end(), path) == unwritten.end())
    unwritten.push_back(path);
}

// A folder named in the INI file (or by the command line) is used as it
// is: when it cannot be written, the user hears so. Without one, the
// program's folder may be read-only (installed for all users): the
// current folder takes the reports then.
void chooseOutputFolder() {
  Options& o = liveOptions();
  bool named = o.outputFolderExists && folderExists(o.outputFolder);
  checkOutputFolder();
  if (!named && !platform::folderTakesFile(o.outputFolder, kErrorLogName))
    o.outputFolder = platform::currentDirectory();
}

// The names of the files that the run put in place, the log among them
// when it was written, sorted.
std::vector<std::string> writtenNames(const std::vector<std::string>& paths,
                                      const std::string& logPath, const RunOutcome& outcome) {
  std::vector<std::string> names;
  std::vector<std::string> all = paths;
  if (std::find(outcome.unwritten.begin(), outcome.unwritten.end(), logPath) ==
      outcome.unwritten.end())
    all.push_back(logPath);
  for (const std::string& path : all) names.push_back(fileNamePart(path));
  std::sort(names.begin(), names.end());
  names.erase(std::unique(names.begin(), names.end()), names.end());
  return names;
}

// The "xls" format needs a workbook: through the spreadsheet program or
// the workbook library. Without either the reports are written as text,
// and the user is told.
Options optionsOfRun(RunOutcome& outcome, std::unique_ptr<platform::Workbook>& workbook) {
  Options options = liveOptions();
  outcome.workbookAsText = false;
  if (options.outputFormat != OutputFormat::Excel) return options;
  workbook = startWorkbook(options.outputFolder, options.excelVersion);
  outcome.workbookAsText = workbook == nullptr;
  if (outcome.workbookAsText) options.outputFormat = OutputFormat::Text;
  return options;
}

// The start of the log: an INI file not used or holding what the program
// does not know, an output folder named that is not there, what
// registration left out, and the workbook.
void logNotes(RunOutcome& outcome) {
  if (settingsFileUnusable(outcome.iniProblem))
    errorLog() << iniUnusableLogLine(outcome.iniProblem, outcome.iniPath) << '\n';
  for (const std::string& entry : outcome.iniUnknown)
    errorLog() << iniUnknownLogLine(entry) << '\n';
  if (!outcome.missingOutputFolder.empty())
    errorLog() << missingOutputFolderLogLine(outcome.missingOutputFolder) << '\n';
  for (const std::string& note : outcome.notes) errorLog() << note << '\n';
  outcome.notes.clear();
  if (outcome.workbookAsText) errorLog() << kWorkbookAsTextLine << '\n';
}

}  // namespace

RunOutcome& runOutcome() { return programRuns().outcome; }

double elapsedSeconds() { return programRuns().lastElapsed; }

const std::vector<std::int32_t>& lastFunctionLengths() { return functionLengths(); }

std::string writeLastDistribution(std::int32_t width) {
  chooseOutputFolder();
  const Options& options = liveOptions();
  std::string unwritten;
  ReportSession reports(options.outputFolder, reportStyle(options),
                        [&unwritten](const std::string& path) { unwritten = path; });
  writeDistributionCsv(reports, computeDistribution(functionLengths(), width));
  return unwritten;
}

void setProgressDisplay(void (*show)(const std::string&)) { programRuns().progressDisplay = show; }

void stopAnalysis() { programRuns().stop.store(true, std::memory_order_relaxed); }

bool runAnalysis() {
  RunOutcome& outcome = runOutcome();
  outcome.missingOutputFolder = missingOutputFolder();
  chooseOutputFolder();
  outcome.iniProblem = iniFileProblem();
  outcome.iniUnknown = iniUnknownEntries();
  outcome.written.clear();
  outcome.iniPath = iniPath();
  outcome.settingsDataProblem = platform::FileProblem::kNone;
  // Another program writing into the same folder would mix its reports
  // with these: the run does not start, and its log is not written either.
  platform::OutputFolderLock folderLock;
  outcome.folderInUse = !folderLock.take(liveOptions().outputFolder);
  if (outcome.folderInUse) {
    outcome.ran = false;
    outcome.outputFolder = liveOptions().outputFolder;
    outcome.unwritten = {liveOptions().outputFolder + kErrorLogName};
    return true;
  }
  // The run's settings, read once: the window may edit the live record.
  std::unique_ptr<platform::Workbook> workbook;
  const Options options = optionsOfRun(outcome, workbook);
  outcome.ran = true;
  outcome.outputFolder = options.outputFolder;
  outcome.unwritten.clear();
  bool finished;
  std::atomic<bool>& stopFlag = programRuns().stop;
  stopFlag.store(false, std::memory_order_relaxed);
  {
    AnalysisRun run(options);
    run.setProgress(showProgress);
    run.setReportProgress(showReportProgress);
    run.shareStopFlag(stopFlag);
    run.useWorkbook(std::move(workbook));
    run.reports().setFailureSink(noteUnwritten);
    const std::string logPath = run.reports().path(kErrorLogName);
    attachErrorLogFile(logPath, run.reports());
    logNotes(outcome);
    finished = run.run(sourceFiles());
    if (finished && options.showElapsedTime) programRuns().lastElapsed = run.elapsedSeconds();
    if (finished) functionLengths() = run.functions().stepCounts();
    outcome.analysed = run.filesRead();
    outcome.unreadable = run.filesUnreadable();
    std::erase_if(outcome.lost, [](const LostInput& l) { return l.byRun; });
    for (const std::string& path : run.unreadablePaths()) noteUnreadable(outcome, path);
    outcome.settingsDataProblem = run.settingsDataProblem();
    outcome.settingsDataPath = programFolder() + kSettingsDataName;
    run.reports().closeKeptReports();
    for (const std::string& path : outcome.unwritten)
      if (path != logPath) errorLog() << unwrittenLogLine(path) << '\n';
    detachErrorLog();
    outcome.written = writtenNames(run.reports().writtenPaths(), logPath, outcome);
  }
  return finished;
}
