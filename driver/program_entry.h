// The start of the program on every platform: the single-instance check,
// the program folder, the options, and either one command-line run or the
// interactive front end that the platform provides. The result is the exit
// status: 0 when every named input was analysed and every report written,
// 1 when something was lost (or a second instance was refused), 2 for a
// wrong command line (RunOutcome::exitStatus; on POSIX nothing else is
// done then).
#pragma once

#include <string>
#include <vector>

struct ProgramStart {
  std::string programPath;             // full path of the program file
  bool commandLineIsText = false;      // Windows: one text, split by our rules
  std::string commandLineText;         // when commandLineIsText
  std::vector<std::string> arguments;  // POSIX: the shell's arguments
  // The front end when no file was registered; returns the exit code.
  int (*runInteractive)() = nullptr;
  // Windows: what a command line lost is told in a box too, and the
  // window opens when it registered nothing.
  bool showsBoxes = false;
  // The build's version and commit, for "--version"; empty: unknown.
  std::string buildIdentity;
};

int runProgram(const ProgramStart& start);
