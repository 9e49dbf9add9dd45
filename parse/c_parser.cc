#include "parse/c_parser.h"

#include "app/language_mode.h"
#include "app/run_tables.h"
#include "app/source_context.h"
#include "parse/c_parser_internal.h"
#include "parse/namespace_table.h"
#include "parse/variable_table.h"
#include "report/error_log.h"
#include "scan/source_reader.h"
#include "tables/function_table.h"

std::unique_ptr<TokenParser> makeCParser(int languageMode) {
  return std::make_unique<CParser>(languageMode);
}

FunctionTable& CParser::functions() const { return *tables_->functions; }

// ---------------------------------------------------------------------------
// File boundaries

void CParser::resetForFile(SourceReader& reader) {
  reader_ = &reader;
  tables_ = &reader.tables();
  tests_.attach(tables_);
  history_.attach(&reader);
  braceDepth_ = parenDepth_ = 0;
  statementState_ = kDefault;
  java_ = tables_->context && (tables_->context->languageMask() & kModeJava) != 0;
  inBody_ = headerPending_ = countingSteps_ = false;
  currentFunction_.clear();
  currentClass_.clear();
  entryDepth_ = classStartDepth_ = pointerPending_ = 0;
  stepCount_ = 1;
  declaredType_.clear();
  declaredTypeParens_ = 0;
  externSeen_ = externCJustClosed_ = false;
  structTag_.clear();
  structStartDepth_ = bodyKind_ = lastStructSize_ = blockStartDepth_ = enumValue_ = 0;
  structClosed_ = typedefMode_ = typedefPointer_ = false;
}

void CParser::endOfFile(SourceReader& reader) {
  reader_ = &reader;
  endOfFileChecks();
  braceDepth_ = parenDepth_ = 0;
  statementState_ = kDefault;
}

// The balance checks name the file in brackets and give the count on a
// line of its own.
void CParser::endOfFileChecks() {
  const std::string& name = fileName();
  if (braceDepth_ != 0)
    errorLog() << "[ " << name << " ]で括弧({})の数が合いません。\n括弧数 = " << braceDepth_
               << '\n';
  if (parenDepth_ != 0)
    errorLog() << "[ " << name << " ]で丸括弧の数が合いません。\n丸括弧数 = " << parenDepth_
               << '\n';
  if (statementState_ != kDefault)
    errorLog() << "[ " << name << " ]でｽﾃｰﾀｽｴﾗｰを起こしました。[" << statementState_ << "]\n";
}

// ---------------------------------------------------------------------------
// The step

void CParser::step(SourceReader& reader) {
  reader_ = &reader;
  externCJustClosed_ = reader.externCMarker();
  const std::string& token = history_.at(0);
  if (token.empty() || token[0] == '\0' || token[0] == '\x1A') return;
  countingPass(token);
  // Blanks only ever mattered for the line count; a line end still reaches
  // the states, some of which pass over it explicitly.
  if (token == " " || token == "\t") return;
  if (token == ")" && parenDepth_ == 0) captureArguments();
  runStatementMachine(token);
  if (token == ";") statementEnd();
  if (token != "\n") referenceVariables(token);
}

void CParser::countingPass(const std::string& token) {
  if (token.size() != 1) return;
  switch (token[0]) {
    case '\n':
      if (countingSteps_) ++stepCount_;
      break;
    case '(': ++parenDepth_; break;
    case ')': --parenDepth_; break;
    case ';': semicolonCount(); break;
    case '{': openBrace(); break;
    case '}': closeBrace(); break;
    default: break;
  }
}

// A ';' closes a function-pointer variable like a body, and after a header
// at function level it shows that the header was a prototype.
void CParser::semicolonCount() {
  if (pointerPending_ && !externSeen_) functions().setBodyInfo(currentDecl(), stepCount_);
  if (braceDepth_ <= entryDepth_ && parenDepth_ == 0) {
    const std::string& before = history_.at(1);
    bool ordinary = before != ")" && !pointerPending_ && before != "const";
    if (!ordinary && headerPending_) resetFunction();
  }
  tables_->namespaces->statementEnd(braceDepth_);
}

// `… ) {`, `… ; {` (old-style parameters) or `… const {` opens a body.
void CParser::openBrace() {
  int nsDepth = namespaceDepth();
  bool bodyTest = parenDepth_ == 0 &&
                  (!inBody_ || braceDepth_ == nsDepth ||
                   (statementState_ == kClassBody && braceDepth_ == nsDepth + 1));
  if (bodyTest) {
    const std::string& before = history_.at(1);
    if (before == ")" || before == ";" || before == "const" ||
        (isJava() && history_.at(2) == "throws")) {
      headerPending_ = false;
      declaredType_.clear();
    }
    if (!(isJava() && currentFunction_.empty())) inBody_ = true;
  }
  ++braceDepth_;
}

void CParser::closeBrace() {
  tables_->variables->closeScope(braceDepth_);
  tables_->namespaces->closeScope(braceDepth_);
  if (--braceDepth_ < 0) {
    positionMessage(": 括弧({)数が負になりました");
    braceDepth_ = 0;
  } else if (braceDepth_ <= entryDepth_) {
    if (classStartDepth_ == 0) inBody_ = false;
    if (!currentFunction_.empty() && !headerPending_) {
      if (countingSteps_) functions().setBodyInfo(currentDecl(), stepCount_);
      tables_->variables->endFunctionScope();
      resetFunction();
    }
  }
  if (!currentClass_.empty() && classStartDepth_ >= braceDepth_) currentClass_.clear();
  tables_->namespaces->statementEnd(braceDepth_);
}

void CParser::runStatementMachine(const std::string& token) {
  switch (statementState_) {
    case kDefault: defaultState(token); break;
    case kTypedef: typedefState(token); break;
    case kStructHead: structHeadState(token); break;
    case kStructTag: structTagState(token); break;
    case kStructBody: structBodyState(token); break;
    case kStructEnd: structEndState(token); break;
    case kInitializer: initializerState(token); break;
    case kEnum: enumState(token); break;
    case kExternC: externCState(token); break;
    default:
      // The class states of C++ and Java are not read yet: their files
      // take the C path, so no other state is ever entered.
      statementState_ = kDefault;
      break;
  }
}

// `;` after the statement machine: what a statement set up ends here.
void CParser::statementEnd() {
  externSeen_ = false;
  declaredType_.clear();
  pointerPending_ = 0;
  typedefPointer_ = false;
  if (currentFunction_.empty()) {
    tables_->variables->endFunctionScope();
    reader_->clearCapturedComment(true);
  }
}

// ---------------------------------------------------------------------------
// Positions and messages

int CParser::namespaceDepth() const { return tables_->namespaces->openCount(); }

int CParser::currentLine() const {
  return tables_->context ? tables_->context->currentLine() : 0;
}

const std::string& CParser::fileName() const { return tables_->context->item(0); }

std::string CParser::positionPrefix() const {
  return "    " + fileName() + " " + std::to_string(currentLine());
}

void CParser::positionMessage(const char* text) const {
  errorLog() << positionPrefix() << text << '\n';
}

bool CParser::isDeclarationEnd(const std::string& token, int parenDepth) {
  return token == "," || token == ";" || token == "=" || (token == ")" && parenDepth == 0);
}
