// One analysis run over the registered source files: it builds the run's
// tables (and owns them), each with references to the few others it uses,
// in the order they depend on one another; loads the settings data; reads
// every file (".bas" modules first) through the read loop with the parser
// of its language; and writes the reports. The options must outlive the run and stay as they
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

#include "context/file_name_pool.h"
#include "context/file_tree.h"
#include "context/include_registry.h"
#include "context/options.h"
#include "context/source_context.h"
#include "driver/file_text_notes.h"
#include "driver/settings_data.h"
#include "parsers/parser_context.h"
#include "platform/byte_source.h"
#include "platform/workbook.h"
#include "report/report_session.h"
#include "scan/define_table.h"
#include "scan/reserved_word_table.h"
#include "scan/scan_context.h"
#include "tables/call_resolution.h"
#include "tables/class_table.h"
#include "tables/function_table.h"
#include "tables/namespace_table.h"
#include "tables/type_table.h"
#include "tables/variable_table.h"

class HeaderReplay;
class SourceFileList;
class SourceReader;
struct Language;

struct JavaDeclarations;
class RunDocument;

class AnalysisRun {
 public:
  // Creates the tables. `files` gives the sources and headers by path;
  // both must outlive the run.
  explicit AnalysisRun(const Options& options, platform::FileSet& files = platform::diskFiles());
  ~AnalysisRun();
  AnalysisRun(const AnalysisRun&) = delete;
  AnalysisRun& operator=(const AnalysisRun&) = delete;

  const Options& options() const { return options_; }
  const SettingsData& settings() const { return settings_; }
  // The run's tables, for its readers and for the tests.
  const ScanContext& scan() { return scan_; }
  FileNamePool& fileNames() { return fileNames_; }
  SourceContext& context() { return context_; }
  FileTree& fileTree() { return fileTree_; }
  IncludeRegistry& includes() { return includes_; }
  ReservedWordTable& reservedWords() { return reservedWords_; }
  TypeTable& workingTypes() { return workingTypes_; }  // the analysis types
  TypeTable& baseTypes() { return baseTypes_; }        // the settings types
  DefineTable& defines() { return defines_; }
  ClassTable& classes() { return classes_; }
  FunctionTable& functions() { return functions_; }
  VariableTable& variables() { return variables_; }
  NamespaceTable& namespaces() { return namespaces_; }
  // Where the run's reports go: the options' output folder and style.
  ReportSession& reports() { return reports_; }
  CallResolution& calls() { return calls_; }
  // Names the files not read as Shift-JIS in the log, once each.
  FileTextNotes& textNotes() { return textNotes_; }
  // The header read mode in force: the options' mode, except that a run
  // with C++ or Java files reads headers it was told never to read once.
  HeaderReadMode headerMode() const { return headerMode_; }
  // For harnesses that read files one by one instead of run().
  void setHeaderMode(HeaderReadMode mode) { headerMode_ = mode; }
  // The playing back of headers read before, in the per-source-file mode
  // (null in the others).
  HeaderReplay* headerReplay() { return headerReplay_.get(); }

  // Starts `path` on `reader`, and its scope in the variable table (a main
  // file: a new translation unit of the function table too).
  void startFile(SourceReader& reader, const std::string& path, const Language& language);

  // Called before each main file: its 1-based position, the count, its name.
  void setProgress(std::function<void(int, int, const std::string&)> progress) {
    progress_ = std::move(progress);
  }
  // Called before each report is written, with its name ("ｽﾃｯﾌﾟ数"); the
  // call tree, written beside the others, is named again while the run
  // waits for it at the end.
  void setReportProgress(std::function<void(const std::string&)> progress) {
    reportProgress_ = std::move(progress);
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
  // The paths of the registered files that did not open, in reading order.
  const std::vector<std::string>& unreadablePaths() const { return unreadablePaths_; }
  // Why the settings data file was not read (kNone when it was).
  platform::FileProblem settingsDataProblem() const { return settingsProblem_; }

 private:
  bool readAndReport(SourceFileList& list);
  void loadSettings(const SourceFileList& list);
  bool readFiles(SourceFileList& list);
  bool readMainFile(SourceFileList& list, int entryIndex, SourceReader& reader, bool prepareTables,
                    int position);
  void prepareFileTables(const SourceFileList& list, int entryIndex);
  void startHeaderReplay();
  void registerPredefinedClasses(std::int32_t fileLanguages);
  void registerSettingsClasses(std::int32_t fileLanguages);
  void finishSourceFile(SourceReader& reader);
  // java_classes.cc: a run of Java files knows every class of the run in
  // every file, whatever the order and the header mode.
  bool collectJavaDeclarations(const SourceFileList& list, const std::vector<int>& order);
  void declareJavaClasses();
  void writeReports(const SourceFileList& list);

  const Options& options_;
  platform::FileSet& files_;
  // In the per-source-file header mode every source file reads its headers
  // again: they come from memory after the first reading.
  std::unique_ptr<platform::KeptFileSet> keptHeaders_;
  std::unique_ptr<HeaderReplay> headerReplay_;
  ReportSession reports_;
  // The tables, each after the ones it refers to.
  FileNamePool fileNames_;
  SourceContext context_;
  FileTextNotes textNotes_{context_};
  FileTree fileTree_;
  IncludeRegistry includes_;
  ReservedWordTable reservedWords_;
  TypeTable workingTypes_;
  TypeTable baseTypes_;
  DefineTable defines_;
  ClassTable classes_;
  FunctionTable functions_;
  VariableTable variables_;
  NamespaceTable namespaces_;
  CallResolution calls_;
  ParserContext parsers_;
  ScanContext scan_;
  HeaderReadMode headerMode_ = HeaderReadMode::PerSourceFile;
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
  std::vector<std::string> unreadablePaths_;
  std::function<void(const std::string&)> reportProgress_;
  // Every file of the run is Java: classes and types stay from file to
  // file, and the declarations of all files are entered before the first.
  bool javaRun_ = false;
  std::unique_ptr<JavaDeclarations> javaDeclarations_;  // until entered
  std::unique_ptr<RunDocument> document_;               // the JSON form's, from the first file on
  platform::FileProblem settingsProblem_ = platform::FileProblem::kNone;

  // The settings classes as registered before a file of the C family, for
  // the next file of the same languages to start from.
  struct PredefinedClasses;
  std::unique_ptr<PredefinedClasses> predefined_;
};
