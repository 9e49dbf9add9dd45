// The questions the C-family parser asks about a single token: delimiter,
// reserved word of the file's language, type name, plain name, modifier
// word, empty macro. They read the run's tables, which must outlive the
// object.
#pragma once

#include <string_view>

struct ParserContext;

class TokenTests {
 public:
  explicit TokenTests(const ParserContext& tables) : tables_(tables) {}

  static bool isDelimiter(std::string_view token);
  static bool isDigit(std::string_view token);
  static bool isModifier(std::string_view token);
  // The C++ casts written like calls of function templates.
  static bool isCastKeyword(std::string_view token);
  bool isReserved(std::string_view token) const;
  // Marks the type used, as every type look-up of the parsers does.
  bool isType(std::string_view token) const;
  // Non-empty, no delimiter, no reserved word, no leading digit, no type.
  bool isPlainName(std::string_view token) const;
  // A #define name whose replacement text is empty.
  bool isEmptyMacro(std::string_view token) const;
  bool isMacro(std::string_view token) const;
  // A macro with a parameter list.
  bool isFunctionLikeMacro(std::string_view token) const;
  bool isKnownClass(std::string_view token) const;
  // A known class or a C++ structure read as one: its objects are built.
  bool buildsObjects(std::string_view token) const;
  // A type only as a C structure, union or enumeration tag (no typedef).
  bool isTagOnly(std::string_view token) const;

 private:
  const ParserContext& tables_;
};
