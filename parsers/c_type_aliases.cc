// C++ type aliases of classes: `typedef A B;`, `typedef ns::A<T>* P;` and
// `using B = A;` make B (qualified like a class declared where it stands)
// name the class A, so that objects declared with B have A's members, and
// `B::Inner` is A's nested class. The class table keeps them, as it keeps
// the classes, for the headers read by parsers of their own.
#include "parsers/c_parser_internal.h"
#include "parsers/member_rule.h"
#include "parsers/parser_context.h"
#include "scan/lexical_rules.h"
#include "tables/class_table.h"

namespace {

// Words of a type that name no type of their own.
bool isAliasModifier(std::string_view w) {
  static const std::string_view kWords[] = {"const", "volatile", "typename", "struct",
                                            "class", "union",    "enum"};
  for (std::string_view k : kWords)
    if (w == k) return true;
  return false;
}

// The class an alias's target names, without the template's arguments
// that a template alias keeps (`std::shared_ptr<Ref>`).
std::string_view targetClass(const std::string& target) {
  return std::string_view(target).substr(0, target.find('<'));
}

}  // namespace

// One token of an alias's statement: names and `::` build qualified words
// (the last word is `aliasWord`, the one before it `aliasType`: in
// `typedef ns::A B` the type and the new name), template arguments are
// passed over.
bool CParser::noteAliasToken(const std::string& token) {
  if (token == "<") {
    ++file_.aliasAngle;
    return true;
  }
  if (file_.aliasAngle > 0) {
    if (token == ">") --file_.aliasAngle;
    return true;
  }
  std::string& word = file_.aliasWord;
  if (token == ":") {
    word += ':';
  } else if (!isDelimiterToken(token) && !isAliasModifier(token)) {
    if (!word.empty() && word.back() != ':') {
      file_.aliasType = std::move(word);
      word.clear();
    }
    word += token;
  }
  return false;
}

// `typeEnd`: the look-back where the aliased type's text ends, 0 when it
// is not at hand. An alias of a template keeps its arguments
// (`typedef std::shared_ptr<Ref> RefPtr;`), so that what the template holds
// is reached through the alias as through the template written out.
void CParser::registerClassAlias(const std::string& name, const std::string& type, int typeEnd) {
  std::string target = resolveClass(type);
  std::string arguments;
  if (typeEnd > 0) {
    bool afterParen;
    std::string text = collectType(typeEnd, afterParen);
    size_t open = text.find('<');
    if (open != std::string::npos && !templateArgument(text, 0).empty())
      arguments = text.substr(open);
  }
  if (target.empty() && arguments.empty()) return;
  std::string alias = nestedName(name);
  if (target == alias) return;
  // `typedef A* P;`: P(x) converts a pointer and builds no A.
  int k = typeEnd;
  while (k > 0 && (history_.at(k) == "const" || history_.at(k) == "volatile")) ++k;
  bool pointer = k > 0 && (history_.at(k) == "*" || history_.at(k) == "&");
  tables_.classes.addAlias(alias, (target.empty() ? type : target) + arguments, pointer);
}

// `using a::b::C;` at its ';': C names the class a::b::C here.
void CParser::usingDeclaration() {
  const std::string& name = history_.at(1);
  int before;
  std::string qualifier = qualifiedPrefix(2, before);
  if (qualifier.empty() || history_.at(before) != "using" || !tests_.isPlainName(name)) return;
  registerClassAlias(name, qualifier + "::" + name);
}

// State 19: `using Name = type ;`
void CParser::usingAliasState(const std::string& token) {
  if (token == "\n" || noteAliasToken(token)) return;
  if (token == "(") file_.aliasName.clear();  // `R (*)(A)`: a function's type, no class
  if (token == ";") {
    if (!file_.aliasName.empty()) registerClassAlias(file_.aliasName, file_.aliasWord, 1);
    leaveState();
  } else if (token == "{" || token == "}") {
    leaveState();
  }
}

std::string CParser::classOrAlias(const std::string& name) const {
  const ClassTable& classes = tables_.classes;
  if (name.empty()) return std::string();
  if (classes.exists(name)) return name;
  if (!classes.hasAliases()) return std::string();
  if (const std::string* whole = classes.aliasTarget(name)) {
    std::string_view plain = targetClass(*whole);
    return classes.exists(plain) ? std::string(plain) : std::string();
  }
  // Alias::Inner
  for (size_t cut = name.rfind("::"); cut != std::string::npos && cut > 0;
       cut = name.rfind("::", cut - 1)) {
    const std::string* part = classes.aliasTarget(name.substr(0, cut));
    if (!part) continue;
    std::string inner = std::string(targetClass(*part)) + name.substr(cut);
    return classes.exists(inner) ? inner : std::string();
  }
  return std::string();
}
