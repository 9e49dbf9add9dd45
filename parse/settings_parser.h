// The parser of the settings data file "Mizenta設定.dat": it takes the
// entries its reader hands over (C tokens outside directives and switched-
// off lines) and files each by the kind the file is in ("MZ設定Mode"):
// reserved words into the run's reserved-word table, types with their sizes
// and the pointer size into the settings types (baseTypes), and class and
// variable definitions into a record that the run keeps and registers in
// the tables of the files that use classes. An entry counts only when the
// languages of its section share a bit with the languages of the run.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class TokenParser;

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
// through position lists kept in name order, so that a long file costs no
// walk per entry.
class ClassDefinitions {
 public:
  void addClass(std::string_view name, std::int32_t languages);
  void addVariable(std::string_view type, std::string_view name, std::int32_t languages);
  const std::vector<ClassDefinition>& classes() const { return classes_; }
  const std::vector<VariableDefinition>& variables() const { return variables_; }

 private:
  std::vector<ClassDefinition> classes_;
  std::vector<VariableDefinition> variables_;
  std::vector<int> classOrder_;     // positions in classes_, by name
  std::vector<int> variableOrder_;  // positions in variables_, by type and name
};

// The parser of one reading of the file for a run of `runLanguages`
// (LanguageMode bits); `classes` must outlive it.
std::unique_ptr<TokenParser> makeSettingsParser(std::int32_t runLanguages,
                                                ClassDefinitions& classes);
