#include "tests/support/analysis_test.h"

#include <filesystem>

#include "driver/command_line.h"
#include "context/file_name_pool.h"
#include "driver/include_reading.h"
#include "driver/settings_data.h"
#include "context/source_context.h"
#include "context/text_util.h"
#include "parsers/languages.h"
#include "tables/type_table.h"
#include "tables/variable_table.h"
#include "report/error_log.h"
#include "report/report_file.h"
#include "scan/define_table.h"
#include "scan/lexical_rules.h"
#include "scan/read_loop.h"
#include "scan/reserved_word_table.h"
#include "scan/token_parser.h"

namespace {

std::string shown(const std::string& token) {
  if (token == "\n") return "<lf>";
  if (token == " ") return "<sp>";
  if (token == "\t") return "<tab>";
  return token;
}

// Takes the tokens the reader hands over and recognises nothing.
class RecordingParser final : public TokenParser {
 public:
  explicit RecordingParser(std::string& live) : live_(live) {}
  void resetForFile(SourceReader&) override {}
  void step(SourceReader& reader) override {
    live_ += (live_.empty() ? "" : "|") + shown(reader.parserToken(0));
  }
  void endOfFile(SourceReader&) override {}

 private:
  std::string& live_;
};

class IncludeRecorder final : public IncludeHandler {
 public:
  explicit IncludeRecorder(std::vector<std::string>& names) : names_(names) {}
  void include(SourceReader& reader) override { names_.push_back(reader.includeName()); }

 private:
  std::vector<std::string>& names_;
};

const Language& languageFor(const Options& options, const std::string& path) {
  const Language* language = languageOfFile(options, fileNamePart(path));
  return language ? *language : languageOf(SourceLanguage::kC);
}

}  // namespace

AnalysisTest::AnalysisTest() {
  options_.extensionLanguages = parseExtensionList(kDefaultExtensionList);
  options_.outputFolder = dir_.path() + "/";
  applyLexicalRules(languageOf(SourceLanguage::kC).lexical);
  attachErrorLog(&log_);
}

// The rest of the process state is put back by the listener of
// process_state.h; the log must let go of the buffer that goes now.
AnalysisTest::~AnalysisTest() {
  reader_.reset();
  run_.reset();  // its reports' session closes the kept list files
  attachErrorLog(nullptr);
}

AnalysisRun& AnalysisTest::run() {
  if (!run_) run_ = std::make_unique<AnalysisRun>(options_, files_);
  return *run_;
}

void AnalysisTest::renewRun() {
  reader_.reset();
  run_.reset();
}

void AnalysisTest::useBuiltInSettings() {
  reservedWords().loadBuiltIn();
  baseTypes().setRegistrationMode(true);
  baseTypes().loadBuiltIn();
  baseTypes().setRegistrationMode(false);
  types().copyFrom(baseTypes());
}

void AnalysisTest::startCaseInsensitiveRun() {
  setCaseInsensitiveNames(true);
  types().clear();
  types().loadBuiltIn();
}

void AnalysisTest::useRulesOf(const std::string& fileName) {
  applyLexicalRules(languageFor(options_, fileName).lexical);
}

bool AnalysisTest::define(const std::string& name, const std::vector<std::string>& body,
                          const std::vector<std::string>& params) {
  if (!defines().beginDefine(name)) return false;
  for (const std::string& token : params) defines().defineParamToken(token);
  for (const std::string& token : body) defines().defineBodyToken(token);
  defines().defineBodyToken("\n");
  return true;
}

void AnalysisTest::file(const std::string& path, std::string_view text) {
  files_.add(path, std::string(text));
}

void AnalysisTest::settingsFile(std::string_view text) {
  file(programFolder() + kSettingsDataName, text);
}

void AnalysisTest::startFile(const std::string& path) {
  while (context().depth() > 0) context().pop();
  const Language& language = languageFor(options_, path);
  context().setLanguageMask(language.mode);
  applyLexicalRules(language.lexical);
  openFile(path);
}

void AnalysisTest::openFile(const std::string& path) {
  fileNames().add(fileNamePart(path));
  context().push(path);
  variables().beginFile();
}

void AnalysisTest::closeFile() { context().pop(); }

void AnalysisTest::toLine(int line) {
  while (context().currentLine() < line) context().countLine();
}

void AnalysisTest::openReader(const std::string& path, SourceReader::Kind kind) {
  reader_ = std::make_unique<SourceReader>(run().scan(), kind);
  run().startFile(*reader_, path, languageFor(options_, path));
  recorded_.clear();
  reader_->replaceParser(std::make_unique<RecordingParser>(recorded_));
}

Scan AnalysisTest::read(std::string_view bytes, size_t blockBytes) {
  takeLog();
  Scan result;
  IncludeRecorder recorder(result.includes);
  ReadSettings settings;
  settings.blockBytes = blockBytes;
  settings.includes = &recorder;
  settings.encoding = options_.sourceEncoding;
  settings.watch = &run().textNotes();
  platform::MemoryByteSource source(bytes);
  recorded_.clear();
  readSource(*reader_, source, settings);
  result.live = recorded_;
  for (int k = 0; k < 7; ++k) result.counts[k] = reader_->stepCounts()[k];
  result.log = takeLog();
  return result;
}

Scan AnalysisTest::scan(const std::string& path, std::string_view bytes, size_t blockBytes,
                        SourceReader::Kind kind) {
  renewRun();
  openReader(path, kind);
  return read(bytes, blockBytes);
}

std::array<std::int32_t, 8> AnalysisTest::readMain(const std::string& path) {
  std::unique_ptr<platform::ByteSource> source = files_.open(path);
  if (!source) {
    ADD_FAILURE() << "no file " << path << " in the test's file set";
    return {};
  }
  const Language& language = languageFor(options_, path);
  SourceReader reader(run().scan(), SourceReader::Kind::MainFile);
  run().startFile(reader, path, language);
  ReadSettings settings;
  settings.encoding = options_.sourceEncoding;
  settings.watch = &run().textNotes();
  IncludeReader headers(run(), files_, settings);
  headers.setLanguage(language);
  settings.includes = &headers;
  readSource(reader, *source, settings);
  std::array<std::int32_t, 8> counts = reader.stepCounts();
  reader.finishFile();
  context().pop();
  return counts;
}

void AnalysisTest::registerAll(const std::vector<std::string>& paths) {
  list_.clear();
  for (const std::string& path : paths)
    registerSourceFile(options_, fileNamePart(path), directoryPart(path), list_);
}

void AnalysisTest::loadSettings(const std::vector<std::string>& paths) {
  registerAll(paths);
  loadSettingsData(run().scan(), reservedWords(), baseTypes(), settings_, list_, files_);
}

bool AnalysisTest::analyse(const std::vector<std::string>& paths) {
  registerAll(paths);
  bool finished = run().run(list_);
  reports().closeKeptReports();
  return finished;
}

std::string AnalysisTest::takeLog() {
  std::string text = log_.str();
  log_.str("");
  return text;
}

std::string AnalysisTest::report(const std::string& name) {
  if (run_) run_->reports().closeKeptReports();
  std::string path = dir_.file(toUtf8(name));
  return std::filesystem::exists(path) ? readFileBytes(path) : "<missing>";
}

bool AnalysisTest::reportExists(const std::string& name) {
  return std::filesystem::exists(dir_.file(toUtf8(name)));
}

DeclInfo AnalysisTest::decl(const std::string& name, const std::string& className, int line) {
  DeclInfo d;
  d.className = className;
  d.name = name;
  d.line = line;
  return d;
}
