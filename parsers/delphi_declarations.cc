// `names: Type` declarations of parameters, locals, globals, class fields
// and record fields: at the ';', '=' or ')' that ends one, the names before
// the ':' are registered with the type after it.
#include "context/text_util.h"
#include "parsers/parser_context.h"
#include "parsers/delphi_parser_internal.h"
#include "tables/variable_table.h"

namespace word = delphi_word;

namespace {

// How far back a declaration's ':' may stand.
constexpr int kLongestDeclaration = 40;

bool everyDimensionIsARange(std::string_view bounds) {
  if (bounds.empty()) return false;
  for (size_t start = 0;;) {
    size_t comma = bounds.find(',', start);
    std::string_view dim =
        bounds.substr(start, comma == std::string_view::npos ? comma : comma - start);
    if (dim.find("..") == std::string_view::npos) return false;
    if (comma == std::string_view::npos) return true;
    start = comma + 1;
  }
}

}  // namespace

// The bounds of the `[…]` groups between look-back `from` and `end`, one
// text joined by ',' (`array[1..5] of array[0..2] of T` -> "1..5,0..2";
// `string[20]` -> "20").
std::string DelphiParser::declaredBounds(int from, int end) const {
  std::string bounds;
  int depth = 0;
  for (int j = from; j >= end; --j) {
    const std::string& t = history_.at(j);
    if (t == "[") {
      if (depth++ == 0 && !bounds.empty()) bounds += ',';
      if (depth == 1) continue;
    } else if (t == "]") {
      if (--depth == 0) continue;
      if (depth < 0) return std::string();
    }
    if (depth > 0) bounds += t;
  }
  return depth == 0 ? bounds : std::string();
}

// The type text between the ':' and look-back `end`, and the ':' position
// through `colon` (-1 when none stands before the end of the walk).
// `array [0..9] of T` and `set of T` are of type T; `bounds` gets the
// bounds of the arrays (and of a `string[n]`), empty when there are none.
std::string DelphiParser::declaredType(int end, int& colon, std::string& bounds) const {
  bounds.clear();
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
  bounds = declaredBounds(k - 1, end);
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
  std::string bounds;
  std::string type = declaredType(1, colon, bounds);
  if (type.empty()) return;
  // The bounds stay with the name, so that the variable's size counts its
  // elements (or a short string's characters). An array indexed by a type
  // (`array[Boolean] of T`, an enumeration) keeps the element's size.
  if (!equalsIgnoreCase(type, "string") && !everyDimensionIsARange(bounds)) bounds.clear();
  const std::string written = bounds.empty() ? std::string() : "[" + bounds + "]";
  int level = file_.braceDepth + (function.empty() ? 0 : 1);
  int flags = parameter ? 0 : VariableTable::kDeclaration;
  for (int k = colon + 1;; k += 2) {
    const std::string& name = history_.at(k);
    if (tests_.isPlainName(name))
      tables_.variables.registerVariable(type, name + written, level, flags, className, function);
    if (history_.at(k + 1) != ",") break;
  }
}
