// The shared fixture of the unit tests: each test gets a run of its own
// (fresh tables on the fixture's options, reports into a temporary folder,
// the error log captured, names compared as in C) and an in-memory file
// set, and says what it does with helper verbs, so that its body is the
// case alone. The run is built on first use with the options as they are
// then; renewRun() starts another.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>

#include <array>
#include <memory>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "driver/analysis_run.h"
#include "context/options.h"
#include "context/source_file_list.h"
#include "platform/byte_source.h"
#include "scan/source_reader.h"
#include "tables/decl_info.h"
#include "tests/support/test_files.h"

class ClassTable;
class DefineTable;
class FileNamePool;
class FunctionTable;
class IncludeRegistry;
class NamespaceTable;
class ReservedWordTable;
class SourceContext;
class TypeTable;
class VariableTable;

// What a reading gave: the tokens handed to the parser ('|'-joined, "<lf>",
// "<sp>" and "<tab>" for blanks), the first seven line counters (total,
// executable, blank, comment, disabled, disabled code, preprocessor), the
// log written meanwhile and the #include names met.
struct Scan {
  std::string live;
  std::array<int, 7> counts{};
  std::string log;
  std::vector<std::string> includes;
};

class AnalysisTest : public testing::Test {
 protected:
  AnalysisTest();
  ~AnalysisTest() override;

  Options& options() { return options_; }
  AnalysisRun& run();
  // The run's reports: into the fixture's temporary folder.
  ReportSession& reports() { return run().reports(); }
  void renewRun();
  FunctionTable& functions() { return run().functions(); }
  ClassTable& classes() { return run().classes(); }
  VariableTable& variables() { return run().variables(); }
  TypeTable& types() { return run().workingTypes(); }
  TypeTable& baseTypes() { return run().baseTypes(); }
  DefineTable& defines() { return run().defines(); }
  ReservedWordTable& reservedWords() { return run().reservedWords(); }
  NamespaceTable& namespaces() { return run().namespaces(); }
  SourceContext& context() { return run().context(); }
  FileNamePool& fileNames() { return run().fileNames(); }
  IncludeRegistry& includes() { return run().includes(); }
  FileTree& fileTree() { return run().fileTree(); }

  // The built-in reserved words and types, as a run without its settings
  // data file takes them, copied into the analysis types.
  void useBuiltInSettings();
  // A run with VB or Delphi files compares names ignoring case from its
  // start, and loads its types so.
  void startCaseInsensitiveRun();
  // The run-wide lexical rules of the language of `fileName`'s extension.
  void useRulesOf(const std::string& fileName);
  // A macro as a #define line hands it to the table: the name, the
  // parameter tokens ("(" first, or the whole list as one token), each body
  // token, the line break. False when the table refused the name.
  bool define(const std::string& name, const std::vector<std::string>& body,
              const std::vector<std::string>& params = {});

  // ---- files in memory, read as the run reads them
  void file(const std::string& path, std::string_view text);
  // "Mizenta設定.dat" in the program folder, for the runs that follow.
  void settingsFile(std::string_view text);
  // Loads the settings data as a run over the files at `paths` (registered
  // by their extensions, not read) loads it, into the tables and
  // settingsData().
  void loadSettings(const std::vector<std::string>& paths);
  const SettingsData& settingsData() const { return settings_; }
  platform::MemoryFileSet& files() { return files_; }
  // A file on the source context as the reader puts it there: a new main
  // file (the stack emptied first; its name joins the file pool), a header
  // above the current file, the end of the header, the current line.
  void startFile(const std::string& path);
  void openFile(const std::string& path);
  void closeFile();
  void toLine(int line);

  // Reads `bytes` as the file `path` through a new reader, on a new run,
  // whose parser only records what reaches it (the reader's own work), in
  // blocks of `blockBytes`; the reader stays for further questions.
  Scan scan(const std::string& path, std::string_view bytes, size_t blockBytes = 1022,
            SourceReader::Kind kind = SourceReader::Kind::MainFile);
  // The same in two steps on the current run: a new reader on `path`, then
  // the bytes; tables may be filled between.
  void openReader(const std::string& path, SourceReader::Kind kind = SourceReader::Kind::MainFile);
  Scan read(std::string_view bytes, size_t blockBytes = 1022);
  SourceReader& reader() { return *reader_; }
  // Reads the file `path` of the file set with its language's parser, its
  // headers followed as a run follows them; the main file's step counts.
  std::array<std::int32_t, 8> readMain(const std::string& path);

  // A whole run over the files of the set at `paths` (registered in order
  // by their extensions), the reports written. False when it was stopped.
  bool analyse(const std::vector<std::string>& paths);
  SourceFileList& sourceList() { return list_; }
  // The list of the files at `paths`, registered by their extensions.
  void registerAll(const std::vector<std::string>& paths);

  // ---- results
  std::string takeLog();
  // A report file's bytes (report names are Shift-JIS; the disk has UTF-8),
  // or "<missing>".
  std::string report(const std::string& name);
  bool reportExists(const std::string& name);
  const TempDir& outputFolder() const { return dir_; }

  static DeclInfo decl(const std::string& name, const std::string& className = "", int line = 0);

 private:
  TempDir dir_;
  Options options_;
  platform::MemoryFileSet files_;
  std::stringbuf log_;
  std::unique_ptr<AnalysisRun> run_;
  std::unique_ptr<SourceReader> reader_;
  std::string recorded_;  // what the recording parser of reader_ took
  SourceFileList list_;
  SettingsData settings_;
};
