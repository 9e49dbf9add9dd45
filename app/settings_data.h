// The settings data file "Mizenta設定.dat" beside the program: the language
// knowledge of a run (reserved words, types and sizes, predefined classes
// and variables, macros, interrupt keywords). Until the file's reader is
// built, every run takes the built-in reserved words and types instead and
// says so in the error log. What the load keeps for the run lives in a
// record that the run owns.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "scan/define_table.h"

class RunTables;
class SourceFileList;

extern const char kSettingsDataName[];

struct SettingsData {
  // OR of the registered files' masks, with old C++ (8) when C++ is in.
  std::int32_t languageMask = 0;
  // The file's #define macros: the starting state of the table per file.
  std::vector<DefineEntry> definitions;
  std::vector<std::string> interruptKeywords;
};

// The run's language mask for `files`.
std::int32_t runLanguageMask(const SourceFileList& files);

// Loads the settings of one run over `files` into `tables` and `data`: the
// language mask, the name comparison of the run (case-insensitive with VB
// or Delphi files), and the reserved words and base types.
void loadSettingsData(RunTables& tables, SettingsData& data, const SourceFileList& files);
