// libFuzzer entry for the settings data file: one input is the file
// "Mizenta設定.dat" of one run, held in memory, after a switch byte. The run
// is the real one: it loads the file through the read loop and the settings
// parser, then reads a small source of the run's language, whose tables get
// the file's macros, classes, objects and interrupt keywords.
//
// Byte 0: bits 0-2 the registered files (c, cpp, java, bas, pas, c+java,
//         cpp+java, frm+bas), bits 3-4 block size (1022, 1, 3, 64),
//         bit 5 headers read once (else per source file), bit 6 the
//         reserved-word dump, bit 7 function details (blanks are tokens).
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "driver/analysis_run.h"
#include "driver/command_line.h"
#include "context/options.h"
#include "driver/settings_data.h"
#include "context/source_file_list.h"
#include "tables/type_table.h"
#include "platform/byte_source.h"
#include "report/error_log.h"

#include "tests/fuzz/scratch_folder.h"

namespace {

constexpr size_t kBlockSizes[] = {1022, 1, 3, 64};
const std::vector<const char*> kFileSets[] = {
    {"a.c"},   {"a.cpp"},         {"a.java"},          {"a.bas"},
    {"a.pas"}, {"a.c", "b.java"}, {"a.cpp", "b.java"}, {"a.frm", "b.bas"},
};

// Names the libraries of the shipped file and the seeds define, used the
// way each language uses them.
std::string_view sourceOf(std::string_view name) {
  if (name.ends_with(".bas") || name.ends_with(".frm"))
    return "Dim x As Integer\nSub Main()\n  App.Title = \"x\"\nEnd Sub\n";
  if (name.ends_with(".pas")) return "unit a;\ninterface\nvar f: TForm;\nimplementation\nend.\n";
  if (name.ends_with(".java"))
    return "class A { void f() { String s = null; System.out.println(s); } }\n";
  return "#if defined(__STDC__) && INT_MAX > 0 && sizeof(void *) == 4\n#pragma interrupt isr\n"
         "#endif\nCFoo theFoo;\nstd::string s;\nunsigned u;\n"
         "void f(void) { DWORD d; CWinApp *p = &theApp; isr(); }\n";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  static NullBuffer nullBuffer;
  const uint8_t switches = data[0];
  std::string settings(reinterpret_cast<const char*>(data) + 1, size - 1);

  const std::string& folder = scratchFolder("mizenta-settingsfuzz");
  setProgramFolder(folder);
  Options options;
  options.extensionLanguages = parseExtensionList(kDefaultExtensionList);
  options.outputFolder = folder;
  options.outputFolderExists = 1;
  options.headerReadMode =
      (switches >> 5) & 1 ? HeaderReadMode::ReadOnce : HeaderReadMode::PerSourceFile;
  options.reservedWordDump = (switches >> 6) & 1;
  options.functionDetails = options.variableDetails = (switches >> 7) & 1;

  platform::MemoryFileSet files;
  files.add(folder + kSettingsDataName, settings);
  SourceFileList list;
  for (const char* name : kFileSets[switches & 7]) {
    files.add(std::string("/fz/") + name, std::string(sourceOf(name)));
    registerSourceFile(options, name, "/fz/", list);
  }

  attachErrorLog(&nullBuffer);
  {
    AnalysisRun run(options, files);
    run.setBlockBytes(kBlockSizes[(switches >> 3) & 3]);
    run.setReportsWanted(false);
    run.run(list);
    // Only a clause of at least one byte sets the pointer size.
    if (run.baseTypes().pointerSize() < 1) std::abort();
  }
  attachErrorLog(nullptr);
  setProgramFolder("");
  return 0;
}
