// The directive keywords of each source syntax as data: C-family "#"
// words (compared exactly), VB "#" words and Delphi "{$" words (compared
// without regard to letter case), and which of them open or close a
// conditional group, as the switched-off regions need to know.
#pragma once

#include <string_view>

// Which syntax a directive line has.
enum class DirectiveSyntax { CFamily, Vb, Delphi };

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
};

DirectiveWord directiveWordOf(DirectiveSyntax syntax, std::string_view word);

// Keywords that open a conditional group (counted in skipDepth while the
// region is switched off) and the one that closes it.
bool opensGroup(DirectiveWord word);
inline bool closesGroup(DirectiveWord word) { return word == DirectiveWord::kEndif; }
// The keywords that still act in a switched-off region at its own level.
inline bool switchesBranch(DirectiveWord word) {
  return word == DirectiveWord::kElif || word == DirectiveWord::kElse ||
         word == DirectiveWord::kEndif;
}
