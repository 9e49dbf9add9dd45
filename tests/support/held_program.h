// The Linux program held in the middle of its run: its standard error is a
// terminal that nobody reads and that is already full, so the run stops at
// its first progress line, with its locks taken and its log open, until
// the test lets it go on.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

#include "tests/support/test_files.h"

class HeldProgram {
 public:
  // Starts the program installed in `folder` with the working folder `cwd`.
  HeldProgram(const std::string& folder, const std::string& cwd,
              const std::vector<std::string>& args);
  ~HeldProgram();
  HeldProgram(const HeldProgram&) = delete;
  HeldProgram& operator=(const HeldProgram&) = delete;

  // Waits (a minute at most) until `path` exists, the sign that the run has
  // come as far as wanted. False when the program ended first or too late.
  bool waitFor(const std::string& path);

  // Lets the run go on to its end: its exit status, and what it wrote on
  // standard error after the fill (in the terminal's encoding, UTF-8).
  ProgramResult release();

 private:
  int master_ = -1;
  size_t filled_ = 0;
  pid_t child_ = -1;
};
