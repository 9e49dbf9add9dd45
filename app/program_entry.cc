#include "app/program_entry.h"

#include <cstdio>

#include "app/command_line.h"
#include "app/options.h"
#include "app/run_driver.h"
#include "app/source_file_list.h"
#include "app/text_util.h"
#include "platform/program.h"

namespace {

const char kMutexName[] = "Mizenta Mutex object";

void finishCommandLineRun() {
  platform::shellOpenFolder(liveOptions().outputFolder);
  if (!liveOptions().showElapsedTime) return;
  char text[128];
  std::snprintf(text, sizeof text, "解析にかかった時間は[%f]秒です", elapsedSeconds());
  platform::showMessageBox(text, "処理終了");
}

}  // namespace

int runProgram(const ProgramStart& start) {
  if (!platform::acquireSingleInstance(kMutexName)) {
    platform::showMessageBox("MIZENTAの二重起動は\n出来ません", "確認");
    return 0;
  }
  setProgramFolder(directoryPart(start.programPath));
  sourceFiles().clear();
  sourceFiles().clearConflict();
  loadOptions();
  CommandLineResult result = CommandLineResult::NoFiles;
  if (start.commandLineIsText) {
    if (!start.commandLineText.empty()) result = runCommandLine(start.commandLineText);
  } else if (!start.arguments.empty()) {
    result = runCommandLineArguments(start.arguments);
  }
  if (result == CommandLineResult::Exit) return 0;
  if (result == CommandLineResult::Ran) {
    finishCommandLineRun();
    return 0;
  }
  return start.runInteractive ? start.runInteractive() : 0;
}
