// The default state of the C-family statement machine: calls and function
// headers, the function state, argument text, variable references, and
// function names used as values.
#include <cstring>

#include "context/options.h"
#include "parsers/parser_context.h"
#include "context/source_context.h"
#include "parsers/c_parser_internal.h"
#include "tables/class_table.h"
#include "scan/lexical_rules.h"
#include "tables/namespace_table.h"
#include "tables/variable_table.h"
#include "report/error_log.h"
#include "scan/define_table.h"
#include "scan/source_reader.h"
#include "tables/function_table.h"

namespace {

// The callback types that a cast may turn a function name into.
const char* const kCallbackCasts[] = {"DLGPROC", "FARPROC", "WNDPROC", "LPTHREAD_START_ROUTINE"};

bool isCallbackCast(const std::string& name) {
  for (const char* cast : kCallbackCasts)
    if (name == cast) return true;
  return false;
}

bool isNameToken(const std::string& t) { return !t.empty() && !isDelimiterToken(t); }

// C++ words written like calls that call nothing (reserved in the shipped
// settings, but not in every settings file).
bool isKeywordLikeCall(const std::string& name) {
  static const char* const kWords[] = {"decltype",      "noexcept", "alignof", "alignas",
                                       "static_assert", "typeid",   "sizeof"};
  for (const char* w : kWords)
    if (name == w) return true;
  return TokenTests::isCastKeyword(name);
}

}  // namespace

void CParser::defaultState(const std::string& token) {
  if (file_.externCJustClosed && history_.at(1) == "extern") {
    enterExternC(token);
    return;
  }
  if (token == "(") {
    if (isCpp() && objectDeclaration()) return;
    callOrHeader();
    return;
  }
  if (hasClasses() && startClassKeywordState(token)) return;
  if (startKeywordState(token)) return;
  if (token == "{" && history_.at(1) == "=") {
    file_.statementState = State::kInitializer;
    file_.blockStartDepth = file_.braceDepth - 1;
    if (file_.pointerPending == 1) file_.pointerPending = 2;
    return;
  }
  if (token == "{" && isCpp()) {
    if (braceInitialised()) return;
    braceTemporary();
  }
  if (isDeclarationEnd(token, file_.parenDepth)) {
    autoDeclarationEnd(token);
    declarationRule(token);
    return;
  }
  // for (Type name : items)
  if (isJava() && token == ":" && file_.parenDepth > 0) {
    declarationRule(token);
    return;
  }
  if (history_.at(1) == "=" && file_.pointerPending) {
    pointerAssignment(token);
    return;
  }
  if (!file_.currentFunction.empty()) functionReference(token, referencePosition());
}

// `T name{…}` (and `T a{…}, b{…}`) in a body: the name is declared in the
// block around the braces, which hold its initial value.
bool CParser::braceInitialised() {
  if (!file_.inBody || file_.currentFunction.empty() || file_.headerPending ||
      file_.parenDepth != 0 || !tests_.isPlainName(history_.at(1)))
    return false;
  const std::string& before = history_.at(2);
  bool declarator = isNameToken(before) || before == ">" || before == "*" || before == "&" ||
                    (before == "," && !file_.declaredType.empty());
  if (!declarator || tests_.isReserved(before)) return false;
  --file_.braceDepth;  // the '{' was counted: the name belongs outside it
  declarationRule("{");
  ++file_.braceDepth;
  file_.statementState = State::kInitializer;
  file_.blockStartDepth = file_.braceDepth - 1;
  return true;
}

// T{…} and ns::T{…} in a body as a value (`return T{a};`, `f(T{x})`), no
// name being declared: a temporary built by T's constructor, as T(…) is.
void CParser::braceTemporary() {
  if (!file_.inBody || file_.currentFunction.empty() || file_.headerPending ||
      !isNameToken(history_.at(1)))
    return;
  int before = 2;
  if (history_.at(2) == ":" && history_.at(3) == ":") qualifiedPrefix(2, before);
  const std::string& lead = history_.at(before);
  bool value = lead == "return" || lead == "throw" ||
               (TokenTests::isDelimiter(lead) && lead != "." && lead != ">" && lead != "~");
  if (!value || (lead == ":" && history_.at(before + 1) == ":")) return;
  std::string made = temporaryClass(1);
  if (!made.empty() && !namesPointerAlias(qualifiedTypeAt(1)))
    temporaryCall(std::move(made), kKindCall, before);
}

// ---------------------------------------------------------------------------
// Calls and headers

// name '('         -> a call inside a body, a header outside
// name '[' … ']' '(' -> a call of the table
// '(' '*' name ')' '(' -> a call through (or declaration of) a pointer
void CParser::callOrHeader() {
  int position = 1;
  int typeStart = 2;
  std::uint32_t kind = kKindCall;
  std::string operatorName;
  const std::string& before = history_.at(1);
  int conversion = isCpp() ? conversionOperator() : -1;
  if (conversion > 2) {
    // operator const char* (…), A::operator A::Handle (…)
    position = conversion;
    kind = kKindOperator;
    operatorName = conversionType(conversion);
  } else if (TokenTests::isDelimiter(before)) {
    if (isCpp() && history_.at(2) == "operator") {
      // operator+ (…), A::operator= (…)
      position = 2;
      kind = kKindOperator;
      operatorName = before;
    } else if (isCpp() && TokenTests::isDelimiter(history_.at(2)) && history_.at(3) == "operator") {
      // operator== (…), operator() (…), operator[] (…)
      operatorName = history_.at(2) + before;
      position = 3;
      kind = kKindOperator;
    } else if (before == "]") {
      position = history_.skipBracketBack(1);
      if (position < 0) return;
      typeStart = position + 1;
    } else if (before == ">" && isCpp()) {
      // f<T>(…), a.get<int>(…), template <> void f<int>(…)
      position = templateArgumentsName(1);
      if (position < 0) return;
      typeStart = position + 1;
    } else if (before == ")") {
      TokenHistory::Declarator d = history_.pointerDeclarator(1);
      if (d.name >= 0 && !d.star) {
        parenthesisedName(d);
        return;
      }
      if (d.name < 0 && commaOperandCall()) return;
      if (file_.headerPending) return;
      if (d.name < 0 || !d.star) return;
      position = d.name;
      typeStart = d.open + 1;
      file_.pointerPending = 1;
      kind = kKindPointer;
    } else {
      return;
    }
  }
  const std::string name = operatorName.empty() ? history_.at(position) : operatorName;
  if (isCpp() && operatorName.empty() && history_.at(position + 1) == "operator") {
    // A::operator bool (…): a conversion operator.
    ++position;
    kind = kKindOperator;
  }
  if (kind != kKindOperator && (tests_.isReserved(name) || TokenTests::isDigit(name))) return;
  if (isCpp() && isKeywordLikeCall(name)) return;
  // A Java annotation's arguments (`@SuppressWarnings("x")`) are no call
  // or header.
  if (isJava() && (name[0] == '@' || history_.at(position + 1) == "@")) return;
  if (!file_.inBody && file_.parenDepth == 1 && !inMessageMap()) {
    // A name right after a header's ')' (`__attribute__((noreturn))`) is no
    // header of its own.
    if (file_.headerPending && history_.at(position + 1) == ")") return;
    if (headerWasNone(position)) withdrawPendingHeader();
  }
  // A call through a parameter calls whatever the caller passed; a Java
  // method and a variable of one name are two things, and so is a C++
  // member called on an object (`data.data()`).
  if (file_.inBody && !isJava() && isParameter(name) && !(isCpp() && memberOfObject(position)))
    return;
  if (kind != kKindOperator && tests_.isType(name) && (isJava() || !tests_.isKnownClass(name)) &&
      !tagNamedFunction(name, position) && !structureMember(name, position) &&
      !memberNamedLikeType(name, position) && !temporaryInBody(position))
    return;
  if (hasClasses()) {
    if (isJava() && javaMethodInBody(position)) return;
    // operator const char* (…) at file level: a conversion operator.
    if (file_.currentFunction.empty() && history_.at(position + 1) == "const" &&
        history_.at(position + 2) == "operator") {
      position += 2;
      kind |= Registration::kOperator;
    }
    memberRule(name, kind, position);
  } else {
    MainForSetFunc_C(name, kind, typeStart);
  }
  if (!file_.inBody && file_.parenDepth == 1 && !file_.pointerPending) file_.headerPending = true;
}

// `operator T* (`, `operator const T& (`, `A::operator A::T (`: a
// conversion operator whose type ends at look-back 1. The look-back of
// "operator", or -1 when the words before '(' are no type after it.
int CParser::conversionOperator() const {
  bool named = false;
  for (int k = 1; k < 16; ++k) {
    const std::string& t = history_.at(k);
    if (t == "operator") return named ? k : -1;
    if (t == ":" && history_.at(k + 1) == ":" && named) {
      ++k;
    } else if (isNameToken(t) && !TokenTests::isDigit(t) &&
               (!tests_.isReserved(t) || tests_.isType(t) || TokenTests::isModifier(t))) {
      named = true;
    } else if (t != "*" && t != "&") {
      return -1;
    }
  }
  return -1;
}

// The type of the conversion operator at look-back `at` as its class
// names it inside: `const char*`, `A::operator A::T` -> `T`.
std::string CParser::conversionType(int at) const {
  std::string type;
  bool lastWasName = false;
  for (int k = at - 1; k >= 1; --k) {
    const std::string& t = history_.at(k);
    bool name = isNameToken(t);
    if (name && lastWasName) type += ' ';
    type += t;
    lastWasName = name;
  }
  int before;
  std::string owner = history_.at(at + 1) == ":" ? qualifiedPrefix(at + 1, before) : "";
  if (!owner.empty() && type.compare(0, owner.size() + 2, owner + "::") == 0)
    type.erase(0, owner.size() + 2);
  return type;
}

// T(…) in a body, where T is a type that makes temporary objects (a
// structure with a constructor, an alias of a class; `P(x)` with an alias
// of a pointer converts x).
bool CParser::temporaryInBody(int position) const {
  return isCpp() && file_.inBody && !file_.currentFunction.empty() &&
         !temporaryClass(position).empty() && !namesPointerAlias(qualifiedTypeAt(position));
}

// `S::S(` and `S::~S(`: a constructor or destructor of a C++ structure,
// whose tag is a type (a class's name is read as a class's).
bool CParser::structureMember(const std::string& name, int position) const {
  if (!isCpp()) return false;
  int q = position + 1;
  if (history_.at(q) == "~") ++q;
  if (history_.at(q) != ":" || history_.at(q + 1) != ":" || history_.at(q + 2) != name)
    return false;
  std::string owner = resolveClass(name);
  return !owner.empty() && !tests_.isKnownClass(owner);
}

// The look-back of the name before the template arguments `<…>` that end
// with the '>' at look-back k, or -1 when no such list ends there (`a > (b)`,
// `x < y && z > (w)`) or it follows a cast keyword.
int CParser::templateArgumentsName(int k) const {
  int depth = 0;
  for (int m = k; m < k + 48 && m < TokenHistory::kDeepest; ++m) {
    const std::string& t = history_.at(m);
    if (t == ">") {
      ++depth;
    } else if (t == "<") {
      if (--depth > 0) continue;
      const std::string& name = history_.at(m + 1);
      if (!isNameToken(name) || tests_.isReserved(name) || TokenTests::isCastKeyword(name))
        return -1;
      return m + 1;
    } else if (t == "&" && history_.at(m + 1) == "&") {
      return -1;
    } else if (TokenTests::isDelimiter(t) && t != ":" && t != "*" && t != "&" && t != "," &&
               t != "[" && t != "]") {
      return -1;
    }
  }
  return -1;
}

// A C function that bears the name of a structure tag (`struct item
// *item(…)`): tags are a name space of their own, so the name is a type
// only right after "struct", "union" or "enum".
bool CParser::tagNamedFunction(const std::string& name, int position) const {
  if (hasClasses() || !tests_.isTagOnly(name)) return false;
  const std::string& before = history_.at(position + 1);
  return before != "struct" && before != "union" && before != "enum";
}

// '(' ['*'] '(' … ',' name ')' ')' '(' -> in a body, a call of name, the
// value of the comma expression (`(*(set_loc(…), report))(…)`); true when
// the shape matched. A ',' in an argument list (`f(a, name)(…)` calls f's
// result) does not count, and a comma at depth 1 has already given the name
// as a reference.
bool CParser::commaOperandCall() {
  if (!file_.inBody || file_.currentFunction.empty()) return false;
  int k = 1;
  while (history_.at(k) == ")") ++k;
  const std::string& name = history_.at(k);
  if (history_.at(k + 1) != "," || !tests_.isPlainName(name)) return false;
  int open = history_.matchingOpen(k - 1, "(", ")");
  if (open < 0) return false;
  const std::string& lead = history_.at(open + 1);
  if ((isNameToken(lead) && !tests_.isReserved(lead)) || lead == ")" || lead == "]") return false;
  if (file_.parenDepth + k - 2 == 1 || !knownFunction(name)) return true;
  callFromCurrent(name, kKindCall);
  return true;
}

// type '(' name ')' '('  -> the header of name (`int *(getp) (void)`,
// `size_t (sz)(int n)`); in a body, a call of a function the run knows
// (`x = (f)(1)`), where any other name is more likely a cast.
void CParser::parenthesisedName(const TokenHistory::Declarator& d) {
  const std::string name = history_.at(d.name);
  if (tests_.isReserved(name) || TokenTests::isDigit(name) || tests_.isType(name)) return;
  const std::string& lead = history_.at(d.open + 1);
  if (file_.inBody) {
    // Not `if (c) (…)`, `return (n) (…)` or the result of a call.
    if (!TokenTests::isDelimiter(lead) || lead == ")" || lead == "]") return;
    if (!knownFunction(name)) return;
    MainForSetFunc_C(name, kKindCall, d.open + 1);
    return;
  }
  if (file_.parenDepth != 1) return;
  // The word before '(' was taken for a header; it was the return type.
  if (file_.headerPending) {
    if (file_.currentFunction != lead && !headerWasNone(d.open)) return;
    withdrawPendingHeader();
  }
  MainForSetFunc_C(name, kKindCall, d.open + 1);
  file_.headerPending = true;
}

// A new header at file level (a name after a type or '*') while a header
// is pending whose ')' was followed by a word: the pending one was a macro
// call such as `DECLARE(x)`, not a declaration. `__attribute__((…))` right
// after a header's ')' does not count, nor `int f(int), g(int);`.
bool CParser::headerWasNone(int position) {
  if (!file_.headerPending || file_.currentFunction.empty()) return false;
  const std::string& lead = history_.at(position + 1);
  if (lead != "*" && !tests_.isType(lead)) return false;
  int k = position + 1;
  while (k < 200 && history_.at(k) != ")" && !history_.at(k).empty()) ++k;
  if (history_.at(k) != ")") return false;
  const std::string& after = history_.at(k - 1);
  return after != "," && after != "=" && !TokenTests::isDelimiter(after);
}

void CParser::withdrawPendingHeader() {
  functions().withdrawHeader(currentDecl());
  file_.currentFunction.clear();
  file_.headerPending = false;
  file_.countingSteps = false;
}

// `static` among the words in front of a header's name.
bool CParser::declaredStatic(int typeStart) const {
  for (int k = typeStart; k < 200; ++k) {
    const std::string& t = history_.at(k);
    if (t == "static") return true;
    if (t != "*" && !isNameToken(t)) return false;
  }
  return false;
}

void CParser::MainForSetFunc_C(const std::string& name, std::uint32_t kind, int typeStart) {
  if (file_.inBody) {
    if (!file_.currentFunction.empty()) {
      callFromCurrent(name, kind);
      return;
    }
    errorLog() << "内部ｴﾗｰが発生しまた。内部関数名 [MainForSetFunc_C]\n"
               << positionPrefix() << ": 関数内にも関わらず親関数が不明です\n"
               << "    子関数名  [" << name << "]\n";
    functions().setSubRecord(name, kind);
    return;
  }
  DeclInfo header;
  header.name = name;
  header.line = currentLine();
  header.filePath = tables_.context.topPath();
  header.fileLocal = !isJava() && file_.currentClass.empty() && declaredStatic(typeStart);
  header.returnType = returnTypeWalk(typeStart);
  const std::string& typeToken = history_.at(typeStart);
  if (tests_.isType(typeToken)) header.returnType = typeToken;
  functions().registerDefinition(header, kind, reader_->capturedComment());
  enterFunction(name);
}

void CParser::callFromCurrent(const std::string& callee, std::uint32_t kind) {
  DeclInfo to;
  to.name = callee;
  functions().SetChainAto(callerParts(), keyPartsOf(to), kind);
}

DeclInfo CParser::currentDecl() const {
  return functionDecl(functionClass(), file_.currentFunction);
}

KeyParts CParser::callerParts() const {
  return KeyParts{namespaceOfFunction(functionClass()), functionClass(), file_.currentFunction,
                  false};
}

const std::string& CParser::functionClass() const {
  static const std::string kNoClass;
  return file_.friendFunction ? kNoClass : file_.currentClass;
}

std::string CParser::enclosingNamespace(const std::string& className) const {
  std::string space = className;
  do {
    size_t cut = space.rfind("::");
    space = cut == std::string::npos ? std::string() : space.substr(0, cut);
  } while (!space.empty() && !tables_.namespaces.isNamespace(space));
  return space;
}

// A function of `className`, or of the open namespace when it has none: a
// class name holds its namespace already.
std::string_view CParser::namespaceOfFunction(const std::string& className) const {
  return className.empty() ? std::string_view(file_.functionNamespace) : std::string_view();
}

DeclInfo CParser::functionDecl(const std::string& className, const std::string& name) const {
  DeclInfo d;
  d.className = className;
  d.nameSpace = namespaceOfFunction(className);
  d.name = name;
  d.filePath = tables_.context.topPath();
  return d;
}

// ---------------------------------------------------------------------------
// Texts of a header

// Backwards from look-back n over type names, modifiers, '*', '&' and
// template argument lists; one space between two names.
std::string CParser::returnTypeWalk(int n) const {
  std::string joined;
  bool lastWasName = false;
  int templateDepth = 0;
  for (int k = n; k <= TokenHistory::kDeepest; ++k) {
    const std::string& t = history_.at(k);
    if (t.empty()) break;
    if (t == ">") {
      if (templateDepth > 0) return std::string();
      ++templateDepth;
    } else if (t == "<") {
      if (templateDepth == 0) return std::string();
      --templateDepth;
    } else if (templateDepth == 0 && t != "*" && t != "&") {
      if (tests_.isEmptyMacro(t)) continue;
      if (isCpp() && !tests_.isType(t) && isNameToken(t)) {
        // A class by the name the code uses: `Status`, `db::Status`.
        int before = k + 1;
        std::string qualifier = qualifiedPrefix(k + 1, before);
        std::string written = qualifier.empty() ? t : qualifier + "::" + t;
        if (!resolveClass(written).empty()) {
          if (lastWasName) joined.insert(0, " ");
          joined.insert(0, written);
          lastWasName = true;
          k = before - 1;
          continue;
        }
      }
      if (!tests_.isType(t) && !TokenTests::isModifier(t)) break;
    }
    bool name = isNameToken(t);
    if (name && lastWasName) joined.insert(0, " ");
    joined.insert(0, t);
    lastWasName = name;
  }
  return templateDepth == 0 ? joined : std::string();
}

// The tokens between the '(' matching the ')' at `close` and that ')'.
// The tokens between a header's parentheses, as they come (so that a
// header longer than the token history keeps its text), blanks between
// words, after ',' and '>', and between a word and '*' or '&'. Every name
// that ends a parameter ("int in," "char *out)" "int (*cb)(int)") is a
// parameter name.
void CParser::collectArgument(const std::string& token, int parenDepth) {
  if (token == "\n" || isBlankToken(token)) return;
  const std::string& previous = file_.lastArgumentToken;
  if ((token == "," || token == ")" || token == "[") && isNameToken(previous))
    file_.parameters.push_back(previous);
  if (token == ")" && parenDepth == 0) {
    file_.collectingArguments = false;
    return;
  }
  // Only the function details show the text.
  if (tables_.options.functionDetails) {
    std::string& text = file_.arguments;
    if (!text.empty()) {
      bool name = isNameToken(token), previousName = isNameToken(previous);
      bool space = (name && previousName) || previous == "," || previous == ">" ||
                   (previousName && (token == "*" || token == "&"));
      if (space) text += ' ';
    }
    text += token;
  }
  file_.lastArgumentToken = token;
}

// A C++ member function named like a type (`type()` beside another
// class's `typedef … type;`): called on an object, named with its class,
// called inside that class, or declared in a class body.
bool CParser::memberNamedLikeType(const std::string& name, int position) const {
  if (!isCpp()) return false;
  const std::string& before = history_.at(position + 1);
  if (before == "." || (before == ">" && history_.at(position + 2) == "-")) return true;
  std::string owner = file_.currentClass;
  if (before == ":" && history_.at(position + 2) == ":") {
    int start;
    owner = resolveClass(qualifiedPrefix(position + 1, start));
  } else if (!file_.classBodies.empty() && file_.currentFunction.empty()) {
    return true;
  }
  return !owner.empty() && !tables_.classes.resolveMember(owner, name).empty();
}

// The name at look-back `position` follows `.`, `->` or `::`.
bool CParser::memberOfObject(int position) const {
  const std::string& before = history_.at(position + 1);
  return before == "." || before == ":" || (before == ">" && history_.at(position + 2) == "-");
}

bool CParser::isParameter(const std::string& name) const {
  for (const std::string& p : file_.parameters)
    if (p == name) return true;
  return false;
}

// ')' closing a header's parentheses: the function is registered again
// with its argument text.
void CParser::captureArguments(bool always) {
  if (!tables_.options.functionDetails || file_.currentFunction.empty() ||
      (!always && file_.braceDepth != file_.entryDepth))
    return;
  DeclInfo d = currentDecl();
  d.arguments = file_.arguments;
  functions().registerDefinition(d, 0, std::string_view());
}

// ---------------------------------------------------------------------------
// Function state

void CParser::enterFunction(const std::string& name) {
  file_.currentFunction = name;
  file_.arguments.clear();
  file_.lastArgumentToken.clear();
  file_.parameters.clear();
  file_.collectingArguments = true;
  file_.headerPending = true;
  file_.throwsSeen = false;
  file_.entryDepth = file_.braceDepth;
  file_.stepCount = 1;
  file_.countingSteps = true;
}

void CParser::resetFunction() {
  file_.currentFunction.clear();
  file_.friendFunction = false;
  file_.functionNamespace.clear();
  file_.parameters.clear();
  file_.operandClass.clear();
  file_.headerPending = file_.countingSteps = false;
  file_.throwsSeen = false;
  file_.pointerPending = 0;
  file_.stepCount = 1;
  file_.entryDepth = file_.braceDepth;
  reader_->clearCapturedComment(true);
  if (file_.classFromQualifier) restoreClassContext();
}

// ---------------------------------------------------------------------------
// Names used as values

void CParser::referenceVariables(const std::string& token) {
  if (!tables_.options.variableDetails || file_.currentFunction.empty()) return;
  const std::string& name = history_.at(1);
  if (token == "(" || history_.at(2) == "." || !tests_.isPlainName(name)) return;
  tables_.variables.referenceVariable(name, file_.currentClass, file_.currentFunction);
}

// Where the current token stands, by the token before it.
int CParser::referencePosition() const {
  const std::string& before = history_.at(1);
  if (before == "(") return history_.at(2) == ")" ? kAfterParenCast : kAfterAssign;
  if (before == "=") return kAfterAssign;
  if (before == ")") return kAfterCast;
  if (before == ",") return file_.parenDepth == 1 ? kAfterAssign : kNoReference;
  return kNoReference;
}

// `= f`, `, f`, `(f`, `(WNDPROC)f`, `(DLGPROC)(f` inside a function: the
// function is referenced as a value.
void CParser::functionReference(const std::string& token, int position) {
  if (position == kNoReference || file_.headerPending || file_.currentFunction.empty() ||
      !tests_.isPlainName(token) || isParameter(token))
    return;
  if (position == kAfterCast || position == kAfterParenCast) {
    TokenHistory::Declarator cast = history_.pointerDeclarator(position - 1);
    if (cast.name < 0 || !isCallbackCast(history_.at(cast.name))) return;
  }
  std::string callee = token;
  if (!knownFunction(callee)) {
    if (!tests_.isMacro(token)) return;
    callee = tables_.defines.bodyOf(token);
    if (callee.empty() || !knownFunction(callee)) return;
  }
  // Asked last: the question records a reference to the variable.
  if (position == kAfterAssign &&
      tables_.variables.referenceVariable(token, file_.currentClass, file_.currentFunction))
    return;
  callFromCurrent(callee, kKindCall);
}

bool CParser::knownFunction(const std::string& name) const {
  return !name.empty() && functions().exists(name);
}

// `= f` (or a name in the braces) while a function-pointer variable is
// being initialised.
void CParser::pointerAssignment(const std::string& token) {
  if (!tests_.isPlainName(token)) return;
  std::string callee = token;
  if (!knownFunction(callee)) {
    callee = tests_.isMacro(token) ? tables_.defines.bodyOf(token) : std::string();
    if (!knownFunction(callee)) return;
  }
  if (!file_.currentFunction.empty()) {
    callFromCurrent(callee, kKindCall);
    return;
  }
  resetFunction();
  positionMessage(": 関数ﾎﾟｲﾝﾀの登録でｴﾗｰが発生しました。");
}
