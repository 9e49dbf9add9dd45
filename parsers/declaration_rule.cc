// The declaration rule of the C-family statement machine: at `,`, `;`, `=`
// or a closing `)` the name before it may be a declared variable (or a
// function-pointer variable) whose type stands before it.
#include <algorithm>
#include <array>

#include "parsers/parser_context.h"
#include "parsers/c_parser_internal.h"
#include "parsers/member_rule.h"
#include "scan/lexical_rules.h"
#include "tables/class_table.h"
#include "tables/namespace_table.h"
#include "tables/type_table.h"
#include "tables/variable_table.h"
#include "scan/source_reader.h"
#include "tables/function_table.h"

namespace {

bool isNameToken(const std::string& t) { return !t.empty() && !isDelimiterToken(t); }

// Words that end a type collected backwards.
bool endsType(const std::string& t) {
  return t == "extern" || t == "class" || t == "public" || t == "private" || t == "protected";
}

// The bytes of operators, which no Java type holds.
constexpr std::array<bool, 256> kOperatorBytes = [] {
  std::array<bool, 256> bytes{};
  for (unsigned char c : std::string_view("&|=+-*/!%^~()")) bytes[c] = true;
  return bytes;
}();

}  // namespace

CParser::Built CParser::builtBy(const std::string& declarationEnd) {
  return declarationEnd == "=" ? Built::kByInitialiser : Built::kHere;
}

// type [*…] name ['[' … ']'] (',' | ';' | '=' | ')')
void CParser::declarationRule(const std::string& token, const std::string& givenType) {
  int position;
  std::string name, bare;
  if (!declaredName(position, name, bare)) return;
  int k = position + 1;
  for (;; ++k) {
    const std::string& mark = history_.at(k);
    // C++ `T* const p`: the pointer is constant, the type is T's.
    const std::string& next = history_.at(k + 1);
    if (isCpp() && (mark == "const" || mark == "volatile") && (next == "*" || next == "&"))
      continue;
    if (mark != "*" && mark != "&") break;
    name.insert(0, mark);
  }
  bool insideParens = file_.parenDepth > 0 || token == ")";
  int nameDepth = token == ")" ? file_.parenDepth + 1 : file_.parenDepth;
  if (!file_.declaredType.empty()) {
    // A further declarator of the same statement: `int a, *b;`. A comma
    // inside the parentheses of an initialiser (`int n = f(a, b);`) does
    // not separate declarators.
    if (history_.at(k) == "," && nameDepth == file_.declaredTypeParens)
      registerVariable(file_.declaredType, name, insideParens, false, builtBy(token),
                       file_.declaredTypeStatic);
    return;
  }
  if (isJava() && k != position + 1) return;  // `a && b)`: no declaration in Java
  std::string type = givenType;
  bool afterParen = false;
  if (type.empty()) type = collectType(k, afterParen);
  if (type.empty()) return;
  if (tables_.types.findType(type, TypeTable::FindMode::kFunctionPointer)) {
    // A parameter of a header or prototype (`int each(VISITOR v, …)`) is
    // never a function, whatever its type.
    bool parameter = insideParens && (!file_.inBody || file_.headerPending);
    if (!parameter) registerFunctionPointer(bare);
    return;
  }
  type = hasClasses() ? classLanguageType(type) : knownType(type) ? type : std::string();
  if (type.empty()) return;
  bool once = isCpp() && declaredStatic(k);  // only C++ objects are built
  registerVariable(type, name, insideParens, afterParen, builtBy(token), once);
  // The parameters of a member's header each have their own type: `int a,
  // Foo b` does not make b an int.
  bool memberParameters = hasClasses() && insideParens && (!file_.inBody || file_.headerPending);
  if ((file_.braceDepth != 0 || file_.parenDepth == 0) && !memberParameters) {
    file_.declaredType = type;
    file_.declaredTypeParens = nameDepth;
    file_.declaredTypeStatic = once;
  }
}

// `auto x = chain;` (`const auto& x`, `auto* p`, also in `for (…;` and
// `if (…)`): x has the class of what the chain gives, a pointer where the
// chain's call returns one or makes a `new` object. The object comes from
// the call, so no constructor of this function builds it.
void CParser::autoDeclarationEnd(const std::string& token) {
  if (!isCpp() || token == "=" || !file_.inBody || file_.currentFunction.empty()) return;
  int start = postfixChainStart(1);
  if (start < 0) return;
  bool made = history_.at(start + 1) == "new";
  int k = start + (made ? 2 : 1);
  if (history_.at(k) != "=" || !tests_.isPlainName(history_.at(k + 1))) return;
  std::string name = history_.at(k + 1);
  for (k += 2;; ++k) {
    const std::string& mark = history_.at(k);
    if (mark == "*" || mark == "&")
      name.insert(0, mark);
    else if (mark != "const")
      break;
  }
  if (history_.at(k) != "auto") return;
  ObjectType object = objectType(1, 0);
  if (object.type.empty() || !tests_.isKnownClass(object.type)) return;
  if ((made || object.pointer) && name[0] != '*') name.insert(0, "*");
  registerVariable(object.type, name, file_.parenDepth > 0 || token == ")", false,
                   Built::kElsewhere);
}

// The declared name at look-back 1, or `name[…]` ending there. `position`
// is where the name stands, `bare` the name alone.
bool CParser::declaredName(int& position, std::string& name, std::string& bare) const {
  const std::string& last = history_.at(1);
  if (last != "]") {
    if (last.empty() || TokenTests::isDelimiter(last) || tests_.isReserved(last) ||
        TokenTests::isDigit(last))
      return false;
    position = 1;
    name = bare = last;
    return true;
  }
  position = history_.skipBracketBack(1);
  if (position < 0) return false;
  bare = history_.at(position);
  if (tests_.isReserved(bare) || TokenTests::isDigit(bare)) return false;
  name.clear();
  for (int k = position; k >= 1; --k) {
    const std::string& t = history_.at(k);
    if (!name.empty() && isNameToken(t) && isNameToken(history_.at(k + 1))) name += ' ';
    name += t;
  }
  return true;
}

// Backwards from look-back n: names, `A::B` and `<…>` lists; empty macros
// are passed over. `afterParen`: the type follows a ')'. The walk first
// finds the tokens and builds the text only when the `<…>` lists closed:
// a comparison such as `a > b` opens a list that never closes, and walks
// back over the whole history.
std::string CParser::collectType(int n, bool& afterParen) const {
  std::array<int, TokenHistory::kDeepest + 1> taken;
  int count = 0;
  int templateDepth = 0;
  int k = n;
  for (; k <= TokenHistory::kDeepest; ++k) {
    const std::string& t = history_.at(k);
    if (t.empty()) break;
    if (templateDepth > 0) {
      if (t == ">") ++templateDepth;
      if (t == "<") --templateDepth;
    } else if (t == ">") {
      ++templateDepth;
    } else if (isNameToken(t)) {
      if (endsType(t)) break;
      if (tests_.isEmptyMacro(t)) continue;
    } else if (t == ":") {
      // `A::B` is one type; a lone ':' ends an access label (`public:`)
      // or a base list, and the type starts after it.
      if (history_.at(k + 1) != ":" && history_.at(k - 1) != ":") break;
    } else if (!(isJava() && (t == "[" || t == "]"))) {
      break;
    }
    taken[count++] = k;
  }
  afterParen = history_.at(k) == ")";
  std::string type;
  if (templateDepth != 0) return type;
  bool lastWasName = false;
  for (int i = count - 1; i >= 0; --i) {  // oldest first
    const std::string& t = history_.at(taken[i]);
    bool name = isNameToken(t);
    if (name && lastWasName) type += ' ';
    type += t;
    lastWasName = name;
  }
  return type;
}

// Known to the type table as a whole or by its last word, or a const type.
bool CParser::knownType(const std::string& type) const {
  if (type.rfind("const", 0) == 0 || tests_.isType(type)) return true;
  size_t space = type.rfind(' ');
  return space != std::string::npos && tests_.isType(type.substr(space + 1));
}

// The type a C++ or Java declaration registers, or empty when the
// declaration is none. C++: a type the table knows, as written or under a
// namespace around it or of a using directive. Java: any type whose words
// are no keywords (`int` and `return x` declare nothing that has methods,
// and every other `Type name` is a declaration), annotations left out.
std::string CParser::classLanguageType(const std::string& type) const {
  if (isCpp()) {
    if (type.back() == ':') return std::string();  // an access label
    if (knownType(type)) return type;
    return resolveTypeName(type);
  }
  // Java marks no pointers, and a type holds no operator: `a && b[i])`
  // and `if (a < b && c > d)` declare nothing.
  for (unsigned char c : type)
    if (kOperatorBytes[c]) return std::string();
  std::string kept;
  bool named = false;
  int angle = 0;
  size_t i = 0;
  while (i < type.size()) {
    size_t end = type.find(' ', i);
    if (end == std::string::npos) end = type.size();
    std::string_view word(type.data() + i, end - i);
    i = end + 1;
    for (char c : word) angle += c == '<' ? 1 : c == '>' ? -1 : 0;
    if (word.empty() || word[0] == '@') continue;
    std::string_view head = word.substr(0, word.find_first_of("<[.,"));
    bool modifier = TokenTests::isModifier(head);
    // `int`, `boolean` … are reserved words of Java and types all the same.
    if (!head.empty() && !modifier && !isJavaPrimitive(head) && tests_.isReserved(head) &&
        angle == 0)
      return std::string();
    named |= !modifier;
    if (!kept.empty()) kept += ' ';
    kept += word;
  }
  return named ? kept : std::string();
}

// A variable of a function-pointer type: a reference inside a function,
// a function of its own outside (so that `= f` is read as its callee).
void CParser::registerFunctionPointer(const std::string& name) {
  // Inside a header's parentheses the name is no variable being
  // initialised: marking it would close the header like a body at its `;`.
  bool parameter = !file_.currentFunction.empty() && file_.headerPending;
  if (!file_.currentFunction.empty()) {
    callFromCurrent(name, kKindPointer);
  } else {
    DeclInfo d;
    d.name = name;
    d.line = currentLine();
    functions().registerDefinition(d, kKindPointer, reader_->capturedComment());
    enterFunction(name);
  }
  if (!parameter) file_.pointerPending = 1;
}

int CParser::scopeLevel() const {
  int ns = namespaceDepth();
  return ns > 0 ? std::max(0, file_.braceDepth - ns) : file_.braceDepth;
}

// Owner, scope level and parameter mark of a declaration, then the table.
void CParser::registerVariable(const std::string& type, const std::string& name, bool insideParens,
                               bool afterParen, Built built, bool once) {
  std::string className = file_.currentClass;
  std::string function = file_.currentFunction;
  if (file_.statementState == State::kStructBody) {
    className = file_.structTag.empty() ? anonymousStructName() : file_.structTag;
    function.clear();
  }
  int level = scopeLevel();
  int flags = VariableTable::kDeclaration;
  bool memberLevel = file_.statementState == State::kClassBody && !file_.classBodies.empty() &&
                     file_.braceDepth == file_.classBodies.back().startDepth + 1;
  // Parameters of a function at file or namespace level, or of a member.
  if ((level == 0 || memberLevel) && (insideParens || afterParen || file_.headerPending)) {
    ++level;
    flags = 0;
  }
  if (file_.externSeen) {
    if (flags == 0) return;  // parameters of an extern declaration
    level = 0;
    className.clear();
    function.clear();
    flags |= VariableTable::kExtern;
  }
  tables_.variables.registerVariable(type, name, level, flags, className, function);
  // A parameter is built and destroyed by the caller.
  bool parameter = flags == 0;
  if (built != Built::kElsewhere && !parameter && isCpp() && !file_.externSeen &&
      file_.statementState != State::kStructBody && name[0] != '*' && name[0] != '&')
    buildsObject(type, className, function, built, once);
}

// A C++ object of a class type is built and destroyed where it is
// declared: by the function that holds it, or by the constructor and
// destructor of the class that holds it as a member.
void CParser::buildsObject(const std::string& type, const std::string& className,
                           const std::string& function, Built how, bool once) {
  std::string built = resolveClass(classOfType(type));
  if (built.empty() || !tests_.buildsObjects(built)) return;
  std::string outer = className.empty() && !function.empty() ? file_.functionNamespace : className;
  // A static object is built once, by the first run of the function that
  // holds it (by no function at all when it is a static member), and
  // destroyed at exit.
  if (once && function.empty()) return;
  if (how == Built::kByInitialiser) {
    settleInitialisedObject(false);
    file_.initialised = {built, outer, function, once, file_.parenDepth, file_.braceDepth};
    return;
  }
  functions().linkConstructorCall(outer, function, built, false);
  if (!once) functions().linkConstructorCall(outer, function, built, true);
}

// A token of the initialiser after an object's '='. `T x = {…}` and
// `T x = a` (a copy of a named object; a literal or name converted) build
// the object with a constructor of T; what a call or an operator gives
// (`T x = f();`, `T x = a + b;`) is the object itself, built there. The
// object is destroyed here either way, unless it is static.
void CParser::initialiserToken(const std::string& token) {
  FileState::InitialisedObject& object = file_.initialised;
  if (!object.started) {
    object.started = true;
    if (token == "{") settleInitialisedObject(true);
    return;
  }
  bool ends = (token == ";" || token == ",") && file_.parenDepth == object.parens &&
              file_.braceDepth == object.braces;
  if (ends || file_.parenDepth < object.parens || file_.braceDepth < object.braces)
    settleInitialisedObject(ends && namedInitialiser());
}

// The initialiser ending at look-back 1 is one name or literal, or a chain
// of members (`a`, `s.mark`, `p->mark`, `ns::value`), or a call that gives
// a reference to an object (`T x = s.peek();`): an object copied.
bool CParser::namedInitialiser() const {
  if (history_.at(1) == ")") {
    int start = postfixChainStart(1);
    int open = history_.matchingOpen(1, "(", ")");
    if (start < 0 || open < 0 || history_.at(start + 1) != "=") return false;
    bool pointer = false, reference = false;
    return !returnTypeOfCall(open, 0, &pointer, &reference).empty() && reference && !pointer;
  }
  int k = 1;
  for (;;) {
    if (!isNameToken(history_.at(k)) || tests_.isReserved(history_.at(k))) return false;
    const std::string& link = history_.at(k + 1);
    if (link == ".")
      k += 2;
    else if (link == ">" && history_.at(k + 2) == "-")
      k += 3;
    else if (link == ":" && history_.at(k + 2) == ":")
      k += 3;
    else
      return link == "=";
  }
}

void CParser::settleInitialisedObject(bool constructed) {
  FileState::InitialisedObject& object = file_.initialised;
  if (object.cls.empty()) return;
  if (constructed)
    functions().linkConstructorCall(object.outer, object.function, object.cls, false);
  if (!object.once)
    functions().linkConstructorCall(object.outer, object.function, object.cls, true);
  object = {};
}
