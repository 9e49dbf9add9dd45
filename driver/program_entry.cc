#include "driver/program_entry.h"

#include <cstdio>

#include "driver/command_line.h"
#include "context/options.h"
#include "driver/run_driver.h"
#include "driver/run_outcome.h"
#include "context/source_file_list.h"
#include "context/text_util.h"
#include "platform/program.h"

namespace {

const char kMutexName[] = "Mizenta Mutex object";

// Standard error always hears the outcome; where boxes are the program's
// voice, a box tells too when something was lost.
void tellOutcome(const ProgramStart& start, const RunOutcome& outcome) {
  std::string message = outcome.message();
  platform::writeStandardError(message);
  if (start.showsBoxes && outcome.somethingLost()) {
    message.pop_back();
    platform::showMessageBox(message, "処理終了");
  }
}

int finishCommandLineRun(const ProgramStart& start) {
  platform::shellOpenFolder(liveOptions().outputFolder);
  if (liveOptions().showElapsedTime) {
    char text[128];
    std::snprintf(text, sizeof text, "解析にかかった時間は[%f]秒です", elapsedSeconds());
    platform::showMessageBox(text, "処理終了");
  }
  tellOutcome(start, runOutcome());
  return runOutcome().exitStatus();
}

}  // namespace

int runProgram(const ProgramStart& start) {
  // Refused, the program did nothing of what it was asked.
  if (!platform::acquireSingleInstance(kMutexName)) {
    platform::showMessageBox("MIZENTAの二重起動は\n出来ません", "確認");
    return 1;
  }
  setProgramFolder(directoryPart(start.programPath));
  sourceFiles().clear();
  sourceFiles().clearConflict();
  runOutcome() = RunOutcome();
  loadOptions();
  if (!start.buildIdentity.empty()) setBuildIdentity(start.buildIdentity);
  platform::setStandardStreamsUtf8(liveOptions().outputEncoding == OutputEncoding::Utf8);
  CommandLineResult result = CommandLineResult::NoFiles;
  if (start.commandLineIsText) {
    if (!start.commandLineText.empty()) result = runCommandLine(start.commandLineText);
  } else if (!start.arguments.empty()) {
    result = runCommandLineArguments(start.arguments);
  }
  switch (result) {
    case CommandLineResult::Exit:
      return 0;
    case CommandLineResult::Failed:
      return 1;
    case CommandLineResult::UsageError:
      return 2;
    case CommandLineResult::Ran:
      return finishCommandLineRun(start);
    case CommandLineResult::NoFiles:
      break;
  }
  // Paths were named, but none of them gave a file to analyse.
  if (runOutcome().somethingLost()) {
    tellOutcome(start, runOutcome());
    if (!start.showsBoxes) return runOutcome().exitStatus();
  }
  return start.runInteractive ? start.runInteractive() : 0;
}
