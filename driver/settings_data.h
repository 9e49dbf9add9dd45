// The settings data file "Mizenta設定.dat" beside the program: the language
// knowledge of a run (reserved words, types and sizes, library classes and
// objects, macros, interrupt keywords), loaded at the start of every run,
// or the built-in reserved words and types when it cannot be opened. What
// the load keeps for the run lives in a record that the run owns.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "parsers/settings_parser.h"
#include "scan/define_table.h"
#include "scan/read_loop.h"

struct ScanContext;
class ReservedWordTable;
class TypeTable;
class SourceFileList;

extern const char kSettingsDataName[];

// The settings file's #define macros as a run of `languages` alone
// collects them.
struct LanguageMacros {
  std::int32_t languages = 0;
  std::vector<DefineEntry> definitions;
};

struct SettingsData {
  // OR of the registered files' masks, with old C++ (8) when C++ is in.
  std::int32_t languageMask = 0;
  // The file's #define macros for the run's languages: the starting state
  // of the tables when they start once for the whole run.
  std::vector<DefineEntry> definitions;
  // The same for each other language set of the run's files: a C file of
  // a run with C++ files does not start with the C++ macros.
  std::vector<LanguageMacros> otherLanguagesMacros;
  // Where the tables start once for the whole run: the macros that every
  // language set of its files has alike, so that no file reads another
  // language's branches (a C header no `extern "C" {` beside C++ files).
  std::vector<DefineEntry> sharedDefinitions;
  // Library classes and their global objects, registered in the tables of
  // each file that reads classes.
  ClassDefinitions classes;
  std::vector<std::string> interruptKeywords;

  // The starting macros of a file of `languages` (withOldCpp of its mask);
  // the run's for a language set none of its files has.
  const std::vector<DefineEntry>& macrosFor(std::int32_t languages) const;
};

// The languages a set of files brings: their masks, with old C++ (8) when
// C++ is among them.
std::int32_t withOldCpp(std::int32_t mask);
// The run's language mask for `files`.
std::int32_t runLanguageMask(const SourceFileList& files);

// Loads the settings of one run over `files` into the run's tables and
// `data`: the
// language mask, the name comparison of the run (case-insensitive with VB
// or Delphi files), the reserved words, base types and pointer size, the
// macros (for the run's languages and for each file's), classes,
// variables and interrupt keywords. The file is opened
// from `fileSet` and read in the blocks of `settings` (its include handler
// is not used; a stop request leaves the load half done). A file that is
// missing or cannot serve (a folder, a pipe, unreadable, too large, no
// text) gives the built-in reserved words and types; the result tells
// which (kNone when the file was read). The file is read with the run's
// scanner (`scan`); its reserved words go into `reservedWords`, its types
// into `baseTypes`.
platform::FileProblem loadSettingsData(const ScanContext& scan, ReservedWordTable& reservedWords,
                                       TypeTable& baseTypes, SettingsData& data,
                                       const SourceFileList& files, platform::FileSet& fileSet,
                                       ReadSettings settings = ReadSettings());
