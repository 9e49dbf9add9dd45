#include "parsers/vb_parser.h"

#include "context/options.h"
#include "parsers/parser_context.h"
#include "context/source_context.h"
#include "context/text_util.h"
#include "tables/variable_table.h"
#include "parsers/vb_parser_internal.h"
#include "report/error_log.h"
#include "scan/source_reader.h"
#include "tables/class_table.h"

namespace {

// Words that may stand before a statement's keyword (`Private Sub`,
// `Public Shared Function`) without making it another statement.
const std::string_view kLeadingWords[] = {
    "Private",   "Public",    "Friend",      "Protected",      "Static",   "Shared",
    "Overrides", "Overridable", "Overloads", "NotOverridable", "MustOverride", "Shadows",
    "Partial",   "Default",   "ReadOnly",    "WriteOnly",      "Async",    "Iterator",
    "Widening",  "Narrowing", "NotInheritable", "MustInherit"};

bool isLeadingWord(std::string_view token) {
  for (std::string_view w : kLeadingWords)
    if (token.size() == w.size() && equalsIgnoreCase(token, w)) return true;
  return false;
}

}  // namespace

std::unique_ptr<TokenParser> makeVbParser(int, ParserContext& tables) {
  return std::make_unique<VbParser>(tables);
}

// ---------------------------------------------------------------------------
// File boundaries

void VbParser::resetForFile(SourceReader& reader) {
  attachFile(reader);
  file_ = FileState{};
}

void VbParser::endOfFile(SourceReader& reader) {
  reader_ = &reader;
  logOpenStatements(file_.parenDepth, static_cast<int>(file_.statementState));
  file_.parenDepth = 0;
  file_.statementState = State::kDefault;
}

// ---------------------------------------------------------------------------
// The step

void VbParser::step(SourceReader& reader) {
  const std::string* live = liveToken(reader);
  if (!live) return;
  const std::string& token = *live;
  if (skipsDesignerSection(token)) return;
  const bool end = statementEnd(token);
  if (token == "\n" && r().countingSteps) ++r().stepCount;
  if (token == "(") ++file_.parenDepth;
  if (token == ")") --file_.parenDepth;
  ++file_.tokenCount;
  if (r().headerOpen && !end) headerToken(token);
  runStatementMachine(token);
  if (!end) {
    if (!isLeadingWord(token)) file_.leadingWords = false;
  } else {
    file_.tokenCount = 0;
    file_.leadingWords = true;
    r().headerOpen = false;
  }
  if (r().currentFunction.empty() && is(token, "VB_Exposed")) reader_->clearCapturedComment(true);
  referenceVariables(token);
}

// A line end, or a ':' between two statements (not `:=`).
bool VbParser::statementEnd(const std::string& token) const {
  if (token == "\n") return true;
  return token == ":" && file_.parenDepth == 0 && reader_->token(0) != "=";
}

// A form or class file opens with its designer's description (VERSION,
// Begin … End, properties); the code starts at its first Attribute line.
bool VbParser::skipsDesignerSection(const std::string& token) {
  if (file_.firstToken) {
    file_.firstToken = false;
    file_.designer = is(token, "VERSION");
  }
  if (!file_.designer) return false;
  if (is(token, "Attribute") && history_.at(1) == "\n") {
    file_.designer = false;
    return false;
  }
  return true;
}

void VbParser::runStatementMachine(const std::string& token) {
  switch (file_.statementState) {
    case State::kDefault: defaultState(token); break;
    case State::kClassName:
      if (tests_.isPlainName(token)) {
        if (!tables_.classes.exists(token)) tables_.classes.registerClass(token, 1, ClassTable::kClass);
        file_.className = token;
        r().currentClass = token;
      }
      file_.statementState = State::kDefault;
      break;
    case State::kRoutineHeader: headerState(token); break;
    case State::kCall:
      routine_.registerRoutineName(0, RoutineRegistration::kKindCall, false);
      file_.statementState = State::kDefault;
      break;
    case State::kDeclare: declareState(token); break;
    case State::kDim: dimState(token); break;
    case State::kConst: constState(token); break;
    case State::kTypeBlock: typeBlockState(token); break;
    case State::kWith:
    case State::kExit:
      if (statementEnd(token)) file_.statementState = State::kDefault;
      break;
    case State::kEnd: endState(token); break;
  }
}

bool VbParser::atStatementStart() const { return file_.leadingWords; }

// The keywords that open a statement of their own. Declarations and
// routines only where nothing but scope words stands before them, so that
// `x.Type = 1` or a lambda's `Function(x)` opens nothing.
bool VbParser::statementKeyword(const std::string& token) {
  if (history_.at(1) == ".") return false;
  State next = State::kDefault;
  if (is(token, "call")) next = State::kCall;
  else if (is(token, "exit")) next = State::kExit;
  else if (is(token, "end")) next = State::kEnd;
  if (next == State::kDefault && atStatementStart()) {
    if (is(token, "function") || is(token, "sub") || is(token, "property")) {
      startHeader(token);
      return true;
    }
    if (is(token, "Declare")) next = State::kDeclare;
    else if (is(token, "dim") || is(token, "Global")) next = State::kDim;
    else if (is(token, "const")) next = State::kConst;
    else if (is(token, "type") && r().currentFunction.empty()) next = State::kTypeBlock;
    else if (is(token, "with")) next = State::kWith;
    else if (is(token, "Class")) next = State::kClassName;
    else if (is(token, "Interface")) {
      ++file_.interfaceDepth;
      return true;
    }
  }
  if (next == State::kDefault) return false;
  file_.statementState = next;
  if (next == State::kTypeBlock) file_.structTag.clear();
  file_.dimAfterEquals = false;
  return true;
}

// Sub, Function or Property: the routine's name comes before its '('.
// A header while a routine is still open means that routine had no end
// (a declaration only): it ends here rather than calling the new one.
void VbParser::startHeader(const std::string& keyword) {
  bool declaresOnly = file_.interfaceDepth > 0;
  for (int k = 1; k < file_.tokenCount; ++k)
    if (is(history_.at(k), "MustOverride")) declaresOnly = true;
  if (!r().currentFunction.empty() && !declaresOnly) endRoutine();
  r().isProcedure = !is(keyword, "function");
  file_.isProperty = is(keyword, "property");
  file_.noBody = declaresOnly;
  file_.statementState = State::kRoutineHeader;
}

// [Get|Let|Set] Name '(' -> the routine is defined; a line end after a
// Sub's or Function's name defines it as well (`Sub Main`). A Property
// without '(' is a field-like property with no body.
void VbParser::headerState(const std::string& token) {
  // A Property Get gives a value: its own name is its result.
  if (file_.isProperty && is(token, "Get")) r().isProcedure = false;
  bool end = statementEnd(token);
  if (token != "(" && !end) return;
  file_.statementState = State::kDefault;
  if (file_.noBody) {
    if (!end) file_.statementState = State::kExit;  // the rest of the line
    return;
  }
  if (end && file_.isProperty) return;
  if (!r().currentFunction.empty()) return;
  const std::string& name = history_.at(1);
  if (TokenTests::isDelimiter(name) || is(name, "Get") || is(name, "Let") || is(name, "Set") ||
      is(name, "Sub") || is(name, "Function") || is(name, "Property"))
    return;
  if (!tests_.isPlainName(name)) {
    // The word after Sub or Function names the routine even where it is a
    // reserved word elsewhere: New (a constructor), Compare, Append …
    DeclInfo record;
    record.name = history_.at(1);
    record.className = r().currentClass;
    record.line = routine_.currentLine();
    routine_.defineRoutine(record, RoutineRegistration::kKindCall);
  } else {
    routine_.registerRoutineName(1, RoutineRegistration::kKindCall, true);
  }
  if (r().currentFunction.empty()) return;
  r().inBody = true;
  file_.headerArguments.clear();
  file_.headerType.clear();
  file_.headerTypeNext = false;
  if (end) completeHeader();
}

void VbParser::defaultState(const std::string& token) {
  if (statementKeyword(token)) return;
  if (statementEnd(token) && r().headerOpen) {
    completeHeader();
    return;
  }
  if (!r().inBody || r().headerOpen) {
    // `Private x As Integer` outside routines is a declaration.
    if (is(token, "as") && !r().inBody && file_.parenDepth == 0) file_.statementState = State::kDim;
    return;
  }
  if (token == "(") {
    routine_.registerRoutineName(1, RoutineRegistration::kKindCall, false);
    return;
  }
  callsWithoutParentheses(token);
}

// `DoIt`, `DoIt x`, `Print #1, x`, `obj.Method x`: calls that no '('
// shows. A first word that is a known variable is none.
void VbParser::callsWithoutParentheses(const std::string& token) {
  const bool end = statementEnd(token);
  const bool delimiter = TokenTests::isDelimiter(token);
  if (file_.tokenCount == 1) {
    routine_.registerRoutineName(0, RoutineRegistration::kKindNoParens, false);
  } else if (file_.tokenCount == 2) {
    if (token == "\n" && !TokenTests::isDelimiter(history_.at(1)))
      routine_.registerRoutineName(1, RoutineRegistration::kKindCall, false);
    else if ((!delimiter || token == "#") && !end && tests_.isPlainName(history_.at(1)))
      routine_.registerRoutineName(1, RoutineRegistration::kKindCall, false);
  } else if (file_.tokenCount == 4 && (token == "\n" || !delimiter) && history_.at(2) == ".") {
    routine_.registerRoutineName(1, RoutineRegistration::kKindCall, false);
  }
}

// The word after End says what ends: a routine, a Class, an Interface.
void VbParser::endState(const std::string& token) {
  file_.statementState = State::kDefault;
  if (is(token, "function") || is(token, "sub") || is(token, "property")) {
    if (!r().currentFunction.empty()) endRoutine();
  } else if (is(token, "Class") || is(token, "Module")) {
    if (!r().currentFunction.empty()) endRoutine();
    file_.className.clear();
    r().currentClass.clear();
  } else if (is(token, "Interface")) {
    if (file_.interfaceDepth > 0) --file_.interfaceDepth;
  }
}

// The routine's locals go with it; the class it belongs to stays.
void VbParser::endRoutine() {
  tables_.variables.closeScope(1);
  routine_.endRoutine();
  r().currentClass = file_.className;
}

void VbParser::referenceVariables(const std::string& token) {
  if (!tables_.options.variableDetails || r().currentFunction.empty() ||
      file_.statementState == State::kDim || !tests_.isPlainName(token))
    return;
  tables_.variables.referenceVariable(token, r().currentClass, r().currentFunction);
}
