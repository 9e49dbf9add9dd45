// The declaration states of the C-family statement machine: typedef,
// structures, initializer lists, enumerations and extern "C" blocks. Each
// state reads one token and says where the machine goes next.
#include "parsers/parser_context.h"
#include "context/source_context.h"
#include "context/text_util.h"
#include "parsers/c_parser_internal.h"
#include "tables/type_table.h"
#include "scan/condition_evaluator.h"
#include "scan/define_table.h"
#include "tables/class_table.h"

namespace {
const char kAnonymousStruct[] = "@無名構造体@";
}  // namespace

// "typedef", "struct", "enum" start their states; "extern" marks the
// statement. True when the token started a state.
bool CParser::startKeywordState(const std::string& text) {
  // Asked of every token: a view compares its length before its bytes.
  const std::string_view token = text;
  if (token == "typedef") {
    file_.statementState = State::kTypedef;
    file_.declaredType.clear();
    file_.typedefPointer = false;
    file_.aliasType.clear();
    file_.aliasWord.clear();
    file_.aliasAngle = 0;
    return true;
  }
  if (token == "struct") {
    file_.statementState = State::kStructHead;
    return true;
  }
  if (token == "enum") {
    file_.statementState = State::kEnum;
    file_.blockStartDepth = file_.braceDepth;
    file_.bodyKind = 0;
    return true;
  }
  if (token == "extern") file_.externSeen = true;
  return false;
}

std::string CParser::anonymousStructName() const { return kAnonymousStruct + fileName(); }

// ---------------------------------------------------------------------------
// State 1: typedef

void CParser::typedefState(const std::string& token) {
  if (token == "\n") return;  // a typedef may span lines
  // A C++ template's arguments are part of the base type, and name nothing.
  if (isCpp() && noteAliasToken(token)) return;
  if (token == "*") {
    file_.typedefPointer = true;
  } else if (token == ",") {
    file_.typedefPointer = false;
  } else if (token == "(") {
    // typedef R (*NAME)(…)
    if (file_.typedefPointer && history_.at(1) == ")")
      tables_.types.registerType(history_.at(2), TypeTable::kFunctionPointer,
                                 tables_.types.pointerSize(), false, languages());
  } else if (token == ";") {
    if (file_.declaredType.empty() && tests_.isPlainName(history_.at(1))) {
      // A pointer to a base type the tables do not know is still a pointer;
      // a name without any base type has a size nobody knows.
      int size = file_.typedefPointer ? tables_.types.pointerSize() : 0;
      tables_.types.registerType(history_.at(1), TypeTable::kTypedef, size, !file_.typedefPointer,
                                 languages());
      if (isCpp()) registerClassAlias(history_.at(1), file_.aliasType, 2);
    }
    endTypedef();
  } else if (file_.declaredType.empty()) {
    typedefBaseToken(token);
  } else if (TokenTests::isModifier(token) || tests_.isType(token)) {
    file_.declaredType += ' ';
    file_.declaredType += token;
  } else if (tests_.isPlainName(token)) {
    if (file_.parenDepth == 0 && history_.at(1) != ":") typedefName(token);
  } else if (token == ")" || token == ":" || token == "<" || token == ">") {
  } else if (tests_.isReserved(token) || TokenTests::isDelimiter(token)) {
    endTypedef();
  }
}

// Before the base type: a structure or enumeration, or the first word of
// the base type; anything else is passed over.
void CParser::typedefBaseToken(const std::string& token) {
  if (token == "struct") {
    file_.statementState = State::kStructHead;
    file_.typedefMode = true;
  } else if (token == "enum") {
    file_.statementState = State::kEnum;
    file_.typedefMode = true;
    file_.blockStartDepth = file_.braceDepth;
    file_.bodyKind = 0;
  } else if (token == "class" && isCpp()) {
    enterClassHead(false, false);
  } else if (TokenTests::isModifier(token) || tests_.isType(token)) {
    file_.declaredType = token;
  }
}

void CParser::endTypedef() {
  leaveState();
  file_.typedefMode = file_.typedefPointer = false;
}

// The size of the new name: a pointer's, or the base type's (or that of
// its last word when the whole text is no type).
void CParser::typedefName(const std::string& name) {
  TypeTable& types = tables_.types;
  TypeTable::Size size{types.pointerSize(), false};
  if (!file_.typedefPointer) {
    std::string base = file_.declaredType;
    if (!types.isType(base)) {
      size_t space = base.rfind(' ');
      if (space != std::string::npos) base.erase(0, space + 1);
    }
    size = types.sizeOf(base);
  }
  types.registerType(name, TypeTable::kTypedef, size.bytes, size.inexact, languages());
  if (isCpp()) registerClassAlias(name, file_.aliasType, 1);
}

// ---------------------------------------------------------------------------
// States 2 to 5: structures

// "struct" [tag] …
void CParser::structHeadState(const std::string& token) {
  if (token == "\n") return;
  file_.structTag.clear();
  file_.structStartDepth = file_.braceDepth;
  file_.lastStructSize = 0;
  file_.structClosed = false;
  if (token == "{") {
    file_.statementState = State::kStructBody;
    file_.bodyKind = 3;
    file_.structStartDepth = file_.braceDepth - 1;
    return;
  }
  if (!TokenTests::isDelimiter(token) && !tests_.isReserved(token)) {
    file_.structTag = isCpp() ? nestedName(token) : token;
    tables_.classes.registerClass(file_.structTag, 0, ClassTable::kClassLike);
    if (!hasClasses())
      tables_.types.registerType(file_.structTag, TypeTable::kTag, 0, false, languages());
  }
  file_.statementState = State::kStructTag;
  if (file_.parenDepth != 0) {
    // A parameter such as `struct tag *p`.
    leaveState();
    file_.typedefMode = false;
  }
}

// "struct" tag … : a body, a variable, a typedef name, or a function
// returning the structure.
void CParser::structTagState(const std::string& token) {
  if (token == "{" && history_.at(1) == "=") {
    // `struct tag v = { … }`: the initializer of a variable.
    leaveState();
    runStatementMachine(token);
    return;
  }
  // A C++ structure with a tag is a class whose members are public:
  // its member functions and bases are read as a class's. One local to a
  // function is read as a structure: its members are variables of the
  // function's, and what its member functions call is left to them.
  bool local = file_.inBody && !file_.currentFunction.empty() && !file_.headerPending;
  bool cppClass = isCpp() && !file_.structTag.empty() && !local;
  if (cppClass && (token == "{" || (token == ":" && file_.parenDepth == 0))) {
    enterClassHead(true, false);
    file_.head.name = file_.structTag;
    file_.head.named = true;
    file_.head.colon = token == ":";
    if (token == "{") openClassBody();
    return;
  }
  if (token == "{") {
    file_.statementState = State::kStructBody;
    file_.bodyKind = 3;
    file_.structStartDepth = file_.braceDepth - 1;
    return;
  }
  if (token == ";") {
    leaveState();
    file_.typedefMode = false;
    return;
  }
  if (token == "(" && !file_.typedefMode) {
    // `struct tag *f(…)`: the header of a function, not a structure.
    leaveState();
    runStatementMachine(token);
    return;
  }
  if (file_.typedefMode) {
    if (!TokenTests::isDelimiter(token) && !tests_.isReserved(token)) structTypedefName(0);
    return;
  }
  if (isDeclarationEnd(token, file_.parenDepth)) declarationRule(token);
}

// Members until the closing brace; the closing brace of a tagged structure
// makes the tag a type of the structure's size.
void CParser::structBodyState(const std::string& token) {
  if (file_.braceDepth > file_.structStartDepth) {
    if (isDeclarationEnd(token, file_.parenDepth)) declarationRule(token);
    return;
  }
  if (token == "\n") return;
  file_.statementState = State::kStructEnd;
  if (token == "}" && !file_.structTag.empty()) {
    int flags = 0;
    int size = tables_.classes.sizeOf(file_.structTag, flags);
    tables_.types.registerType(file_.structTag, TypeTable::kStructure, size, flags != 0,
                               languages());
  }
}

// `} a, *p;` or `} NAME, *PNAME;` after a structure body.
void CParser::structEndState(const std::string& token) {
  // `(` : a function returning the structure; `= {` : a declarator's initial
  // value, read as any variable's.
  if (token == "(" || (token == "{" && history_.at(1) == "=")) {
    leaveStructure();
    runStatementMachine(token);
    return;
  }
  if (isDeclarationEnd(token, file_.parenDepth)) {
    if (file_.typedefMode)
      structTypedefName(1);
    else if (!file_.structTag.empty())
      declarationRule(token, file_.structTag);
  }
  if (token == ";") leaveStructure();
}

void CParser::leaveStructure() {
  leaveState();
  file_.typedefMode = false;
  file_.structTag.clear();
  file_.bodyKind = 0;
}

// The typedef name at look-back n names the structure (or a pointer to it).
void CParser::structTypedefName(int n) {
  const std::string name = history_.at(n);
  if (name.empty() || TokenTests::isDelimiter(name) || tests_.isReserved(name)) return;
  int flags = 0;
  int size = 0;
  if (!file_.structTag.empty()) {
    size = tables_.classes.sizeOf(file_.structTag, flags);
  } else {
    std::string anonymous = anonymousStructName();
    size = tables_.classes.sizeOf(anonymous, flags);
    tables_.classes.renameClass(anonymous, name);
    if (size != 0)
      file_.lastStructSize = size;
    else
      size = file_.lastStructSize;
  }
  const std::string& before = history_.at(n + 1);
  if (before == "*" || before == "&") size = tables_.types.pointerSize();
  tables_.types.registerType(name, TypeTable::kStructure | TypeTable::kTypedef, size, flags != 0,
                             languages());
}

// ---------------------------------------------------------------------------
// State 6: initializer list

void CParser::initializerState(const std::string& token) {
  if (file_.braceDepth > file_.blockStartDepth) {
    if (file_.pointerPending == 2)
      pointerAssignment(token);
    else if (token == "(" && file_.inBody && !file_.currentFunction.empty())
      callOrHeader();  // `int a[] = { f1(), f2() };` inside a body calls both
    return;
  }
  leaveState();
  if (file_.pointerPending == 2) file_.pointerPending = 1;
}

// ---------------------------------------------------------------------------
// State 7: enumerations, whose enumerators become #define entries

void CParser::enumState(const std::string& token) {
  if (token == "{" && file_.braceDepth == file_.blockStartDepth + 1) {
    file_.bodyKind = 5;
    file_.enumParens = file_.parenDepth;
    file_.enumInitializer = false;
    return;
  }
  if (file_.braceDepth > file_.blockStartDepth) {
    if (file_.bodyKind == 5) enumBodyToken(token);
    return;
  }
  if (file_.bodyKind != 5 && (token == "(" || token == ")" || token == ",")) {
    // `enum tag f(…)` or a parameter `enum tag e)`: no enumeration follows;
    // in a typedef (`typedef enum tag (*cb)(int);`) the typedef goes on
    // with the enumeration as its type.
    bool inTypedef = file_.typedefMode;
    leaveState();
    file_.typedefMode = false;
    if (inTypedef) {
      file_.statementState = State::kTypedef;
      file_.declaredType = "int";
    }
    runStatementMachine(token);
    return;
  }
  enumAfterBody(token);
}

// NAME [= expression] , …   The expression is evaluated as a constant
// (macros, earlier enumerators, hexadecimal, arithmetic); one that does not
// evaluate leaves the count as it is.
void CParser::enumBodyToken(const std::string& token) {
  if (token == "\n") return;
  if (token == "," && file_.parenDepth == file_.enumParens) {
    settleEnumInitializer();
    completeEnumerator();
    // After the largest value the count wraps instead of overflowing.
    file_.enumValue = static_cast<int>(static_cast<unsigned>(file_.enumValue) + 1u);
    return;
  }
  if (file_.enumInitializer) {
    std::string& text = file_.enumText;
    if (!text.empty() && !TokenTests::isDelimiter(token) &&
        !TokenTests::isDelimiter(std::string(1, text.back())))
      text += ' ';
    text += token;
    return;
  }
  if (token == "=") {
    file_.enumInitializer = true;
    file_.enumText.clear();
    return;
  }
  if (TokenTests::isDelimiter(token) || tests_.isReserved(token)) return;
  if (TokenTests::isDigit(token)) {
    file_.enumValue = parseDecimal(token);
    return;
  }
  DefineTable& defines = tables_.defines;
  if (defines.isDefined(token)) {
    const std::string& body = defines.bodyOf(token);
    if (TokenTests::isDigit(body)) file_.enumValue = parseDecimal(body);
    if (!body.empty()) return;
  }
  if (!defines.beginDefine(token)) {
    positionMessage(": enum定義の登録が出来ません");
    leaveState();
    file_.typedefMode = false;
  }
}

void CParser::settleEnumInitializer() {
  if (!file_.enumInitializer) return;
  file_.enumInitializer = false;
  ExpressionTables tables{tables_.context, tables_.defines, tables_.types, true};
  ConditionValue value = evaluateExpressionAt(tables, file_.enumText, false, currentLine());
  if (value.ok) file_.enumValue = value.value;
  file_.enumText.clear();
}

void CParser::completeEnumerator() {
  tables_.defines.defineBodyToken(std::to_string(file_.enumValue));
  tables_.defines.defineBodyToken("\n");
}

void CParser::enumAfterBody(const std::string& token) {
  settleEnumInitializer();
  if (token == ";") {
    if (file_.bodyKind == 5) completeEnumerator();
    file_.enumValue = 0;
    file_.bodyKind = 0;
    leaveState();
    file_.typedefMode = false;
    return;
  }
  if (file_.typedefMode && tests_.isPlainName(token)) {
    TypeTable::Size size = tables_.types.sizeOf("int");
    tables_.types.registerType(token, TypeTable::kStructure | TypeTable::kTypedef, size.bytes,
                               size.inexact, languages());
  }
}

// ---------------------------------------------------------------------------
// State 8: extern "C"

// A linkage block's declarations are read as those around it: its braces
// are a level of no name, as an anonymous namespace's are.
void CParser::enterExternC(const std::string& token) {
  if (token == "{") {
    // The `extern` named the block's linkage; the declarations inside are
    // each their own.
    file_.externSeen = false;
    file_.anonymousNamespaces.push_back(file_.braceDepth - 1);
    return;
  }
  file_.statementState = State::kExternC;
  file_.blockStartDepth = file_.braceDepth;
}

// The one declaration's first token is passed over.
void CParser::externCState(const std::string& token) {
  if (file_.braceDepth > file_.blockStartDepth || token == "\n") return;
  leaveState();
}
