// Windows entry point: a command line that names files runs them and ends;
// otherwise the main window opens.
#include <windows.h>

#include "driver/program_entry.h"
#include "platform/program.h"
#include "platform/wide_names_win32.h"
#include "ui/main_window_win32.h"

namespace {

HINSTANCE programInstance = nullptr;
int programShowCommand = SW_SHOWDEFAULT;

int openMainWindow() { return runMainWindow(programInstance, programShowCommand); }

// The text after the program's name: wide, so that names outside CP932
// arrive as their stand-ins rather than as the code page's best guesses.
std::string argumentText() {
  const wchar_t* p = GetCommandLineW();
  if (*p == L'"') {
    for (++p; *p && *p != L'"'; ++p) {
    }
    if (*p) ++p;
  } else {
    while (*p && *p != L' ' && *p != L'\t') ++p;
  }
  while (*p == L' ' || *p == L'\t') ++p;
  return platform::nameFromWide(p);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
  programInstance = instance;
  programShowCommand = showCommand;
  ProgramStart start;
  start.programPath = platform::programPath();
  start.commandLineIsText = true;
  start.commandLineText = argumentText();
  start.runInteractive = openMainWindow;
  start.showsBoxes = true;
  return runProgram(start);
}
