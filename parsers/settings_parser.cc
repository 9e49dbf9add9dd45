#include "parsers/settings_parser.h"

#include <algorithm>
#include <climits>

#include "tables/type_table.h"
#include "scan/directive_processor.h"
#include "scan/lexical_rules.h"
#include "scan/reserved_word_table.h"
#include "scan/source_reader.h"
#include "scan/token_parser.h"

// ---------------------------------------------------------------------------
// Definitions kept for the run

bool ClassDefinitions::NameLess::operator()(std::string_view a, std::string_view b) const {
  return compareNames(a, b) < 0;
}

bool ClassDefinitions::NameLess::operator()(const VariableKey& a, const VariableKey& b) const {
  if (int c = compareNames(a.first, b.first)) return c < 0;
  return compareNames(a.second, b.second) < 0;
}

void ClassDefinitions::addClass(std::string_view name, std::int32_t languages) {
  auto [at, fresh] = classOrder_.try_emplace(std::string(name), static_cast<int>(classes_.size()));
  if (!fresh) {
    classes_[at->second].languages |= languages;
    return;
  }
  classes_.push_back({std::string(name), languages});
}

void ClassDefinitions::addVariable(std::string_view type, std::string_view name,
                                   std::int32_t languages) {
  auto [at, fresh] =
      variableOrder_.try_emplace(VariableKey(type, name), static_cast<int>(variables_.size()));
  if (!fresh) {
    variables_[at->second].languages |= languages;
    return;
  }
  variables_.push_back({std::string(type), std::string(name), languages});
}

// ---------------------------------------------------------------------------
// The parser

namespace {

bool isWord(std::string_view token) { return !token.empty() && !isDelimiterToken(token); }

// The decimal number at the start of `word` (0 when it starts with none),
// held at INT_MAX.
int leadingDecimal(std::string_view word) {
  long long value = 0;
  for (char c : word) {
    if (c < '0' || c > '9') break;
    value = std::min<long long>(value * 10 + (c - '0'), INT_MAX);
  }
  return static_cast<int>(value);
}

class SettingsParser final : public TokenParser {
 public:
  SettingsParser(std::int32_t runLanguages, ClassDefinitions& classes,
                 ReservedWordTable& reservedWords, TypeTable& baseTypes)
      : run_(runLanguages),
        classes_(classes),
        reservedWords_(reservedWords),
        baseTypes_(baseTypes) {}

  void resetForFile(SourceReader&) override { structure_ = Structure{}; }
  void step(SourceReader& reader) override;
  void endOfFile(SourceReader&) override {}

 private:
  // The kind's structure: namespace prefix, braces, parentheses, and what
  // the next word completes. Cleared whenever the entries change kind.
  struct Structure {
    int kind = -1;
    std::string prefix;          // "ns" or "ns::inner"
    std::vector<size_t> braces;  // prefix length to go back to at each '}'
    bool namespaceNext = false;  // the next word names a namespace
    size_t prefixBefore = 0;     // the prefix length before that namespace
    int parens = 0;
    std::string currentClass;
    bool sizeClause = false;   // inside "type(size)"
    bool pointerNext = false;  // after '*': the next word is the pointer size
    std::string lastType;
    bool waiting = false;  // lastType has had no size clause yet
  };

  bool structureToken(const std::string& token);
  std::string qualified(std::string_view name) const;
  void classEntry(const std::string& token, std::int32_t languages);
  void typeEntry(SourceReader& reader, const std::string& token, std::int32_t languages);
  void typeSize(const std::string& word, std::int32_t languages);
  void typeName(SourceReader& reader, const std::string& word, std::int32_t languages);

  const std::int32_t run_;
  ClassDefinitions& classes_;
  ReservedWordTable& reservedWords_;
  TypeTable& baseTypes_;
  Structure structure_;
};

void SettingsParser::step(SourceReader& reader) {
  const std::string& token = reader.parserToken(0);
  if (token == "\n") return;  // line ends are no entries
  const DirectiveProcessor& directives = reader.directives();
  std::int32_t languages = directives.sectionLanguages();
  if (!(languages & run_)) return;
  int kind = directives.sectionKind();
  if (kind != structure_.kind) {
    structure_ = Structure{};
    structure_.kind = kind;
  }
  switch (kind) {
    case DirectiveProcessor::kReservedWords:
      if (isWord(token)) reservedWords_.add(token, languages);
      break;
    case DirectiveProcessor::kClassDefinitions:
      classEntry(token, languages);
      break;
    case DirectiveProcessor::kTypes:
      typeEntry(reader, token, languages);
      break;
  }
}

// "namespace" NAME, '{' and '}': true when the token was one of them. A
// '}' goes back to the prefix its '{' found, so that nested namespaces
// close one at a time.
bool SettingsParser::structureToken(const std::string& token) {
  Structure& s = structure_;
  if (token == "namespace") {
    s.namespaceNext = true;
  } else if (s.namespaceNext && isWord(token)) {
    s.namespaceNext = false;
    s.prefixBefore = s.prefix.size();
    s.prefix = qualified(token);
  } else if (token == "{") {
    s.braces.push_back(s.prefixBefore);
    s.prefixBefore = s.prefix.size();
  } else if (token == "}") {
    if (s.braces.empty()) return true;
    s.prefix.resize(std::min(s.braces.back(), s.prefix.size()));
    s.braces.pop_back();
    if (s.braces.empty()) s.prefix.clear();
    s.prefixBefore = s.prefix.size();
  } else {
    return false;
  }
  return true;
}

std::string SettingsParser::qualified(std::string_view name) const {
  if (structure_.prefix.empty()) return std::string(name);
  return structure_.prefix + "::" + std::string(name);
}

// Class NAME ( member member … ): a class, and variables of that class.
void SettingsParser::classEntry(const std::string& token, std::int32_t languages) {
  Structure& s = structure_;
  if (structureToken(token)) return;
  if (token == "(") {
    ++s.parens;
  } else if (token == ")") {
    if (s.parens > 0) --s.parens;
  } else if (!isWord(token)) {
  } else if (s.parens == 0) {
    s.currentClass = token;
    classes_.addClass(qualified(token), languages);
  } else if (!s.currentClass.empty()) {
    classes_.addVariable(qualified(s.currentClass), token, languages);
  }
}

// NAME [NAME] ( size )   * ( pointer size )   ( * pointer size )
void SettingsParser::typeEntry(SourceReader& reader, const std::string& token,
                               std::int32_t languages) {
  Structure& s = structure_;
  if (structureToken(token)) return;
  if (token == "*") {
    s.pointerNext = true;
  } else if (token == "(") {
    if (++s.parens == 1 && !s.pointerNext) {
      s.sizeClause = true;
      s.waiting = false;
    }
  } else if (token == ")") {
    if (s.parens > 0 && --s.parens == 0) s.sizeClause = false;
  } else if (!isWord(token)) {
  } else if (s.pointerNext) {
    s.pointerNext = false;
    int bytes = leadingDecimal(token);
    if (bytes >= 1) baseTypes_.setPointerSize(bytes);
  } else if (s.sizeClause) {
    typeSize(token, languages);
  } else {
    typeName(reader, token, languages);
  }
}

// A size below 1 is inexact: "_8" stands for about 8 bytes, "0" for unknown.
void SettingsParser::typeSize(const std::string& word, std::int32_t languages) {
  int bytes = leadingDecimal(word);
  bool inexact = bytes < 1;
  if (inexact && word.size() > 1 && word[0] == '_') bytes = leadingDecimal(word.substr(1));
  baseTypes_.registerType(structure_.lastType, TypeTable::kTypedef, bytes, inexact, languages);
}

// A word after a type still without its size joins it ("unsigned int"),
// unless it is "void" or something other than a word came between.
void SettingsParser::typeName(SourceReader& reader, const std::string& word,
                              std::int32_t languages) {
  Structure& s = structure_;
  const std::string& before = reader.parserToken(1);
  std::string name = s.waiting && word != "void" && isWord(before) ? before + " " + word : word;
  s.lastType = qualified(name);
  s.waiting = true;
  baseTypes_.registerType(s.lastType, TypeTable::kTypedef, 0, false, languages);
}

}  // namespace

std::unique_ptr<TokenParser> makeSettingsParser(std::int32_t runLanguages,
                                                ClassDefinitions& classes,
                                                ReservedWordTable& reservedWords,
                                                TypeTable& baseTypes) {
  return std::make_unique<SettingsParser>(runLanguages, classes, reservedWords, baseTypes);
}
