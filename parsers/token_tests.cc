#include "parsers/token_tests.h"

#include "parsers/parser_context.h"
#include "tables/type_table.h"
#include "scan/define_table.h"
#include "scan/lexical_rules.h"
#include "scan/reserved_word_table.h"
#include "tables/class_table.h"

bool TokenTests::isDelimiter(std::string_view token) { return isDelimiterToken(token); }

bool TokenTests::isDigit(std::string_view token) { return startsWithDigit(token); }

bool TokenTests::isModifier(std::string_view token) { return isModifierWord(token); }

bool TokenTests::isCastKeyword(std::string_view token) {
  return token == "static_cast" || token == "dynamic_cast" || token == "const_cast" ||
         token == "reinterpret_cast";
}

bool TokenTests::isReserved(std::string_view token) const {
  return tables_.reservedWords.isReserved(token) != 0;
}

bool TokenTests::isType(std::string_view token) const {
  return !token.empty() && tables_.types.isType(token);
}

bool TokenTests::isPlainName(std::string_view token) const {
  return !token.empty() && !isDelimiter(token) && !isDigit(token) && !isReserved(token) &&
         !isType(token);
}

bool TokenTests::isMacro(std::string_view token) const {
  return !token.empty() && tables_.defines.isDefined(token);
}

bool TokenTests::isFunctionLikeMacro(std::string_view token) const {
  if (token.empty()) return false;
  const DefineEntry* entry = tables_.defines.entryNamed(token);
  return entry && !entry->params.empty();
}

bool TokenTests::isEmptyMacro(std::string_view token) const {
  if (!isMacro(token)) return false;
  return tables_.defines.bodyOf(token).empty();
}

bool TokenTests::isKnownClass(std::string_view token) const {
  return !token.empty() && tables_.classes.isClass(token);
}

bool TokenTests::buildsObjects(std::string_view token) const {
  return !token.empty() && tables_.classes.buildsObjects(token);
}

bool TokenTests::isTagOnly(std::string_view token) const {
  int kinds = tables_.types.kindOf(token);
  return (kinds & TypeTable::kTag) && !(kinds & ~(TypeTable::kTag | TypeTable::kStructure));
}
