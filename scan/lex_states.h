// The comment and literal states of the source reader, one set for all
// languages (each language uses the states listed for it).
#pragma once

#include "context/language_mode.h"

enum class LexState {
  Code,               // all: not inside a comment or literal
  BraceComment,       // Delphi: inside { ... } or (* ... *)
  ParenStarSecond,    // Delphi: the first token after the '*' of "(*"
  ParenStarFirst,     // Delphi: '(' read, the next token is its '*'
  RestOfLine,         // VB: inside a ' or Rem comment
  LineComment,        // C family, Delphi: inside a // comment
  LineCommentStart,   // C family, Delphi: the second '/' of //
  BlockComment,       // C family: inside /* ... */
  String,             // all: inside a string literal
  CharStart,          // C family: just after the opening '
  CharBody,           // C family: after the first token of a character constant
  CharEscape,         // C family: after a '\' inside a character constant
  BlockCommentFirst,  // C family: the first token after /*
  BlockCommentStar,   // C family: the '*' of /*
  CharRest,           // C++: the rest of a character constant of several tokens
  RawDelimiter,       // C++: the delimiter of a raw string, between R" and (
  RawString,          // C++: inside a raw string R"delimiter( ... )delimiter"
};

// Every state but Code and the literal states.
bool isCommentState(LexState state);
