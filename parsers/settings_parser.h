// The parser of the settings data file "Mizenta設定.dat": each entry its
// reader hands over goes, by the file's entry kind ("MZ設定Mode"), to the
// reserved words, to the settings types (sizes, the pointer size), or to
// the class and object definitions that the run keeps for its files. An
// entry counts only when its section shares a language with the run.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class ReservedWordTable;
class TokenParser;
class TypeTable;

struct ClassDefinition {
  std::string name;  // "ns::Name" inside a namespace
  std::int32_t languages = 0;
};

struct VariableDefinition {
  std::string type;  // the class it was listed under, with its namespace
  std::string name;
  std::int32_t languages = 0;
};

// The class and variable definitions of the file, in the order first met.
// One record per class name and per (type, name) under the run's name
// comparison; a repeated definition only gains languages. Looked up
// through trees in name order, so that a long file costs no walk per entry
// and no move of the entries after a new one.
class ClassDefinitions {
 public:
  void addClass(std::string_view name, std::int32_t languages);
  void addVariable(std::string_view type, std::string_view name, std::int32_t languages);
  const std::vector<ClassDefinition>& classes() const { return classes_; }
  const std::vector<VariableDefinition>& variables() const { return variables_; }

 private:
  using VariableKey = std::pair<std::string, std::string>;  // type, name
  struct NameLess {
    bool operator()(std::string_view a, std::string_view b) const;
    bool operator()(const VariableKey& a, const VariableKey& b) const;
  };
  std::vector<ClassDefinition> classes_;
  std::vector<VariableDefinition> variables_;
  std::map<std::string, int, NameLess> classOrder_;     // positions in classes_
  std::map<VariableKey, int, NameLess> variableOrder_;  // positions in variables_
};

// The parser of one reading of the file for a run of `runLanguages`
// (LanguageMode bits): reserved words into `reservedWords`, types into
// `baseTypes`, classes into `classes`; all three must outlive it.
std::unique_ptr<TokenParser> makeSettingsParser(std::int32_t runLanguages,
                                                ClassDefinitions& classes,
                                                ReservedWordTable& reservedWords,
                                                TypeTable& baseTypes);
