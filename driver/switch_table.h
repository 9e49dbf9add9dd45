// The program's switches as one table: each row names its spellings, the
// value it takes, its line of help and what it sets. The command lines of
// both platforms find their switches here and the help text is made from
// it. The Windows command line knows only the spellings that start with
// '/'; the POSIX one knows every spelling.
#pragma once

#include <string>

#include "context/options.h"

enum class SwitchAction {
  kSet,           // apply() changes the options of this run
  kHelp,          // the help text ("/?" on Windows: the usage box)
  kVersion,       // the version text and the build's identity
  kShortVersion,  // the version text alone ("/v")
  kWriteIni,      // an INI file with every key at its default
  kOutput,        // the output folder of this run
};

struct SwitchRow {
  const char* names;     // spellings separated by '|', the first one shown first
  const char* argument;  // the value's name in the help, or null for none
  const char* help;      // one line
  SwitchAction action;
  // kSet: applies `value` to `options`; returns the reason when the value
  // cannot be taken, else empty text.
  std::string (*apply)(Options& options, const std::string& value);
};

// A token as a switch: the row (null for none) and the value written into
// the token ("--format=csv", "-Isrc"); `valueGiven` tells whether there was
// one. Only spellings that start with '/' when `slashOnly`.
struct SwitchMatch {
  const SwitchRow* row = nullptr;
  bool valueGiven = false;
  std::string value;
};
SwitchMatch findSwitch(const std::string& token, bool slashOnly);

// The help of "--help": usage, every switch with its line, exit statuses.
std::string switchHelpText();

// The first lines of switchHelpText(): how to call the program.
std::string shortUsageText();

// Every spelling of every switch, for checks that the README names them.
std::string allSwitchSpellings();
