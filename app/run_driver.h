// One analysis run over the registered source files: create the run's
// tables, open the error log, read every file (".bas" modules first), write
// the reports, and tear everything down. The command line runs it on the
// main thread, the window on its worker thread; one run at a time.
#pragma once

#include <string>

void runAnalysis();

// Seconds that the last timed run took (kept from run to run).
double elapsedSeconds();

// How the run shows "(%4d/%4d) %sを処理中" while it works: the window's
// viewer, or the terminal on POSIX. Null shows nothing.
void setProgressDisplay(void (*show)(const std::string& text));

// The name of the run's log file in the output folder.
extern const char kErrorLogName[];
