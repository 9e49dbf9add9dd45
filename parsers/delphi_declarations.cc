// `names: Type` declarations of parameters, locals, globals, class fields
// and record fields: at the ';', '=' or ')' that ends one, the names before
// the ':' are registered with the type after it.
#include "parsers/parser_context.h"
#include "parsers/delphi_parser_internal.h"
#include "tables/variable_table.h"

namespace word = delphi_word;

namespace {

// How far back a declaration's ':' may stand.
constexpr int kLongestDeclaration = 40;

}  // namespace

// The type text between the ':' and look-back `end`, and the ':' position
// through `colon` (-1 when none stands before the end of the walk).
// `array [0..9] of T` and `set of T` are of type T.
std::string DelphiParser::declaredType(int end, int& colon) const {
  colon = -1;
  int k = end;
  for (; k < end + kLongestDeclaration; ++k) {
    const std::string& t = history_.at(k);
    if (t == ":") break;
    if (t.empty() || t == ";" || t == "(" || t == ")" || t == "=" ||
        (delphiWordsOf(t) & word::kOutsideDeclaration))
      return std::string();
  }
  if (history_.at(k) != ":") return std::string();
  colon = k;
  int from = k - 1;
  for (int j = k - 1; j >= end; --j)
    if (is(history_.at(j), "of")) from = j - 1;
  std::string type;
  bool lastWasWord = false;
  for (int j = from; j >= end; --j) {
    const std::string& t = history_.at(j);
    if (t == "[") break;  // `string[20]`: the bounds are no part of the type
    bool word = !TokenTests::isDelimiter(t);
    if (word && lastWasWord) type += ' ';
    type += t;
    lastWasWord = word;
  }
  return type;
}

// name {',' name} ':' type, ended by the current token.
void DelphiParser::declaration(const std::string& className, const std::string& function,
                               bool parameter) {
  int colon;
  std::string type = declaredType(1, colon);
  if (type.empty()) return;
  int level = file_.braceDepth + (function.empty() ? 0 : 1);
  int flags = parameter ? 0 : VariableTable::kDeclaration;
  for (int k = colon + 1;; k += 2) {
    const std::string& name = history_.at(k);
    if (tests_.isPlainName(name))
      tables_.variables.registerVariable(type, name, level, flags, className, function);
    if (history_.at(k + 1) != ",") break;
  }
}
