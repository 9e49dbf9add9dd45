#include "driver/analysis_run.h"

#include <algorithm>

#include "context/file_name_pool.h"
#include "context/file_tree.h"
#include "driver/defined_function_counts.h"
#include "driver/header_replay.h"
#include "driver/include_reading.h"
#include "driver/run_document.h"
#include "driver/run_outcome.h"
#include "context/include_registry.h"
#include "context/language_mode.h"
#include "context/source_context.h"
#include "context/source_file_list.h"
#include "parsers/java_declarations.h"
#include "parsers/languages.h"
#include "tables/namespace_table.h"
#include "tables/type_table.h"
#include "tables/variable_table.h"
#include "platform/memory.h"
#include "platform/program.h"
#include "platform/read_ahead.h"
#include "report/error_log.h"
#include "report/report_file.h"
#include "scan/define_table.h"
#include "scan/lexical_rules.h"
#include "scan/reserved_word_table.h"
#include "scan/source_reader.h"
#include "scan/step_log.h"
#include "tables/call_tree.h"
#include "tables/class_table.h"
#include "tables/decl_info.h"
#include "tables/function_table.h"
#include "tables/line_distribution.h"

namespace {

// Header bytes kept in memory over a run; headers beyond it are read from
// disk each time.
constexpr size_t kKeptHeaderBytes = 64u << 20;

// C++ and Java files have classes and predefined objects in their headers.
bool readsClasses(const SourceFileEntry& entry) {
  return entry.languageMask == kModeCOrCpp || entry.languageMask == kModeJava;
}

// The list's files up to the first empty name.
int listedCount(const SourceFileList& list) {
  int n = 0;
  for (const SourceFileEntry& e : list.entries()) {
    if (e.name.empty()) break;
    ++n;
  }
  return n;
}

// The paths of the main files in reading order, up to the first empty name.
std::vector<std::string> mainFilePaths(const SourceFileList& list, const std::vector<int>& order) {
  std::vector<std::string> paths;
  paths.reserve(order.size());
  for (int at : order) {
    const SourceFileEntry& entry = list.entries()[at];
    if (entry.name.empty()) break;
    paths.push_back(entry.directory + entry.name);
  }
  return paths;
}

// The settings' classes or objects in name order (the file's order among
// equal names). Every table they are registered in is kept in name order,
// so registering them so appends to it instead of moving all the entries
// after each new one: a settings file of many classes costs no square of
// their count.
template <class Definition, class NameOf>
std::vector<const Definition*> inNameOrder(const std::vector<Definition>& definitions,
                                           NameOf nameOf) {
  std::vector<const Definition*> sorted;
  sorted.reserve(definitions.size());
  for (const Definition& d : definitions) sorted.push_back(&d);
  std::stable_sort(sorted.begin(), sorted.end(), [&](const Definition* a, const Definition* b) {
    return compareNames(nameOf(*a), nameOf(*b)) < 0;
  });
  return sorted;
}

}  // namespace

AnalysisRun::AnalysisRun(const Options& options, platform::FileSet& files)
    : options_(options),
      files_(files),
      reports_(options_.outputFolder, reportStyle(options_)),
      context_(options_),
      fileTree_(options_, fileNames_),
      includes_(context_, fileTree_),
      reservedWords_(context_),
      workingTypes_(options_, context_, true),
      baseTypes_(options_, context_, false),
      defines_(options_, context_, fileNames_, workingTypes_),
      classes_(options_, context_, fileNames_, workingTypes_),
      functions_(options_, context_, fileNames_, classes_),
      variables_(options_, context_, fileNames_, workingTypes_, defines_, classes_, functions_),
      namespaces_(options_, context_),
      calls_(options_, context_, classes_, functions_),
      parsers_{options_, context_,   defines_,   reservedWords_, workingTypes_,
               classes_, functions_, variables_, namespaces_,    calls_},
      scan_{options_, context_, fileTree_, defines_, reservedWords_, workingTypes_, parsers_, {}} {
  // "#pragma <interrupt keyword> name": the name is an interrupt function.
  scan_.interruptFunctionFound = [this](std::string_view name, std::string_view comment) {
    DeclInfo decl;
    decl.name = std::string(name);
    functions_.registerDefinition(decl, Registration::kInterrupt, comment);
  };
}

AnalysisRun::~AnalysisRun() = default;

void AnalysisRun::startFile(SourceReader& reader, const std::string& path,
                            const Language& language) {
  reader.setFile(path, language);
  variables_.beginFile();
  if (context_.depth() == 1) functions_.beginTranslationUnit();
}

bool AnalysisRun::run(SourceFileList& list) {
  reports_.setWorkbook(workbook_.get());
  bool finished = readAndReport(list);
  document_.reset();  // one that a stop left unfinished is discarded
  workbookSaved_ = reports_.endWorkbook(!finished);
  workbook_.reset();
  return finished;
}

bool AnalysisRun::readAndReport(SourceFileList& list) {
  // Until the first file says otherwise, names compare as in C.
  applyLexicalRules(languageOf(SourceLanguage::kC).lexical);
  loadSettings(list);
  std::uint64_t start = platform::clockMilliseconds();
  if (!readFiles(list)) return false;
  calls_.linkAll();
  countDefinedFunctions(list, functions_, files_, options_.tagJumpTree != 0);
  if (reportsWanted_) writeReports(list);
  if (stopRequested()) return false;
  if (options_.showElapsedTime) {
    elapsed_ = (platform::clockMilliseconds() - start) * 0.001;
    errorLog() << "処理時間は " << elapsed_ << " 秒です。\n";
  }
  return true;
}

// The settings data file, and the reserved-word dump when asked for.
void AnalysisRun::loadSettings(const SourceFileList& list) {
  platform::adviseLargePagesForHeap();
  ReadSettings settings;
  settings.blockBytes = blockBytes_;
  settings.stop = stop_;
  settingsProblem_ =
      loadSettingsData(scan_, reservedWords_, baseTypes_, settings_, list, files_, settings);
  if (options_.reservedWordDump) reservedWords_.dump(reports_);
}

bool AnalysisRun::readFiles(SourceFileList& list) {
  std::vector<int> order = list.processingOrder();
  javaRun_ = !order.empty();
  for (int index : order) javaRun_ = javaRun_ && (list.entries()[index].languageMask & kModeJava);
  if (javaRun_ && !collectJavaDeclarations(list, order)) return false;
  if (reportsWanted_ && RunDocument::wanted(reports_))
    document_ = std::make_unique<RunDocument>(reports_, options_,
                                              ListTables{defines_, classes_, workingTypes_});
  bool perSourceFile = options_.headerReadMode == HeaderReadMode::PerSourceFile;
  if (perSourceFile) {
    headerMode_ = HeaderReadMode::PerSourceFile;
    keptHeaders_ = std::make_unique<platform::KeptFileSet>(files_, kKeptHeaderBytes);
    if (options_.replayHeaders) startHeaderReplay();
  } else {
    prepareFileTables(list, -1);
    declareJavaClasses();
  }
  SourceReader reader(scan_, SourceReader::Kind::MainFile);
  reader.setInterruptKeywords(settings_.interruptKeywords);
  const std::vector<std::string> paths = mainFilePaths(list, order);
  platform::ReadAhead readAhead(paths);
  int count = static_cast<int>(paths.size());
  bool lastKeptTables = false;
  for (int p = 0; p < count; ++p) {
    if (stopRequested()) return false;
    const SourceFileEntry& entry = list.entries()[order[p]];
    readAhead.reached(p);
    // VB, Delphi and Java keep their tables from file to file (after a C
    // file, whose tables are its own, they start afresh).
    bool keepsTables = (entry.languageMask & kModeVbOrDelphi) != 0 || javaRun_;
    bool prepare = perSourceFile && (!lastKeptTables || !keepsTables);
    lastKeptTables = keepsTables;
    if (!readMainFile(list, order[p], reader, prepare, p + 1)) return false;
  }
  return !stopRequested();
}

// The macro table and the include registry tell the replay what readings
// ask of them; the readers tell it through the scan context.
void AnalysisRun::startHeaderReplay() {
  headerReplay_ = std::make_unique<HeaderReplay>(defines_, includes_, context_);
  defines_.setWatch(headerReplay_.get());
  includes_.setWatch(headerReplay_.get());
  scan_.watch = headerReplay_.get();
}

// One registered file (the position-th in reading order) with the headers
// it includes. False when stopped.
bool AnalysisRun::readMainFile(SourceFileList& list, int entryIndex, SourceReader& reader,
                               bool prepareTables, int position) {
  platform::adviseLargePagesForHeap();
  SourceFileEntry& entry = list.entries()[entryIndex];
  std::string path = entry.directory + entry.name;
  platform::FileProblem problem;
  std::unique_ptr<platform::ByteSource> source = files_.open(path, &problem);
  if (!source) {
    if (problem == platform::FileProblem::kNotRegularFile)
      errorLog() << ' ' << notRegularFileLine(entry.name) << '\n';
    else
      errorLog() << " Can't open [" << entry.name << "]\n";
    ++filesUnreadable_;
    unreadablePaths_.push_back(path);
    return true;
  }
  ++filesRead_;
  if (progress_) progress_(position, static_cast<int>(list.entries().size()), entry.name);
  errorLog() << entry.name << "を処理中\n";
  const Language* language = languageOfMode(entry.languageMask);
  if (!language) language = &languageOf(SourceLanguage::kC);
  startFile(reader, path, *language);
  if (prepareTables) {
    prepareFileTables(list, entryIndex);
    declareJavaClasses();
  } else if (headerMode_ == HeaderReadMode::PerSourceFile) {
    // The tables of the last file go on, its macros do not.
    defines_.setStartingState(settings_.macrosFor(withOldCpp(entry.languageMask)));
  }
  ReadSettings settings;
  settings.blockBytes = blockBytes_;
  settings.stop = stop_;
  settings.encoding = options_.sourceEncoding;
  settings.watch = &textNotes_;
  IncludeReader includes(*this, keptHeaders_ ? *keptHeaders_ : files_, settings);
  includes.setLanguage(*language);
  settings.includes = &includes;
  if (readSource(reader, *source, settings) == ReadResult::kStopped) return false;
  source.reset();
  entry.stepCounts = reader.stepCounts();
  finishSourceFile(reader);
  context_.pop();
  return true;
}

// Per-file set-up of the tables before a main file is read (entryIndex -1:
// once for the whole run). The macros start as the settings give them to
// the file's languages; once for the run, those every file's languages
// share.
void AnalysisRun::prepareFileTables(const SourceFileList& list, int entryIndex) {
  const std::vector<SourceFileEntry>& entries = list.entries();
  const bool oneFile = entryIndex >= 0 && entryIndex < static_cast<int>(entries.size());
  const std::int32_t fileLanguages = oneFile ? withOldCpp(entries[entryIndex].languageMask) : 0;
  defines_.setStartingState(oneFile ? settings_.macrosFor(fileLanguages)
                                    : settings_.sharedDefinitions);
  headerMode_ = options_.headerReadMode;
  bool classes = false;
  if (entryIndex >= 0) {
    classes = oneFile && readsClasses(entries[entryIndex]);
  } else {
    for (int i = 0; i < listedCount(list) && !classes; ++i) classes = readsClasses(entries[i]);
  }
  if (!classes) {
    workingTypes_.copyFrom(baseTypes_);
    return;
  }
  // Class languages need their headers: "never read" becomes "read once".
  if (headerMode_ == HeaderReadMode::NoRead) headerMode_ = HeaderReadMode::ReadOnce;
  registerPredefinedClasses(entryIndex < 0 ? kModeAll : fileLanguages);
}

// The settings data's classes and their objects, each under its own
// languages. Once for the run (`fileLanguages` 255) the context has no file
// and takes each definition's languages; before a file, that file's stay,
// and only the definitions of its languages are registered: a Java class is
// none of a C++ file's.
void AnalysisRun::registerPredefinedClasses(std::int32_t fileLanguages) {
  registerSettingsClasses(fileLanguages);
  workingTypes_.setRegistrationMode(true);
  auto name = [](const VariableDefinition& v) -> std::string_view { return v.name; };
  for (const VariableDefinition* definition : inNameOrder(settings_.classes.variables(), name)) {
    const VariableDefinition& v = *definition;
    if (!(v.languages & fileLanguages)) continue;
    context_.setLanguageMask(v.languages);
    // Declared by the library: no position, and no row of the lists
    // unless the sources define it themselves.
    variables_.registerVariable(v.type, v.name, 0, VariableTable::kExtern, "", "");
  }
  workingTypes_.setRegistrationMode(false);
}

// The class table empty and the type table fresh from the settings, the
// settings classes registered: the next file of the same languages starts
// from a copy instead of registering each class again.
struct AnalysisRun::PredefinedClasses {
  std::int32_t fileLanguages = 0;
  bool foldedNames = false;
  std::int32_t lastLanguages = 0;  // the source context's mask they leave
  ClassTable::Records classes;
  std::unique_ptr<TypeTable> types;
};

// The type table starts from the settings' one, and the classes are
// registered on it. With the class table empty, registering the same
// classes gives the same tables as last time, which are copied instead. A
// registration that met a name twice (and logged it) is not kept: its log
// lines come with every file.
void AnalysisRun::registerSettingsClasses(std::int32_t fileLanguages) {
  const bool fresh = fileLanguages != kModeAll && classes_.empty();
  PredefinedClasses* kept = predefined_.get();
  if (fresh && kept && kept->fileLanguages == fileLanguages &&
      kept->foldedNames == caseInsensitiveNames()) {
    classes_.restore(kept->classes);
    workingTypes_.copyFrom(*kept->types);
    if (kept->lastLanguages) context_.setLanguageMask(kept->lastLanguages);
    return;
  }
  workingTypes_.copyFrom(baseTypes_);
  std::int32_t lastLanguages = 0;
  int registered = 0;
  auto name = [](const ClassDefinition& c) -> std::string_view { return c.name; };
  for (const ClassDefinition* definition : inNameOrder(settings_.classes.classes(), name)) {
    const ClassDefinition& c = *definition;
    if (!(c.languages & fileLanguages)) continue;
    context_.setLanguageMask(c.languages);
    classes_.registerSettingsClass(c.name);
    lastLanguages = c.languages;
    ++registered;
  }
  if (!fresh || classes_.recordCount() != registered) return;
  predefined_ = std::make_unique<PredefinedClasses>();
  predefined_->fileLanguages = fileLanguages;
  predefined_->foldedNames = caseInsensitiveNames();
  predefined_->lastLanguages = lastLanguages;
  predefined_->classes = classes_.records();
  predefined_->types = std::make_unique<TypeTable>(options_, context_, true);
  predefined_->types->copyFrom(workingTypes_);
}

// End of one main file: per-file report sections and table resets.
void AnalysisRun::finishSourceFile(SourceReader& reader) {
  if (headerMode_ == HeaderReadMode::PerSourceFile) {
    const std::string fileName = context_.item(0);
    if (reportsWanted_) {
      if (options_.defineList) defines_.writeList(reports_, ListScope::kPerFile);
      if (options_.classList) classes_.writeClassList(reports_, ListScope::kPerFile);
      if (options_.typeList) workingTypes_.writeTypeList(reports_, ListScope::kPerFile, fileName);
      if (options_.namespaceList)
        namespaces_.writeNamespaceList(reports_, ListScope::kPerFile, fileName);
      if (document_) document_->writeSection(&fileName);
    }
    includes_.forgetRead();
    namespaces_.clear();
    variables_.resetFileState();
    // The next file starts from the settings' macros of its languages.
    defines_.clear();
    if (javaRun_) {
      // With the classes and types of the run.
      classes_.forgetUses();
      workingTypes_.forgetUses();
    } else {
      // VB and Delphi keep their other tables from file to file.
      if (context_.languageMask() != kModeC) classes_.resetAfterFile();
      workingTypes_.endFile(context_.languageFlavour());
    }
  }
  reader.finishFile();
}

// Every enabled report, in a fixed order; a stop request ends the list
// between two reports.
void AnalysisRun::writeReports(const SourceFileList& list) {
  ListScope scope =
      headerMode_ != HeaderReadMode::PerSourceFile ? ListScope::kWholeRun : ListScope::kFinish;
  const std::string fileName = context_.item(0);
  // The call tree and the function list may be written beside the
  // reports after them; they end before this does, their messages first.
  std::unique_ptr<CallTreeBeside> tree;
  // Each step with what the progress line names while it is written.
  const std::pair<const char*, std::function<void()>> steps[] = {
      {"関数ツリー図",
       [&] {
         if (options_.variableDetails) variables_.handOverReferences();
         const FunctionReportTables tables{functions_, fileNames_, options_};
         tree = writeCallTreeBeside(reports_, tables);  // with the function list and details
         if (document_) {
           if (scope == ListScope::kWholeRun) document_->writeSection(nullptr);
           document_->finish(tables, variables_, list);
         }
         functions_.collectStepCounts();
       }},
      {options_.lineDistribution ? "関数の行数分布" : nullptr,
       [&] {
         writeDistributionReport(reports_, functions_.stepCounts(), options_.distributionStep);
       }},
      {options_.globalVariableList ? "ｸﾞﾛｰﾊﾞﾙ変数一覧" : nullptr,
       [&] { variables_.writeVariableList(reports_); }},
      {options_.variableDetails ? "変数詳細情報" : nullptr,
       [&] { variables_.writeVariableDetails(reports_); }},
      {options_.defineList ? "#define一覧" : nullptr, [&] { defines_.writeList(reports_, scope); }},
      {options_.classList ? "ｸﾗｽ一覧" : nullptr, [&] { classes_.writeClassList(reports_, scope); }},
      {options_.typeList ? "型情報一覧" : nullptr,
       [&] { workingTypes_.writeTypeList(reports_, scope, fileName); }},
      {options_.namespaceList ? "名前空間一覧" : nullptr,
       [&] { namespaces_.writeNamespaceList(reports_, scope, fileName); }},
      {"ﾌｧｲﾙﾂﾘｰ", [&] { fileTree_.write(reports_); }},
      {"ｽﾃｯﾌﾟ数", [&] { writeStepLog(reports_, options_, list); }},
  };
  for (const auto& [report, step] : steps) {
    if (stopRequested()) break;
    if (!report) continue;
    if (reportProgress_) reportProgress_(report);
    step();
  }
  if (tree && reportProgress_) reportProgress_("関数ツリー図");
  if (tree) tree->finish();
}
