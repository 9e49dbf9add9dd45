// Windows entry point: a command line that names files runs them and ends;
// otherwise the main window opens.
#include <windows.h>

#include "app/program_entry.h"
#include "platform/program.h"
#include "ui/main_window_win32.h"

namespace {

HINSTANCE programInstance = nullptr;
int programShowCommand = SW_SHOWDEFAULT;

int openMainWindow() { return runMainWindow(programInstance, programShowCommand); }

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int showCommand) {
  programInstance = instance;
  programShowCommand = showCommand;
  ProgramStart start;
  start.programPath = platform::programPath();
  start.commandLineIsText = true;
  start.commandLineText = commandLine ? commandLine : "";
  start.runInteractive = openMainWindow;
  return runProgram(start);
}
