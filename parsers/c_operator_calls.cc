// Operator calls of C++: an object whose class (or a base of it) declares
// an operator, used with that operator, calls the operator function.
// After the object (`a + b`, `n++;`, `s << x`, `v[i]`, `p->f()`) the
// delimiters up to the next word or ';' spell the operator, and the
// longest of their leading parts that the class declares is the one called
// (`a = -b` calls `=`). Before it (`++it`, `*it`, `!a`) the operator stands
// where no operand ends.
#include <cstring>

#include "parsers/c_parser_internal.h"
#include "parsers/member_rule.h"
#include "parsers/parser_context.h"
#include "tables/class_table.h"
#include "tables/function_table.h"
#include "tables/variable_table.h"

namespace {

// The characters that operators one can declare are written with; '(' and
// '[' stand for "()" and "[]".
bool isOperatorCharacter(char c) { return c != 0 && std::strchr("+-*/%^&|~!=<>,[(", c); }

// The operators that stand before their operand and are declared often
// for classes (address-of `&` is left to the language).
bool isPrefixCharacter(char c) { return c != 0 && std::strchr("+-*!~", c); }

}  // namespace

void CParser::operatorCall(const std::string& token) {
  bool delimiter = TokenTests::isDelimiter(token) && token != ";";
  if (!file_.operandClass.empty()) {
    if (delimiter) {
      if (file_.operatorLength < 3) file_.operatorText[file_.operatorLength++] = token[0];
      return;
    }
    testOperator();
  }
  if (!file_.inBody || file_.currentFunction.empty() || file_.headerPending) return;
  int prefix = prefixOperatorLength(token);
  // `*it != end` compares what `*it` gives, not the object.
  bool postfix = prefix == 0 && delimiter && operandAt(token);
  if (prefix == 0 && !postfix) return;
  std::string operandClass = classOfOperand();
  if (operandClass.empty()) return;
  if (prefix > 0) {
    callOperator(operandClass, std::string(prefix, history_.at(2)[0]));
    return;
  }
  file_.operandClass = std::move(operandClass);
  file_.operatorText[0] = token[0];
  file_.operatorLength = 1;
}

// A plain name at look-back 1 followed by an operator character: not a
// member (`x.a`, `p->a`, `A::a`), not a call `a(`, and not a variable
// being declared with an initial value (`T a = b;`).
bool CParser::operandAt(const std::string& token) const {
  if (token == "(" || !isOperatorCharacter(token[0])) return false;
  const std::string& name = history_.at(1);
  if (!tests_.isPlainName(name)) return false;
  const std::string& before = history_.at(2);
  if (before == "." || before == ":" || (before == ">" && history_.at(3) == "-")) return false;
  if (token == "=") {
    // Two words in a row (`T a =`, `ns::T a =`) or a type's `>`, `*`, `&`
    // before the name: a declarator.
    bool declarator = before == "*" || before == "&" || before == ">" ||
                      (!before.empty() && !TokenTests::isDelimiter(before) &&
                       (!tests_.isReserved(before) || tests_.isType(before))) ||
                      (before == "," && !file_.declaredType.empty());
    if (declarator) return false;
  }
  return true;
}

// The length of the operator before the plain name at look-back 1 (`*a`,
// `++a`), where what precedes the operator ends no operand (`x * a` is
// the other operator); 0 for none. A name used as a call, a member or an
// element (`*a(`, `*a.b`, `*a[i]`) is no operand of its own.
int CParser::prefixOperatorLength(const std::string& token) const {
  const std::string& op = history_.at(2);
  if (op.size() != 1 || !isPrefixCharacter(op[0])) return 0;
  if (token == "(" || token == "." || token == "[" || token == ":" || token == ">") return 0;
  if (!tests_.isPlainName(history_.at(1))) return 0;
  int length = (op == "+" || op == "-") && history_.at(3) == op ? 2 : 1;
  // `if (c) ++a;`: no operand ends in ')' right before `++` or `--`.
  const std::string& lead = history_.at(2 + length);
  bool operandEnds = (length == 1 && (lead == ")" || lead == "]")) ||
                     (!lead.empty() && !TokenTests::isDelimiter(lead) && !tests_.isReserved(lead));
  return operandEnds ? 0 : length;
}

// The class of the variable at look-back 1, when it is an object (not a
// pointer or an array) of a class the run knows; else empty.
std::string CParser::classOfOperand() const {
  const std::string* type =
      tables_.variables.objectTypeOf(history_.at(1), file_.currentClass, file_.currentFunction);
  if (!type) return std::string();
  std::string owner = resolveClass(classOfType(*type));
  return !owner.empty() && tests_.isKnownClass(owner) ? owner : std::string();
}

void CParser::testOperator() {
  std::string operandClass = std::move(file_.operandClass);
  file_.operandClass.clear();
  int length = file_.operatorLength;
  file_.operatorLength = 0;
  for (; length > 0; --length) {
    if (!isOperatorCharacter(file_.operatorText[length - 1])) continue;
    std::string symbol(file_.operatorText, length);
    if (symbol == "[") symbol = "[]";
    if (callOperator(operandClass, std::move(symbol))) return;
  }
}

// The call of `symbol` of the class or of the base that declares it.
bool CParser::callOperator(const std::string& operandClass, std::string symbol) {
  std::string owner = tables_.classes.resolveMember(operandClass, symbol);
  if (owner.empty()) return false;
  DeclInfo callee;
  callee.className = std::move(owner);
  callee.name = std::move(symbol);
  functions().SetChainAto(callerParts(), keyPartsOf(callee), kKindCall);
  return true;
}
