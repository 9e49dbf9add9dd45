// Command-line program for POSIX systems: the same engine as the Windows
// program, without a window. With no source file to analyse it prints the
// usage and exits with status 2; after a run standard error tells what was
// analysed, what was lost and where the reports are. On a terminal a
// progress line names the file being read, then the report being written.
#include <string>
#include <vector>

#include "driver/command_line.h"
#include "driver/program_entry.h"
#include "driver/run_driver.h"
#include "driver/switch_table.h"
#include "platform/program.h"
#include "platform/file_names.h"

namespace {

// The progress line, rewritten in place on the terminal.
void showProgressOnTerminal(const std::string& text) {
  std::string line = text;
  while (!line.empty() && line.back() == '\n') line.pop_back();
  platform::writeStandardError("\r" + line + "\x1b[K");
}

int printUsage() {
  platform::writeStandardError(shortUsageText());
  return 2;
}

// Names from the shell are the locale's (UTF-8); inside they are CP932,
// with stand-ins for what CP932 lacks.
std::string argumentText(const char* arg) { return platform::cp932NameFromUtf8(arg); }

}  // namespace

// Made by the build (cmake/BuildIdentity.cmake): version and commit.
extern const char kBuildIdentity[];

int main(int argc, char** argv) {
  ProgramStart start;
  start.programPath = platform::programPath();
  for (int i = 1; i < argc; ++i) start.arguments.push_back(argumentText(argv[i]));
  start.runInteractive = printUsage;
  start.buildIdentity = kBuildIdentity;
  if (platform::standardErrorIsTerminal()) setProgressDisplay(showProgressOnTerminal);
  int code = runProgram(start);
  if (platform::standardErrorIsTerminal()) platform::writeStandardError("\r\x1b[K");
  return code;
}
