// What became of the input the user named and of the reports. Registering
// paths notes what it leaves out (with a line for the next run's log), the
// run adds the files it could not read and the reports it could not write,
// and the program tells the user in one line and in its exit status, so
// that nothing named is lost without a word.
#pragma once

#include <string>
#include <vector>

#include "platform/file_system.h"

// One input that was lost, with why.
struct LostInput {
  const char* reason;  // as the summary counts it ("開けないファイル" …)
  std::string path;
  bool byRun = false;  // met by the run (the next run meets it again)
};

struct RunOutcome {
  // Left out while registering.
  int refused = 0;                 // would have mixed the C family with VB and Delphi
  int notSources = 0;              // a file named whose extension no language reads
  int unmatched = 0;               // a folder or pattern without any source file
  std::vector<std::string> notes;  // their log lines, for the next run's log
  std::vector<LostInput> lost;     // each of them (and the run's unreadable files)
  bool badCommandLine = false;     // an unknown switch, a switch without its value
  // The last run.
  bool ran = false;
  // The output folder was another program's at the time: nothing was
  // written there (the log is among `unwritten`).
  bool folderInUse = false;
  int analysed = 0;             // registered files read
  int unreadable = 0;           // registered files that did not open
  bool workbookAsText = false;  // "xls" was asked for; text was written
  std::string outputFolder;
  std::vector<std::string> unwritten;  // report files that could not be written
  std::vector<std::string> written;    // report file names written, sorted, the log too
  // The output folder that the settings named and that is not there (the
  // run took the fallback folder).
  std::string missingOutputFolder;
  std::vector<std::string> iniUnknown;  // iniUnknownEntries() of the run
  // Files of settings that were there but could not serve, so that what
  // the program has built in took their place: the INI file (the defaults)
  // and the settings data file (the built-in reserved words and types).
  platform::FileProblem iniProblem = platform::FileProblem::kNone;
  std::string iniPath;
  platform::FileProblem settingsDataProblem = platform::FileProblem::kNone;
  std::string settingsDataPath;

  // Input lost, a file of settings not used, the output folder named
  // missing, a report not written, or text written for a workbook.
  bool somethingLost() const;
  // 2 for a wrong command line, else 1 when somethingLost(), else 0.
  int exitStatus() const;
  // One line for each file of settings not used, each unknown entry of
  // the INI file, the output folder named missing and each report that
  // could not be written, then the summary line: files analysed, what was
  // lost and why, where the reports are; under it the first
  // kLostNamesShown lost inputs by name (and how many more), and the
  // reports written. When the output folder was in use, the line that says
  // so instead of the summary. Each line ends with "\n".
  std::string message() const;
};

constexpr size_t kLostNamesShown = 10;

// The program's record: the command line and the window note into it as
// they register paths, and each run adds its part.
RunOutcome& runOutcome();

// Registration's notes: each counts in `outcome` and leaves its log line.
void noteRefused(RunOutcome& outcome, const std::string& path);
void noteNotSource(RunOutcome& outcome, const std::string& path);
void noteUnmatched(RunOutcome& outcome, const std::string& path);
// A folder reached again (a link back to a folder above it, or a second
// way to one already searched): not searched again, and nothing is lost.
void noteFolderSearched(RunOutcome& outcome, const std::string& path);

// Whether a file of settings with `problem` was there but not used.
bool settingsFileUnusable(platform::FileProblem problem);

// The line that tells that the output folder was another program's.
std::string folderInUseText(const std::string& folder);

// The log text of a source file or header that is no regular file (a pipe,
// a device) and is therefore not read.
std::string notRegularFileLine(const std::string& name);
// The log lines of an unknown entry of the INI file ("[section] key" or
// "[section]") and of an output folder named that is not there.
std::string iniUnknownLogLine(const std::string& entry);
std::string missingOutputFolderLogLine(const std::string& folder);
// A lost input that the run met: a registered file that did not open.
void noteUnreadable(RunOutcome& outcome, const std::string& path);
// The log line of an INI file that was not used.
std::string iniUnusableLogLine(platform::FileProblem problem, const std::string& path);

// The log lines of a run about what it did not write.
extern const char kWorkbookAsTextLine[];
std::string unwrittenLogLine(const std::string& path);
// The line that names a report which could not be written, for the user.
std::string unwrittenReportText(const std::string& path);
