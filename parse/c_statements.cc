// The declaration states of the C-family statement machine: typedef,
// structures, initializer lists, enumerations and extern "C" blocks. Each
// state reads one token and says where the machine goes next.
#include "app/run_tables.h"
#include "app/source_context.h"
#include "app/text_util.h"
#include "parse/c_parser_internal.h"
#include "parse/type_table.h"
#include "scan/define_table.h"
#include "tables/class_table.h"

namespace {
const char kAnonymousStruct[] = "@無名構造体@";
}  // namespace

// "typedef", "struct", "enum" start their states; "extern" marks the
// statement. True when the token started a state.
bool CParser::startKeywordState(const std::string& token) {
  if (token == "typedef") {
    statementState_ = kTypedef;
    declaredType_.clear();
    typedefPointer_ = false;
    return true;
  }
  if (token == "struct") {
    statementState_ = kStructHead;
    return true;
  }
  if (token == "enum") {
    statementState_ = kEnum;
    blockStartDepth_ = braceDepth_;
    bodyKind_ = 0;
    return true;
  }
  if (token == "extern") externSeen_ = true;
  return false;
}

std::string CParser::anonymousStructName() const { return kAnonymousStruct + fileName(); }

// ---------------------------------------------------------------------------
// State 1: typedef

void CParser::typedefState(const std::string& token) {
  if (token == "\n") return;  // a typedef may span lines
  if (token == "*") {
    typedefPointer_ = true;
  } else if (token == ",") {
    typedefPointer_ = false;
  } else if (token == "(") {
    // typedef R (*NAME)(…)
    if (typedefPointer_ && history_.at(1) == ")")
      tables_->workingTypes->registerType(history_.at(2), TypeTable::kFunctionPointer,
                                          tables_->workingTypes->pointerSize(), false,
                                          languages());
  } else if (token == ";") {
    if (declaredType_.empty() && tests_.isPlainName(history_.at(1))) {
      // A pointer to a base type the tables do not know is still a pointer.
      int size = typedefPointer_ ? tables_->workingTypes->pointerSize() : 0;
      tables_->workingTypes->registerType(history_.at(1), TypeTable::kTypedef, size, false,
                                          languages());
    }
    endTypedef();
  } else if (declaredType_.empty()) {
    typedefBaseToken(token);
  } else if (TokenTests::isModifier(token) || tests_.isType(token)) {
    declaredType_ += ' ';
    declaredType_ += token;
  } else if (tests_.isPlainName(token)) {
    if (parenDepth_ == 0 && history_.at(1) != ":") typedefName(token);
  } else if (token == ")" || token == ":" || token == "<" || token == ">") {
  } else if (tests_.isReserved(token) || TokenTests::isDelimiter(token)) {
    endTypedef();
  }
}

// Before the base type: a structure or enumeration, or the first word of
// the base type; anything else is passed over.
void CParser::typedefBaseToken(const std::string& token) {
  if (token == "struct") {
    statementState_ = kStructHead;
    typedefMode_ = true;
  } else if (token == "enum") {
    statementState_ = kEnum;
    typedefMode_ = true;
    blockStartDepth_ = braceDepth_;
    bodyKind_ = 0;
  } else if (TokenTests::isModifier(token) || tests_.isType(token)) {
    declaredType_ = token;
  }
}

void CParser::endTypedef() {
  statementState_ = kDefault;
  typedefMode_ = typedefPointer_ = false;
}

// The size of the new name: a pointer's, or the base type's (or that of
// its last word when the whole text is no type).
void CParser::typedefName(const std::string& name) {
  TypeTable& types = *tables_->workingTypes;
  TypeTable::Size size{types.pointerSize(), false};
  if (!typedefPointer_) {
    std::string base = declaredType_;
    if (!types.isType(base)) {
      size_t space = base.rfind(' ');
      if (space != std::string::npos) base.erase(0, space + 1);
    }
    size = types.sizeOf(base);
  }
  types.registerType(name, TypeTable::kTypedef, size.bytes, size.inexact, languages());
}

// ---------------------------------------------------------------------------
// States 2 to 5: structures

// "struct" [tag] …
void CParser::structHeadState(const std::string& token) {
  if (token == "\n") return;
  structTag_.clear();
  structStartDepth_ = braceDepth_;
  lastStructSize_ = 0;
  structClosed_ = false;
  if (token == "{") {
    statementState_ = kStructBody;
    bodyKind_ = 3;
    structStartDepth_ = braceDepth_ - 1;
    return;
  }
  if (!TokenTests::isDelimiter(token) && !tests_.isReserved(token)) {
    tables_->classes->registerClass(token, 0, ClassTable::kClassLike);
    structTag_ = token;
  }
  statementState_ = kStructTag;
  if (parenDepth_ != 0) {
    // A parameter such as `struct tag *p`.
    statementState_ = kDefault;
    typedefMode_ = false;
  }
}

// "struct" tag … : a body, a variable, a typedef name, or a function
// returning the structure.
void CParser::structTagState(const std::string& token) {
  if (token == "{") {
    statementState_ = kStructBody;
    bodyKind_ = 3;
    structStartDepth_ = braceDepth_ - 1;
    return;
  }
  if (token == ";") {
    statementState_ = kDefault;
    typedefMode_ = false;
    return;
  }
  if (token == "(" && !typedefMode_) {
    // `struct tag *f(…)`: the header of a function, not a structure.
    statementState_ = kDefault;
    defaultState(token);
    return;
  }
  if (typedefMode_) {
    if (!TokenTests::isDelimiter(token) && !tests_.isReserved(token)) structTypedefName(0);
    return;
  }
  if (isDeclarationEnd(token, parenDepth_)) declarationRule(token);
}

// Members until the closing brace; the closing brace of a tagged structure
// makes the tag a type of the structure's size.
void CParser::structBodyState(const std::string& token) {
  if (braceDepth_ > structStartDepth_) {
    if (isDeclarationEnd(token, parenDepth_)) declarationRule(token);
    return;
  }
  if (token == "\n") return;
  statementState_ = kStructEnd;
  if (token == "}" && !structTag_.empty()) {
    int flags = 0;
    int size = tables_->classes->sizeOf(structTag_, flags);
    tables_->workingTypes->registerType(structTag_, TypeTable::kStructure, size, flags != 0,
                                        languages());
  }
}

// `} a, *p;` or `} NAME, *PNAME;` after a structure body.
void CParser::structEndState(const std::string& token) {
  if (token == "(") {
    leaveStructure();
    defaultState(token);
    return;
  }
  if (isDeclarationEnd(token, parenDepth_)) {
    if (typedefMode_)
      structTypedefName(1);
    else if (!structTag_.empty())
      declarationRule(token, structTag_);
  }
  if (token == ";") leaveStructure();
}

void CParser::leaveStructure() {
  statementState_ = kDefault;
  typedefMode_ = false;
  structTag_.clear();
  bodyKind_ = 0;
}

// The typedef name at look-back n names the structure (or a pointer to it).
void CParser::structTypedefName(int n) {
  const std::string name = history_.at(n);
  if (name.empty() || TokenTests::isDelimiter(name) || tests_.isReserved(name)) return;
  int flags = 0;
  int size = 0;
  if (!structTag_.empty()) {
    size = tables_->classes->sizeOf(structTag_, flags);
  } else {
    std::string anonymous = anonymousStructName();
    size = tables_->classes->sizeOf(anonymous, flags);
    tables_->classes->renameClass(anonymous, name);
    if (size != 0)
      lastStructSize_ = size;
    else
      size = lastStructSize_;
  }
  const std::string& before = history_.at(n + 1);
  if (before == "*" || before == "&") size = tables_->workingTypes->pointerSize();
  tables_->workingTypes->registerType(name, TypeTable::kStructure, size, flags != 0,
                                      languages());
}

// ---------------------------------------------------------------------------
// State 6: initializer list

void CParser::initializerState(const std::string& token) {
  if (braceDepth_ > blockStartDepth_) {
    if (pointerPending_ == 2) pointerAssignment(token);
    return;
  }
  statementState_ = kDefault;
  if (pointerPending_ == 2) pointerPending_ = 1;
}

// ---------------------------------------------------------------------------
// State 7: enumerations, whose enumerators become #define entries

void CParser::enumState(const std::string& token) {
  if (token == "{" && braceDepth_ == blockStartDepth_ + 1) {
    bodyKind_ = 5;
    return;
  }
  if (braceDepth_ > blockStartDepth_) {
    if (bodyKind_ == 5) enumBodyToken(token);
    return;
  }
  if (bodyKind_ != 5 && (token == "(" || token == ")" || token == ",")) {
    // `enum tag f(…)` or a parameter `enum tag e)`: no enumeration follows.
    statementState_ = kDefault;
    typedefMode_ = false;
    defaultState(token);
    return;
  }
  enumAfterBody(token);
}

void CParser::enumBodyToken(const std::string& token) {
  if (token == ",") {
    completeEnumerator();
    // After the largest value the count wraps instead of overflowing.
    enumValue_ = static_cast<int>(static_cast<unsigned>(enumValue_) + 1u);
    return;
  }
  if (TokenTests::isDelimiter(token) || tests_.isReserved(token)) return;
  if (TokenTests::isDigit(token)) {
    enumValue_ = parseDecimal(token);
    return;
  }
  DefineTable& defines = *tables_->defines;
  if (defines.isDefined(token)) {
    const std::string& body = defines.bodyOf(token);
    if (TokenTests::isDigit(body)) enumValue_ = parseDecimal(body);
    if (!body.empty()) return;
  }
  if (!defines.beginDefine(token)) {
    positionMessage(": enum定義の登録が出来ません");
    statementState_ = kDefault;
    typedefMode_ = false;
  }
}

void CParser::completeEnumerator() {
  tables_->defines->defineBodyToken(std::to_string(enumValue_));
  tables_->defines->defineBodyToken("\n");
}

void CParser::enumAfterBody(const std::string& token) {
  if (token == ";") {
    if (bodyKind_ == 5) completeEnumerator();
    enumValue_ = 0;
    bodyKind_ = 0;
    statementState_ = kDefault;
    typedefMode_ = false;
    return;
  }
  if (typedefMode_ && tests_.isPlainName(token)) {
    TypeTable::Size size = tables_->workingTypes->sizeOf("int");
    tables_->workingTypes->registerType(token, TypeTable::kStructure, size.bytes, size.inexact,
                                        languages());
  }
}

// ---------------------------------------------------------------------------
// State 8: extern "C"

void CParser::enterExternC(const std::string& token) {
  statementState_ = kExternC;
  blockStartDepth_ = token == "{" ? braceDepth_ - 1 : braceDepth_;
}

// The block (or the one declaration) is passed over.
void CParser::externCState(const std::string& token) {
  if (braceDepth_ > blockStartDepth_ || token == "\n") return;
  statementState_ = kDefault;
}
