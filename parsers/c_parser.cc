#include "parsers/c_parser.h"

#include "context/language_mode.h"
#include "context/options.h"
#include "parsers/parser_context.h"
#include "context/source_context.h"
#include "parsers/c_parser_internal.h"
#include "tables/namespace_table.h"
#include "tables/variable_table.h"
#include "report/error_log.h"
#include "scan/source_reader.h"
#include "scan/lexical_rules.h"
#include "tables/function_table.h"

std::unique_ptr<TokenParser> makeCParser(int languageMode, ParserContext& tables) {
  return std::make_unique<CParser>(languageMode, tables);
}

FunctionTable& CParser::functions() const { return tables_.functions; }

// ---------------------------------------------------------------------------
// File boundaries

void CParser::resetForFile(SourceReader& reader) {
  attachFile(reader);
  file_ = FileState{};
  int mask = tables_.context.languageMask();
  file_.language = (mask & kModeJava)  ? SourceLanguage::kJava
                   : (mask & kModeCpp) ? SourceLanguage::kCpp
                                       : SourceLanguage::kC;
}

// Inside braces other than a namespace's, but not in an extern "C" block,
// whose declarations are passed over.
bool CParser::continuesIntoHeaders() const {
  return file_.braceDepth > namespaceDepth() && file_.statementState != State::kExternC;
}

void CParser::endOfFile(SourceReader& reader) {
  if (reader_ != &reader) attachFile(reader);
  endOfFileChecks();
  file_.braceDepth = file_.parenDepth = 0;
  file_.statementState = State::kDefault;
}

// The balance checks name the file in brackets and give the count on a
// line of its own.
void CParser::endOfFileChecks() {
  const std::string& name = fileName();
  if (file_.braceDepth != 0)
    errorLog() << "[ " << name << " ]で括弧({})の数が合いません。\n括弧数 = " << file_.braceDepth
               << '\n';
  logOpenStatements(file_.parenDepth, static_cast<int>(file_.statementState));
}

// What a compiler would see: every macro is expanded, but for a macro
// called inside a function body while macros count as functions (the
// call is then of the macro itself), and an object-like macro in an
// enumeration, where the enumerator rule reads macro names itself (a
// function-like one there lists enumerators). A C++ class body is no
// function body for a macro that annotates a member (`T m_ GUARDED_BY(mu);`,
// `void f() REQUIRES(mu);`).
MacroUse CParser::macroUse(const DefineEntry&) const {
  if (file_.statementState == State::kEnum) return MacroUse::kExpandCallsOnly;
  if (tables_.options.macrosAreNotFunctions || !file_.inBody || annotatesMember())
    return MacroUse::kExpand;
  return MacroUse::kExpandUnlessCall;
}

bool CParser::annotatesMember() const {
  if (!isCpp() || file_.classBodies.empty() ||
      file_.braceDepth != file_.classBodies.back().startDepth + 1)
    return false;
  const std::string& before = history_.at(1);
  return before == ")" || before == "const" || tests_.isPlainName(before);
}

// ---------------------------------------------------------------------------
// The step

void CParser::step(SourceReader& reader) {
  file_.externCJustClosed = reader.externCMarker();
  const std::string* live = liveToken(reader);
  if (!live) return;
  const std::string& token = *live;
  countingPass(token);
  // Blanks only ever mattered for the line count; a line end still reaches
  // the states, some of which pass over it explicitly.
  if (isBlankToken(token)) return;
  if (file_.collectingArguments) collectArgument(token, file_.parenDepth);
  if (token == ")" && file_.parenDepth == 0) captureArguments();
  if (!file_.initialised.cls.empty() && token != "\n") initialiserToken(token);
  runStatementMachine(token);
  if (token == ";") {
    if (isJava() && file_.braceDepth == 0) javaStaticImport();
    statementEnd();
  }
  if (token == "\n") return;
  referenceVariables(token);
  if (isCpp()) operatorCall(token);
}

void CParser::countingPass(const std::string& token) {
  if (token.size() != 1) return;
  switch (token[0]) {
    case '\n':
      if (file_.countingSteps) ++file_.stepCount;
      break;
    case '(':
      ++file_.parenDepth;
      break;
    case ')':
      --file_.parenDepth;
      break;
    case ';':
      semicolonCount();
      break;
    case '{':
      openBrace();
      break;
    case '}':
      closeBrace();
      break;
    default:
      break;
  }
}

// A ';' closes a function-pointer variable like a body, and after a header
// at function level it shows that the header was a prototype (in C++ also
// `) -> int;`, `) noexcept;` and `) const = default;` or `= delete;`).
void CParser::semicolonCount() {
  if (file_.pointerPending && !file_.externSeen)
    functions().setBodyInfo(currentDecl(), file_.stepCount, tables_.variables.stackUse());
  if (file_.braceDepth <= file_.entryDepth && file_.parenDepth == 0) {
    int k = 1;
    const std::string& last = history_.at(1);
    if (isCpp() && (last == "default" || last == "delete") && history_.at(2) == "=") k = 3;
    // `D::~D() = default;` is a definition.
    if (k == 3 && last == "default" && file_.headerPending) baseStructorsOfDefinition();
    const std::string& before = history_.at(hasClasses() ? pastHeaderEnd(k) : k);
    bool ordinary = before != ")" && !file_.pointerPending && before != "const";
    // `DECLARE(x);` at file level: a macro call, not a prototype. (Followed
    // by a body, such a macro defines a function of its own name.)
    if (file_.headerPending && !file_.inBody && tests_.isFunctionLikeMacro(file_.currentFunction))
      withdrawPendingHeader();
    else if (!ordinary && file_.headerPending)
      resetFunction();
  }
  tables_.namespaces.statementEnd(file_.braceDepth);
}

// A '{' at function level, or at the member level of a class body, may
// open the body of the header before it.
void CParser::openBrace() {
  int nsDepth = namespaceDepth();
  bool memberLevel = file_.statementState == State::kClassBody && !file_.classBodies.empty() &&
                     file_.braceDepth == file_.classBodies.back().startDepth + 1;
  bool bodyTest = file_.parenDepth == 0 &&
                  (!file_.inBody || file_.braceDepth == nsDepth || memberLevel) &&
                  !initialValueBraces();
  if (bodyTest) {
    if (bodyFollows()) {
      if (file_.headerPending) baseStructorsOfDefinition();
      file_.headerPending = false;
      file_.declaredType.clear();
    }
    if (!(isJava() && file_.currentFunction.empty())) file_.inBody = true;
  }
  ++file_.braceDepth;
}

// `A() : b{}, c{{1, 2}} {`: in a constructor's initializer list, braces
// after a member's or base's name hold its initial value, and braces
// inside those too; the body opens after the list's last ')' or '}'.
bool CParser::initialValueBraces() const {
  if (!readingInitializerList()) return false;
  if (file_.braceDepth > file_.entryDepth) return true;
  const std::string& before = history_.at(1);
  return before == ">" ||
         (!before.empty() && !isDelimiterToken(before) && !tests_.isReserved(before));
}

// `… ) {`, `… ; {` (old-style parameters) or `… const {`; in C++ and Java
// also past words that end a header (`) const override {`, an empty
// macro such as `) OVERRIDE {`), C++'s trailing return type (`) -> int {`)
// and Java's `throws A, B {`.
bool CParser::bodyFollows() const {
  const std::string& before = history_.at(hasClasses() ? pastHeaderEnd(1) : 1);
  if (before == ")" || before == ";" || before == "const") return true;
  if (before == "}" && readingInitializerList()) return true;  // `: b{} {`
  return isJava() && (history_.at(2) == "throws" || file_.throwsSeen);
}

// From look-back k back past what may end a header after its ')' or
// `const`: words such as `noexcept` and `override`, a trailing return type.
int CParser::pastHeaderEnd(int k) const {
  k = pastHeaderWords(k);
  int arrow = beforeTrailingReturn(k);
  return arrow != k ? pastHeaderWords(arrow) : k;
}

// From look-back k back past the words that may end a header.
int CParser::pastHeaderWords(int k) const {
  for (; k < TokenHistory::kDeepest; ++k) {
    const std::string& t = history_.at(k);
    if (t != "override" && t != "final" && t != "noexcept" && !tests_.isEmptyMacro(t)) break;
  }
  return k;
}

// `) -> T`, `) const -> std::vector<int>`, `) -> decltype(a + b)` ending
// at look-back k: the look-back of the token before the arrow; k when no
// trailing return type ends there (the type holds names, `::`, `<…>`,
// `*`, `&` and `decltype(…)` only, so `: base(p->x) {` has none).
int CParser::beforeTrailingReturn(int k) const {
  if (!isCpp()) return k;
  for (int m = k; m < k + 32 && m + 2 <= TokenHistory::kDeepest;) {
    const std::string& t = history_.at(m);
    if (t == ">" && history_.at(m + 1) == "-") {
      const std::string& lead = history_.at(m + 2);
      return lead == ")" || lead == "&" || !TokenTests::isDelimiter(lead) ? m + 2 : k;
    }
    if (t == ")") {
      int open = history_.matchingOpen(m, "(", ")");
      if (open < 0 || history_.at(open + 1) != "decltype") return k;
      m = open + 2;
      continue;
    }
    bool typeToken = TokenTests::isDelimiter(t)
                         ? t == ":" || t == "<" || t == ">" || t == "," || t == "*" || t == "&"
                         : !t.empty();
    if (!typeToken) return k;
    ++m;
  }
  return k;
}

void CParser::closeBrace() {
  tables_.variables.closeScope(file_.braceDepth);
  tables_.namespaces.closeScope(file_.braceDepth);
  if (--file_.braceDepth < 0) {
    positionMessage(": 括弧({)数が負になりました");
    file_.braceDepth = 0;
  } else if (file_.braceDepth <= file_.entryDepth) {
    if (file_.classStartDepth == 0) file_.inBody = false;
    if (!file_.currentFunction.empty() && !file_.headerPending) {
      if (file_.countingSteps)
        functions().setBodyInfo(currentDecl(), file_.stepCount, tables_.variables.stackUse());
      tables_.variables.endFunctionScope();
      resetFunction();
    }
  }
  // A member's initial value `b{…}` closes inside its constructor's header.
  if (!file_.currentClass.empty() && file_.classStartDepth >= file_.braceDepth &&
      !readingInitializerList())
    restoreClassContext();
  if (!file_.anonymousNamespaces.empty()) closeAnonymousNamespaces();
  tables_.namespaces.statementEnd(file_.braceDepth);
}

void CParser::runStatementMachine(const std::string& token) {
  switch (file_.statementState) {
    case State::kDefault:
      defaultState(token);
      break;
    case State::kTypedef:
      typedefState(token);
      break;
    case State::kStructHead:
      structHeadState(token);
      break;
    case State::kStructTag:
      structTagState(token);
      break;
    case State::kStructBody:
      structBodyState(token);
      break;
    case State::kStructEnd:
      structEndState(token);
      break;
    case State::kInitializer:
      initializerState(token);
      break;
    case State::kEnum:
      enumState(token);
      break;
    case State::kExternC:
      externCState(token);
      break;
    case State::kClassHead:
      classHeadState(token);
      break;
    case State::kBaseList:
      baseListState(token);
      break;
    case State::kClassBody:
      classBodyState(token);
      break;
    case State::kNew:
      newState(token);
      break;
    case State::kConstructorList:
      constructorListState(token);
      break;
    case State::kDelete:
      deleteState(token);
      break;
    case State::kNamespaceName:
      namespaceNameState(token);
      break;
    case State::kUsingNamespace:
      usingNamespaceState(token);
      break;
    case State::kTemplate:
      templateState(token);
      break;
    case State::kObjectArguments:
      objectArgumentsState(token);
      break;
    case State::kUsingAlias:
      usingAliasState(token);
      break;
  }
}

// `;` after the statement machine: what a statement set up ends here. A
// variable of a function-pointer type that the ';' itself declared
// (`CMPFN cmp;`) is closed here, as `void (*fp)(int);` is at its ';'.
void CParser::statementEnd() {
  if (file_.pointerPending && file_.headerPending && !file_.inBody &&
      !file_.currentFunction.empty()) {
    if (!file_.externSeen)
      functions().setBodyInfo(currentDecl(), file_.stepCount, tables_.variables.stackUse());
    resetFunction();
  }
  file_.externSeen = false;
  file_.declaredType.clear();
  file_.pointerPending = 0;
  file_.typedefPointer = false;
  file_.memberAssign = file_.initializerList = false;
  if (file_.currentFunction.empty()) {
    tables_.variables.endFunctionScope();
    reader_->clearCapturedComment(true);
  }
}

// ---------------------------------------------------------------------------
// Positions and messages

// Anonymous namespaces are no entries of the namespace table, but they
// are namespace levels all the same.
int CParser::namespaceDepth() const {
  return tables_.namespaces.openCount() + static_cast<int>(file_.anonymousNamespaces.size());
}

int CParser::currentLine() const { return tables_.context.currentLine(); }

std::string CParser::positionPrefix() const {
  return "    " + fileName() + " " + std::to_string(currentLine());
}

void CParser::positionMessage(const char* text) const {
  errorLog() << positionPrefix() << text << '\n';
}

bool CParser::isDeclarationEnd(const std::string& token, int parenDepth) {
  return token == "," || token == ";" || token == "=" || (token == ")" && parenDepth == 0);
}
