// The program's analysis runs: one at a time, over the program's source
// file list, with the live options of the moment. The command line runs
// one on the main thread, the window on its worker thread, and the window
// may ask the run in progress to stop.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Runs the analysis (output folder chosen, error log opened, the run,
// kept reports and log closed) and notes in runOutcome() what it read, what
// it could not, and the reports it could not write. False when a stop
// request ended it.
bool runAnalysis();

// Asks the run in progress, if any, to stop; callable from any thread.
void stopAnalysis();

// Seconds that the last timed run took (kept from run to run).
double elapsedSeconds();

// The step counts (those not 0) of the functions of the last run that
// finished, in record order; empty before the first. The distribution
// dialog shows them; only the window's thread reads them, while no run is
// active.
const std::vector<std::int32_t>& lastFunctionLengths();

// Writes the distribution of lastFunctionLengths() in classes of `width` as
// "Mz関数分布.csv" into the output folder that a run would take now. The
// path of the file when it could not be written, else empty text.
std::string writeLastDistribution(std::int32_t width);

// How the run shows "(%4d/%4d) %sを処理中" while it works: the window's
// viewer, or the terminal on POSIX. Null shows nothing.
void setProgressDisplay(void (*show)(const std::string& text));

// The name of the run's log file in the output folder.
extern const char kErrorLogName[];
