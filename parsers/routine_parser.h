// What the parsers of the languages without braces (Delphi, VB) share
// beyond every parser's frame: the routine being read, and the case-blind
// keyword test.
#pragma once

#include <string_view>

#include "context/text_util.h"
#include "parsers/parser_base.h"
#include "parsers/routine_registration.h"

class RoutineParser : public ParserBase {
 protected:
  // `language` is kModeVb or kModeDelphi.
  RoutineParser(int language, ParserContext& tables)
      : ParserBase(tables), routine_(language, tables) {}

  // A new file: attached to `reader`, no routine current.
  void attachFile(SourceReader& reader);

  // The keyword test, case-blind; inline, as every token meets several
  // (most tokens of a keyword's length differ from it in their first letter).
  static bool is(std::string_view token, std::string_view word) {
    return token.size() == word.size() && !token.empty() && (token[0] | 0x20) == (word[0] | 0x20) &&
           equalsIgnoreCase(token, word);
  }
  RoutineState& r() { return routine_.state(); }
  const RoutineState& r() const { return routine_.state(); }

  RoutineRegistration routine_;
};
