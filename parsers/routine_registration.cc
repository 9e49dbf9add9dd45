#include "parsers/routine_registration.h"

#include "parsers/parser_context.h"
#include "context/source_context.h"
#include "context/text_util.h"
#include "tables/variable_table.h"
#include "report/error_log.h"
#include "scan/lexical_rules.h"
#include "scan/source_reader.h"
#include "tables/class_table.h"
#include "tables/function_table.h"
#include "tables/table_log.h"

namespace {

bool isWordToken(const std::string& t) { return !t.empty() && !isDelimiterToken(t); }

}  // namespace

void RoutineRegistration::attach(SourceReader* reader,
                                 const TokenHistory* history, const TokenTests* tests) {
  reader_ = reader;
  history_ = history;
  tests_ = tests;
}

int RoutineRegistration::currentLine() const {
  return tables_.context.currentLine();
}

DeclInfo RoutineRegistration::currentDecl() const {
  DeclInfo d;
  d.className = state_.currentClass;
  d.name = state_.currentFunction;
  d.filePath = tables_.context.topPath();
  return d;
}

// ---------------------------------------------------------------------------
// Registration of a name

// header:  'procedure' [Class '.'] Name   -> a definition of Class::Name
// call:    Name | Obj '.' Name | 'inherited' Name
void RoutineRegistration::registerRoutineName(int position, std::uint32_t kind, bool header) {
  const std::string& name = history_->at(position);
  if (!tests_->isPlainName(name)) return;
  DeclInfo record;
  record.name = name;
  record.line = currentLine();
  const std::string& before = history_->at(position + 1);
  if (header) {
    // The qualifier of a header names its class whether or not the class
    // was seen: the routine is that class's method all the same.
    if (before == "." && isWordToken(history_->at(position + 2)))
      record.className = history_->at(position + 2);
    else
      record.className = state_.currentClass;
  } else if (before == ".") {
    std::string path;
    record.className = objectClass(position + 1, path);
    if (record.className.empty()) {
      if (path.empty()) return;  // `(x).Name`, `a[i].Name`: no object we can name
      record.name = path + "." + name;
    }
  } else if (equalsIgnoreCase(before, "inherited")) {
    record.className = inheritedClass(name);
    if (record.className.empty()) return;  // no base known to call
  } else if (isVariable(name)) {
    return;
  }
  MainForSetFunc(record, kind);
}

// `inherited;`: the same method of the base class.
void RoutineRegistration::registerInherited() {
  if (state_.currentFunction.empty()) return;
  DeclInfo record;
  record.name = state_.currentFunction;
  record.line = currentLine();
  record.className = inheritedClass(record.name);
  if (!record.className.empty()) MainForSetFunc(record, kKindCall);
}

// `inherited Name` calls the method of a base class, never the caller's
// own (which would read as recursion).
std::string RoutineRegistration::inheritedClass(const std::string& name) const {
  const std::string& own = state_.currentClass;
  if (own.empty()) return std::string();
  int bases = tables_.classes.baseCount(own);
  for (int i = 0; i < bases; ++i) {
    std::string found = tables_.classes.resolveMember(tables_.classes.baseName(own, i), name);
    if (!found.empty()) return found;
  }
  return bases > 0 ? tables_.classes.baseName(own, 0) : std::string();
}

// Walks back from the '.' at `dot` over `name '.' name …` to the path's
// start, then follows it from there: a variable (or Self, or a class)
// first, members of its class after it.
std::string RoutineRegistration::objectClass(int dot, std::string& path) const {
  int first = dot + 1;
  while (history_->at(first + 1) == "." && isWordToken(history_->at(first + 2))) first += 2;
  if (!isWordToken(history_->at(first))) return std::string();
  path = history_->at(first);
  std::string className;
  if (equalsIgnoreCase(path, "Self")) {
    className = state_.currentClass;
  } else if (const std::string* type = variableType(path)) {
    className = *type;
  } else if (tests_->isKnownClass(path)) {
    className = path;
  }
  for (int k = first - 2; k > dot; k -= 2) {
    const std::string& member = history_->at(k);
    path += ".";
    path += member;
    if (className.empty()) continue;
    const ClassRecord* owner = nullptr;
    const MemberVariable* m = tables_.classes.findMemberVariable(className, member, owner);
    className = m ? m->type : std::string();
  }
  if (!className.empty() && !tests_->isKnownClass(className)) className.clear();
  return className;
}

const std::string* RoutineRegistration::variableType(std::string_view name) const {
  return tables_.variables.referenceVariable(name, state_.currentClass, state_.currentFunction);
}

bool RoutineRegistration::isVariable(const std::string& name) const {
  return variableType(name) != nullptr;
}

// ---------------------------------------------------------------------------
// Call or definition

void RoutineRegistration::MainForSetFunc(DeclInfo& record, std::uint32_t kind) {
  if (!state_.inBody) {
    defineRoutine(record, kind);
    return;
  }
  if (state_.currentFunction.empty()) {
    errorLog() << "内部ｴﾗｰが発生しまた。内部関数名 [MainForSetFunc]\n"
               << positionPrefix(&tables_.context) << ": 関数内にも関わらず親関数が不明です\n"
               << "    子関数名  [" << record.name << "]\n";
    tables_.functions.setSubRecord(record.name, kind);
    return;
  }
  // `Name := value` (or `Name = value` in VB) inside function Name sets
  // its result.
  if (!(kind & kKindCall) && !state_.isProcedure && record.className.empty() &&
      sameName(record.name, state_.currentFunction))
    return;
  registerCall(record, kind);
}

// The call, and for each object of an open `with` whose class is known,
// the same routine as that class's method.
void RoutineRegistration::registerCall(const DeclInfo& callee, std::uint32_t kind) {
  FunctionTable& functions = tables_.functions;
  functions.SetChainAto(callerParts(), keyPartsOf(callee), kind);
  if (!callee.className.empty()) return;
  for (const auto& with : state_.withNames) {
    const std::string* type = variableType(with.first);
    if (!type || type->empty()) continue;
    DeclInfo member;
    member.className = *type;
    member.name = callee.name;
    functions.SetChainAto(callerParts(), keyPartsOf(member), kKindNoParens);
  }
}

void RoutineRegistration::defineRoutine(DeclInfo& record, std::uint32_t kind) {
  record.filePath = tables_.context.topPath();
  tables_.functions.registerDefinition(record, kind, reader_->capturedComment());
  RoutineState& s = state_;
  s.currentClass = record.className;
  s.currentFunction = record.name;
  s.headerPending = true;
  s.stepCount = 1;
  s.countingSteps = true;
  if (definitionOpensBody_) s.inBody = true;
  s.headerOpen = true;
  reader_->clearCapturedComment(false);
}

void RoutineRegistration::completeHeader(int typePosition, int closePosition) {
  completeHeaderText(typePosition >= 0 ? history_->at(typePosition) : std::string(),
                     closePosition >= 0 ? argumentText(closePosition) : std::string());
}

void RoutineRegistration::completeHeaderText(const std::string& returnType,
                                             const std::string& arguments) {
  if (state_.currentFunction.empty() || (returnType.empty() && arguments.empty())) return;
  DeclInfo d;
  d.className = state_.currentClass;
  d.name = state_.currentFunction;
  d.returnType = returnType;
  d.arguments = arguments;
  tables_.functions.registerDefinition(d, kKindCall, std::string_view());
}

std::string RoutineRegistration::argumentText(int close) const {
  int open = history_->matchingOpen(close, "(", ")");
  if (open < 0) return std::string();
  std::string text;
  bool lastWasWord = false;
  for (int k = open - 1; k > close; --k) {
    const std::string& t = history_->at(k);
    bool word = isWordToken(t);
    if (!text.empty() && ((word && lastWasWord) || text.back() == ',')) text += ' ';
    text += t;
    lastWasWord = word;
  }
  return text;
}

// ---------------------------------------------------------------------------
// End of a routine

void RoutineRegistration::endRoutine() {
  if (state_.countingSteps && !state_.currentFunction.empty())
    tables_.functions.setBodyInfo(currentDecl(), state_.stepCount, tables_.variables.stackUse());
  dropRoutine();
}

// The parameters a header without body registered go with it.
void RoutineRegistration::dropRoutine() {
  tables_.variables.endFunctionScope();
  state_ = RoutineState{};
  reader_->clearCapturedComment(true);
}
