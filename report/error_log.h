// The run's diagnostic stream. During a run it writes "MizentaErrLog.txt"
// in the output folder (CR LF line ends); between runs it is detached and
// every write goes nowhere. Every part of the analyser writes its messages
// here line by line; nothing here stops a run. It belongs to the run's
// thread: reports written on another thread write to their session's hold.
#pragma once

#include <cstdint>
#include <ostream>
#include <streambuf>
#include <string>

class ReportSession;

std::ostream& errorLog();

// How many times errorLog() was called in this process: where the count
// stays, nothing was written (a header's replay asks it).
std::uint64_t errorLogUses();

// Truncates and opens `path` as the log, written where it is (not put in
// place at the end like a report: a log of this run that a full disk or an
// abrupt end cut short says more than a whole one of an earlier run); on
// failure the stream is failed and later writes are lost. A log that
// cannot be written is named to `session` as unwritten.
void attachErrorLogFile(const std::string& path, ReportSession& session);

// Sends the log to a caller's buffer (tests), or detaches it with null.
void attachErrorLog(std::streambuf* buffer);

// Closes the log file and detaches the stream (no buffer, bad state).
void detachErrorLog();

// What is written to the log goes to `held` instead, until it is called
// again with null (the run's session holds its messages so).
void holdErrorLog(std::ostream* held);
