// libFuzzer entry for the reader and the parsers: one input is one run over
// one or two source files held in memory.
//
// Input: two switch bytes, then the text. The text is cut at the first
// "\n%%%%\n": the part before is the main file; the part after is served as
// every header the main file includes (or, with a switch, read as a second
// main file). Nothing is read from disk; reports are written only when a
// switch asks for them.
//
// Byte 0: bits 0-2 language (extension c cpp java bas frm vb pas, mod 7),
//         bits 3-4 block size (1022, 1, 3, 64: small blocks cut tokens),
//         bit 5 function and variable details.
// Byte 1: bits 0-1 header read mode (per file, once, never, per file),
//         bit 2 write the reports and lists, bit 3 second part is a second
//         main file, bit 4 tag-jump names, bit 5 macros are not functions,
//         bits 6-7 output format (text, HTML, CSV, text).
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <streambuf>
#include <string>
#include <string_view>
#include <vector>

#include <unistd.h>

#include "app/file_tree.h"
#include "app/include_registry.h"
#include "app/options.h"
#include "app/run_steps.h"
#include "app/run_tables.h"
#include "app/settings_data.h"
#include "app/source_context.h"
#include "app/source_file_list.h"
#include "parse/namespace_table.h"
#include "parse/type_table.h"
#include "parse/variable_table.h"
#include "report/error_log.h"
#include "scan/define_table.h"
#include "scan/language_mode.h"
#include "scan/lexical_rules.h"
#include "scan/reserved_word_table.h"
#include "scan/source_reader.h"
#include "scan/step_log.h"
#include "tables/call_tree.h"
#include "tables/class_table.h"
#include "tables/function_table.h"

namespace {

constexpr std::string_view kPartMark = "\n%%%%\n";
constexpr const char* kExtensions[] = {"c", "cpp", "java", "bas", "frm", "vb", "pas"};
constexpr size_t kBlockSizes[] = {1022, 1, 3, 64};
// A header that includes a name of its own makes a new path at each level
// ("./a.h", "sub\sub\a.h", ...), and a few such names make a tree of them;
// the real run stops where no file opens. Here the header "opens" at most
// so deep and so often per input.
constexpr int kMaxIncludeDepth = 8;
constexpr int kMaxHeaderReads = 32;

// The run's log goes nowhere, but every message is still formatted.
class NullBuffer : public std::streambuf {
 protected:
  int overflow(int c) override { return c == traits_type::eof() ? 0 : c; }
  std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};

struct Input {
  std::string_view main;
  std::string_view second;
  bool hasSecond = false;
  size_t blockSize = 1022;
};

// The folder goes when the process ends (libFuzzer and the replay exit).
std::string& folderName() {
  static std::string name;
  return name;
}

void removeFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(folderName(), ignored);
}

// Where reports go when they are asked for: one folder for the process.
const std::string& outputFolder() {
  static const std::string folder = [] {
    const char* base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    std::string pattern = std::string(base) + "/mizenta-fuzz-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (!mkdtemp(buffer.data())) std::abort();
    folderName() = buffer.data();
    std::atexit(removeFolder);
    return folderName() + "/";
  }();
  return folder;
}

struct Run {
  RunTables& tables;
  const Input& input;
  int headerReads = 0;
};

void readText(Run& run, SourceReader& reader, std::string_view text, int depth);

// As the run driver does for a completed #include, with the second part of
// the input standing for every header that is not yet known.
void processInclude(Run& run, SourceReader& reader, int depth) {
  RunTables& tables = run.tables;
  const std::string name = reader.includeName();
  std::string path = name;
  std::string folder = tables.context->topDirectory();
  if (!folder.empty() && name.find(':') == std::string::npos) path = folder + name;
  if (tables.includes->checkAndRegister(path, name) == 1) return;
  if (!run.input.hasSecond || depth >= kMaxIncludeDepth || run.headerReads >= kMaxHeaderReads) {
    tables.includes->registerMissing(path, name);
    errorLog() << "  Can't open [" << name << "]" << std::endl;
    tables.context->markMissing(name);
    return;
  }
  ++run.headerReads;
  SourceReader header(tables, SourceReader::Kind::Include);
  errorLog() << "  " << name << " reading" << std::endl;
  header.setFile(path);
  readText(run, header, run.input.second, depth + 1);
  header.finishFile();
  tables.context->pop();
}

// Lends the text block by block, each block in a buffer of its exact size
// so that a read past it is caught.
void readText(Run& run, SourceReader& reader, std::string_view text, int depth) {
  size_t blockSize = run.input.blockSize;
  // UTF-16 text must come in blocks of even length.
  if (text.size() >= 2 && static_cast<unsigned char>(text[0]) == 0xFF &&
      static_cast<unsigned char>(text[1]) == 0xFE && blockSize % 2)
    ++blockSize;
  size_t at = 0;
  bool last = false;
  while (!last) {
    size_t n = text.size() - at < blockSize ? text.size() - at : blockSize;
    last = n < blockSize;
    std::unique_ptr<char[]> block(new char[n ? n : 1]);
    if (n) std::memcpy(block.get(), text.data() + at, n);
    at += n;
    reader.giveBlock(block.get(), n);
    for (;;) {
      int result = reader.nextToken(last);
      if (result == 1) break;
      if (result == 2) continue;
      reader.processToken();
      if (reader.includeReady()) {
        if (run.tables.options().activeHeaderMode == 2)
          run.tables.includes->checkAndRegister(reader.includeName(), reader.includeName());
        else
          processInclude(run, reader, depth);
        reader.clearInclude();
      }
      if (result == 3) break;
    }
  }
  reader.endOfFile();
}

void configure(Options& o, uint8_t first, uint8_t second) {
  o = Options();
  o.extensionLanguages = parseExtensionList(kDefaultExtensionList);
  o.outputFolder = outputFolder();
  o.outputFolderExists = 1;
  o.functionDetails = o.variableDetails = (first >> 5) & 1;
  int mode = second & 3;
  o.headerReadMode = static_cast<HeaderReadMode>(mode == 3 ? 0 : mode);
  bool reports = (second >> 2) & 1;
  o.functionList = o.classList = o.globalVariableList = o.typeList = o.defineList =
      o.namespaceList = reports;
  o.tagJumpTree = (second >> 4) & 1;
  o.macrosAreNotFunctions = (second >> 5) & 1;
  int format = (second >> 6) & 3;
  o.outputFormat = static_cast<OutputFormat>(format == 3 ? 0 : format);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  static NullBuffer nullBuffer;
  const uint8_t first = data[0], second = data[1];
  std::string_view text(reinterpret_cast<const char*>(data) + 2, size - 2);

  Input input;
  input.blockSize = kBlockSizes[(first >> 3) & 3];
  size_t mark = text.find(kPartMark);
  input.main = text.substr(0, mark);
  if (mark != std::string_view::npos) {
    input.second = text.substr(mark + kPartMark.size());
    input.hasSecond = true;
  }
  const bool reports = (second >> 2) & 1;
  const bool secondIsMain = input.hasSecond && ((second >> 3) & 1);

  Options& options = liveOptions();
  configure(options, first, second);
  const std::string ext = kExtensions[(first & 7) % 7];
  const std::string folder = "/fz/";
  std::string names[2] = {"a." + ext, "b." + ext};
  if (ext == "bas") names[1] = "b.frm";
  if (ext == "frm") names[1] = "b.bas";
  sourceFiles().clear();
  sourceFiles().registerSourceFile(names[0], folder);
  if (secondIsMain) sourceFiles().registerSourceFile(names[1], folder);
  Input mainInput = input;
  if (secondIsMain) mainInput.hasSecond = false;  // headers are missing then

  attachErrorLog(&nullBuffer);
  {
    RunTables tables(options);
    tables.create();
    loadSettingsData(tables);
    if (reports && options.reservedWordDump) tables.reservedWords->dump();

    SourceFileList& list = sourceFiles();
    std::vector<int> order = list.processingOrder();
    bool perSourceFile = options.headerReadMode == HeaderReadMode::PerSourceFile;
    if (!perSourceFile)
      prepareFileTables(tables, -1);
    else
      options.activeHeaderMode = 0;
    SourceReader reader(tables, SourceReader::Kind::MainFile);
    Run run{tables, mainInput};
    for (size_t p = 0; p < order.size(); ++p) {
      SourceFileEntry& entry = list.entries()[order[p]];
      std::string_view content = entry.name == names[0] ? input.main : input.second;
      bool vbOrDelphi = (entry.languageMask & kModeVbOrDelphi) != 0;
      reader.setFile(entry.directory + entry.name);
      if (perSourceFile && (p == 0 || !vbOrDelphi)) prepareFileTables(tables, order[p]);
      readText(run, reader, content, 0);
      entry.stepCounts = reader.stepCounts();
      finishSourceFile(tables, reader);
      tables.context->pop();
    }
    if (reports) {
      bool withPath = options.tagJumpTree != 0;
      for (SourceFileEntry& entry : list.entries()) {
        std::string name = withPath ? entry.directory + entry.name : entry.name;
        entry.stepCounts[7] = tables.functions->countKnownInFile(name);
      }
      writeReports(tables);
    }
    resetSettingsData();
    tables.reservedWords->clear();
    tables.defines->clear();
    tables.baseTypes->clear();
    tables.context->reset();
    tables.destroy();
  }
  attachErrorLog(nullptr);
  sourceFiles().clear();
  selectDialect(Dialect::C);
  setCaseInsensitiveNames(false);
  return 0;
}
