// One analysis run over the registered source files: it creates the run's
// tables (and owns them), loads the settings data, reads every file (".bas"
// modules first) through the read loop with the parser of its language,
// and writes the reports. The options must outlive the run and stay as they
// are while it reads and writes (the program hands it a copy taken at the
// start of the run). A stop request, from any thread, is honoured between tokens
// and between files; a stopped run writes no further report. Everything
// the run made is released with the object, stopped or not.
#pragma once

#include <atomic>
#include <cstdint>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>

#include "context/options.h"
#include "context/run_tables.h"
#include "driver/settings_data.h"
#include "platform/byte_source.h"
#include "platform/workbook.h"

class SourceFileList;
class SourceReader;
struct Language;

class AnalysisRun {
 public:
  // Creates the tables. `files` gives the sources and headers by path;
  // both must outlive the run.
  explicit AnalysisRun(const Options& options, platform::FileSet& files = platform::diskFiles());
  ~AnalysisRun();
  AnalysisRun(const AnalysisRun&) = delete;
  AnalysisRun& operator=(const AnalysisRun&) = delete;

  RunTables& tables() { return tables_; }
  const SettingsData& settings() const { return settings_; }

  // Called before each main file: its 1-based position, the count, its name.
  void setProgress(std::function<void(int, int, const std::string&)> progress) {
    progress_ = std::move(progress);
  }
  // Harnesses read in other block sizes, or leave the reports out.
  void setBlockBytes(size_t bytes) { blockBytes_ = bytes; }
  void setReportsWanted(bool wanted) { reportsWanted_ = wanted; }
  // The workbook that takes the reports of the "xls" format; the run ends
  // it: saved after its last report, discarded when stopped.
  void useWorkbook(std::unique_ptr<platform::Workbook> book) { workbook_ = std::move(book); }
  // False when the run had a workbook and it could not be saved.
  bool workbookSaved() const { return workbookSaved_; }

  // The whole run over `list`: the settings data, every file, the reports.
  // Step counts go into the list's entries. False when a stop ended it.
  bool run(SourceFileList& list);
  // Asks the run to stop as soon as it can; callable from any thread.
  void requestStop() { stop_->store(true, std::memory_order_relaxed); }
  bool stopRequested() const { return stop_->load(std::memory_order_relaxed); }
  // Takes its stop requests from `flag` (which must outlive the run), so
  // that the program can ask without reaching the run object itself.
  void shareStopFlag(std::atomic<bool>& flag) { stop_ = &flag; }
  // Seconds from the first file to the last report (0 when not timed).
  double elapsedSeconds() const { return elapsed_; }
  // Registered files read so far, and those that did not open.
  int filesRead() const { return filesRead_; }
  int filesUnreadable() const { return filesUnreadable_; }
  // Why the settings data file was not read (kNone when it was).
  platform::FileProblem settingsDataProblem() const { return settingsProblem_; }

 private:
  bool readAndReport(SourceFileList& list);
  void createTables();
  void loadSettings(const SourceFileList& list);
  bool readFiles(SourceFileList& list);
  bool readMainFile(SourceFileList& list, int entryIndex, SourceReader& reader,
                    bool prepareTables, int position);
  void prepareFileTables(const SourceFileList& list, int entryIndex);
  void registerPredefinedClasses(std::int32_t fileLanguages);
  void registerSettingsClasses(std::int32_t fileLanguages);
  void finishSourceFile(SourceReader& reader);
  void countDefinedFunctions(SourceFileList& list);
  void writeReports(const SourceFileList& list);

  const Options& options_;
  platform::FileSet& files_;
  // In the per-source-file header mode every source file reads its headers
  // again: they come from memory after the first reading.
  std::unique_ptr<platform::KeptFileSet> keptHeaders_;
  RunTables tables_;
  SettingsData settings_;
  std::function<void(int, int, const std::string&)> progress_;
  size_t blockBytes_ = 0;
  bool reportsWanted_ = true;
  std::unique_ptr<platform::Workbook> workbook_;
  bool workbookSaved_ = true;
  std::atomic<bool> ownStop_{false};
  std::atomic<bool>* stop_ = &ownStop_;
  double elapsed_ = 0.0;
  int filesRead_ = 0;
  int filesUnreadable_ = 0;
  platform::FileProblem settingsProblem_ = platform::FileProblem::kNone;

  // The tables, in the order of creation (and of destruction).
  std::unique_ptr<ReservedWordTable> reservedWords_;
  std::unique_ptr<DefineTable> defines_;
  std::unique_ptr<FunctionTable> functions_;
  std::unique_ptr<FileNamePool> fileNames_;
  std::unique_ptr<NamespaceTable> namespaces_;
  std::unique_ptr<ClassTable> classes_;
  std::unique_ptr<VariableTable> variables_;
  std::unique_ptr<TypeTable> workingTypes_;
  std::unique_ptr<TypeTable> baseTypes_;
  std::unique_ptr<SourceContext> context_;
  std::unique_ptr<IncludeRegistry> includes_;
  std::unique_ptr<FileTree> fileTree_;

  // The settings classes as registered before a file of the C family, for
  // the next file of the same languages to start from.
  struct PredefinedClasses;
  std::unique_ptr<PredefinedClasses> predefined_;
};
