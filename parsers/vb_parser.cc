#include "parsers/vb_parser.h"

#include "context/options.h"
#include "context/source_context.h"
#include "context/text_util.h"
#include "parsers/parser_context.h"
#include "parsers/vb_parser_internal.h"
#include "report/error_log.h"
#include "scan/source_reader.h"
#include "tables/call_resolution.h"
#include "tables/class_table.h"
#include "tables/function_table.h"
#include "tables/variable_table.h"

namespace {

// Words that may stand before a statement's keyword (`Private Sub`,
// `Public Shared Function`) without making it another statement.
const std::string_view kLeadingWords[] = {
    "Private",   "Public",      "Friend",         "Protected",      "Static",       "Shared",
    "Overrides", "Overridable", "Overloads",      "NotOverridable", "MustOverride", "Shadows",
    "Partial",   "Default",     "ReadOnly",       "WriteOnly",      "Async",        "Iterator",
    "Widening",  "Narrowing",   "NotInheritable", "MustInherit"};

// Statements whose words name no routine: jumps to labels, raised events,
// error handlers.
const std::string_view kPassedStatements[] = {"GoTo",       "GoSub", "Resume",
                                              "RaiseEvent", "On",    "Erase"};

// Words that begin a statement and call nothing themselves (what follows
// them may: `If Ready(x) Then`, `Return Count()`).
const std::string_view kStatementWords[] = {
    "If",       "ElseIf",     "Else",          "For",      "Next",       "Do",
    "Loop",     "While",      "Wend",          "Select",   "Case",       "Return",
    "Get",      "Set",        "Let",           "Option",   "Implements", "Event",
    "Stop",     "Throw",      "Try",           "Catch",    "Finally",    "Using",
    "SyncLock", "AddHandler", "RemoveHandler", "Continue", "Yield",      "Namespace",
    "Imports",  "Enum",       "Each",          "Until",    "Static",     "Friend",
    "Private",  "Public",     "Protected"};

template <size_t N>
bool isOneOf(std::string_view token, const std::string_view (&words)[N]) {
  for (std::string_view w : words)
    if (token.size() == w.size() && equalsIgnoreCase(token, w)) return true;
  return false;
}

bool isVbNetFile(std::string_view path) { return equalsIgnoreCase(extensionOf(path), "vb"); }

}  // namespace

std::unique_ptr<TokenParser> makeVbParser(int, ParserContext& tables) {
  return std::make_unique<VbParser>(tables);
}

// ---------------------------------------------------------------------------
// File boundaries

void VbParser::resetForFile(SourceReader& reader) {
  attachFile(reader);
  file_ = FileState{};
  file_.net = isVbNetFile(tables_.context.topPath());
  file_.scopeStarted = file_.net;  // VB.NET: its blocks say
  routine_.setScope(std::string());
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
  if (file_.firstToken) live = withoutByteOrderMark(*live);
  if (!live) return;
  const std::string& token = *live;
  if (skipsDesignerSection(token)) return;
  const bool end = statementEnd(token);
  if (token == "\n" && r().countingSteps) ++r().stepCount;
  if (token == "(") ++file_.parenDepth;
  if (token == ")") --file_.parenDepth;
  // `If c Then Foo Else Bar`: the word after Then or Else starts a
  // statement of its own.
  if (!end && file_.tokenCount > 0 && file_.statementState == State::kDefault &&
      (is(history_.at(1), "Then") || is(history_.at(1), "Else"))) {
    file_.tokenCount = 0;
    file_.leadingWords = true;
    file_.pathStatement = false;
  }
  ++file_.tokenCount;
  if (!file_.scopeStarted) fileScope(token, end);
  if (r().headerOpen && !end) headerToken(token);
  if (isNet()) lambdaToken(token);
  runStatementMachine(token);
  countStatement(token, end);
  if (r().currentFunction.empty() && is(token, "VB_Exposed")) reader_->clearCapturedComment(true);
  referenceVariables(token);
}

// A line end, or a ':' between two statements (not `:=`).
// VB.NET files are often UTF-8 with a byte-order mark, which the reader
// leaves on the file's first word (`Friend` of `Friend Module Main`).
const std::string* VbParser::withoutByteOrderMark(const std::string& token) {
  static const std::string kMark = "\xEF\xBB\xBF";
  if (token.compare(0, kMark.size(), kMark) != 0) return &token;
  if (token.size() == kMark.size()) return nullptr;
  file_.firstWord = token.substr(kMark.size());
  return &file_.firstWord;
}

bool VbParser::statementEnd(const std::string& token) const {
  if (token == "\n") return true;
  return token == ":" && file_.parenDepth == 0 && reader_->token(0) != "=";
}

// Scope words and `<…>` attributes before a statement's keyword keep it at
// its start; a statement's end starts the next.
void VbParser::countStatement(const std::string& token, bool end) {
  if (end) {
    if (isNet()) lambdaLineEnd();
    file_.tokenCount = 0;
    file_.leadingWords = true;
    file_.attributeDepth = 0;
    file_.pathStatement = false;
    r().headerOpen = false;
    return;
  }
  if (file_.leadingWords && token == "<") {
    ++file_.attributeDepth;
  } else if (file_.attributeDepth > 0) {
    if (token == ">") --file_.attributeDepth;
  } else if (!isOneOf(token, kLeadingWords)) {
    file_.leadingWords = false;
  }
}

void VbParser::runStatementMachine(const std::string& token) {
  switch (file_.statementState) {
    case State::kDefault:
      defaultState(token);
      break;
    case State::kBlockName:
      blockName(token);
      break;
    case State::kRoutineHeader:
      headerState(token);
      break;
    case State::kCall:
      // `Call obj.Method(…)`: the '(' rule takes the method.
      if (reader_->token(0) != ".")
        routine_.registerRoutineName(0, RoutineRegistration::kKindCall, false);
      file_.statementState = State::kDefault;
      break;
    case State::kDeclare:
      declareState(token);
      break;
    case State::kDim:
      dimState(token);
      break;
    case State::kConst:
      constState(token);
      break;
    case State::kTypeBlock:
      typeBlockState(token);
      break;
    case State::kWith:
    case State::kExit:
      if (statementEnd(token)) file_.statementState = State::kDefault;
      break;
    case State::kEnd:
      endState(token);
      break;
    case State::kImplements:
      implementsState(token);
      break;
  }
}

bool VbParser::atStatementStart() const { return file_.leadingWords && file_.attributeDepth == 0; }

bool VbParser::isStatementWord(std::string_view token) { return isOneOf(token, kStatementWords); }

bool VbParser::hasLeadingWord(std::string_view word) const {
  for (int k = 1; k < file_.tokenCount; ++k)
    if (is(history_.at(k), word)) return true;
  return false;
}

// ---------------------------------------------------------------------------
// Statements and blocks

// The keywords that open a statement of their own. Declarations and
// routines only where nothing but scope words stands before them, so that
// `x.Type = 1` or a lambda's `Function(x)` opens nothing.
bool VbParser::statementKeyword(const std::string& token) {
  if (history_.at(1) == ".") return false;
  if (!file_.pendingProperty.empty() && atStatementStart()) definePendingProperty(token);
  State next = State::kDefault;
  if (is(token, "call"))
    next = State::kCall;
  else if (is(token, "exit"))
    next = State::kExit;
  else if (is(token, "end"))
    next = State::kEnd;
  if (next == State::kDefault && atStatementStart()) {
    if (is(token, "function") || is(token, "sub") || is(token, "property")) {
      startHeader(token);
      return true;
    }
    if (is(token, "Declare"))
      next = State::kDeclare;
    else if (is(token, "dim") || is(token, "Global"))
      next = State::kDim;
    else if (is(token, "const"))
      next = State::kConst;
    else if (is(token, "type") && !isNet() && r().currentFunction.empty())
      next = State::kTypeBlock;
    else if (is(token, "with"))
      next = State::kWith;
    else if (isOneOf(token, kPassedStatements))
      next = State::kExit;
    else if (is(token, "Implements") && r().currentFunction.empty() && !file_.className.empty())
      next = State::kImplements;
    else if (isNet() && blockKeyword(token))
      return true;
  }
  if (next == State::kDefault) return false;
  file_.statementState = next;
  if (next == State::kTypeBlock) file_.structTag.clear();
  file_.dimAfterEquals = false;
  return true;
}

// VB.NET: Class, Structure, Module, Interface and Inherits take the word
// after them; a VB6 module may be called Interface, so VB6 has none.
bool VbParser::blockKeyword(const std::string& token) {
  if (is(token, "Class") || is(token, "Structure"))
    file_.pendingBlock = Block::kClass;
  else if (is(token, "Module"))
    file_.pendingBlock = Block::kModule;
  else if (is(token, "Interface"))
    file_.pendingBlock = Block::kInterface;
  else if (is(token, "Inherits"))
    file_.pendingBlock = Block::kNone;
  else
    return false;
  file_.statementState = State::kBlockName;
  return true;
}

// The name after the block keyword; after Inherits, the base class at the
// statement's end (`Inherits System.Windows.Forms.Form` -> Form).
void VbParser::blockName(const std::string& token) {
  Block block = file_.pendingBlock;
  if (block == Block::kNone) {
    if (!statementEnd(token)) return;
    file_.statementState = State::kDefault;
    int k = history_.at(1) == ")" ? history_.matchingOpen(1, "(", ")") + 1 : 1;
    const std::string& base = history_.at(k);
    if (k > 0 && !file_.className.empty() && tests_.isPlainName(base) &&
        !sameName(base, file_.className))
      tables_.classes.addBase(file_.className, base);
    return;
  }
  file_.statementState = State::kDefault;
  file_.pendingBlock = Block::kNone;
  if (TokenTests::isDelimiter(token) || tests_.isReserved(token)) return;
  if (!r().currentFunction.empty()) endRoutine();
  switch (block) {
    case Block::kClass:
      startClassFile(token);
      break;
    case Block::kModule:
      startModule(token);
      break;
    case Block::kInterface:
      ++file_.interfaceDepth;
      break;
    case Block::kNone:
      break;
  }
}

// Sub, Function or Property: the routine's name comes before its '('.
// A header while a routine is still open means that routine had no end
// (a declaration only): it ends here rather than calling the new one.
void VbParser::startHeader(const std::string& keyword) {
  bool declaresOnly = file_.interfaceDepth > 0 || hasLeadingWord("MustOverride");
  if (!r().currentFunction.empty() && !declaresOnly) endRoutine();
  file_.pendingProperty.clear();
  r().isProcedure = !is(keyword, "function");
  file_.isProperty = is(keyword, "property");
  file_.noBody = declaresOnly;
  file_.privateHeader = hasLeadingWord("Private");
  file_.headerName.clear();
  file_.headerLine = routine_.currentLine();
  file_.statementState = State::kRoutineHeader;
}

// [Get|Let|Set] Name '(' -> the routine is defined; a line end after a
// Sub's or Function's name defines it as well (`Sub Main`). A Property
// without '(' is a field-like property with no body, unless (VB.NET)
// Get or Set blocks follow it. A bracketed name (`[Stop]`) is the word.
void VbParser::headerState(const std::string& token) {
  // A Property Get gives a value: its own name is its result.
  bool accessor = is(token, "Get") || is(token, "Let") || is(token, "Set");
  if (file_.isProperty && is(token, "Get")) r().isProcedure = false;
  bool end = statementEnd(token);
  if (file_.headerName.empty() && !end && !accessor && token != "(" && token != "[")
    file_.headerName = token;
  // `Property All As List(Of T) = …`: the '(' after As is the type's; the
  // property has no parameter list.
  const bool typeFirst = file_.isProperty && is(token, "As") && file_.parenDepth == 0 &&
                         !file_.headerName.empty() && !is(file_.headerName, "As");
  if (token != "(" && !end && !typeFirst) return;
  file_.statementState = State::kDefault;
  if (file_.noBody) {
    if (!end) file_.statementState = State::kExit;  // the rest of the line
    return;
  }
  const std::string name = std::move(file_.headerName);
  file_.headerName.clear();
  if (name.empty() || TokenTests::isDelimiter(name)) return;
  if ((end || typeFirst) && file_.isProperty) {
    if (isNet()) {
      file_.pendingProperty = name;
      file_.pendingPropertyLine = file_.headerLine;
    }
    if (typeFirst) file_.statementState = State::kExit;  // its type and initial value
    return;
  }
  if (!r().currentFunction.empty()) return;
  defineRoutineNamed(name);
  if (r().currentFunction.empty()) return;
  if (end) completeHeader();
}

// The word after Sub or Function names the routine even where it is a
// reserved word elsewhere: New (a constructor), Compare, Append …
void VbParser::defineRoutineNamed(const std::string& name) {
  DeclInfo record;
  record.name = name;
  record.className = r().currentClass;
  record.fileLocal = (file_.module && file_.privateHeader) || file_.classTakenElsewhere;
  const bool vb6ModuleRoutine = !isNet() && file_.module && !record.fileLocal;
  const std::string path(tables_.context.topPath());
  if (vb6ModuleRoutine && !tables_.calls.claimModuleRoutine(name, path)) record.fileLocal = true;
  record.line = routine_.currentLine();
  routine_.defineRoutine(record, RoutineRegistration::kKindCall);
  if (r().currentFunction.empty()) return;
  if (vb6ModuleRoutine)
    tables_.calls.addModuleRoutine(name, tables_.functions.qualifiedKey(routine_.callerParts()),
                                   path);
  if (isNet() && file_.module && !record.fileLocal)
    tables_.calls.addNetModuleRoutine(file_.moduleName, name);
  r().inBody = true;
  file_.headerArguments.clear();
  file_.headerType.clear();
  file_.headerTypeNext = false;
}

// `Property Name As T` then `Get` (or `Set`): the property has a body
// after all, from its header's line.
void VbParser::definePendingProperty(const std::string& token) {
  if (!file_.leadingWords || (!is(token, "Get") && !is(token, "Set"))) {
    if (!isOneOf(token, kLeadingWords)) file_.pendingProperty.clear();
    return;
  }
  std::string name = std::move(file_.pendingProperty);
  file_.pendingProperty.clear();
  if (!r().currentFunction.empty()) return;
  r().isProcedure = false;
  DeclInfo record;
  record.name = name;
  record.className = r().currentClass;
  record.fileLocal = (file_.module && file_.privateHeader) || file_.classTakenElsewhere;
  record.line = file_.pendingPropertyLine;
  routine_.defineRoutine(record, RoutineRegistration::kKindCall);
  r().inBody = true;
  r().headerOpen = false;
  ++r().stepCount;  // the header's line
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
  callsInStatement(token);
}

// `Implements IShape, IDisposable` in a class: the class is an
// implementation of each interface named (the last word of a dotted name).
void VbParser::implementsState(const std::string& token) {
  const bool end = statementEnd(token);
  if (token != "," && !end) return;
  const std::string& name = history_.at(1);
  if (tests_.isPlainName(name)) tables_.calls.addImplementation(name, file_.className);
  if (end) file_.statementState = State::kDefault;
}

// The word after End says what ends: a routine (or a lambda), a Class, a
// Module, an Interface.
void VbParser::endState(const std::string& token) {
  file_.statementState = State::kDefault;
  if (file_.lambdaDepth > 0 && (is(token, "function") || is(token, "sub"))) {
    --file_.lambdaDepth;
  } else if (is(token, "function") || is(token, "sub") || is(token, "property")) {
    if (!r().currentFunction.empty()) endRoutine();
  } else if (!isNet()) {
    return;
  } else if (is(token, "Class") || is(token, "Structure")) {
    if (!r().currentFunction.empty()) endRoutine();
    file_.className.clear();
    r().currentClass.clear();
  } else if (is(token, "Module")) {
    if (!r().currentFunction.empty()) endRoutine();
    file_.module = false;
    file_.moduleName.clear();
    file_.className.clear();
    r().currentClass.clear();
    routine_.setScope(std::string());
  } else if (is(token, "Interface")) {
    if (file_.interfaceDepth > 0) --file_.interfaceDepth;
  }
}

// The routine's locals go with it; the class it belongs to stays.
void VbParser::endRoutine() {
  tables_.variables.closeScope(1);
  routine_.endRoutine();
  r().currentClass = file_.className;
  file_.lambdaDepth = 0;
}

void VbParser::referenceVariables(const std::string& token) {
  if (!tables_.options.variableDetails || r().currentFunction.empty() ||
      file_.statementState == State::kDim || !tests_.isPlainName(token))
    return;
  tables_.variables.referenceVariable(token, r().currentClass, r().currentFunction);
}
