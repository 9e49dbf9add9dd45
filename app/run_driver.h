// The program's analysis runs: one at a time, over the program's source
// file list, with the live options of the moment. The command line runs
// one on the main thread, the window on its worker thread, and the window
// may ask the run in progress to stop.
#pragma once

#include <string>

// Runs the analysis (output folder chosen, error log opened, the run,
// kept reports and log closed) and notes in runOutcome() what it read, what
// it could not, and the reports it could not write. False when a stop
// request ended it.
bool runAnalysis();

// Asks the run in progress, if any, to stop; callable from any thread.
void stopAnalysis();

// Seconds that the last timed run took (kept from run to run).
double elapsedSeconds();

// How the run shows "(%4d/%4d) %sを処理中" while it works: the window's
// viewer, or the terminal on POSIX. Null shows nothing.
void setProgressDisplay(void (*show)(const std::string& text));

// The name of the run's log file in the output folder.
extern const char kErrorLogName[];
