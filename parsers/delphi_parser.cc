#include "parsers/delphi_parser.h"

#include "context/options.h"
#include "parsers/parser_context.h"
#include "context/source_context.h"
#include "context/text_util.h"
#include "parsers/delphi_parser_internal.h"
#include "tables/call_resolution.h"
#include "tables/variable_table.h"
#include "report/error_log.h"
#include "scan/source_reader.h"
#include "scan/lexical_rules.h"

namespace word = delphi_word;

std::unique_ptr<TokenParser> makeDelphiParser(int, ParserContext& tables) {
  return std::make_unique<DelphiParser>(tables);
}

// ---------------------------------------------------------------------------
// File boundaries

void DelphiParser::resetForFile(SourceReader& reader) {
  attachFile(reader);
  file_ = FileState{};
  outer_.clear();
  routine_.setScope(std::string());  // until the file names its unit
}

// A unit's final `end.` has no `begin`: a balanced unit ends one below 0.
// A program's (or an old unit's) main `begin … end.` is balanced itself.
void DelphiParser::endOfFile(SourceReader& reader) {
  reader_ = &reader;
  const std::string& name = fileName();
  int blocks = file_.braceDepth + (file_.mainBlock ? 0 : 1);
  if (blocks != 0)
    errorLog() << "[ " << name << " ]で begin/end の数が合いません。\nbegin/endの数 = " << blocks
               << '\n';
  logOpenStatements(file_.parenDepth, static_cast<int>(file_.statementState));
  file_.braceDepth = file_.parenDepth = 0;
  file_.statementState = State::kDefault;
}

// ---------------------------------------------------------------------------
// The step

void DelphiParser::step(SourceReader& reader) {
  const std::string* live = liveToken(reader);
  if (!live) return;
  const std::string& token = *live;
  if (token == "\n") {
    if (r().countingSteps) ++r().stepCount;
    return;
  }
  if (isBlankToken(token)) return;
  words_ = delphiWordsOf(token);
  if (token == "(") ++file_.parenDepth;
  if (token == ")") --file_.parenDepth;
  if (file_.asmDepth >= 0) {
    // Assembler names no routines; only its `end` counts.
    if (has(word::kEnd)) closeBlock();
    return;
  }
  bool ender = token == ";" || has(word::kStatementEnders);
  // `Obj.Method;`, `A.B.Method end`: a call without parentheses on an object.
  if (ender && file_.pathStatement && file_.tokenCount >= 3 && history_.at(2) == "." &&
      file_.statementState == State::kDefault && inRoutineBody())
    routine_.registerRoutineName(1, RoutineRegistration::kKindCall, false);
  blockKeyword(token);
  ++file_.tokenCount;
  if (file_.tokenCount == 1)
    file_.pathStatement = !TokenTests::isDelimiter(token);
  else if (file_.pathStatement)
    file_.pathStatement =
        (file_.tokenCount % 2 == 0) ? token == "." : !TokenTests::isDelimiter(token);
  unitClauseToken(token);
  runStatementMachine(token);
  if (inRoutineBody() && file_.statementState == State::kDefault && file_.tokenCount >= 3)
    nameInExpression(token);
  if (file_.section == kConstSection && !has(word::kConst | word::kResourcestring))
    constToken(token);
  if (token == ";") semicolon();
  // After a statement starter, and after a case label (`1, 2: DoIt;`) or a
  // goto label, the next word begins a statement.
  if (has(word::kStatementStarters) || (token == ":" && file_.parenDepth == 0 && inRoutineBody()))
    file_.tokenCount = 0;
  referenceVariables(token);
}

// A name inside a statement that no '(' follows may be a parameterless
// function or method (`Result := NextToken;`, `if Items.Count > 0`): it
// is noted, and linked where a routine of the sources answers it. An
// assignment's target, an index, a dereference and a path going on are
// not, but a method in the middle of a path is (`Items.First.Count`).
void DelphiParser::nameInExpression(const std::string& token) {
  if (token == "(" || token == ":=" || token == "[" || token == "^") return;
  if (token == "." && history_.at(2) != ".") return;
  const std::string& name = history_.at(1);
  if (name.empty() || TokenTests::isDelimiter(name)) return;
  routine_.noteWeakCall(1);
}

// begin, case, try, asm, record, class … end: the block depth.
void DelphiParser::blockKeyword(const std::string& token) {
  if (TokenTests::isDelimiter(token)) return;
  bool opens = false;
  if (file_.braceDepth == 0 && r().currentFunction.empty() &&
      (is(token, "initialization") || is(token, "finalization"))) {
    file_.unitSections = true;
    return;
  }
  if (has(word::kBegin)) {
    if (r().currentFunction.empty() && file_.braceDepth == 0 &&
        file_.statementState == State::kDefault && !file_.unitSections) {
      file_.mainBlock = true;
      if (!file_.programName.empty()) startMainBlock();
    }
    if (!r().currentFunction.empty()) r().headerPending = false;
    opens = true;
  } else if (has(word::kAsm)) {
    // An assembler routine's body.
    if (!r().currentFunction.empty() && file_.braceDepth == r().entryDepth)
      r().headerPending = false;
    file_.asmDepth = file_.braceDepth + 1;
    opens = true;
  } else if (has(word::kRecord)) {
    ++file_.recordDepth;
    opens = true;
  } else if (has(word::kCase)) {
    opens = file_.recordDepth == 0;
  } else if (has(word::kTry)) {
    opens = true;
  } else if (has(word::kEnd)) {
    closeBlock();
    return;
  } else if (isBeforeType()) {
    opens = has(word::kClass | word::kInterface | word::kDispinterface | word::kObject);
  }
  if (!opens) return;
  file_.tokenCount = 0;
  ++file_.braceDepth;
}

// `Name = class`: the word right after a type's '='.
bool DelphiParser::isBeforeType() const {
  const std::string& before = history_.at(1);
  return before == "=" || (is(before, "packed") && history_.at(2) == "=");
}

void DelphiParser::closeBlock() {
  file_.tokenCount = 0;
  // The end of a nested routine takes its own locals only: the outer
  // routine's body after it still sees its own.
  const bool endsNested = !outer_.empty() && !r().currentFunction.empty() && !r().headerPending &&
                          file_.braceDepth - 1 <= r().entryDepth;
  if (endsNested)
    tables_.variables.closeScopesFrom(r().scopeMark);
  else
    tables_.variables.closeScope(file_.braceDepth);
  --file_.braceDepth;
  if (file_.recordDepth > 0) --file_.recordDepth;
  if (file_.asmDepth > file_.braceDepth) file_.asmDepth = -1;
  // A `with` ends with the block that was its statement.
  auto& withs = r().withNames;
  while (!withs.empty() && withs.back().second >= file_.braceDepth) withs.pop_back();
  if (!r().currentFunction.empty() && !r().headerPending && file_.braceDepth <= r().entryDepth)
    endRoutine();
}

void DelphiParser::semicolon() {
  file_.tokenCount = 0;
  file_.pathStatement = false;
  // `with X do Stmt;`: the with ends with its statement.
  auto& withs = r().withNames;
  while (!withs.empty() && withs.back().second >= file_.braceDepth) withs.pop_back();
  if (file_.parenDepth == 0) {
    r().headerOpen = false;
    file_.routineStatement = false;
  }
  if (r().currentFunction.empty()) reader_->clearCapturedComment(true);
}

void DelphiParser::runStatementMachine(const std::string& token) {
  // `Name = class helper for Type` (or `record helper for`).
  if (is(history_.at(1), "for") && is(history_.at(2), "helper") && history_.at(4) == "=" &&
      !TokenTests::isDelimiter(token))
    tables_.calls.addHelper(history_.at(5), token);
  switch (file_.statementState) {
    case State::kDefault:
      defaultState(token);
      break;
    case State::kRoutineHeader:
      headerState(token);
      break;
    case State::kWithList:
      withState(token);
      break;
    case State::kInterface:
      interfaceState(token);
      break;
    case State::kClassHead:
    case State::kClassBody:
      sectionToken(token);
      break;
  }
}

void DelphiParser::referenceVariables(const std::string& token) {
  if (!tables_.options.variableDetails || !inRoutineBody() || !tests_.isPlainName(token)) return;
  tables_.variables.referenceVariable(token, r().currentClass, r().currentFunction);
}
