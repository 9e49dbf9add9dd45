#include "parsers/routine_registration.h"

#include "parsers/parser_context.h"
#include "context/language_mode.h"
#include "context/source_context.h"
#include "context/text_util.h"
#include "tables/variable_table.h"
#include "report/error_log.h"
#include "scan/lexical_rules.h"
#include "scan/source_reader.h"
#include "tables/call_resolution.h"
#include "tables/class_table.h"
#include "tables/function_table.h"
#include "tables/table_log.h"

namespace {

bool isWordToken(const std::string& t) { return !t.empty() && !isDelimiterToken(t); }

// "Unit.Name" -> "Name": a Delphi unit routine's own name.
std::string_view afterLastDot(std::string_view name) {
  size_t dot = name.rfind('.');
  return dot == std::string_view::npos ? name : name.substr(dot + 1);
}

}  // namespace

void RoutineRegistration::attach(SourceReader* reader, const TokenHistory* history,
                                 const TokenTests* tests) {
  reader_ = reader;
  history_ = history;
  tests_ = tests;
}

int RoutineRegistration::currentLine() const { return tables_.context.currentLine(); }

DeclInfo RoutineRegistration::currentDecl() const {
  DeclInfo d;
  d.className = state_.currentClass;
  d.name = state_.currentFunction;
  d.filePath = tables_.context.topPath();
  d.fileLocal = state_.fileLocal;
  return d;
}

// ---------------------------------------------------------------------------
// Registration of a name

// header:  'procedure' [Class '.'] Name   -> a definition of Class::Name
// call:    Name | Obj '.' Name | 'inherited' Name
void RoutineRegistration::registerRoutineName(int position, std::uint32_t kind, bool header) {
  const std::string& name = history_->at(position);
  // The word after a Delphi `function` is its name even when a type has it
  // (`function Word(…)`); elsewhere such a word is a typecast.
  const bool headerName = header && language_ == kModeDelphi && !name.empty() &&
                          !TokenTests::isDelimiter(name) && !tests_->isReserved(name);
  // A keyword after '.' is a member only of an object whose class is known
  // (`Debug.Print` on the built-in object stays no call).
  const bool keywordMember = !headerName && !tests_->isPlainName(name);
  if (keywordMember && (header || !isMemberName(position))) return;
  DeclInfo record;
  record.name = name;
  record.line = currentLine();
  const std::string& before = history_->at(position + 1);
  std::string qualifier;
  if (header) {
    // The qualifier of a header names its class whether or not the class
    // was seen: the routine is that class's method all the same.
    // `TList<T>.Add`: the class is named before its type parameters.
    const int classAt = history_->skipTypeArgumentsBack(position + 2);
    if (before == "." && isWordToken(history_->at(classAt)))
      record.className = history_->at(classAt);
    else
      record.className = state_.currentClass;
    record.fileLocal = state_.fileLocal;
    // The methods of a class another unit declared first are their file's.
    // A nested class (`TOuter.TInner.Name`) is declared by the unit that
    // defines its methods.
    if (language_ == kModeDelphi && !record.className.empty() && !scope_.empty()) {
      tables_.calls.addUnitClass(record.className, scope_,
                                 tables_.functions.qualifiedKey(KeyParts{{}, {}, {}, true}));
      if (tables_.calls.classTakenElsewhere(record.className, scope_)) record.fileLocal = true;
    }
    // A Delphi routine outside classes is its unit's until the last file
    // tells whether another unit has one of the name.
    if (language_ == kModeDelphi && record.className.empty() && !scope_.empty()) {
      record.name = CallResolution::unitRoutineKey(scope_, name);
      tables_.calls.addUnitRoutine(scope_, name, false);
    }
  } else if (before == ".") {
    record.className = objectClass(position + 1, qualifier);
    if (record.className.empty() && (qualifier.empty() || keywordMember)) return;  // `(x).Name`
    if (!record.className.empty() && language_ == kModeVb) qualifier.clear();
  } else if (equalsIgnoreCase(before, "inherited")) {
    record.className = inheritedClass(name);
    if (record.className.empty()) return;  // no base known to call
  } else if (isVariable(name) || isOwnProperty(name)) {
    return;
  }
  MainForSetFunc(record, kind, qualifier);
}

// Delphi: the type of a function's `Result`, as its header gave it.
std::string RoutineRegistration::resultType() const {
  if (state_.currentFunction.empty()) return std::string();
  int n = tables_.functions.recordOf(tables_.functions.qualifiedKey(callerParts()));
  return n < 0 ? std::string()
               : std::string(tables_.functions.returnTypeOf(tables_.functions.record(n)));
}

// Delphi: a property of the routine's class (a read, not a call).
bool RoutineRegistration::isOwnProperty(const std::string& name) const {
  return language_ == kModeDelphi && !tables_.calls.propertyType(memberClass(), name).empty();
}

// A word after '.' names a member even where it is a keyword of the
// language on its own (`stream.Write`, `rs.Open`, `doc.Print`).
bool RoutineRegistration::isMemberName(int position) const {
  const std::string& name = history_->at(position);
  return history_->at(position + 1) == "." && !name.empty() && !TokenTests::isDelimiter(name) &&
         !(name[0] >= '0' && name[0] <= '9');
}

// A name in an expression that may be a parameterless function: noted
// once per routine, and linked only where a routine of the sources
// answers it.
void RoutineRegistration::noteWeakCall(int position) {
  const std::string& name = history_->at(position);
  const bool keywordMember = !tests_->isPlainName(name);
  if (keywordMember && !isMemberName(position)) return;
  if (state_.currentFunction.empty()) return;
  if (sameName(name, afterLastDot(state_.currentFunction))) return;  // the result
  DeclInfo record;
  std::string qualifier;
  if (history_->at(position + 1) == ".") {
    // An object of a known class, or a module, unit or class by its name.
    record.className = objectClass(position + 1, qualifier);
    if (record.className.empty() && (qualifier.empty() || keywordMember)) return;
    if (!record.className.empty() && language_ == kModeVb) qualifier.clear();
  } else {
    // A plain name is asked about once per routine: noted as a call, or
    // found to be a variable.
    for (const std::string& asked : state_.weakNames)
      if (sameName(asked, name)) return;
    state_.weakNames.push_back(name);
    if (isVariable(name) || isOwnProperty(name)) return;
  }
  record.name = name;
  registerCall(record, kKindCall, qualifier, true);
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

// Self (Delphi), Me and MyClass (VB): the class of the routine; MyBase
// (VB.NET): its first base. Empty for any other word.
std::string RoutineRegistration::selfClass(const std::string& word) const {
  if (language_ == kModeDelphi)
    return equalsIgnoreCase(word, "Self") ? memberClass() : std::string();
  if (equalsIgnoreCase(word, "Me") || equalsIgnoreCase(word, "MyClass")) return memberClass();
  if (equalsIgnoreCase(word, "MyBase") && !memberClass().empty())
    return tables_.classes.baseName(memberClass(), 0);
  return std::string();
}

// Walks back from the '.' at `dot` over `name '.' name …` to the path's
// start, then follows it from there: a variable (or Self, or a class)
// first, members of its class after it. A VB variable's declared type is
// its class even when no class of that name is known (`ADODB.Recordset`).
std::string RoutineRegistration::objectClass(int dot, std::string& path) const {
  int first = dot + 1;
  while (history_->at(first + 1) == "." && isWordToken(history_->at(first + 2))) first += 2;
  if (!isWordToken(history_->at(first))) return std::string();
  path = history_->at(first);
  std::string className = selfClass(path);
  bool declared = false;
  if (!className.empty()) {
  } else if (const std::string* type = variableType(path)) {
    // A declared type may be a class of a file read later: VB and Delphi
    // calls are linked after the last file, which knows.
    className = *type;
    declared = true;
  } else if (tests_->isKnownClass(path)) {
    className = path;
  } else if (language_ == kModeDelphi) {
    className = equalsIgnoreCase(path, "Result")
                    ? resultType()
                    : tables_.calls.propertyType(memberClass(), path);  // a property of Self
    declared = !className.empty();
  }
  for (int k = first - 2; k > dot; k -= 2) {
    const std::string& member = history_->at(k);
    path += ".";
    path += member;
    declared = false;
    if (className.empty()) continue;
    const ClassRecord* owner = nullptr;
    const MemberVariable* m = tables_.classes.findMemberVariable(className, member, owner);
    if (m) {
      className = m->type;
    } else if (language_ == kModeDelphi) {
      className = tables_.calls.propertyType(className, member);
    } else {
      className.clear();
    }
    declared = !className.empty();
  }
  if (!className.empty() && !declared && !tests_->isKnownClass(className)) className.clear();
  return className;
}

const std::string* RoutineRegistration::variableType(std::string_view name) const {
  for (auto it = state_.objectClasses.rbegin(); it != state_.objectClasses.rend(); ++it)
    if (sameName(it->first, name)) return &it->second;
  return tables_.variables.referenceVariable(name, memberClass(), state_.currentFunction);
}

bool RoutineRegistration::isVariable(const std::string& name) const {
  return variableType(name) != nullptr;
}

// ---------------------------------------------------------------------------
// Call or definition

void RoutineRegistration::MainForSetFunc(DeclInfo& record, std::uint32_t kind,
                                         std::string_view qualifier) {
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
  if (!(kind & kKindCall) && !state_.isProcedure && record.className.empty() && qualifier.empty() &&
      sameName(record.name, afterLastDot(state_.currentFunction)))
    return;
  registerCall(record, kind, qualifier);
}

// The call, and for each object of an open `with` whose class is known,
// the same routine as that class's method; noted, to be linked after the
// last file.
void RoutineRegistration::registerCall(const DeclInfo& callee, std::uint32_t kind,
                                       std::string_view qualifier, bool weak) {
  const std::string caller = tables_.functions.qualifiedKey(callerParts());
  const std::string where = positionPrefix(&tables_.context);
  NotedCall call;
  call.caller = caller;
  call.name = callee.name;
  call.objectClass = callee.className;
  call.qualifier = qualifier;
  call.ownClass = memberClass();
  call.scope = scope_;
  call.where = where;
  call.path = tables_.context.topPath();
  call.kind = kind;
  call.weak = weak;
  tables_.calls.note(language_, call);
  if (!callee.className.empty() || !qualifier.empty() || weak) return;
  for (const auto& with : state_.withNames) {
    const std::string* type = variableType(with.first);
    if (!type || type->empty()) continue;
    call.objectClass = *type;
    call.kind = kKindNoParens;
    tables_.calls.note(language_, call);
  }
}

void RoutineRegistration::defineRoutine(DeclInfo& record, std::uint32_t kind) {
  record.filePath = tables_.context.topPath();
  tables_.functions.registerDefinition(record, kind, reader_->capturedComment());
  RoutineState& s = state_;
  s.currentClass = record.className;
  s.currentFunction = record.name;
  s.fileLocal = record.fileLocal;
  s.headerPending = true;
  s.stepCount = 1;
  s.countingSteps = true;
  if (language_ == kModeDelphi) s.inBody = true;
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
  DeclInfo d = currentDecl();
  d.filePath.clear();
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
