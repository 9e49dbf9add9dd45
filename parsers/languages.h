// The one table of source languages: a row per language code of the
// extension table (0 C, 1 C++, 2 Java, 3 VB, 4 Delphi) with its mode bits,
// lexical family and rules, look-back rule and parser. Adding a language is
// one row here and its parser's files.
#pragma once

#include <string_view>

#include "scan/language.h"

struct Options;

// The row of a language.
const Language& languageOf(SourceLanguage language);

// The row of a file name's extension under the options' extension table,
// or null when the extension is not in it.
const Language* languageOfFile(const Options& options, std::string_view fileName);

// The row of a LanguageMode (9, a C++ file read as old C++, is C++'s);
// null for a mode of no language.
const Language* languageOfMode(int mode);

// The settings data file's row: C's lexical rules and modifier words, no
// language mode of its own, its own directives.
const Language& settingsDataLanguage();
