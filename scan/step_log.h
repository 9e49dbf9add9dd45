// The step-count report "MzStepLog": the eight line counts of every
// registered file and their totals over all files, as a text table, text
// blocks per file, an HTML table or CSV, by the output format. Written at
// the end of every run.
#pragma once

struct Options;
class JsonWriter;
class ReportSession;
class SourceFileList;

void writeStepLog(ReportSession& session, const Options& options, const SourceFileList& files);

// The same counts of every registered file, in the report's order, as JSON
// elements of the open array: name and the eight counters.
void writeStepCountsJson(JsonWriter& out, const SourceFileList& files);
