// What the scanner is told of a source language: its codes, the lexical
// family whose comment and literal rules the reader follows, the run-wide
// lexical rules it brings, how its parser looks back over the token
// history, and the parser it hands live tokens to. The rows themselves
// are the language table of the parsers; the reader only reads them. One
// row is no source language: the settings data file's.
#pragma once

#include <memory>
#include <span>
#include <string_view>

#include "scan/lex_states.h"

class TokenParser;
// The parsers' own record of the run's tables, which the reader passes
// on to a parser factory without looking inside.
struct ParserContext;

// The run-wide rules a language brings when its first file is opened.
struct LexicalRules {
  bool foldNames = false;       // ASCII case-insensitive name comparison
  bool dollarDelimits = false;  // '$' ends a word (VB and Delphi type marks)
  // Words that may precede a declaration's type ("static", "const" …),
  // compared under the language's name comparison.
  std::span<const std::string_view> modifierWords;
};

// How parserToken(n) counts back: over every token handed over, or over
// the live tokens only (blanks and line breaks skipped).
enum class LookBack { EveryToken, LiveTokens };

struct Language {
  SourceLanguage language;  // its code is the extension table's
  int mode;                 // the LanguageMode bits of its files
  LanguageFamily family;
  LexicalRules lexical;
  LookBack lookBack;
  // The parser of a file of the given mode (a C++ file may read as mode 9);
  // null: the language recognises nothing yet and the reader idles (or,
  // for the settings data file, its loader gives the parser).
  std::unique_ptr<TokenParser> (*makeParser)(int mode, ParserContext& tables);
  // The settings data file: its own directives and language sections act,
  // and it is no file of the include tree.
  bool settingsData;
};
