// libFuzzer entry for the options file: each input is Mizenta.ini beside
// the program. It is loaded, saved back and loaded again; the second load
// must give what the first one did (the program saves its options the same
// way at the end of every settings change). The INI text functions also get
// the input directly, with a section and key taken from its first line.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include <unistd.h>

#include "context/options.h"
#include "platform/ini_text.h"

#include "tests/fuzz/scratch_folder.h"

namespace {

const std::string& programDir() { return scratchFolder("mizenta-inifuzz"); }

void writeWhole(const std::string& path, std::string_view bytes) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) std::abort();
  if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size()) std::abort();
  std::fclose(f);
}

bool sameFlags(const Options& a, const Options& b) {
  return a.pc98Lines == b.pc98Lines && a.hideRepeatedSubtrees == b.hideRepeatedSubtrees &&
         a.noFunctionSort == b.noFunctionSort &&
         a.showDuplicateChildren == b.showDuplicateChildren &&
         a.macrosAreNotFunctions == b.macrosAreNotFunctions &&
         a.separateStepCounts == b.separateStepCounts && a.tagJumpTree == b.tagJumpTree &&
         a.outputFormat == b.outputFormat && a.outputMemberVariables == b.outputMemberVariables &&
         a.classList == b.classList && a.reservedWordDump == b.reservedWordDump &&
         a.globalVariableList == b.globalVariableList && a.variableDetails == b.variableDetails &&
         a.typeList == b.typeList && a.defineList == b.defineList &&
         a.namespaceList == b.namespaceList && a.functionList == b.functionList &&
         a.functionDetails == b.functionDetails && a.lineDistribution == b.lineDistribution &&
         a.fastSpeed == b.fastSpeed && a.showElapsedTime == b.showElapsedTime &&
         a.hideToolbar == b.hideToolbar && a.headerReadMode == b.headerReadMode;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);

  // The text functions alone: "section key value" on the first line.
  std::string_view head = text.substr(0, text.find('\n'));
  std::string_view words[3];
  for (int k = 0; k < 3 && !head.empty(); ++k) {
    size_t space = head.find(' ');
    words[k] = head.substr(0, space);
    head = space == std::string_view::npos ? std::string_view() : head.substr(space + 1);
  }
  for (size_t bufferSize : {size_t{1}, size_t{2}, size_t{256}}) {
    std::string value = platform::iniLookup(text, words[0], words[1], words[2], bufferSize);
    if (value.size() >= bufferSize) std::abort();
  }
  std::string assigned = platform::iniAssign(text, words[0], words[1], words[2]);
  platform::iniLookup(assigned, words[0], words[1], "", 256);

  // The options file.
  const std::string& folder = programDir();
  setProgramFolder(folder);
  writeWhole(iniPath(), text);
  loadOptions();
  Options first = liveOptions();
  for (const char* name : {"a.c", "a.CPP", "x.frm", "y.pas", "z", ".", "a.b.vb"})
    languageOfFileName(first, name);
  formatExtensionList(first.extensionLanguages);
  saveOptions(first);
  loadOptions();
  if (!sameFlags(first, liveOptions())) std::abort();
  liveOptions() = Options();
  setProgramFolder("");
  return 0;
}
