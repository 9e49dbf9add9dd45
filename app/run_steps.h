// The steps of a run around the reading of each main file, for the run
// driver and for harnesses that read sources from memory.
#pragma once

class RunTables;
class SourceReader;

// Per-file set-up of the tables before a main file is read (entryIndex -1:
// once for the whole run).
void prepareFileTables(RunTables& tables, int entryIndex);
// End of one main file: per-file report sections and table resets.
void finishSourceFile(RunTables& tables, SourceReader& reader);
// Every enabled report, in a fixed order.
void writeReports(RunTables& tables);
