// The member rule: in C++ and Java files every call and header that the
// call-or-header rule finds is bound here to its class and namespace, from
// the object's type (variable table), the classes and their bases (class
// table) and the namespaces open or named by using directives.
#include "parsers/member_rule.h"

#include "parsers/parser_context.h"
#include "context/source_context.h"
#include "parsers/c_parser_internal.h"
#include "tables/namespace_table.h"
#include "tables/variable_table.h"
#include "report/error_log.h"
#include "scan/lexical_rules.h"
#include "scan/source_reader.h"
#include "tables/call_resolution.h"
#include "tables/class_table.h"
#include "tables/function_table.h"

namespace {

const char kUnknownPrefix[] = "(不明)";
const char kUnknownClass[] = "不明";
const char kGlobalScope[] = "グローバル関数";

bool isNameToken(const std::string& t) { return !t.empty() && !isDelimiterToken(t); }

// Words of a type text that name no class.
bool isTypeModifier(std::string_view w) {
  static const std::string_view kWords[] = {
      "static",   "const",    "final",     "volatile",     "mutable", "struct",    "class",
      "union",    "enum",     "typename",  "public",       "private", "protected", "virtual",
      "inline",   "abstract", "transient", "synchronized", "native",  "register",  "extern",
      "strictfp", "default",  "friend",    "explicit"};
  for (std::string_view k : kWords)
    if (w == k) return true;
  return !w.empty() && w[0] == '@';  // a Java annotation
}

// The containers whose `[key]` gives their second template argument.
bool isKeyedContainer(std::string_view name) {
  static const std::string_view kKeyed[] = {"map",      "multimap", "unordered_map",
                                            "hash_map", "QMap",     "QHash"};
  for (std::string_view k : kKeyed)
    if (name == k) return true;
  return false;
}

std::string joinedKey(const std::string& prefix, const std::string& name) {
  return prefix.empty() ? name : prefix + "::" + name;
}

// `path::name`, then the same under each namespace around the path
// ("a::b::n", "a::n"): the first for which `known` holds, else empty.
template <class Known>
std::string underPath(std::string path, const std::string& name, Known known) {
  while (!path.empty()) {
    std::string candidate = path + "::" + name;
    if (known(candidate)) return candidate;
    size_t cut = path.rfind("::");
    path = cut == std::string::npos ? std::string() : path.substr(0, cut);
  }
  return std::string();
}

}  // namespace

std::string classOfType(std::string_view type) {
  std::string plain;
  int angle = 0;
  for (char c : type) {
    if (c == '<') ++angle;
    if (angle == 0 && c != '*' && c != '&' && c != '[' && c != ']') plain += c;
    if (c == '>' && angle > 0) --angle;
  }
  std::string_view rest = plain;
  std::string_view last;
  while (!rest.empty()) {
    size_t start = rest.find_first_not_of(' ');
    if (start == std::string_view::npos) break;
    rest.remove_prefix(start);
    size_t end = rest.find(' ');
    std::string_view word = rest.substr(0, end);
    if (!isTypeModifier(word)) last = word;
    if (end == std::string_view::npos) break;
    rest.remove_prefix(end);
  }
  return std::string(last);
}

std::string_view templateArgument(std::string_view type, int index) {
  size_t open = type.find('<');
  if (open == std::string_view::npos) return std::string_view();
  int depth = 0;
  size_t start = open + 1;
  for (size_t i = start; i < type.size(); ++i) {
    char c = type[i];
    if (c == '<') ++depth;
    if ((c == ',' && depth == 0) || (c == '>' && depth-- == 0)) {
      if (index-- == 0) return type.substr(start, i - start);
      if (c == '>') break;
      start = i + 1;
    }
  }
  return std::string_view();
}

std::string_view lastNamePart(std::string_view name) {
  size_t colon = name.rfind(':');
  return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

bool isJavaPrimitive(std::string_view word) {
  static const std::string_view kPrimitives[] = {"boolean", "byte",  "char",   "short", "int",
                                                 "long",    "float", "double", "void"};
  for (std::string_view p : kPrimitives)
    if (word == p) return true;
  return false;
}

// ---------------------------------------------------------------------------
// The rule

// name '(' in a C++ or Java file: a call inside a function, a header
// outside one. `position` is the name's look-back; the qualifier stands
// before it.
void CParser::memberRule(std::string name, std::uint32_t kind, int position) {
  if (isJava() && !file_.inBody) resetFunction();
  // BEGIN_MESSAGE_MAP(…) … END_MESSAGE_MAP(): the map's entries are the
  // calls of a header that its end closes.
  if (isCpp() && file_.currentFunction == "BEGIN_MESSAGE_MAP" && name == "END_MESSAGE_MAP") {
    resetFunction();
    return;
  }
  if (!file_.currentFunction.empty())
    memberCall(std::move(name), kind, position);
  else
    memberHeader(std::move(name), kind, position);
}

// obj.f(  p->f(  this->f(  A::f(  ::f(  ~A(  f().g(  a.b.c(  f(
void CParser::memberCall(std::string name, std::uint32_t kind, int position) {
  DeclInfo callee;
  callee.name = std::move(name);
  int q = position + 1;
  if (history_.at(q) == "~") {
    callee.name.insert(0, "~");
    ++q;
  }
  const std::string& qualifier = history_.at(q);
  // p->f( in C++; Java's "->" is a lambda's arrow.
  bool arrow = isCpp() && qualifier == ">" && history_.at(q + 1) == "-";
  if (qualifier == "." || arrow) {
    ObjectType object = objectType(q + (arrow ? 2 : 1), 0);
    if (object.type.empty() && defersToClassEnd() &&
        object.text.find_first_of("():") == std::string::npos) {
      file_.classBodies.back().deferred.push_back(
          {currentDecl(), callee.name, kind, object.text, positionPrefix(), arrow});
      return;
    }
    if (object.type.empty()) {
      positionMessage((": ｸﾗｽ名が不明です。不明なｵﾌﾞｼﾞｪｸﾄ名[" + object.text + "]").c_str());
      callee.className = kUnknownPrefix + object.text;
    } else {
      callee.className = object.type;
    }
  } else if (qualifier == ">" && templateDeclaration(q)) {
    // vector<int> v(…), std::unique_lock<std::mutex> lock(…): a declaration.
    declarationRule("(");
    return;
  } else if (std::string made = temporaryClass(position); !made.empty() && q == position + 1) {
    // T(…) and ns::T(…): a temporary object built by T's constructor.
    int before = q;
    if (qualifier == ":" && history_.at(q + 1) == ":") qualifiedPrefix(q, before);
    temporaryCall(std::move(made), kind, before);
    return;
  } else if (qualifier == ":" && history_.at(q + 1) == ":") {
    qualifiedCallee(callee, q);
  } else {
    plainCallee(callee);
    if (callee.className.empty() && defersToClassEnd()) {
      file_.classBodies.back().deferred.push_back({currentDecl(), callee.name, kind, {}, {}});
      return;
    }
  }
  namespaceOfCallee(callee);
  functions().SetChainAto(callerParts(), keyPartsOf(callee), kind);
  if (isCpp()) resultTemporary(position);
}

// The call of the name at look-back `position` gives an object of a class
// whose destructor the sources declare (not a pointer or a reference): a
// temporary, destroyed at the end of the statement unless the function
// returns or throws it.
void CParser::resultTemporary(int position) {
  bool pointer = false, reference = false;
  std::string made = returnTypeOfCall(position - 1, 0, &pointer, &reference);
  if (made.empty() || pointer || reference) return;
  if (!functions().isStructorWritten(made, true)) return;
  int start = postfixChainStart(position);
  if (start < 0) return;
  const std::string& lead = history_.at(start + 1);
  if (lead == "return" || lead == "throw") return;
  callStructor(made, true, kKindCall);
}

// A temporary object of the class `made`, after the token at look-back
// `lead`: a call of its constructor, and of its destructor at the end of
// the statement, unless the object lives on as what the function returns
// or throws, or as the object a declaration initialises (`T x = T(…);`).
void CParser::temporaryCall(std::string made, std::uint32_t kind, int lead) {
  callStructor(made, false, kind);
  const std::string& before = history_.at(lead);
  if (before == "return" || before == "throw" || (before == "=" && declaratorBefore(lead + 1)))
    return;
  callStructor(made, true, kind);
}

// The caller calls the constructor (or destructor) of the class `made`.
void CParser::callStructor(const std::string& made, bool destructor, std::uint32_t kind) {
  DeclInfo callee;
  callee.name = std::string(lastNamePart(made));
  if (destructor) callee.name.insert(0, "~");
  callee.className = made;
  namespaceOfCallee(callee);
  functions().SetChainAto(callerParts(), keyPartsOf(callee), kind);
}

// The plain name at look-back k is declared by a type before it (`T x`,
// `const T& x`, `std::vector<T> x`), not assigned (`x`, `a.x`, `p->x`).
bool CParser::declaratorBefore(int k) const {
  const std::string& name = history_.at(k);
  if (!isNameToken(name) || tests_.isReserved(name) || TokenTests::isDigit(name)) return false;
  const std::string& type = history_.at(k + 1);
  if (type == ">" && history_.at(k + 2) == "-") return false;
  return type == ">" || type == "*" || type == "&" ||
         (isNameToken(type) && (!tests_.isReserved(type) || type == "auto"));
}

// The `<…>` ending at look-back q follows a type or a known class: a
// variable of that template type is being declared.
bool CParser::templateDeclaration(int q) const {
  if (tests_.isType(history_.at(q + 1)) && history_.at(q + 2) == "<") return true;
  if (!isCpp()) return false;
  int name = templateArgumentsName(q);
  if (name < 0) return false;
  const std::string& type = history_.at(name);
  return tests_.isType(type) || !resolveClass(type).empty() ||
         (history_.at(name + 1) == ":" && tests_.isType(qualifiedTypeAt(name)));
}

// `a::b::T` ending at look-back k, as written.
std::string CParser::qualifiedTypeAt(int k) const {
  int before;
  std::string qualifier = qualifiedPrefix(k + 1, before);
  return qualifier.empty() ? history_.at(k) : qualifier + "::" + history_.at(k);
}

// A C++ inline member function of the innermost class body is being read.
bool CParser::defersToClassEnd() const {
  return isCpp() && !file_.classBodies.empty() && !file_.classFromQualifier &&
         file_.currentClass == file_.classBodies.back().name;
}

// Q::name(  ::name(
void CParser::qualifiedCallee(DeclInfo& callee, int position) {
  int before;
  std::string qualifier = qualifiedPrefix(position, before);
  if (qualifier.empty()) {
    callee.className = kGlobalScope;
    return;
  }
  std::string owner = resolveClass(qualifier);
  if (!owner.empty()) {
    callee.className = owner;
    return;
  }
  std::string space = resolveNamespace(qualifier);
  if (!space.empty()) {
    callee.nameSpace = space;
    return;
  }
  logUnknownQualifier(qualifier, callee.name);
  callee.className = kUnknownPrefix + qualifier;
}

// A plain call: in Java a method of this class (or of a class around it);
// in C++ a member of this class or a base, else a function of the
// namespaces around the call.
void CParser::plainCallee(DeclInfo& callee) {
  const ClassTable& classes = tables_.classes;
  if (isJava()) {
    for (auto body = file_.classBodies.rbegin(); body != file_.classBodies.rend(); ++body) {
      std::string owner = classes.resolveMember(body->name, callee.name);
      if (!owner.empty()) {
        callee.className = owner;
        return;
      }
    }
    callee.className = staticImportOwner(callee.name);
    if (callee.className.empty()) callee.className = file_.currentClass;
    return;
  }
  if (!file_.currentClass.empty())
    callee.className = classes.resolveMember(file_.currentClass, callee.name);
}

// A callee without namespace that the sources declared nowhere as it is
// (calls made before `n::f` was declared leave a record of `f`): the
// namespaces around the call (innermost first), then those of the using
// directives (and the longest known prefix of each), under which it is.
void CParser::namespaceOfCallee(DeclInfo& callee) {
  if (!isCpp() || !callee.nameSpace.empty() || callee.className == kGlobalScope ||
      callee.className.rfind(kUnknownPrefix, 0) == 0)
    return;
  std::string key = joinedKey(callee.className, callee.name);
  FunctionTable& table = functions();
  if (table.isDefined(key)) return;
  const NamespaceTable& spaces = tables_.namespaces;
  if (callee.className.empty()) {
    std::string path = spaces.currentPath();
    if (path.empty()) path = file_.functionNamespace;
    while (!path.empty()) {
      if (table.exists(path + "::" + key)) {
        callee.nameSpace = path;
        return;
      }
      size_t cut = path.rfind("::");
      path = cut == std::string::npos ? std::string() : path.substr(0, cut);
    }
  }
  for (size_t i = 0;; ++i) {
    const std::string& space = spaces.usingName(i);
    if (space.empty()) return;
    if (table.exists(space + "::" + key)) {
      callee.nameSpace = space;
      return;
    }
    std::string prefix = spaces.knownPrefix(space);
    if (!prefix.empty() && prefix != space && table.exists(prefix + "::" + key)) {
      callee.nameSpace = prefix;
      return;
    }
  }
}

// A header: `f(`, `A::f(` (out of its class), `ns::f(`, `A::~A(`, and
// `A::A(` (a constructor: its initializer list follows).
void CParser::memberHeader(std::string name, std::uint32_t kind, int position, int line) {
  if (isCpp() && name == "IMPLEMENT_DYNAMIC") return;
  int q = position + 1;
  if (history_.at(q) == "." || (isCpp() && history_.at(q) == ">" && history_.at(q + 1) == "-"))
    return;
  bool destructor = history_.at(q) == "~";
  if (destructor) {
    name.insert(0, "~");
    ++q;
  }
  DeclInfo header;
  int typeStart = q;
  bool constructor = false;
  if (history_.at(q) == ":" && history_.at(q + 1) == ":") {
    std::string qualifier = qualifiedPrefix(q, typeStart);
    std::string owner = qualifier.empty() ? std::string() : resolveClass(qualifier);
    std::string space =
        qualifier.empty() || !owner.empty() ? std::string() : resolveNamespace(qualifier);
    if (!owner.empty()) {
      header.className = owner;
      constructor = !destructor && lastNamePart(qualifier) == name;
    } else if (!space.empty()) {
      header.nameSpace = space;
    } else if (!qualifier.empty()) {
      logUnknownQualifier(qualifier, name);
      header.className = kUnknownClass;
    }
    if (!header.className.empty()) {
      file_.currentClass = header.className;
      file_.classStartDepth = file_.braceDepth;
      file_.classFromQualifier = true;
    }
  }
  if (header.className.empty() && header.nameSpace.empty())
    header.nameSpace = tables_.namespaces.currentPath();
  header.name = name;
  header.line = line ? line : currentLine();
  header.filePath = tables_.context.topPath();
  header.returnType = isJava() ? javaReturnType(typeStart) : returnTypeWalk(typeStart);
  functions().registerDefinition(header, kind, reader_->capturedComment());
  if (isJava() && !file_.inBody && file_.parenDepth != 1) return;
  file_.functionNamespace = header.className.empty() ? header.nameSpace : std::string();
  enterFunction(name);
  if (constructor) file_.statementState = State::kConstructorList;
}

void CParser::logUnknownQualifier(const std::string& qualifier, const std::string& name) const {
  errorLog() << "  " << fileName() << " " << currentLine() << ": 不明なｸﾗｽ[" << qualifier
             << "] にﾒｿｯﾄﾞ[" << name << "]を追加しました\n";
}

// ---------------------------------------------------------------------------
// Objects

// The class of the object expression that ends at look-back k (before a
// '.' or '->'), and the expression as written.
CParser::ObjectType CParser::objectType(int k, int depth) const {
  if (depth > 32 || k > TokenHistory::kDeepest) return {};
  const std::string& last = history_.at(k);
  if (last == "]") {
    // a[i].f(): the element has the array's type.
    int name = history_.skipBracketBack(k);
    if (name < 0) return {};
    ObjectType element = objectOfName(name, depth);
    element.text += "[]";
    return element;
  }
  if (last == ")") return objectOfParen(k, depth);
  if (last == "}" && isCpp()) {
    // T{…}.f(): a temporary of class T.
    int open = history_.matchingOpen(k, "{", "}");
    if (open < 0) return {};
    ObjectType made;
    made.text = history_.at(open + 1) + "{}";
    made.type = temporaryClass(open + 1);
    return made;
  }
  return objectOfName(k, depth);
}

// Where the chain of names, members, calls and elements ending at look-back
// k starts (`v.begin()`, `ns::make(a)`, `p->next()[i]`, `(*p).f()`), or
// -1 when no such chain ends there.
int CParser::postfixChainStart(int k) const {
  int pos = k;
  for (int steps = 0; steps < TokenHistory::kDeepest; ++steps) {
    const std::string& t = history_.at(pos);
    if (t == ")" || t == "]") {
      int open = history_.matchingOpen(pos, t == ")" ? "(" : "[", t.c_str());
      if (open < 0) return -1;
      const std::string& before = history_.at(open + 1);
      bool continues = before == ")" || before == "]" ||
                       (isNameToken(before) && (!tests_.isReserved(before) || before == "this"));
      if (!continues) return t == ")" ? open : -1;  // `(*p)` leads the chain
      pos = open + 1;
      continue;
    }
    if (!isNameToken(t) || TokenTests::isDigit(t) || (tests_.isReserved(t) && t != "this"))
      return -1;
    const std::string& before = history_.at(pos + 1);
    if (before == ".") {
      pos += 2;
    } else if (before == ">" && history_.at(pos + 2) == "-") {
      pos += 3;
    } else if (before == ":" && history_.at(pos + 2) == ":") {
      pos += 3;
    } else {
      return pos;
    }
  }
  return -1;
}

CParser::ObjectType CParser::objectOfName(int k, int depth) const {
  const std::string& name = history_.at(k);
  ObjectType object;
  object.text = name;
  if (!isNameToken(name) || TokenTests::isDigit(name)) return object;
  const std::string& before = history_.at(k + 1);
  bool arrow = isCpp() && before == ">" && history_.at(k + 2) == "-";
  bool dotted = before == "." || arrow;
  // name-> or name[…]: what a smart pointer or a container holds.
  const std::string& after = history_.at(k - 1);
  Access access = !isCpp()                                    ? Access::kWhole
                  : after == "["                              ? Access::kSubscript
                  : after == "-" && history_.at(k - 2) == ">" ? Access::kArrow
                                                              : Access::kWhole;
  if (name == "this") {
    // Outer.this.f() in Java names the outer class.
    if (dotted) {
      object = objectType(k + (arrow ? 3 : 2), depth + 1);
      object.text += ".this";
      return object;
    }
    object.type = file_.currentClass;
    return object;
  }
  if (name == "super" && isJava()) {
    object.type = javaSuperClass(history_.at(k - 2));
    return object;
  }
  if (tests_.isReserved(name)) return object;
  if (dotted) {
    // outer.name: a member of the outer object's class.
    ObjectType outer = objectType(k + (arrow ? 3 : 2), depth + 1);
    object.text = outer.text + (arrow ? "->" : ".") + name;
    if (outer.type.empty()) {
      if (isJava() && tables_.classes.exists(name)) object.type = name;  // pkg.Class
      return object;
    }
    object.type = memberType(outer.type, name, access);
    if (object.type.empty() && isJava() && tables_.classes.exists(name)) object.type = name;
    return object;
  }
  if (before == ":" && history_.at(k + 2) == ":") {
    // Q::m: a static member of Q, or a class Q::m.
    int start;
    std::string qualifier = qualifiedPrefix(k + 1, start);
    object.text = qualifier + "::" + name;
    std::string owner = resolveClass(qualifier);
    if (!owner.empty()) object.type = memberType(owner, name, access);
    if (object.type.empty()) object.type = resolveClass(object.text);
    return object;
  }
  VariableTable& variables = tables_.variables;
  if (const std::string* type =
          variables.referenceVariable(name, file_.currentClass, file_.currentFunction)) {
    // A pointer's `->` and `[…]` are the language's.
    if (access != Access::kWhole &&
        !variables.objectTypeOf(name, file_.currentClass, file_.currentFunction))
      access = Access::kWhole;
    object.type = classOfObject(*type, access);
    if (!object.type.empty()) return object;
  }
  if (isJava()) {
    // A field of a class around this one; else the name of a class, which
    // is all a name before '.' can be in Java when it is no variable.
    for (auto body = file_.classBodies.rbegin(); body != file_.classBodies.rend(); ++body) {
      object.type = memberType(body->name, name);
      if (!object.type.empty()) return object;
    }
    object.type = name;
    return object;
  }
  object.type = resolveClass(name);
  return object;
}

// (*p).f(  (p)->f(  ((Type*)x)->f(  f().g(  new A().g(
CParser::ObjectType CParser::objectOfParen(int k, int depth) const {
  int open = history_.matchingOpen(k, "(", ")");
  if (open < 0) return {};
  ObjectType object;
  const std::string& callee = history_.at(open + 1);
  if (callee == ">" && isCpp()) {
    ObjectType cast = objectOfCast(open + 1);
    if (!cast.type.empty()) return cast;
  }
  if (isNameToken(callee) && !tests_.isReserved(callee)) {
    object.text = callee + "()";
    std::string temporary = temporaryClass(open + 1);
    if (!temporary.empty()) {
      object.type = temporary;  // T(…).f(): a temporary of class T
    } else if (history_.at(open + 2) == "new") {
      std::string resolved = isCpp() ? resolveClass(callee) : std::string();
      object.type = resolved.empty() ? callee : resolved;
      object.pointer = true;
    } else {
      object.type = returnTypeOfCall(open, depth, &object.pointer);
    }
    return object;
  }
  const std::string& first = history_.at(open - 1);
  if (first == "new" && open - 2 > k && isNameToken(history_.at(open - 2))) {
    // (new A(…))->g(
    const std::string& made = history_.at(open - 2);
    object.text = "new " + made;
    std::string resolved = isCpp() ? resolveClass(made) : std::string();
    object.type = resolved.empty() ? made : resolved;
    return object;
  }
  if ((first == "&" || first == "*") && open - 2 == k + 1) return objectOfName(k + 1, depth + 1);
  TokenHistory::Declarator d = history_.pointerDeclarator(k);
  if (d.name >= 0) return objectOfName(d.name, depth + 1);
  object.text = "(…)";
  if (history_.at(open - 1) != "(") return object;
  // ((Type *) x): the cast gives the type.
  std::string cast;
  for (int c = open - 2; c > k && history_.at(c) != ")"; --c) {
    const std::string& t = history_.at(c);
    if (isNameToken(t) && !TokenTests::isModifier(t)) cast = t;
  }
  object.text = "(" + cast + ")";
  std::string resolved = isCpp() ? resolveClass(cast) : std::string();
  object.type = resolved.empty() ? cast : resolved;
  return object;
}

// `static_cast<T*>(x)` and the other casts, their '>' at look-back k: an
// object of the class they name (no class when the run knows none).
CParser::ObjectType CParser::objectOfCast(int k) const {
  ObjectType object;
  int open = history_.matchingOpen(k, "<", ">");
  if (open < 0 || !TokenTests::isCastKeyword(history_.at(open + 1))) return object;
  std::string type;
  for (int c = open - 1; c > k; --c) {
    const std::string& t = history_.at(c);
    if (t == "*")
      object.pointer = true;
    else if (t == ":" || (isNameToken(t) && t != "const" && t != "volatile"))
      type += t;
  }
  object.text = history_.at(open + 1) + "<" + type + ">()";
  object.type = resolveClass(type);
  return object;
}

// The class the name at look-back k names, written as `T(…)`, `T{…}` or
// `ns::T(…)` to make a temporary object (a class, or a C++ structure that
// declares a constructor); empty when it names none.
std::string CParser::temporaryClass(int k) const {
  if (!isCpp()) return std::string();
  std::string written = history_.at(k);
  if (history_.at(k + 1) == ":" && history_.at(k + 2) == ":") {
    int before;
    std::string qualifier = qualifiedPrefix(k + 1, before);
    if (!qualifier.empty()) written = qualifier + "::" + written;
  }
  std::string cls = resolveClass(written);
  if (cls.empty() || tests_.isKnownClass(cls)) return cls;
  // A structure builds its temporaries only with a constructor of its own;
  // without one, `stat(…)` beside `struct stat` calls the function.
  bool constructed =
      tests_.buildsObjects(cls) && !tables_.classes.resolveMember(cls, lastNamePart(cls)).empty();
  return constructed ? cls : std::string();
}

// f().g(: the class that f's return type names (f looked up in the class
// of the object before it, or of the caller).
std::string CParser::returnTypeOfCall(int open, int depth, bool* pointer, bool* reference) const {
  const std::string& name = history_.at(open + 1);
  if (!isNameToken(name) || tests_.isReserved(name) || depth > 32) return std::string();
  const std::string& before = history_.at(open + 2);
  bool arrow = isCpp() && before == ">" && history_.at(open + 3) == "-";
  std::string owner;
  std::string space;  // ns::f(: the namespace named
  const ClassTable& classes = tables_.classes;
  if (before == "." || arrow) {
    ObjectType outer = objectType(open + (arrow ? 4 : 3), depth + 1);
    if (outer.type.empty()) return std::string();
    owner = classes.resolveMember(outer.type, name);
    if (owner.empty()) owner = outer.type;
  } else if (before == ":" && history_.at(open + 3) == ":") {
    int start;
    std::string qualifier = qualifiedPrefix(open + 2, start);
    owner = resolveClass(qualifier);
    if (owner.empty() && isCpp()) space = resolveNamespace(qualifier);
  } else {
    for (auto body = file_.classBodies.rbegin(); owner.empty() && body != file_.classBodies.rend();
         ++body)
      owner = classes.resolveMember(body->name, name);
    if (owner.empty() && !file_.currentClass.empty())
      owner = classes.resolveMember(file_.currentClass, name);
  }
  if (isJava()) {
    // The run's declarations know every method's result, declared later
    // in the file or in a later file as much as before the call.
    std::string declared = tables_.calls.resultType(owner, name);
    if (!declared.empty()) return declared;
  }
  const FunctionTable& table = functions();
  // The scope the function was declared in names its return type.
  std::string scope = owner.empty() ? space : owner;
  int record = table.recordOf(joinedKey(scope, name));
  if (record < 0 && scope.empty()) {
    // A function of a namespace around the call.
    std::string path = tables_.namespaces.currentPath();
    if (path.empty()) path = file_.functionNamespace;
    while (record < 0 && !path.empty()) {
      record = table.recordOf(path + "::" + name);
      if (record >= 0) scope = path;
      size_t cut = path.rfind("::");
      path = cut == std::string::npos ? std::string() : path.substr(0, cut);
    }
  }
  if (record < 0) return std::string();
  std::string_view written = table.returnTypeOf(table.record(record));
  if (pointer) *pointer = written.find('*') != std::string::npos;
  if (reference) *reference = written.find('&') != std::string::npos;
  return classOfReturnType(written, scope);
}

// The class a function's return type names, looked up as a name of the
// scope the function was declared in; as written when the run knows none.
std::string CParser::classOfReturnType(std::string_view written, const std::string& scope) const {
  std::string type = classOfType(written);
  if (type.empty() || !isCpp()) return type;
  std::string resolved = resolveClass(type);
  if (resolved.empty()) resolved = classUnderPath(scope, type);
  return resolved.empty() ? type : resolved;
}

// The type (as a class) of a member variable of the class or of a base.
std::string CParser::memberType(const std::string& className, const std::string& member,
                                Access access) const {
  const ClassRecord* owner;
  const MemberVariable* m = tables_.classes.findMemberVariable(className, member, owner);
  if (!m) return std::string();
  return classOfObject(m->type, m->object ? access : Access::kWhole);
}

// The class of an object of the type text; for `obj->` and `obj[…]` on an
// object of a template (`unique_ptr<T>`, `vector<T>`, `map<K, T>`), the
// class it holds, when the run knows that one as a class.
std::string CParser::classOfObject(const std::string& written, Access access) const {
  std::string aliased;
  if (access != Access::kWhole && isCpp() && templateArgument(written, 0).empty())
    aliased = aliasedTemplate(classOfType(written));
  const std::string& type = aliased.empty() ? written : aliased;
  if (access != Access::kWhole) {
    std::string cls = classOfType(type);
    int held = access == Access::kSubscript && isKeyedContainer(lastNamePart(cls)) ? 1 : 0;
    std::string element = resolveClass(classOfType(templateArgument(type, held)));
    if (!element.empty() && tests_.isKnownClass(element)) return element;
  }
  std::string cls = classOfType(type);
  std::string resolved = isCpp() ? resolveClass(cls) : std::string();
  return resolved.empty() ? cls : resolved;
}

// ---------------------------------------------------------------------------
// Names

// From the ':' at look-back n (the second of a "::" before a name) back
// over `Name ::` pairs, a template's `<…>` skipped: "a::b". `before` is
// the look-back of the token before the qualifier. Empty for `::name`.
std::string CParser::qualifiedPrefix(int n, int& before) const {
  std::string joined;
  int k = n;
  while (k + 1 <= TokenHistory::kDeepest && history_.at(k) == ":" && history_.at(k + 1) == ":") {
    int m = k + 2;
    if (history_.at(m) == ">") {
      m = history_.matchingOpen(m, "<", ">");
      if (m < 0) break;
      ++m;
    }
    const std::string& part = history_.at(m);
    if (!isNameToken(part) || tests_.isReserved(part) || TokenTests::isDigit(part)) {
      k += 2;
      break;
    }
    joined = joined.empty() ? part : part + "::" + joined;
    k = m + 1;
  }
  before = k;
  return joined;
}

template <class Lookup>
std::string CParser::inScopes(const std::string& name, Lookup lookup) const {
  if (name.empty()) return std::string();
  for (auto body = file_.classBodies.rbegin(); body != file_.classBodies.rend(); ++body) {
    std::string found = lookup(body->name + "::" + name);
    if (!found.empty()) return found;
  }
  // In `void A::f() {` the names of A's scope come first (its nested
  // classes and aliases).
  std::string found;
  auto under = [&](const std::string& c) {
    found = lookup(c);
    return !found.empty();
  };
  if (file_.classBodies.empty() && !file_.currentClass.empty() &&
      !underPath(file_.currentClass, name, under).empty())
    return found;
  std::string path = tables_.namespaces.currentPath();
  if (path.empty() && file_.currentClass.find("::") != std::string::npos)
    path = file_.currentClass.substr(0, file_.currentClass.rfind("::"));
  if (!underPath(path, name, under).empty()) return found;
  if (std::string plain = lookup(name); !plain.empty()) return plain;
  const NamespaceTable& spaces = tables_.namespaces;
  for (size_t i = 0;; ++i) {
    const std::string& space = spaces.usingName(i);
    if (space.empty()) break;
    std::string used = lookup(space + "::" + name);
    if (!used.empty()) return used;
  }
  return std::string();
}

// The class that `name` names here: inside the classes around (C++ nested
// classes), the namespaces around (innermost first), as written, or under
// a namespace of a using directive. Empty when the class table knows none.
std::string CParser::resolveClass(const std::string& name) const {
  if (!isCpp()) return tables_.classes.exists(name) ? name : std::string();
  return inScopes(name, [&](const std::string& c) { return classOrAlias(c); });
}

// `name` is here an alias of a pointer or a reference to a class (not of
// a class).
bool CParser::namesPointerAlias(const std::string& name) const {
  if (!tables_.classes.hasAliases()) return false;
  std::string alias = inScopes(
      name, [&](const std::string& c) { return classOrAlias(c).empty() ? std::string() : c; });
  return tables_.classes.isPointerAlias(alias);
}

// The template text an alias in scope stands for (`std::shared_ptr<Ref>`
// for `RefPtr`), or empty.
std::string CParser::aliasedTemplate(const std::string& name) const {
  if (!tables_.classes.hasAliases() || name.find('<') != std::string::npos) return std::string();
  return inScopes(name, [&](const std::string& candidate) {
    const std::string* target = tables_.classes.aliasTarget(candidate);
    return target && target->find('<') != std::string::npos ? *target : std::string();
  });
}

// The class (or the class an alias names) of `path::name`, or of `name`
// under a scope around the path, innermost first; empty when none.
std::string CParser::classUnderPath(const std::string& path, const std::string& name) const {
  std::string found;
  underPath(path, name, [&](const std::string& c) {
    found = classOrAlias(c);
    return !found.empty();
  });
  return found;
}

// The namespace that `name` names here, as written or inside the
// namespaces around; empty when it is none.
std::string CParser::resolveNamespace(const std::string& name) const {
  const NamespaceTable& spaces = tables_.namespaces;
  std::string found = underPath(spaces.currentPath(), name,
                                [&](const std::string& c) { return spaces.isNamespace(c); });
  if (!found.empty()) return found;
  if (spaces.isNamespace(name)) return name;
  // `using namespace irr;` … `video::f(`: irr::video.
  for (size_t i = 0;; ++i) {
    const std::string& space = spaces.usingName(i);
    if (space.empty()) return std::string();
    if (spaces.isNamespace(space + "::" + name)) return space + "::" + name;
  }
}

// A C++ type text that the type table knows only under a namespace around
// the declaration or of a using directive: that full text ("const ns::T").
// Empty when it knows none.
std::string CParser::resolveTypeName(const std::string& type) const {
  std::string words;
  std::string core = type;
  for (const char* lead : {"static ", "mutable ", "const "}) {
    if (core.rfind(lead, 0) == 0) {
      words += lead;
      core.erase(0, std::string_view(lead).size());
    }
  }
  // `Value const& v`: the qualifier after the type is the same qualifier.
  for (std::string_view trail : {" const", " volatile"}) {
    if (core.size() > trail.size() &&
        core.compare(core.size() - trail.size(), trail.size(), trail) == 0) {
      core.resize(core.size() - trail.size());
      words += std::string(trail.substr(1)) + ' ';
    }
  }
  std::string name = core.substr(0, core.find('<'));
  std::string rest = core.substr(name.size());
  if (name.empty() || name.find(' ') != std::string::npos) return std::string();
  // An alias of a template stands for the template with its arguments.
  if (std::string aliased = rest.empty() ? aliasedTemplate(name) : std::string(); !aliased.empty())
    return words + aliased;
  std::string owner = resolveClass(name);
  if (!owner.empty()) return words + owner + rest;
  const NamespaceTable& spaces = tables_.namespaces;
  std::string path = spaces.currentPath();
  while (!path.empty()) {
    std::string candidate = path + "::" + name;
    if (tests_.isType(candidate)) return words + candidate + rest;
    size_t cut = path.rfind("::");
    path = cut == std::string::npos ? std::string() : path.substr(0, cut);
  }
  for (size_t i = 0;; ++i) {
    const std::string& space = spaces.usingName(i);
    if (space.empty()) break;
    std::string candidate = space + "::" + name;
    if (tests_.isType(candidate)) return words + candidate + rest;
  }
  return std::string();
}

// ---------------------------------------------------------------------------
// Java

// Type name '(' inside a Java body declares a method of an anonymous or
// local class: a call never follows a type.
bool CParser::javaMethodInBody(int position) const {
  if (!file_.inBody || file_.currentFunction.empty()) return false;
  const std::string& before = history_.at(position + 1);
  if (before == "]") return history_.at(position + 2) == "[";
  if (before == ">") {
    // List<String> name(: names, ',', '.', '?' and arrays inside <…>.
    int depth = 0;
    for (int k = position + 1; k < TokenHistory::kDeepest; ++k) {
      const std::string& t = history_.at(k);
      if (t == ">") {
        ++depth;
      } else if (t == "<") {
        if (--depth == 0) {
          const std::string& type = history_.at(k + 1);
          return isNameToken(type) && !tests_.isReserved(type);
        }
      } else if (t != "," && t != "." && t != "?" && t != "[" && t != "]" &&
                 (!isNameToken(t) || (tests_.isReserved(t) && t != "extends" && t != "super"))) {
        return false;
      }
    }
    return false;
  }
  if (!isNameToken(before) || TokenTests::isDigit(before)) return false;
  return isJavaPrimitive(before) || !tests_.isReserved(before);
}

// The base that `super.member` reaches: the first base of the class
// that has the member (a class of two declarations, or one whose
// interfaces come first, has more than one base), else the first base.
std::string CParser::javaSuperClass(const std::string& member) const {
  const ClassTable& classes = tables_.classes;
  for (int i = 0, n = classes.baseCount(file_.currentClass); i < n; ++i) {
    std::string base = classes.baseName(file_.currentClass, i);
    if (!classes.resolveMember(base, member).empty()) return base;
  }
  return classes.baseName(file_.currentClass, 0);
}

// `import static a.b.C.name ;` or `… C.* ;` at file level (the ';' is
// look-back 0): the member and the class are kept for the file's calls.
void CParser::javaStaticImport() {
  int k = 1;
  const std::string& member = history_.at(k);
  if (history_.at(k + 1) != ".") return;
  const std::string& cls = history_.at(k + 2);
  if (!isNameToken(cls) || tests_.isReserved(cls)) return;
  if (member != "*" && (!isNameToken(member) || tests_.isReserved(member))) return;
  for (k += 2; history_.at(k + 1) == "."; k += 2)
    if (!isNameToken(history_.at(k + 2))) return;
  if (history_.at(k + 1) != "static" || history_.at(k + 2) != "import") return;
  file_.staticImports.push_back({member, cls});
}

// The class that a plain call `name(` reaches through the file's static
// imports: one that names the member, else one of all members of a class
// of the run that has it. Empty when none does.
std::string CParser::staticImportOwner(const std::string& name) const {
  for (const FileState::StaticImport& i : file_.staticImports) {
    if (i.member != name) continue;
    std::string owner = tables_.classes.resolveMember(i.cls, name);
    return owner.empty() ? i.cls : owner;
  }
  for (const FileState::StaticImport& i : file_.staticImports) {
    if (i.member != "*") continue;
    std::string owner = tables_.classes.resolveMember(i.cls, name);
    if (!owner.empty()) return owner;
  }
  return std::string();
}

// The return type of a Java method: the words before its name (a class of
// another file is a type as much as one of this file), with their
// modifiers, `<…>` lists and array marks. Annotations end it.
std::string CParser::javaReturnType(int n) const {
  std::string joined;
  bool lastWasName = false;
  int angle = 0;
  for (int k = n; k <= TokenHistory::kDeepest; ++k) {
    const std::string& t = history_.at(k);
    if (t.empty()) break;
    if (t == ">") {
      ++angle;
    } else if (t == "<") {
      if (angle == 0) break;
      --angle;
    } else if (angle == 0 && t != "[" && t != "]" && t != ".") {
      if (!isNameToken(t) || t[0] == '@') break;
      if (tests_.isReserved(t) && !isJavaPrimitive(t) && !TokenTests::isModifier(t)) break;
    }
    bool name = isNameToken(t);
    // "public <V> List<V>": a method's type parameters stand apart from
    // the words around them.
    bool typeParameters = name && TokenTests::isModifier(t) && joined[0] == '<';
    if (((name || t == ">") && lastWasName) || typeParameters) joined.insert(0, " ");
    joined.insert(0, t);
    lastWasName = name;
  }
  return angle == 0 ? joined : std::string();
}
