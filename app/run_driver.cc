#include "app/run_driver.h"
#include "app/run_steps.h"

#include <cstdio>
#include <cstring>

#include "app/options.h"
#include "app/run_tables.h"
#include "app/settings_data.h"
#include "app/source_context.h"
#include "app/text_util.h"
#include "app/source_file_list.h"
#include "platform/file_system.h"
#include "platform/program.h"
#include "report/error_log.h"
#include "parse/namespace_table.h"
#include "parse/type_table.h"
#include "parse/variable_table.h"
#include "report/report_file.h"
#include "scan/define_table.h"
#include "scan/language_mode.h"
#include "scan/reserved_word_table.h"
#include "scan/source_reader.h"
#include "scan/step_log.h"
#include "tables/class_table.h"
#include "tables/call_tree.h"
#include "tables/function_table.h"
#include "app/file_tree.h"
#include "app/include_registry.h"

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

constexpr size_t kBlockBuffer = 1024;
constexpr size_t kBlockBytes = 1022;

void processInclude(RunTables& tables, SourceReader& reader);

// Reads one file through its reader, a block at a time, following each
// #include as soon as its line is complete. entryIndex -1: a header, whose
// counts are not kept.
void readSourceFile(RunTables& tables, SourceReader& reader, std::FILE* stream, int entryIndex) {
  char block[kBlockBuffer];
  bool last = false;
  while (!last) {
    std::memset(block, 0, sizeof block);
    size_t got = std::fread(block, 1, kBlockBytes, stream);
    last = got < kBlockBytes;
    reader.giveBlock(block, got);
    for (;;) {
      int result = reader.nextToken(last);
      if (result == 1) break;
      if (result == 2) continue;
      reader.processToken();
      if (reader.includeReady()) {
        if (tables.options().activeHeaderMode == 2)
          tables.includes->checkAndRegister(reader.includeName(), reader.includeName());
        else
          processInclude(tables, reader);
        reader.clearInclude();
      }
      if (result == 3) break;
    }
  }
  reader.endOfFile();
  std::fclose(stream);
  if (entryIndex >= 0) sourceFiles().entries()[entryIndex].stepCounts = reader.stepCounts();
}

// "dir\sub\..\x.h" -> "dir\x.h": "." and "name\.." parts are taken out,
// so that a header reached again through a relative path ("..\main.c" in a
// header of a subfolder) has one spelling and the registry stops the cycle.
// Separators stay as written; the second byte of a double-byte character is
// never taken for one.
std::string collapseDotParts(const std::string& path) {
  struct Part {
    std::string text;
    char separator;  // the separator after the part, 0 at the end
  };
  std::vector<Part> parts;
  std::string text;
  for (size_t i = 0; i < path.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(path[i]);
    if (isShiftJisLead(c) && i + 1 < path.size()) {
      text += path[i];
      text += path[++i];
      continue;
    }
    if (!platform::isPathSeparator(path[i])) {
      text += path[i];
      continue;
    }
    parts.push_back({text, path[i]});
    text.clear();
  }
  parts.push_back({text, 0});
  std::vector<Part> kept;
  for (size_t k = 0; k < parts.size(); ++k) {
    const Part& part = parts[k];
    bool inner = k + 1 < parts.size();
    if (part.text == "." && inner) continue;
    if (part.text == ".." && inner && !kept.empty() && !kept.back().text.empty() &&
        kept.back().text != ".." && kept.back().text.back() != ':') {
      kept.pop_back();
      continue;
    }
    kept.push_back(part);
  }
  std::string out;
  for (const Part& part : kept) {
    out += part.text;
    if (part.separator) out += part.separator;
  }
  return out;
}

// A missing header: reported once, remembered so that later includes of it
// are skipped, and marked in the context (old stream and ATL headers).
void includeMissing(RunTables& tables, const std::string& path, const std::string& name) {
  tables.includes->registerMissing(path, name);
  errorLog() << "  Can't open [" << name << "]" << '\n';
  tables.context->markMissing(name);
}

// The header beside the including file, else in the include folders in
// their configured order. Null when no file opens (already reported).
std::FILE* openInclude(RunTables& tables, const std::string& path, const std::string& name) {
  if (std::FILE* stream = platform::openFile(path, "rb")) return stream;
  const std::vector<std::string>& folders = tables.options().includeDirectories;
  bool searchFolders = name.find(':') == std::string::npos &&
                       name.find('\\') == std::string::npos && !folders.empty();
  if (!searchFolders) {
    includeMissing(tables, path, name);
    return nullptr;
  }
  for (const std::string& folder : folders) {
    std::string candidate = folder + name;
    if (std::FILE* stream = platform::openFile(candidate, "rb")) return stream;
    tables.includes->registerMissing(candidate, name);
  }
  includeMissing(tables, path, name);
  return nullptr;
}

// Reads the header of a completed #include with a reader of its own, once
// per scope: the registry knows every path already read or missing.
void processInclude(RunTables& tables, SourceReader& reader) {
  const std::string name = reader.includeName();
  std::string path = name;
  std::string folder = tables.context->topDirectory();
  if (!folder.empty() && name.find(':') == std::string::npos) path = collapseDotParts(folder + name);
  if (tables.includes->checkAndRegister(path, name) == 1) return;
  std::FILE* stream = openInclude(tables, path, name);
  if (!stream) return;
  SourceReader header(tables, SourceReader::Kind::Include);
  errorLog() << "  " << name << "を処理中" << '\n';
  header.setFile(path);
  readSourceFile(tables, header, stream, -1);
  header.finishFile();
  tables.context->pop();
}

// Whether the file (or, for -1, the run) is C++ or Java, whose classes and
// predefined objects the per-file set-up registers.
bool readsClasses(int entryIndex) {
  const std::vector<SourceFileEntry>& entries = sourceFiles().entries();
  auto isClassLanguage = [](const SourceFileEntry& e) {
    return e.languageMask == kModeCOrCpp || e.languageMask == kModeJava;
  };
  if (entryIndex >= 0)
    return entryIndex < static_cast<int>(entries.size()) && isClassLanguage(entries[entryIndex]);
  for (const SourceFileEntry& e : entries) {
    if (e.name.empty()) break;
    if (isClassLanguage(e)) return true;
  }
  return false;
}

}  // namespace

// Per-file set-up of the tables before a main file is read (entryIndex -1:
// once for the whole run).
void prepareFileTables(RunTables& tables, int entryIndex) {
  tables.workingTypes->copyFrom(*tables.baseTypes);
  tables.defines->setStartingState(settingsData().definitions);
  tables.options().activeHeaderMode = static_cast<std::int32_t>(tables.options().headerReadMode);
  if (!readsClasses(entryIndex)) return;
  // Class languages need their headers: "never read" becomes "read once".
  if (tables.options().activeHeaderMode == 2) tables.options().activeHeaderMode = 1;
}

// End of one main file: per-file report sections and table resets.
void finishSourceFile(RunTables& tables, SourceReader& reader) {
  Options& options = tables.options();
  // Calls that no procedure of this VB or Delphi file answered go to the
  // public procedure of that name.
  if (tables.context->languageMask() & kModeVbOrDelphi) tables.functions->relinkFileLocalCalls();
  if (options.activeHeaderMode == 0) {
    const std::string fileName = tables.context->item(0);
    if (options.defineList) tables.defines->writeList(ListScope::kPerFile);
    if (options.classList) tables.classes->writeClassList(ListScope::kPerFile);
    if (options.typeList) tables.workingTypes->writeTypeList(ListScope::kPerFile, fileName);
    if (options.namespaceList)
      tables.namespaces->writeNamespaceList(ListScope::kPerFile, fileName);
    tables.includes->forgetRead();
    tables.defines->clear();
    tables.namespaces->clear();
    tables.variables->resetFileState();
    if (tables.context->languageMask() != kModeC) tables.classes->resetAfterFile();
    tables.workingTypes->endFile(tables.context->languageFlavour());
  }
  reader.finishFile();
}

namespace {

// After the last file: count the defined functions of each file.
void countDefinedFunctions(RunTables& tables) {
  bool withPath = tables.options().tagJumpTree != 0;
  for (SourceFileEntry& entry : sourceFiles().entries()) {
    if (entry.name.empty()) break;
    std::string name = withPath ? entry.directory + entry.name : entry.name;
    entry.stepCounts[7] = tables.functions->countKnownInFile(name);
  }
}

}  // namespace

// Every enabled report, in a fixed order.
void writeReports(RunTables& tables) {
  Options& options = tables.options();
  ListScope scope = options.activeHeaderMode != 0 ? ListScope::kWholeRun : ListScope::kFinish;
  const std::string fileName = tables.context->item(0);
  if (options.variableDetails) tables.variables->handOverReferences();
  writeCallTree(tables);  // with the function list and details
  tables.functions->collectStepCounts();
  if (options.globalVariableList) tables.variables->writeVariableList();
  if (options.variableDetails) tables.variables->writeVariableDetails();
  if (options.defineList) tables.defines->writeList(scope);
  if (options.classList) tables.classes->writeClassList(scope);
  if (options.typeList) tables.workingTypes->writeTypeList(scope, fileName);
  if (options.namespaceList) tables.namespaces->writeNamespaceList(scope, fileName);
  tables.fileTree->write();
  writeStepLog(options, sourceFiles());
}

namespace {

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
  SourceReader reader(tables, SourceReader::Kind::MainFile);
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
    reader.setFile(path);
    if (perSourceFile && (p == 0 || !vbOrDelphi)) prepareFileTables(tables, order[p]);
    readSourceFile(tables, reader, stream, order[p]);
    finishSourceFile(tables, reader);
    tables.context->pop();
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
  closeKeptReports();
  resetRunState(tables);
  detachErrorLog();
  tables.destroy();
}
