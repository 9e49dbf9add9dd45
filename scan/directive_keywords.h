// The directive keywords of each source syntax as data: C-family "#"
// words (compared exactly), VB "#" words and Delphi "{$" words (compared
// without regard to letter case), the two words that only the settings
// data file knows, and which keywords open or close a conditional group,
// as the switched-off regions need to know.
#pragma once

#include <string_view>

#include "context/language_mode.h"

// What a keyword asks for. VB "End" closes "If" and "Region" alike.
enum class DirectiveWord {
  kNone,  // no keyword: skipped, the next word of the line is tried
  kDefine,
  kUndef,
  kIfdef,
  kIfndef,
  kIf,
  kIfOpt,  // Delphi {$IFOPT}: a group whose switch state is not known
  kElif,
  kElse,
  kEndif,
  kRegion,
  kInclude,
  kImport,
  kPragma,
  kError,
  kSettingsMode,       // settings data file: "MZ設定Mode" kind
  kInterruptKeywords,  // settings data file: "MZ割り込みキーワード" words...
};

// `settingsData`: the line is one of the settings data file, whose own two
// keywords count too; in sources they are words like any other.
DirectiveWord directiveWordOf(LanguageFamily syntax, std::string_view word,
                              bool settingsData = false);

// Keywords that open a conditional group (counted in skipDepth while the
// region is switched off) and the one that closes it.
bool opensGroup(DirectiveWord word);
inline bool closesGroup(DirectiveWord word) { return word == DirectiveWord::kEndif; }
// The keywords that still act in a switched-off region at its own level.
inline bool switchesBranch(DirectiveWord word) {
  return word == DirectiveWord::kElif || word == DirectiveWord::kElse ||
         word == DirectiveWord::kEndif;
}
