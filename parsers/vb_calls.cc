// The calls of a VB routine's statements: `f(…)`, `Call f`, `f` and `f x`
// at a statement's start, `obj.f` and `a.b.f x` on objects, words inside
// a statement that name a routine of the sources, `New C(…)`
// (VB.NET: its constructor), and the objects `Set x = New C` gives a
// class. Labels (`Retry:`) are no calls. Also the multi-line lambdas of
// VB.NET, whose `End Sub` ends no routine.
#include "context/text_util.h"
#include "parsers/parser_context.h"
#include "parsers/vb_parser_internal.h"
#include "scan/source_reader.h"

namespace {

bool isWord(const std::string& token) { return !token.empty() && !TokenTests::isDelimiter(token); }

// Words after which a name is a type, an object's class or a jump's place.
const std::string_view kDeclaringWords[] = {
    "As",        "New",     "GoTo",  "GoSub",      "Of",     "Implements", "Inherits",
    "AddressOf", "Handles", "Event", "RaiseEvent", "TypeOf", "Is"};

bool isDeclaringWord(const std::string& word) {
  for (std::string_view w : kDeclaringWords)
    if (word.size() == w.size() && equalsIgnoreCase(word, w)) return true;
  return false;
}

}  // namespace

void VbParser::callsInStatement(const std::string& token) {
  if (newObject(token)) return;
  if (token == "(") {
    // `New C(…)`: the class's constructor, taken at its name.
    if (!is(history_.at(2), "New"))
      routine_.registerRoutineName(1, RoutineRegistration::kKindCall, false);
    return;
  }
  pathStatement(token);
  callsWithoutParentheses(token);
  callsInExpression(token);
}

// `x = obj.Value`, `If Controller.Hover Then`, `n = Count + 1`: a word
// inside a statement with no '(' after it calls a routine only where the
// sources define one that it names (a Property Get, a parameterless
// Function); the object's class or the caller's scopes decide which.
void VbParser::callsInExpression(const std::string& token) {
  if (file_.tokenCount < 2 || file_.pathStatement) return;
  const std::string& before = history_.at(1);
  if (before != "." && !tests_.isPlainName(token)) return;
  const std::string& next = reader_->token(0);
  if (next == "(" || next == "." || next == ":") return;
  if (before == ".") {
    routine_.noteWeakCall(0);
    return;
  }
  if (isDeclaringWord(before) || isStatementWord(token) || !r().inBody || r().headerOpen) return;
  routine_.noteWeakCall(0);
}

// `DoIt`, `DoIt x`, `Print #1, x`: calls that no '(' shows. A first word
// that is a known variable is none, nor a label, nor the object of a path.
void VbParser::callsWithoutParentheses(const std::string& token) {
  const bool end = statementEnd(token);
  const bool delimiter = TokenTests::isDelimiter(token);
  if (file_.tokenCount == 1) {
    if (isLabel() || reader_->token(0) == "." || isStatementWord(token)) return;
    routine_.registerRoutineName(0, RoutineRegistration::kKindNoParens, false);
  } else if (file_.tokenCount == 2 && !isStatementWord(history_.at(1))) {
    if (token == "\n" && !TokenTests::isDelimiter(history_.at(1)))
      routine_.registerRoutineName(1, RoutineRegistration::kKindCall, false);
    else if ((!delimiter || token == "#") && !end && tests_.isPlainName(history_.at(1)))
      routine_.registerRoutineName(1, RoutineRegistration::kKindCall, false);
  }
}

// `Retry:` at a line's start names a place to jump to.
bool VbParser::isLabel() const {
  const std::string& before = history_.at(1);
  return (before == "\n" || before.empty()) && reader_->token(0) == ":";
}

// name '.' name {'.' name} then anything but '=', '(' or '.': a call of the
// last name on the object before it (`Me.Refresh`, `Log.Write "x"`); with
// '=' (`Label1.Caption = x`) a call only where the object's class defines
// the name as a routine (a Property Let).
void VbParser::pathStatement(const std::string& token) {
  if (file_.tokenCount == 1) {
    file_.pathStatement = isWord(token);
    return;
  }
  if (!file_.pathStatement) return;
  if (file_.tokenCount % 2 == 1) {
    file_.pathStatement = isWord(token);
    return;
  }
  if (token == ".") return;
  file_.pathStatement = false;
  if (file_.tokenCount < 4) return;
  if (token == "=")
    routine_.noteWeakCall(1);  // `obj.Caption = x`: a Property Let where the class has one
  else if (token != "(" && token != "!")
    routine_.registerRoutineName(1, RoutineRegistration::kKindCall, false);
}

// 'New' Class: in VB.NET a call of the class's constructor (Sub New);
// `[Set] x = New C` makes C the class of x where its declaration gave none.
bool VbParser::newObject(const std::string& token) {
  if (!is(history_.at(1), "New") || !isWord(token) || reader_->token(0) == ".") return false;
  if (history_.at(2) == "=" && tests_.isPlainName(history_.at(3)) && !r().currentFunction.empty()) {
    const std::string& object = history_.at(3);
    const std::string* type = routine_.variableType(object);
    if (!type || is(*type, "Object") || is(*type, "Variant"))
      r().objectClasses.emplace_back(object, token);
  }
  if (isNet() && r().inBody && !r().headerOpen) {
    DeclInfo constructor;
    constructor.className = token;
    constructor.name = "New";
    constructor.line = routine_.currentLine();
    routine_.MainForSetFunc(constructor, RoutineRegistration::kKindCall);
  }
  return true;
}

// ---------------------------------------------------------------------------
// Lambdas (VB.NET)

// `Sub(…)` or `Function(…)` inside a statement: its parameter list's end.
void VbParser::lambdaToken(const std::string& token) {
  if (token == "(" && file_.statementState != State::kRoutineHeader &&
      (is(history_.at(1), "Sub") || is(history_.at(1), "Function"))) {
    file_.lambdaParenDepth = file_.parenDepth - 1;
    file_.lambdaClosedAt = -1;
  } else if (token == ")" && file_.lambdaParenDepth >= 0 &&
             file_.parenDepth == file_.lambdaParenDepth) {
    file_.lambdaClosedAt = file_.tokenCount;
    file_.lambdaParenDepth = -1;
  }
}

// A lambda whose line ends after its parameters (and `As Type`) has its
// body on the lines that follow, up to its `End Sub` or `End Function`.
void VbParser::lambdaLineEnd() {
  int closed = file_.lambdaClosedAt;
  if (closed > 0 && (closed == file_.tokenCount - 1 ||
                     (closed == file_.tokenCount - 3 && is(history_.at(2), "As"))))
    ++file_.lambdaDepth;
  file_.lambdaClosedAt = -1;
  file_.lambdaParenDepth = -1;
}
