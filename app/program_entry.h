// The start of the program on every platform: the single-instance check,
// the program folder, the options, and either one command-line run or the
// interactive front end that the platform provides.
#pragma once

#include <string>
#include <vector>

struct ProgramStart {
  std::string programPath;           // full path of the program file
  bool commandLineIsText = false;    // Windows: one text, split by our rules
  std::string commandLineText;       // when commandLineIsText
  std::vector<std::string> arguments;  // POSIX: the shell's arguments
  // The front end when no file was registered; returns the exit code.
  int (*runInteractive)() = nullptr;
};

int runProgram(const ProgramStart& start);
