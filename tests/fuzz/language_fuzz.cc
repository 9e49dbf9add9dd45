// libFuzzer entry for one language's parser, through the one read loop:
// one input is one run over one or two source files of that language held
// in memory. Built once per language, MZ_FUZZ_LANGUAGE naming it (0 C,
// 1 C++, 2 Java, 3 VB, 4 Delphi), with a dictionary of its own.
//
// Input: two switch bytes, then the text. The text is cut at the first
// "\n%%%%\n": the part before is the main file; the part after is served as
// every header the main file includes, up to 32 header reads per input (or,
// with a switch, read as a second main file). The run is the real one, on
// files in memory; reports are written only when a switch asks for them.
//
// Byte 0: bits 0-2 the language's file kind (VB: bas frm vb; the others
//         have one), bits 3-4 block size (1022, 1, 3, 64: small blocks cut
//         tokens), bit 5 function and variable details.
// Byte 1: bits 0-1 header read mode (per file, once, never, per file),
//         bit 2 write the reports and lists, bit 3 second part is a second
//         main file, bit 4 tag-jump names, bit 5 macros are not functions,
//         bits 6-7 output format (text, HTML, CSV, text).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <unistd.h>

#include "driver/analysis_run.h"
#include "driver/command_line.h"
#include "context/options.h"
#include "driver/settings_data.h"
#include "context/source_file_list.h"
#include "platform/byte_source.h"
#include "report/error_log.h"

#include "tests/fuzz/scratch_folder.h"

namespace {

#ifndef MZ_FUZZ_LANGUAGE
#error "MZ_FUZZ_LANGUAGE names the language of the target"
#endif

constexpr std::string_view kPartMark = "\n%%%%\n";

// A main file's extension and that of a second main file beside it.
struct FileKind {
  const char* main;
  const char* second;
};
// By MZ_FUZZ_LANGUAGE: the kinds byte 0 picks from.
const std::vector<FileKind> kLanguages[] = {
    {{"c", "c"}},       {{"cpp", "cpp"}},
    {{"java", "java"}}, {{"bas", "frm"}, {"frm", "bas"}, {"vb", "vb"}},
    {{"pas", "pas"}},
};
const std::vector<FileKind>& kKinds = kLanguages[MZ_FUZZ_LANGUAGE];
constexpr size_t kBlockSizes[] = {1022, 1, 3, 64};
// A header that includes a name of its own makes a new path at each level
// ("sub\sub\a.h", ...), and a few such names make a tree of them; the
// real run stops where no file opens. Here headers "open" so often per input.
constexpr int kMaxHeaderReads = 32;

// The main files by their paths; the second part for any other path.
class InputFiles final : public platform::FileSet {
 public:
  void addMain(const std::string& path, std::string_view text) { mains_.push_back({path, text}); }
  void serveHeaders(std::string_view text) {
    header_ = text;
    headers_ = true;
  }

 protected:
  std::unique_ptr<platform::ByteSource> openSource(const std::string& path,
                                                   platform::FileProblem&) override {
    // No settings data file: every run takes the built-in lists.
    if (path == programFolder() + kSettingsDataName) return nullptr;
    for (const auto& [mainPath, text] : mains_)
      if (path == mainPath) return std::make_unique<platform::MemoryByteSource>(text);
    if (!headers_ || headerReads_ >= kMaxHeaderReads) return nullptr;
    ++headerReads_;
    return std::make_unique<platform::MemoryByteSource>(header_);
  }

 private:
  std::vector<std::pair<std::string, std::string_view>> mains_;
  std::string_view header_;
  bool headers_ = false;
  int headerReads_ = 0;
};

const std::string& outputFolder() { return scratchFolder("mizenta-fuzz"); }

bool isUtf16(std::string_view text) {
  return text.size() >= 2 && static_cast<unsigned char>(text[0]) == 0xFF &&
         static_cast<unsigned char>(text[1]) == 0xFE;
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

  size_t mark = text.find(kPartMark);
  std::string_view mainText = text.substr(0, mark);
  bool hasSecond = mark != std::string_view::npos;
  std::string_view secondText = hasSecond ? text.substr(mark + kPartMark.size()) : "";
  const bool reports = (second >> 2) & 1;
  const bool secondIsMain = hasSecond && ((second >> 3) & 1);
  size_t blockSize = kBlockSizes[(first >> 3) & 3];
  // UTF-16 text must come in blocks of even length.
  if ((isUtf16(mainText) || isUtf16(secondText)) && blockSize % 2) ++blockSize;

  Options options;
  configure(options, first, second);
  const FileKind& kind = kKinds[(first & 7) % kKinds.size()];
  const std::string folder = "/fz/";
  std::string names[2] = {std::string("a.") + kind.main, std::string("b.") + kind.second};
  InputFiles files;
  SourceFileList list;
  files.addMain(folder + names[0], mainText);
  registerSourceFile(options, names[0], folder, list);
  if (secondIsMain) {
    files.addMain(folder + names[1], secondText);
    registerSourceFile(options, names[1], folder, list);
  } else if (hasSecond) {
    files.serveHeaders(secondText);
  }

  attachErrorLog(&nullBuffer);
  {
    AnalysisRun run(options, files);
    run.setBlockBytes(blockSize);
    run.setReportsWanted(reports);
    run.run(list);
  }
  attachErrorLog(nullptr);
  return 0;
}
