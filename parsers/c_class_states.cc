// The class states of the C-family statement machine, read in C++ and Java
// files: class, structure, interface and Java enum heads with their base
// lists; class bodies with their member functions, data members and nested
// classes; new and delete; constructor initializer lists; namespaces and
// using directives; templates; objects declared with constructor arguments.
#include "parsers/parser_context.h"
#include "context/source_context.h"
#include "parsers/c_parser_internal.h"
#include "parsers/member_rule.h"
#include "tables/namespace_table.h"
#include "tables/type_table.h"
#include "tables/variable_table.h"
#include "report/error_log.h"
#include "scan/lexical_rules.h"
#include "scan/source_reader.h"
#include "tables/class_table.h"
#include "tables/function_table.h"

namespace {

bool isNameToken(const std::string& t) { return !t.empty() && !isDelimiterToken(t); }

bool isAccessWord(const std::string& t) {
  return t == "public" || t == "private" || t == "protected" || t == "virtual";
}

// Words between a class name and its base list or body that say nothing of
// the class's name.
bool isClassHeadWord(const std::string& t) {
  return t == "final" || t == "sealed" || t == "abstract" || t == "strictfp";
}

}  // namespace

// ---------------------------------------------------------------------------
// Keywords

// C++: namespace, using namespace, template, class, new, delete; Java:
// class, interface, enum, new. True when the token started a state.
bool CParser::startClassKeywordState(const std::string& text) {
  // Asked of every token: a view compares its length before its bytes.
  const std::string_view token = text;
  const std::string& before = history_.at(1);
  bool outsideBody = file_.currentFunction.empty() || file_.headerPending;
  if (token == "new") {
    if (before == "operator") return false;
    file_.statementState = State::kNew;
    file_.newClass.clear();
    file_.newAngle = 0;
    return true;
  }
  if (isJava()) {
    // `Foo.class` is a class literal; a local class is read as part of the
    // method that holds it.
    if (!outsideBody || before == ".") return false;
    if (token == "class" || token == "interface" || token == "@interface") {
      enterClassHead(false, false);
      return true;
    }
    if (token == "enum") {
      enterClassHead(false, true);
      return true;
    }
    return false;
  }
  if (token == "delete") {
    if (before == "operator") return false;
    file_.statementState = State::kDelete;
    return true;
  }
  if (token == "namespace") {
    file_.statementState = before == "using" ? State::kUsingNamespace : State::kNamespaceName;
    file_.namespaceNamed = false;
    return true;
  }
  if (token == ";" && history_.at(2) == ":" && history_.at(3) == ":") usingDeclaration();
  if (token == "=" && history_.at(2) == "using" && tests_.isPlainName(before)) {
    // using Name = type;
    file_.statementState = State::kUsingAlias;
    file_.aliasName = before;
    file_.aliasType.clear();
    file_.aliasWord.clear();
    file_.aliasAngle = 0;
    return true;
  }
  if (token == "template") {
    file_.statementState = State::kTemplate;
    file_.templateAngle = 0;
    return true;
  }
  if ((token == "class" || token == "struct") && before == "friend") {
    // `friend class B;` names a class of the scope around: nothing nested.
    enterClassHead(false, false);
    file_.head.befriended = true;
    return true;
  }
  if (token == "class" && before != "extern" && outsideBody) {
    enterClassHead(false, false);
    return true;
  }
  if (token == "class" && before != "enum" && !outsideBody && file_.parenDepth == 0) {
    // A local class: read as a structure of the function (see structTagState).
    file_.statementState = State::kStructHead;
    return true;
  }
  return false;
}

void CParser::enterClassHead(bool structure, bool javaEnum) {
  file_.head = FileState::ClassHead{};
  file_.head.structure = structure;
  file_.head.javaEnum = javaEnum;
  file_.statementState = structure ? State::kBaseList : State::kClassHead;
}

// ---------------------------------------------------------------------------
// States 9 and 10: the class head and its base list

// "class" [macros, __declspec(…), [[…]], __attribute__((…))] Name …
void CParser::classHeadState(const std::string& token) {
  if (token == "\n") return;
  if (skippedBeforeClassName(token)) return;
  if (token == "{" || token == ";") {
    // `class {` or `class ;`: no name to give the class.
    leaveState();
    runStatementMachine(token);
    return;
  }
  if (TokenTests::isDelimiter(token) || tests_.isReserved(token)) return;
  if (tests_.isMacro(token)) {
    const std::string& body = tables_.defines.bodyOf(token);
    if (body.empty() || body == "__declspec(dllimport)") return;
  }
  file_.head.name = token;
  file_.statementState = State::kBaseList;
}

// An attribute list `[[nodiscard]]`, or the parenthesised arguments of a
// specifier or macro before the name (`__attribute__((…))`, `alignas(16)`,
// `DECLSPEC(x)`, the word itself no name): passed over.
bool CParser::skippedBeforeClassName(const std::string& token) {
  int& depth = file_.head.skipped;
  bool opening = token == "[" || token == "(";
  if (depth == 0 && !opening) return false;
  if (opening) {
    ++depth;
  } else if (token == "]" || token == ")") {
    --depth;
  }
  return true;
}

// Name [<…>] [: [public] Base, …] '{'   -> a class body
// Name ';'                              -> a declared class
// Name anything else                    -> a class named in a declaration
void CParser::baseListState(const std::string& token) {
  if (token == "\n") return;
  FileState::ClassHead& head = file_.head;
  if (token == "{") {
    openClassBody();
    return;
  }
  if (head.angle > 0 || token == "<") {
    if (token == "<") ++head.angle;
    if (token == ">") --head.angle;
    return;
  }
  if (token == "(" && isCpp() && !head.bases && history_.at(1) == head.name) {
    // `class __attribute__((…)) Name`, `class DECLSPEC(x) Name`: the word
    // was a specifier, the name follows its arguments.
    head.name.clear();
    head.skipped = 1;
    file_.statementState = State::kClassHead;
    return;
  }
  if (token == ";" || token == "(" || token == ")") {
    // A declared class (`class A;`), or a head that went wrong.
    registerHeadClass();
    leaveState();
    return;
  }
  if (head.bases)
    baseToken(token);
  else
    classHeadToken(token);
}

bool CParser::introducesBases(const std::string& token) const {
  return isJava() ? token == "extends" || token == "implements" || token == "permits"
                  : token == ":";
}

// Between the name and the base list: a word after the name that makes the
// name a macro (`class EXPORT Name`), or says nothing of it (`final`); any
// other token shows that the class was only named (`class Foo *p`).
void CParser::classHeadToken(const std::string& token) {
  FileState::ClassHead& head = file_.head;
  if (isCpp() && qualifiedHeadToken(token)) return;
  if (introducesBases(token)) {
    registerHeadClass();
    head.bases = true;
    return;
  }
  if (isClassHeadWord(token)) return;
  if (isNameToken(token) && !tests_.isReserved(token) && history_.at(1) == head.name) {
    head.name = token;
    return;
  }
  registerHeadClass();
  leaveState();
  runStatementMachine(token);
}

// C++ `public ns::Base, private Other`; Java `extends a.b.Base implements I`.
void CParser::baseToken(const std::string& token) {
  FileState::ClassHead& head = file_.head;
  bool java = isJava();
  if (token == "," || (java && introducesBases(token))) {
    if (!head.base.empty()) addBaseName(head.base);
    head.base.clear();
    return;
  }
  if (!isNameToken(token) || tests_.isReserved(token) || isAccessWord(token)) return;
  const std::string& before = history_.at(1);
  bool qualified = java ? before == "." : before == ":" && history_.at(2) == ":";
  if (qualified && !head.base.empty()) {
    if (java)
      head.base = token;  // a.b.Base: the class is its last part
    else
      head.base += "::" + token;
    return;
  }
  if (!head.base.empty()) addBaseName(head.base);
  head.base = token;
}

// The class of the head, registered once: a C++ class is named inside the
// classes and namespaces around it, a Java class by its own name.
// C++ `class A::B {` (a nested class defined outside its class) against
// `class A : B {`: a ':' is known for what it is at the token after it.
// True when the token was taken here.
bool CParser::qualifiedHeadToken(const std::string& token) {
  FileState::ClassHead& head = file_.head;
  if (token == ":") {
    head.qualifying = head.colon;
    head.colon = !head.colon;
    return true;
  }
  if (head.colon) {
    head.colon = false;
    registerHeadClass();
    head.bases = true;
    baseToken(token);
    return true;
  }
  if (!head.qualifying) return false;
  head.qualifying = false;
  if (!isNameToken(token) || tests_.isReserved(token)) return false;
  qualifyHeadName(token);
  return true;
}

// The outer part is a class known by now, or a name of the open scope.
void CParser::qualifyHeadName(const std::string& part) {
  FileState::ClassHead& head = file_.head;
  std::string outer = head.named ? std::string() : resolveClass(head.name);
  if (outer.empty()) outer = head.named ? head.name : nestedName(head.name);
  head.name = outer + "::" + part;
  head.named = true;
  if (!tables_.classes.exists(head.name))
    tables_.classes.registerClass(head.name, 1,
                                  head.structure ? ClassTable::kClassLike : ClassTable::kClass);
}

void CParser::registerHeadClass() {
  FileState::ClassHead& head = file_.head;
  if (head.named || head.name.empty()) return;
  head.named = true;
  if (head.befriended) return;
  if (isCpp()) head.name = nestedName(head.name);
  if (!tables_.classes.exists(head.name)) {
    tables_.classes.registerClass(head.name, 1,
                                  head.structure ? ClassTable::kClassLike : ClassTable::kClass);
    return;
  }
  // A C++ class head naming a class known before (declared ahead, defined
  // before, or a library class of that name) is registered again, which
  // the table reports; the class is one the sources use.
  if (isCpp() && !head.structure) tables_.classes.registerClass(head.name, 1, ClassTable::kClass);
  tables_.classes.markUsed(head.name);
}

// A C++ class or structure is named inside the class or namespaces
// around it ("ns::Outer::Inner").
std::string CParser::nestedName(const std::string& name) const {
  if (!file_.classBodies.empty()) return file_.classBodies.back().name + "::" + name;
  if (tables_.namespaces.openCount() > 0) return tables_.namespaces.currentPath() + "::" + name;
  return name;
}

// A C++ base names a class that the table knows (looked up like a name in
// the code); a Java base is whatever follows extends or implements.
void CParser::addBaseName(const std::string& name) {
  ClassTable& classes = tables_.classes;
  if (isJava()) {
    // `class Builder implements other.Builder`: a class of another package.
    if (!sameName(name, file_.head.name)) classes.addBase(file_.head.name, name);
    return;
  }
  std::string base = resolveClass(name);
  if (!base.empty()) classes.addBase(file_.head.name, base);
}

// '{' after a class head: the body opens; a Java class whose body was read
// before in this file is registered again, which the table reports (a C++
// head has done so already).
void CParser::openClassBody() {
  FileState::ClassHead& head = file_.head;
  if (head.name.empty()) {
    leaveState();
    return;
  }
  registerHeadClass();
  // A C++ structure is a class: its objects are built and destroyed.
  if (head.structure) tables_.classes.markStructureClass(head.name);
  if (!head.base.empty()) addBaseName(head.base);
  head.base.clear();
  bool known = false;
  for (const std::string& done : file_.classesWithBody) known |= sameName(done, head.name);
  if (known && !head.structure && isJava())
    tables_.classes.registerClass(head.name, 1, ClassTable::kClass);
  else
    file_.classesWithBody.push_back(head.name);
  ClassBody body{head.name,         file_.braceDepth - 1,
                 head.structure,    head.javaEnum,
                 head.javaEnum,     false,
                 file_.typedefMode, {}};
  file_.typedefMode = false;
  file_.classBodies.push_back(std::move(body));
  file_.currentClass = head.name;
  file_.classStartDepth = file_.braceDepth - 1;
  file_.classFromQualifier = false;
  file_.memberAssign = file_.initializerList = false;
  file_.statementState = State::kClassBody;
  file_.bodyKind = 1;
}

// ---------------------------------------------------------------------------
// State 11: the class body

void CParser::classBodyState(const std::string& token) {
  if (file_.classBodies.empty()) {
    file_.statementState = State::kDefault;
    return;
  }
  const ClassBody& body = file_.classBodies.back();
  if (body.enumConstants && token == "{" && file_.parenDepth == 0 &&
      file_.braceDepth == body.startDepth + 2) {
    enumConstantBody();
    return;
  }
  if (body.closing || file_.braceDepth <= body.startDepth) {
    classBodyClosed(token);
  } else if (file_.braceDepth == body.startDepth + 1 || readingInitializerList()) {
    // (and inside a member's initial value `b{…}` in an initializer list)
    memberLevelToken(token);
  } else if (!file_.currentFunction.empty()) {
    // An inline body: read as any function's.
    defaultState(token);
  }
  // Otherwise a block of no function (an initializer block, an enum
  // constant's body, an anonymous class in a field's initializer): its
  // calls are made by no function of the sources, and are passed over.
}

// A Java enum constant's body `PLUS { int apply(…) { … } }`, read as an
// anonymous class whose members are the enumeration's own: its methods
// are the enumeration's, and their calls are theirs.
void CParser::enumConstantBody() {
  const ClassBody& enumeration = file_.classBodies.back();
  ClassBody constant{enumeration.name, file_.braceDepth - 1, false, false, false, false, false, {}};
  file_.classBodies.push_back(std::move(constant));
  file_.currentClass = file_.classBodies.back().name;
  file_.classStartDepth = file_.braceDepth - 1;
  file_.memberAssign = file_.initializerList = false;
}

// One token at member level: member functions, data members, nested
// classes, and the words that shape them.
void CParser::memberLevelToken(const std::string& token) {
  ClassBody& body = file_.classBodies.back();
  if (token == "\n") return;
  if (body.enumConstants) {
    // A Java enum's constants, their arguments and bodies.
    if (token == ";" && file_.parenDepth == 0) body.enumConstants = false;
    return;
  }
  if (token == "(") {
    memberDeclaration();
    return;
  }
  if (token == "{" || token == "}") {
    if (!readingInitializerList()) file_.memberAssign = file_.initializerList = false;
    return;
  }
  bool headerOpen = !file_.currentFunction.empty() && file_.headerPending;
  if (token == ";" && file_.parenDepth == 0 && headerOpen) {
    // `virtual void f() = 0;`, `void g() = delete;`: declared only.
    resetFunction();
    return;
  }
  if (isJava() && token == "throws" && headerOpen) {
    file_.throwsSeen = true;
    return;
  }
  if (isCpp() && token == ":" && file_.parenDepth == 0 && headerOpen && history_.at(1) == ")") {
    file_.initializerList = true;  // A(…) : base(…), member(…) {
    return;
  }
  if (file_.initializerList) {
    if (token == "new") startClassKeywordState(token);  // A() : p(new B) {
    return;
  }
  if (file_.memberAssign) {
    // A data member's initializer: its calls are made by no function of
    // the sources; a class it creates is built by the class's constructor.
    if (token == "new") {
      startClassKeywordState(token);
    } else if (token == "," && file_.parenDepth == 0) {
      declarationRule(token);  // int a = 1, b;
      file_.memberAssign = false;
    }
    return;
  }
  if (startClassKeywordState(token) || startKeywordState(token)) return;
  if (isDeclarationEnd(token, file_.parenDepth)) declarationRule(token);
  // `operator=`, `operator+=`, `operator==` name a member; any other '='
  // starts an initializer.
  bool operatorName = history_.at(1) == "operator" || history_.at(2) == "operator";
  if (token == "=" && file_.parenDepth == 0 && !headerOpen && !operatorName)
    file_.memberAssign = true;
}

// name '(' at member level  -> a member function; its body may follow.
// operator+ '(' and operator T '(' -> an operator member.
void CParser::memberDeclaration() {
  bool headerOpen = !file_.currentFunction.empty() && file_.headerPending;
  bool inInitialValue = file_.braceDepth > file_.classBodies.back().startDepth + 1;
  if (file_.parenDepth > 1 || inInitialValue) {
    // A call inside a constructor's initializer list: `A() : b(f(x)), c{g()}`.
    if (headerOpen && file_.initializerList) callOrHeader();
    return;
  }
  if (file_.memberAssign) return;  // an initializer's calls belong to no function of ours
  int position = 1;
  std::string name = history_.at(1);
  bool isOperator = operatorMember(name, position);
  if (!isOperator) {
    if (TokenTests::isDelimiter(name) || tests_.isReserved(name) || TokenTests::isDigit(name))
      return;
    // Annotations, qualified names and `new Name(` declare nothing.
    const std::string& before = history_.at(2);
    if (name[0] == '@' || before == "." || before == "new" || before == "@") return;
  }
  if (headerOpen) {
    if (file_.initializerList) {
      initializerListEntry(name, position);
      return;
    }
    // `) __attribute__((x))`, `) PURE(x)`: a word after a header's ')'.
    if (history_.at(position + 1) == ")") return;
  }
  bool destructor = !isOperator && history_.at(position + 1) == "~";
  if (destructor) name.insert(0, "~");
  // `friend R f(…)` declares (or defines) a function of the class's
  // namespace; `friend R Other::f(…)` is left as it was read.
  const bool befriended =
      isCpp() && history_.at(position + 1) != ":" && declaredFriend(position + 1);
  file_.functionNamespace = befriended ? enclosingNamespace(file_.currentClass) : std::string();
  DeclInfo member = functionDecl(befriended ? std::string() : file_.currentClass, name);
  member.line = currentLine();
  member.returnType =
      isJava() ? javaReturnType(position + 1) : returnTypeWalk(position + (destructor ? 2 : 1));
  if (!befriended) tables_.classes.addMethod(member);
  std::uint32_t kind = isOperator ? kKindOperator : kKindCall;
  functions().registerDefinition(member, kind, reader_->capturedComment());
  // Declaration macros of the message map and of run-time class
  // information are followed by no body and no ';'.
  if (name == "DECLARE_MESSAGE_MAP" || name == "DECLARE_DYNAMIC") {
    resetFunction();
    return;
  }
  enterFunction(name);
  file_.friendFunction = befriended;
}

// `friend` among the words in front of a member's name, back to the start
// of its declaration.
bool CParser::declaredFriend(int typeStart) const {
  for (int k = typeStart; k < typeStart + 40; ++k) {
    const std::string& t = history_.at(k);
    if (t == "friend") return true;
    if (t.empty() || t == ";" || t == "{" || t == "}" || isAccessWord(t)) return false;
  }
  return false;
}

// operator+ '(', operator== '(', operator() '(', operator bool '(',
// operator const char* '(': the name becomes the operator's symbol (or
// its type) and `position` the look-back of "operator". False when the
// name is no operator.
bool CParser::operatorMember(std::string& name, int& position) const {
  if (!isCpp()) return false;
  const std::string& last = history_.at(1);
  if (history_.at(2) == "operator") {
    name = last;
    position = 2;
    return true;
  }
  if (!TokenTests::isDelimiter(last)) return false;
  if (TokenTests::isDelimiter(history_.at(2)) && history_.at(3) == "operator") {
    name = history_.at(2) + last;
    position = 3;
    return true;
  }
  if (last != "*" && last != "&") return false;
  // A conversion operator: back past the marks and the type's words.
  for (int k = 2; k < 12; ++k) {
    const std::string& t = history_.at(k);
    if (t == "operator") {
      name = returnTypeWalk(1);
      position = k;
      return !name.empty();
    }
    if (t != "*" && t != "&" && !tests_.isType(t) && !TokenTests::isModifier(t) &&
        !tests_.isEmptyMacro(t))
      return false;
  }
  return false;
}

// `: Base(…)` or `, member(…)` after a constructor's header: a base class
// is built by this constructor.
void CParser::initializerListEntry(const std::string& name, int position) {
  std::string written = name;
  if (history_.at(position + 1) == ":" && history_.at(position + 2) == ":") {
    int before;
    std::string qualifier = qualifiedPrefix(position + 1, before);
    if (!qualifier.empty()) written = qualifier + "::" + name;
  }
  std::string base = resolveClass(written);
  if (base.empty()) return;
  functions().linkConstructorCall(file_.currentClass, file_.currentFunction, base, false);
}

// A constructor (destructor) whose definition is read builds (destroys)
// its class's bases, whether its initializer list names them or not.
void CParser::baseStructorsOfDefinition() {
  if (!isCpp() || file_.currentClass.empty() || file_.currentFunction.empty()) return;
  std::string_view name = file_.currentFunction;
  bool destructor = name[0] == '~';
  if (name.substr(destructor ? 1 : 0) != lastNamePart(file_.currentClass)) return;
  functions().linkBaseStructors(file_.currentClass, destructor);
}

// The body has closed: a Java class ends at once, a C++ class at its ';'
// (declarators after it are passed over), a C++ structure goes on to its
// declarators like a C structure.
void CParser::classBodyClosed(const std::string& token) {
  ClassBody& body = file_.classBodies.back();
  if (file_.braceDepth < body.startDepth) {
    positionMessage(": クラス定義の終わりの\";\"がありません。");
    endClassBody();
    return;
  }
  if (!body.closing) {
    if (isJava() || body.structure) {
      endClassBody();
      return;
    }
    body.closing = true;
    return;
  }
  if (token == ";") endClassBody();
}

// The innermost class ends: the one around it (if any) is current again.
void CParser::endClassBody() {
  ClassBody body = std::move(file_.classBodies.back());
  file_.classBodies.pop_back();
  file_.classFromQualifier = false;
  if (!file_.classBodies.empty()) {
    file_.currentClass = file_.classBodies.back().name;
    file_.classStartDepth = file_.classBodies.back().startDepth;
  } else {
    file_.currentClass.clear();
    file_.classStartDepth = 0;
  }
  file_.bodyKind = 0;
  file_.memberAssign = file_.initializerList = false;
  leaveState();
  bindDeferredCalls(body);
  if (!body.structure) return;
  // struct Tag { … } a, *p;  — the tag is a structure type of its size.
  int flags = 0;
  int size = tables_.classes.sizeOf(body.name, flags);
  tables_.types.registerType(body.name, TypeTable::kStructure, size, flags != 0, languages());
  file_.structTag = body.name;
  file_.typedefMode = body.typedefNames;
  file_.statementState = State::kStructEnd;
}

// The class is complete: each deferred call binds to a member function of
// it or of a base (else to a function of the namespaces around), or to the
// class of the data member it is called on.
void CParser::bindDeferredCalls(const ClassBody& body) {
  for (const DeferredCall& call : body.deferred) {
    DeclInfo callee;
    callee.name = call.name;
    if (call.object.empty()) {
      callee.className = tables_.classes.resolveMember(body.name, call.name);
      namespaceOfCallee(callee);
    } else {
      callee.className = memberPathType(body.name, call.object, call.arrow);
      if (callee.className.empty()) {
        errorLog() << call.position << ": ｸﾗｽ名が不明です。不明なｵﾌﾞｼﾞｪｸﾄ名[" << call.object
                   << "]\n";
        callee.className = "(不明)" + call.object;
      }
    }
    functions().SetChainAto(call.caller, callee, call.kind);
  }
}

// "a.b", "a->b" or "a[].b" from a member a of the class: the class of the
// last part (of what it points to or holds when `->` follows it, in the
// path or after it, as `arrow` says).
std::string CParser::memberPathType(const std::string& className, const std::string& path,
                                    bool arrow) const {
  std::string type = className;
  size_t start = 0;
  // this->a.b: the path starts at the class itself.
  for (std::string_view self : {"this->", "this."})
    if (path.compare(0, self.size(), self) == 0) start = self.size();
  while (!type.empty() && start <= path.size()) {
    size_t end = path.find_first_of(".-", start);
    std::string part =
        path.substr(start, end == std::string::npos ? std::string::npos : end - start);
    // items[].f: an element of the member
    bool element = part.size() > 2 && part.compare(part.size() - 2, 2, "[]") == 0;
    if (element) part.resize(part.size() - 2);
    bool pointed = end == std::string::npos ? arrow : path[end] == '-';
    type = memberType(type, part,
                      element   ? Access::kSubscript
                      : pointed ? Access::kArrow
                                : Access::kWhole);
    if (end == std::string::npos) break;
    start = end + (path[end] == '-' ? 2 : 1);
  }
  return type;
}

// After a '}' or an out-of-class member function: the class of the
// innermost open body is current again, or none.
void CParser::restoreClassContext() {
  file_.classFromQualifier = false;
  if (!file_.classBodies.empty() && file_.classBodies.back().startDepth < file_.braceDepth) {
    file_.currentClass = file_.classBodies.back().name;
    file_.classStartDepth = file_.classBodies.back().startDepth;
    return;
  }
  file_.currentClass.clear();
  file_.classStartDepth = 0;
}

// ---------------------------------------------------------------------------
// States 12 to 14: new, constructor initializer lists, delete

// "new" [a.b. | a::b::] Name [<…>] ( …   -> a constructor call of the class
void CParser::newState(const std::string& token) {
  if (token == "\n") return;
  if (file_.newAngle > 0 || token == "<") {
    if (token == "<") ++file_.newAngle;
    if (token == ">") --file_.newAngle;
    return;
  }
  if (token == ":" || token == ".") return;
  if (isNameToken(token)) {
    const std::string& before = history_.at(1);
    if (before == ":" && !file_.newClass.empty())
      file_.newClass += "::" + token;
    else
      file_.newClass = token;
    return;
  }
  leaveState();
  std::string created = isJava() ? file_.newClass : resolveClass(file_.newClass);
  // `new T[n]` makes an array: no constructor of T runs.
  if (!created.empty() && token != "[" && tables_.classes.exists(created)) {
    bool inFunction = !file_.currentFunction.empty();
    std::string outer =
        file_.currentClass.empty() && inFunction ? file_.functionNamespace : file_.currentClass;
    functions().linkConstructorCall(outer, file_.currentFunction, created, false);
  }
  // The '(' of the constructor's arguments calls nothing itself.
  if (token != "(") runStatementMachine(token);
}

// A::A ( … ) : Base ( … ), member ( … ), member { … } '{'
void CParser::constructorListState(const std::string& token) {
  if (token == ";" || (token == "{" && !readingInitializerList())) {
    file_.initializerList = false;
    leaveState();
    return;
  }
  if (token == ":" && file_.parenDepth == 0 && history_.at(1) == ")") {
    file_.initializerList = true;
    return;
  }
  if (!file_.initializerList) {
    if (isDeclarationEnd(token, file_.parenDepth)) declarationRule(token);
    return;
  }
  if (token == "new") {
    startClassKeywordState(token);
    return;
  }
  if (token != "(") return;
  if (file_.parenDepth > 1 || file_.braceDepth > file_.entryDepth) {
    callOrHeader();  // a call in an initial value
    return;
  }
  std::string written = history_.at(1);
  if (history_.at(2) == ":" && history_.at(3) == ":") {
    int before;
    std::string qualifier = qualifiedPrefix(2, before);
    if (!qualifier.empty()) written = qualifier + "::" + written;
  }
  std::string base = resolveClass(written);
  if (base.empty()) return;
  DeclInfo callee;
  callee.className = base;
  callee.name = std::string(lastNamePart(base));
  if (history_.at(2) == "~") callee.name.insert(0, "~");
  functions().SetChainAto(callerParts(), keyPartsOf(callee), kKindCall);
}

// "delete" ['[' ']'] name  -> the destructor of its class
void CParser::deleteState(const std::string& token) {
  if (token == "\n" || token == "[" || token == "]") return;
  leaveState();
  if (!isNameToken(token)) {
    runStatementMachine(token);
    return;
  }
  if (file_.currentFunction.empty() || tests_.isReserved(token)) return;
  std::string deleted = resolveClass(token);
  if (deleted.empty()) {
    const std::string* type =
        tables_.variables.referenceVariable(token, file_.currentClass, file_.currentFunction);
    if (type) deleted = resolveClass(classOfType(*type));
  }
  if (deleted.empty()) return;
  DeclInfo callee;
  callee.className = deleted;
  callee.name = "~" + std::string(lastNamePart(deleted));
  functions().SetChainAto(callerParts(), keyPartsOf(callee), kKindCall);
}

// ---------------------------------------------------------------------------
// States 15 to 17: namespaces, using directives, templates

// "namespace" Name   -> a namespace opens at this depth
// "namespace" a::b    -> b opens inside a, both closing with the one body
// "namespace" '{'    -> an anonymous namespace, a namespace level all the same
void CParser::namespaceNameState(const std::string& token) {
  if (token == "\n") return;
  if (file_.namespaceNamed) {
    if (token == ":") return;
    if (history_.at(1) == ":" && history_.at(2) == ":" && !TokenTests::isDelimiter(token) &&
        !tests_.isReserved(token)) {
      tables_.namespaces.openNamespace(token, file_.braceDepth);
      return;
    }
    leaveState();
    runStatementMachine(token);
    return;
  }
  if (token == "{") {
    file_.anonymousNamespaces.push_back(file_.braceDepth - 1);
    leaveState();
    return;
  }
  if (TokenTests::isDelimiter(token) || tests_.isReserved(token)) {
    if (token == ";") leaveState();
    return;
  }
  tables_.namespaces.openNamespace(token, file_.braceDepth);
  file_.namespaceNamed = true;
}

void CParser::closeAnonymousNamespaces() {
  std::vector<int>& open = file_.anonymousNamespaces;
  while (!open.empty() && open.back() >= file_.braceDepth) open.pop_back();
}

// "using" "namespace" [a::]name ';'
void CParser::usingNamespaceState(const std::string& token) {
  if (token != ";") return;
  leaveState();
  std::string name = history_.at(1);
  if (name.empty() || TokenTests::isDelimiter(name) || tests_.isReserved(name)) return;
  if (history_.at(2) == ":" && history_.at(3) == ":") {
    int before;
    std::string qualifier = qualifiedPrefix(2, before);
    if (!qualifier.empty()) name = qualifier + "::" + name;
  }
  tables_.namespaces.addUsing(name, file_.braceDepth);
}

// "template" '<' … '>'  (nested lists counted)
void CParser::templateState(const std::string& token) {
  if (token == "\n") return;
  if (token == "<") {
    ++file_.templateAngle;
    return;
  }
  if (token == ">") {
    if (--file_.templateAngle <= 0) leaveState();
    return;
  }
  if (file_.templateAngle == 0) {
    // `x.template f<T>()`, `template class A<int>;`: no list follows.
    leaveState();
    runStatementMachine(token);
  }
}

// ---------------------------------------------------------------------------
// State 18: an object declared with constructor arguments

// Class obj '('  -> an object, not a call (inside a function at once;
// outside, unless a type or a body shows a function header after all).
bool CParser::objectDeclaration() {
  const std::string& name = history_.at(1);
  const std::string& type = history_.at(2);
  if (!isNameToken(name) || !isNameToken(type) || TokenTests::isDigit(name) ||
      TokenTests::isDigit(type))
    return false;
  if (type == "new") return true;
  // ns::Class obj(  Alias::Inner obj(
  bool qualified = history_.at(3) == ":" && history_.at(4) == ":";
  if (tests_.isReserved(name) || tests_.isReserved(type) || (history_.at(3) == ":" && !qualified) ||
      history_.at(3) == "." || history_.at(3) == "~")
    return false;
  std::string objectClass = resolveClass(qualified ? qualifiedTypeAt(2) : type);
  if (objectClass.empty() || !tests_.buildsObjects(objectClass)) return false;
  if (!file_.currentFunction.empty()) {
    if (file_.headerPending) return false;
    registerVariable(objectClass, name, false, false);
    return true;
  }
  file_.objectClass = objectClass;
  file_.objectName = name;
  file_.objectTokens = 0;
  file_.objectLine = currentLine();
  file_.statementState = State::kObjectArguments;
  return true;
}

void CParser::objectArgumentsState(const std::string& token) {
  if (token == "\n") return;
  ++file_.objectTokens;
  if (token == ";") {
    leaveState();
    registerVariable(file_.objectClass, file_.objectName, false, false);
    return;
  }
  // A type, a class or a modifier (`Class name(const T& t)`, `Class
  // name(Class& c)`) starts a parameter; `Class name()` declares a function.
  bool parameter = file_.parenDepth > 0 &&
                   (tests_.isType(token) || token == "const" || TokenTests::isModifier(token) ||
                    (isNameToken(token) && tests_.isKnownClass(resolveClass(token))));
  bool noArguments = token == ")" && file_.objectTokens == 1;
  if (token == "{" || parameter || noArguments) objectWasHeader(token);
}

// `Class name(int …` or `Class name(…) {`: a function returning the class.
// Its header is registered now, with the argument text its tokens give.
void CParser::objectWasHeader(const std::string& token) {
  leaveState();
  int open = file_.objectTokens;  // look-back of the '('
  memberHeader(file_.objectName, kKindCall, open + 1, file_.objectLine);
  if (file_.currentFunction != file_.objectName) return;
  int depth = 1;
  for (int k = open - 1; k >= 1 && file_.collectingArguments; --k) {
    const std::string& t = history_.at(k);
    if (t == "(") ++depth;
    if (t == ")") --depth;
    collectArgument(t, depth);
  }
  if (file_.collectingArguments) {
    collectArgument(token, file_.parenDepth);
  } else {
    captureArguments(true);
  }
  if (token == "{") {
    // The brace has been counted: the body is open.
    file_.headerPending = false;
    file_.inBody = true;
    file_.entryDepth = file_.braceDepth - 1;
  }
}
