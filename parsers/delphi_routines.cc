// The default state of the Delphi statement machine: routine headers
// (nested ones too), the header's type and arguments, calls with and
// without parentheses, `with` lists, a program's main block and the end of
// a routine.
#include "parsers/parser_context.h"
#include "parsers/delphi_parser_internal.h"
#include "scan/source_reader.h"
#include "tables/function_table.h"
#include "tables/variable_table.h"

namespace word = delphi_word;

void DelphiParser::defaultState(const std::string& token) {
  const std::string& before = history_.at(1);
  if (has(word::kInterface) && before != "=") {
    file_.statementState = State::kInterface;
    file_.section = kNoSection;
    return;
  }
  if ((is(before, "program") || is(before, "library")) && !TokenTests::isDelimiter(token)) {
    file_.programName = token;
    return;
  }
  if (r().currentFunction.empty() && file_.parenDepth == 0) {
    if (sectionKeyword(token)) return;
    if (file_.section != kNoSection) {
      sectionToken(token);
      return;
    }
  }
  if (has(word::kFunction) || (startsRoutine() && has(word::kOperator))) {
    startHeader(false);
  } else if (has(word::kProcedure | word::kConstructor | word::kDestructor)) {
    startHeader(true);
  } else if (has(word::kWith)) {
    if (inRoutineBody()) file_.statementState = State::kWithList;
  } else if (token == "(") {
    if (inRoutineBody())
      routine_.registerRoutineName(history_.skipTypeArgumentsBack(1),
                                   RoutineRegistration::kKindCall, false);
  } else if (token == ";" && file_.parenDepth == 0 && r().headerOpen) {
    // `…): Type;`, `…: Type;`, `…);`: the header's result type and arguments.
    bool typed = history_.at(2) == ":" && !TokenTests::isDelimiter(history_.at(1));
    int close = typed ? 3 : 1;
    routine_.completeHeader(typed ? 1 : -1, history_.at(close) == ")" ? close : -1);
  } else if (inRoutineBody()) {
    callsWithoutParentheses(token);
  } else if (!r().currentFunction.empty() && file_.braceDepth == r().entryDepth) {
    declarationPart(token);
  }
}

// `procedure`, `function` … : a header, unless it names a procedural type
// (`TProc = procedure of object`, `p: function: Integer`).
void DelphiParser::startHeader(bool isProcedure) {
  const std::string& before = history_.at(1);
  if (before == "=" || before == ":" || is(before, "of") || file_.parenDepth > 0) return;
  if (!r().currentFunction.empty()) {
    // Only a routine's declaration part holds another routine.
    if (!r().headerPending || file_.braceDepth != r().entryDepth) return;
    outer_.push_back(r());
    routine_.state() = RoutineState{};
    // A routine nested in a method sees the method's class members.
    const RoutineState& outer = outer_.back();
    r().memberClass = outer.memberClass.empty() ? outer.currentClass : outer.memberClass;
    r().scopeMark = tables_.variables.scopeCount();
  }
  r().isProcedure = isProcedure;
  file_.statementState = State::kRoutineHeader;
}

// [Class '.'] Name ['<' T '>'] then '(' ':' or ';' -> the routine is defined.
void DelphiParser::headerState(const std::string& token) {
  if (token != "(" && token != ":" && token != ";") return;
  file_.statementState = State::kDefault;
  routine_.registerRoutineName(history_.skipTypeArgumentsBack(1), RoutineRegistration::kKindCall,
                               true);
  if (r().currentFunction.empty()) {
    // No name we could take: the outer routine goes on.
    if (!outer_.empty()) restoreOuterRoutine(0);
    return;
  }
  r().entryDepth = file_.braceDepth;
  file_.afterHeader = true;
}

// with Name, Name … do
void DelphiParser::withState(const std::string& token) {
  if (has(word::kDo)) {
    file_.statementState = State::kDefault;
  } else if (token == "(") {
    routine_.registerRoutineName(1, RoutineRegistration::kKindCall, false);
  } else if (tests_.isPlainName(token) && history_.at(1) != ".") {
    r().withNames.emplace_back(token, file_.braceDepth);
  }
}

// `DoIt;` — the first word of a statement names a routine unless it is a
// variable (or the function's own name, its result); `inherited DoIt;`
// and `inherited;` call a base class's method.
void DelphiParser::callsWithoutParentheses(const std::string& token) {
  if (file_.tokenCount == 1) {
    // Every method has Self, every function Result: variables, no calls.
    if (has(word::kSelf | word::kResult)) return;
    routine_.registerRoutineName(0, RoutineRegistration::kKindNoParens, false);
  } else if (file_.tokenCount == 2 && is(history_.at(1), "inherited")) {
    if (token == ";")
      routine_.registerInherited();
    else if (!TokenTests::isDelimiter(token))
      routine_.registerRoutineName(0, RoutineRegistration::kKindCall, false);
  }
}

// Inside the begin … end of the current routine, outside assembler.
bool DelphiParser::inRoutineBody() const {
  return !r().currentFunction.empty() && !r().headerPending && file_.asmDepth < 0;
}

// The declaration part between a header and its body: parameters, locals,
// and the directives that may end it without a body.
void DelphiParser::declarationPart(const std::string& token) {
  if (file_.afterHeader && file_.tokenCount == 1) {
    if (has(word::kForward | word::kExternal)) {
      dropHeader();
      return;
    }
    if (has(word::kDeclarationWords)) file_.afterHeader = false;
  }
  bool parameter = file_.parenDepth > 0 || (token == ")" && file_.parenDepth == 0);
  if (token == ";" && r().headerOpen && !parameter) return;  // the header's own ';'
  if (token == ";" || token == "=" || (token == ")" && file_.parenDepth == 0))
    declaration(r().currentClass, r().currentFunction, parameter);
}

// A program's `begin … end.` is its main routine, named as the program.
void DelphiParser::startMainBlock() {
  DeclInfo record;
  record.name = file_.programName;
  record.line = routine_.currentLine();
  routine_.defineRoutine(record, RoutineRegistration::kKindCall);
  r().isProcedure = true;
  r().headerOpen = false;
  r().entryDepth = file_.braceDepth;
}

void DelphiParser::endRoutine() {
  int steps = r().stepCount;
  if (outer_.empty()) {
    routine_.endRoutine();
    return;
  }
  // A nested routine: its locals go with the outer ones.
  if (r().countingSteps)
    tables_.functions.setBodyInfo(routine_.currentDecl(), steps, tables_.variables.stackUse());
  restoreOuterRoutine(steps);
}

// `procedure Foo; forward;`, `… external 'lib';`: declared, no body here.
void DelphiParser::dropHeader() {
  routine_.dropRoutine();
  file_.afterHeader = false;
  if (!outer_.empty()) restoreOuterRoutine(0);
}

// The routine whose declaration part held the one that ended goes on; its
// lines include the nested routine's.
void DelphiParser::restoreOuterRoutine(int innerSteps) {
  routine_.state() = std::move(outer_.back());
  outer_.pop_back();
  // The nested header's line was the outer routine's too.
  if (innerSteps > 0) r().stepCount += innerSteps - 1;
  reader_->clearCapturedComment(false);
}
