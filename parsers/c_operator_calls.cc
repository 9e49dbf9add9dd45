// Operator calls of C++: an object whose class (or a base of it) declares
// an operator, used with that operator, calls the operator function.
// After the object (`a + b`, `n++;`, `s << x`, `v[i]`, `p->f()`) the
// delimiters up to the next word or ';' spell the operator, and the
// longest of their leading parts that the class declares is the one called
// (`a = -b` calls `=`). Before it (`++it`, `*it`, `!a`) the operator stands
// where no operand ends. An object used as a truth value (`if (a)`, `!a`,
// `a && b`, `a ? x : y`) calls the conversion operator of its class.
#include <cstring>
#include <string_view>
#include <vector>

#include "parsers/c_parser_internal.h"
#include "parsers/member_rule.h"
#include "parsers/parser_context.h"
#include "tables/class_table.h"
#include "tables/function_table.h"
#include "tables/namespace_table.h"
#include "tables/variable_table.h"

namespace {

// The characters that operators one can declare are written with; '(' and
// '[' stand for "()" and "[]".
bool isOperatorCharacter(char c) { return c != 0 && std::strchr("+-*/%^&|~!=<>,[(", c); }

// The operators that stand before their operand and are declared often
// for classes (address-of `&` is left to the language).
bool isPrefixCharacter(char c) { return c != 0 && std::strchr("+-*!~", c); }

// What may follow the last operand of `&&` or `||`, or an object that is
// a condition on its own.
bool endsTruthOperand(const std::string& token) {
  return token == ")" || token == ";" || token == "," || token == "?";
}

// A delimiter that carries on the operand before it (`a.m`, `a->m`, `f(`,
// `v[`, `A::`) rather than ending it.
bool continuesOperand(const std::string& token) {
  return token == "(" || token == "." || token == "[" || token == ":" || token == "-" ||
         token == ">";
}

// Operator names that take no type: `operator new`, `operator delete`.
bool isAllocationOperator(std::string_view name) { return name == "new" || name == "delete"; }

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
  if (TokenTests::isDelimiter(token) && !continuesOperand(token)) truthOperandCall(token);
  if (token == ")" && history_.at(1) != "(") castToBool();
  if (token == "[" && history_.at(1) == ")") {
    // `(*p)[i]`, `f()[i]`: the element operator of the object the
    // parentheses give.
    ObjectType object = objectType(1, 0);
    if (!object.type.empty() && tests_.buildsObjects(object.type)) callOperator(object.type, "[]");
    return;
  }
  if (delimiter && history_.at(1) == "]" && isOperatorCharacter(token[0]) && token != "[" &&
      token != "(") {
    // `v[i] = x`, `(*p)["k"] == y`: the element that the class's
    // operator[] gives is the operand.
    std::string element = elementClass();
    if (!element.empty()) {
      startOperator(std::move(element), token[0], false);
      return;
    }
  }
  if (delimiter && history_.at(1) == "this" && history_.at(2) == "*" &&
      isOperatorCharacter(token[0]) && token != "(" && token != "[" &&
      tests_.buildsObjects(file_.currentClass)) {
    // `*this == o`, `if (c) *this = o`: the object of the member function
    // itself (a pointer is never multiplied).
    startOperator(file_.currentClass, token[0], false);
    return;
  }
  if (history_.at(1) == ")") {
    // `f(a) | g(b)`, `!f()`, `T(x) == y`: the object a call gives, or a
    // temporary. Its class is looked for only when an operator is there.
    int open = history_.matchingOpen(1, "(", ")");
    if (open < 0) return;
    const std::string& op = history_.at(open + 2);
    const std::string& lead = history_.at(open + 3);
    bool prefixed = op.size() == 1 && isPrefixCharacter(op[0]) && !operandEndsWith(lead, true);
    bool followed = delimiter && isOperatorCharacter(token[0]) && token != "(";
    if (!prefixed && !followed) return;
    bool pointer = false;
    std::string result = callResultClass(open, pointer);
    if (result.empty()) return;
    if (pointer) {
      // `*find() = b`, `if (c) *find() = b`: the object the pointer points
      // to, used whole, as `*p` is (no pointer is multiplied).
      if (op != "*" || !(prefixed || lead == ")") || !usesPointeeWhole(token)) return;
    } else if (prefixed) {
      callPrefixOperator(result, op);
    }
    if (followed) startOperator(std::move(result), token[0], false);
    return;
  }
  int prefix = prefixOperatorLength(token);
  // `*it != end` compares what `*it` gives, not the object.
  bool postfix = prefix == 0 && delimiter && operandAt(token);
  if (prefix == 0 && !postfix) {
    // `a.m == b.m`, `p->m = x`: a member object of its class.
    std::string member = delimiter ? memberOperandClass(token) : std::string();
    if (member.empty()) return;
    startOperator(std::move(member), token[0], false);
    return;
  }
  bool object;
  std::string operandClass = classOfOperand(object);
  if (operandClass.empty()) return;
  if (!object) {
    // `*p = x`, `*p == y`: the object a pointer points to, used whole.
    // After ')' the '*' dereferences too (`if (p) *p = x;`): no pointer is
    // multiplied.
    bool star = history_.at(2) == "*" && (prefix == 1 || history_.at(3) == ")");
    if (!star || !delimiter || !usesPointeeWhole(token)) return;
  } else if (prefix > 0) {
    callPrefixOperator(operandClass, std::string(prefix, history_.at(2)[0]));
    return;
  }
  startOperator(std::move(operandClass), token[0], token == "=" && declaratorAt());
}

// The class of what `object[…]` ending at look-back 1 gives, when the
// object's class declares operator[] returning a known class; else empty.
std::string CParser::elementClass() const {
  int open = history_.matchingOpen(1, "[", "]");
  if (open < 0) return std::string();
  int before = open + 1;  // what stands before the '['
  std::string container;
  if (history_.at(before) == ")") {
    container = objectType(before, 0).type;  // (*p)[k], f()[k]
  } else if (tests_.isPlainName(history_.at(before)) &&
             (history_.at(before + 1) == "." || history_.at(before + 1) == ">")) {
    container = memberObjectClass(before);  // a.m[k], p->m[k]
  } else if (tests_.isPlainName(history_.at(before))) {
    // v[k] on an object (not a pointer) of the class; `T v[3] = …`
    // declares an array.
    const std::string& lead = history_.at(before + 1);
    if (!lead.empty() && !TokenTests::isDelimiter(lead) &&
        (!tests_.isReserved(lead) || tests_.isType(lead)))
      return std::string();
    bool object;
    const std::string* type = tables_.variables.typeOf(history_.at(before), file_.currentClass,
                                                       file_.currentFunction, object);
    if (type && object) container = resolveClass(classOfType(*type));
  }
  if (container.empty() || !tests_.buildsObjects(container)) return std::string();
  std::string owner = tables_.classes.resolveMember(container, "[]");
  if (owner.empty()) return std::string();
  const FunctionTable& table = functions();
  int record = table.recordOf(owner + "::[]");
  if (record < 0) return std::string();
  std::string element = resolveClass(classOfType(table.returnTypeOf(table.record(record))));
  return tests_.buildsObjects(element) ? element : std::string();
}

// The class of the object that the call or temporary whose '(' is at
// look-back `open` (ending at look-back 1) gives, `pointer` when the call
// gives a pointer to it; empty for anything else, such as the parentheses
// of `if (…)`, `sizeof (…)` or a cast.
std::string CParser::callResultClass(int open, bool& pointer) const {
  const std::string& callee = history_.at(open + 1);
  if (callee.empty() || TokenTests::isDelimiter(callee) ||
      (tests_.isReserved(callee) && !tests_.isType(callee)))
    return std::string();
  ObjectType result = objectType(1, 0);
  if (result.type.empty() || !tests_.buildsObjects(result.type)) return std::string();
  pointer = result.pointer;
  return result.type;
}

// The class of the member at look-back k, after `.` or `->`, when the
// member is an object of a class the run knows (not a pointer or an
// array); else empty.
std::string CParser::memberObjectClass(int k) const {
  const std::string& before = history_.at(k + 1);
  bool arrow = before == ">" && history_.at(k + 2) == "-";
  if (before != "." && !arrow) return std::string();
  ObjectType outer = objectType(k + (arrow ? 3 : 2), 0);
  if (outer.type.empty()) return std::string();
  const ClassRecord* owner;
  const MemberVariable* m = tables_.classes.findMemberVariable(outer.type, history_.at(k), owner);
  if (!m || !m->object) return std::string();
  std::string cls = classOfObject(m->type, Access::kWhole);
  return tests_.buildsObjects(cls) ? cls : std::string();
}

// `a.m == b`: the class of the member object at look-back 1 when an
// operator character follows it; else empty.
std::string CParser::memberOperandClass(const std::string& token) const {
  if (token == "(" || !isOperatorCharacter(token[0]) || !tests_.isPlainName(history_.at(1)))
    return std::string();
  return memberObjectClass(1);
}

// A plain name at look-back 1 followed by an operator character: not a
// member (`x.a`, `p->a`, `A::a`) and not a call `a(`.
bool CParser::operandAt(const std::string& token) const {
  if (token == "(" || !isOperatorCharacter(token[0])) return false;
  const std::string& name = history_.at(1);
  if (!tests_.isPlainName(name)) return false;
  const std::string& before = history_.at(2);
  return before != "." && before != ":" && !(before == ">" && history_.at(3) == "-");
}

// The name at look-back 1 is being declared: two words in a row (`T a`,
// `ns::T a`), a type's `>` before it, or its `*` or `&` (`T *a`, not the
// `*a` of a statement), or a further declarator of a declaration. Its `=`
// gives it a first value; `==` is an operator.
bool CParser::declaratorAt() const {
  int k = 2;
  // `T* p`, `T const& r`, `T* const p`
  while (history_.at(k) == "*" || history_.at(k) == "&" || history_.at(k) == "const" ||
         history_.at(k) == "volatile")
    ++k;
  const std::string& before = history_.at(k);
  return before == ">" ||
         (!before.empty() && !TokenTests::isDelimiter(before) &&
          (!tests_.isReserved(before) || tests_.isType(before))) ||
         (k == 2 && before == "," && !file_.declaredType.empty());
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
  return operandEndsWith(history_.at(2 + length), length == 1) ? 0 : length;
}

// An operand ends with `lead`: a name or a literal, or (`brackets`) a ')'
// or ']'; an operator after it is a binary one.
bool CParser::operandEndsWith(const std::string& lead, bool brackets) const {
  if (lead == ")" || lead == "]") return brackets;
  return !lead.empty() && !TokenTests::isDelimiter(lead) && !tests_.isReserved(lead);
}

// The operator that `token` starts applies to the object a pointer points
// to, taken whole: `*p = x`, `*p == y` (`*p++`, `*p + 1` and `*p(` are
// rather the pointer's).
bool CParser::usesPointeeWhole(const std::string& token) {
  return isOperatorCharacter(token[0]) && std::strchr("([+-", token[0]) == nullptr;
}

// The class the variable at look-back 1 is (`object`) or points to, when
// the run knows it; else empty.
std::string CParser::classOfOperand(bool& object) const {
  const std::string* type =
      tables_.variables.typeOf(history_.at(1), file_.currentClass, file_.currentFunction, object);
  if (!type) return std::string();
  std::string owner = resolveClass(classOfType(*type));
  return !owner.empty() && tests_.buildsObjects(owner) ? owner : std::string();
}

// The operand's class and the operator's first character; the characters
// after it follow until the next word. Whether the operand stands alone
// before a `&&` or `||` is decided here, where its tokens are at hand.
void CParser::startOperator(std::string operandClass, char first, bool declared) {
  file_.operandClass = std::move(operandClass);
  file_.operatorText[0] = first;
  file_.operatorLength = 1;
  file_.operandDeclared = declared;
  file_.operandAlone = (first == '&' || first == '|') && standsAlone(operandStart());
}

void CParser::testOperator() {
  std::string operandClass = std::move(file_.operandClass);
  file_.operandClass.clear();
  int length = file_.operatorLength;
  file_.operatorLength = 0;
  const char* text = file_.operatorText;
  // `a && b`, `a || b`: never the class's `&` or `|`.
  bool logical = length >= 2 && text[0] == text[1] && (text[0] == '&' || text[0] == '|');
  for (; length > (logical ? 1 : 0); --length) {
    if (!isOperatorCharacter(text[length - 1])) continue;
    std::string symbol(text, length);
    if (symbol == "[") symbol = "[]";
    if (symbol == "=" && file_.operandDeclared) return;
    if (callOperator(operandClass, std::move(symbol))) return;
  }
  if (logical && file_.operandAlone) callTruthConversion(operandClass);
}

// `!a`, `-a`, `++a` on an object: the class's operator; `!a` without one
// tests the object as a truth value.
void CParser::callPrefixOperator(const std::string& operandClass, const std::string& symbol) {
  if (!callOperator(operandClass, symbol) && symbol == "!") callTruthConversion(operandClass);
}

// ---------------------------------------------------------------------------
// Truth values

// `if (a)`, `while (a.m)`, `x && f()` before ')' ';' ',' and `a ?`, and
// `!a.m`, `!v[i]` before any operator: the object ending at look-back 1 is
// tested as a truth value. The left operand of `&&` and `||` is tested
// when its operator is read (testOperator), `!a` and `!f()` as prefixes.
void CParser::truthOperandCall(const std::string& token) {
  int start = postfixChainStart(1);
  if (start < 0) return;
  const std::string& before = history_.at(start + 1);
  if (token == ";" && before == "return") returnedCopy(start);
  if (before == "!") {
    bool prefixRead =
        history_.at(1) == ")" ? history_.matchingOpen(1, "(", ")") + 1 == start : start == 1;
    std::string operandClass = prefixRead ? std::string() : wholeObjectClass();
    if (!operandClass.empty()) callPrefixOperator(operandClass, "!");
    return;
  }
  if (!endsTruthOperand(token)) return;
  bool condition = token == ")" && before == "(" &&
                   (history_.at(start + 2) == "if" || history_.at(start + 2) == "while");
  bool tested = token == "?" ? standsAlone(start) : condition || logicalOperatorAt(start + 1);
  // `return a;` from a function that returns bool.
  tested = tested || (token == ";" && before == "return" && returnsBool());
  if (!tested) return;
  std::string operandClass = wholeObjectClass();
  if (!operandClass.empty()) callTruthConversion(operandClass);
}

// `static_cast<bool>(x)`, its ')' the token being read: x, an object or
// `*this`, is tested as a truth value.
void CParser::castToBool() {
  int open = history_.matchingOpen(0, "(", ")");
  if (open < 2 || history_.at(open + 1) != ">" || history_.at(open + 2) != "bool" ||
      history_.at(open + 3) != "<" || !TokenTests::isCastKeyword(history_.at(open + 4)))
    return;
  std::string operandClass;
  if (open == 3 && history_.at(2) == "*" && history_.at(1) == "this")
    operandClass = file_.currentClass;
  else if (postfixChainStart(1) == open - 1)
    operandClass = wholeObjectClass();
  if (!operandClass.empty() && tests_.buildsObjects(operandClass))
    callTruthConversion(operandClass);
}

// The return type of the function being read, as written; empty when the
// table has none.
std::string_view CParser::currentReturnType() const {
  const FunctionTable& table = functions();
  int record = table.recordOf(table.qualifiedKey(callerParts()));
  return record < 0 ? std::string_view() : table.returnTypeOf(table.record(record));
}

// The return type of the function being read is bool.
bool CParser::returnsBool() const {
  std::string_view type = currentReturnType();
  return type == "bool" || (type.size() > 5 && type.substr(type.size() - 5) == " bool");
}

// `return x;` from a function that returns an object of a class (not a
// pointer or a reference), where x outlives the call (a member, an
// element, a parameter): a constructor of that class makes the returned
// object from it. A local object and what a call gives are the returned
// object itself.
void CParser::returnedCopy(int start) {
  if (history_.at(1) == ")") return;
  const std::string& name = history_.at(1);
  if (start == 1 && !isParameter(name)) {
    const ClassRecord* owner;
    if (file_.currentClass.empty() ||
        !tables_.classes.findMemberVariable(file_.currentClass, name, owner))
      return;
  }
  std::string_view written = currentReturnType();
  if (written.empty() || written.find_first_of("*&") != std::string_view::npos) return;
  std::string returned = classOfReturnType(written, file_.currentClass);
  if (!returned.empty() && functions().isStructorWritten(returned, false))
    callStructor(returned, false, kKindCall);
}

// The class of the object (no pointer to one) that the name, member, call
// or element ending at look-back 1 gives; empty when the run knows none.
std::string CParser::wholeObjectClass() const {
  const std::string& last = history_.at(1);
  if (last == ")") {
    int open = history_.matchingOpen(1, "(", ")");
    bool pointer = false;
    std::string result = open < 0 ? std::string() : callResultClass(open, pointer);
    return pointer ? std::string() : result;
  }
  if (last == "]") return elementClass();
  if (history_.at(2) == "." || (history_.at(2) == ">" && history_.at(3) == "-"))
    return memberObjectClass(1);
  if (history_.at(2) == ":") return std::string();
  bool object = false;
  std::string found = classOfOperand(object);
  return object ? found : std::string();
}

// The first token of the operand that ends at look-back 1 and was found
// to be an object: its chain, and the `*` that dereferences a pointer.
int CParser::operandStart() const {
  int start = postfixChainStart(1);
  if (start < 0) start = 1;
  while (history_.at(start + 1) == "*") ++start;
  return start;
}

// The operand starting at look-back `start` is whole where it stands: after
// an opening, a separator, an assignment, `return`, or an operator that
// binds less than `&&` and `||`.
bool CParser::standsAlone(int start) const {
  const std::string& before = history_.at(start + 1);
  if (before == "(" || before == "," || before == "?" || before == ":" || before == ";" ||
      before == "{" || before == "}" || before == "return" || logicalOperatorAt(start + 1))
    return true;
  // `x = a` assigns; `x == a`, `x += a` compare or compute.
  return before == "=" && operandEndsWith(history_.at(start + 2), true);
}

// `&&` or `||` ends at look-back k, after an operand (`T&& r` declares a
// reference).
bool CParser::logicalOperatorAt(int k) const {
  const std::string& op = history_.at(k);
  if ((op != "&" && op != "|") || history_.at(k + 1) != op) return false;
  const std::string& lead = history_.at(k + 2);
  return operandEndsWith(lead, true) && !tests_.isType(lead);
}

// The object of the class is tested as a truth value: the conversion
// operator that the class (or a base) declares, the one to bool among
// several; none when it declares several others.
void CParser::callTruthConversion(const std::string& operandClass) {
  std::vector<std::string> conversions;
  std::vector<std::string> visited;
  conversionOperators(operandClass, conversions, visited);
  if (conversions.empty()) return;
  if (conversions.size() == 1) {
    callOperator(operandClass, conversions[0]);
    return;
  }
  for (const std::string& type : conversions)
    if (type == "bool") callOperator(operandClass, type);
}

// The types of the conversion operators (`operator bool`, `operator T*`)
// that the class and its bases declare, each once.
void CParser::conversionOperators(const std::string& className, std::vector<std::string>& found,
                                  std::vector<std::string>& visited) const {
  if (visited.size() > 64) return;
  for (const std::string& v : visited)
    if (v == className) return;
  visited.push_back(className);
  const ClassTable& classes = tables_.classes;
  int position;
  if (!classes.findClass(className, position)) return;
  const FunctionTable& table = functions();
  for (const std::string& method : classes.record(position).methods) {
    if (method.empty() || TokenTests::isDelimiter(method) || isAllocationOperator(method)) continue;
    int record = table.recordOf(className + "::" + method);
    if (record < 0 || !(table.record(record).flags & FunctionFlag::kOperator)) continue;
    bool known = false;
    for (const std::string& f : found) known = known || f == method;
    if (!known) found.push_back(method);
  }
  for (int i = 0, n = classes.baseCount(className); i < n; ++i) {
    std::string base = resolveClass(classes.baseName(className, i));
    if (!base.empty()) conversionOperators(base, found, visited);
  }
}

// The call of `symbol` of the class or of the base that declares it, else
// of the operator function of the class's namespace that the run knows
// (`bool operator==(const Slice&, const Slice&)` beside class Slice).
bool CParser::callOperator(const std::string& operandClass, std::string symbol) {
  DeclInfo callee;
  callee.className = tables_.classes.resolveMember(operandClass, symbol);
  if (callee.className.empty()) {
    std::string space = enclosingNamespace(operandClass);
    if (!functions().exists(space.empty() ? symbol : space + "::" + symbol)) return false;
    callee.nameSpace = std::move(space);
  }
  callee.name = std::move(symbol);
  functions().SetChainAto(callerParts(), keyPartsOf(callee), kKindCall);
  return true;
}
