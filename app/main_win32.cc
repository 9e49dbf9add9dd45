// Windows entry point. Until the main window exists, a start without files
// shows the usage box.
#include <windows.h>

#include "app/command_line.h"
#include "app/program_entry.h"
#include "platform/program.h"

namespace {

int showUsageAndEnd() {
  showUsage();
  return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
  ProgramStart start;
  start.programPath = platform::programPath();
  start.commandLineIsText = true;
  start.commandLineText = commandLine ? commandLine : "";
  start.runInteractive = showUsageAndEnd;
  return runProgram(start);
}
