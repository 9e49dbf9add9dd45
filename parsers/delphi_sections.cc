// The sections of a unit outside routines: the interface section, and in
// either part the type sections (classes with their bases, methods and
// fields; records with their fields and size), the var sections (global
// variables) and the const sections.
#include "context/language_mode.h"
#include "context/text_util.h"
#include "parsers/parser_context.h"
#include "parsers/delphi_parser_internal.h"
#include "tables/type_table.h"
#include "tables/variable_table.h"
#include "tables/class_table.h"
#include "scan/define_table.h"
#include "tables/call_resolution.h"
#include "tables/function_table.h"
#include "context/source_context.h"

namespace word = delphi_word;

// interface … implementation
void DelphiParser::interfaceState(const std::string& token) {
  if (has(word::kImplementation)) {
    tables_.variables.endFunctionScope();
    file_.statementState = State::kDefault;
    file_.section = kNoSection;
    return;
  }
  // `procedure Name` of the interface: a routine other units may call.
  const bool unitLevel = file_.section != kSectionClassHead && file_.section != kSectionClassBody &&
                         file_.section != kRecordBody;
  if (unitLevel && (delphiWordsOf(history_.at(1)) & word::kMethodWords) &&
      !TokenTests::isDelimiter(token) && !routine_.scope().empty())
    tables_.calls.addUnitRoutine(routine_.scope(), token, true);
  if (file_.parenDepth == 0 && sectionKeyword(token)) return;
  sectionToken(token);
}

// ---------------------------------------------------------------------------
// The unit's name and uses clauses, which decide where its calls lead.

void DelphiParser::unitClauseToken(const std::string& token) {
  using Clause = FileState::Clause;
  if (file_.clause == Clause::kNone) {
    if (file_.parenDepth != 0 || !r().currentFunction.empty()) return;
    if (is(token, "unit") || is(token, "program") || is(token, "library"))
      file_.clause = Clause::kUnitName;
    else if (is(token, "uses"))
      file_.clause = Clause::kUses;
    file_.clauseName.clear();
    return;
  }
  if (token == ";" || token == ",") {
    finishClauseName();
    file_.clause = token == ";" ? Clause::kNone : Clause::kUses;
    return;
  }
  if (file_.clause == Clause::kUsesPath || file_.clause == Clause::kSkip) return;
  std::string& name = file_.clauseName;
  if (file_.clause == Clause::kUses && is(token, "in")) {
    file_.clause = Clause::kUsesPath;  // `in 'path'`: the path is no name
  } else if (token == "." && !name.empty()) {
    name += token;
  } else if (!TokenTests::isDelimiter(token) && (name.empty() || name.back() == '.')) {
    name += token;
  } else {
    // `program P(input, output);`, `unit U platform;`: the name is complete.
    finishClauseName();
    file_.clause = Clause::kSkip;
  }
}

void DelphiParser::finishClauseName() {
  using Clause = FileState::Clause;
  std::string name = std::move(file_.clauseName);
  file_.clauseName.clear();
  if (name.empty() || name.back() == '.') return;
  if (file_.clause == Clause::kUnitName) {
    if (!tables_.calls.claimUnit(name, tables_.context.topPath()))
      name += tables_.functions.qualifiedKey(KeyParts{{}, {}, {}, true});
    routine_.setScope(name);
    tables_.calls.addUnit(name);
  } else if (file_.clause != Clause::kSkip && !routine_.scope().empty()) {
    tables_.calls.addUses(routine_.scope(), name);
  }
}

// The words that open a section or a type's body. True when the token
// was one of them.
bool DelphiParser::sectionKeyword(const std::string& token) {
  if (file_.section == kSectionClassHead || file_.section == kSectionClassBody ||
      file_.section == kRecordBody)
    return false;
  if (has(word::kVar | word::kThreadvar)) {
    file_.section = kVarSection;
  } else if (has(word::kConst | word::kResourcestring)) {
    file_.section = kConstSection;
  } else if (has(word::kType | word::kBegin) || startsRoutine()) {
    // A routine line leaves the section; its header is the default state's.
    file_.section = kNoSection;
    return !startsRoutine() || file_.statementState == State::kInterface;
  } else if (has(word::kClass | word::kInterface | word::kDispinterface | word::kObject) &&
             isBeforeType()) {
    startClass();
  } else if (has(word::kRecord) && isBeforeType()) {
    startRecord();
  } else {
    return false;
  }
  return true;
}

void DelphiParser::sectionToken(const std::string& token) {
  switch (file_.section) {
    case kSectionClassHead:
      classHeadToken(token);
      break;
    case kSectionClassBody:
      classBodyToken(token);
      break;
    case kRecordBody:
      recordBodyToken(token);
      break;
    case kVarSection:
      if (file_.parenDepth == 0 && (token == ";" || token == "=")) declaration("", "", false);
      break;
    default:
      break;
  }
}

// ---------------------------------------------------------------------------
// Classes

// Name '=' 'class' (or interface, object): the class is registered; a
// class seen before (`TFoo = class;` then its body) keeps its record.
void DelphiParser::startClass() {
  // `TList<T> = class`: the class is named before its type parameters.
  const int equals = history_.at(2) == "=" ? 2 : 1;
  const std::string& name = history_.at(history_.skipTypeArgumentsBack(equals + 1));
  r().currentClass.clear();
  if (!TokenTests::isDelimiter(name) && !tests_.isReserved(name)) {
    if (!tables_.classes.exists(name)) tables_.classes.registerClass(name, 1, ClassTable::kClass);
    r().currentClass = name;
    if (has(word::kInterface | word::kDispinterface)) tables_.calls.addInterface(name);
    if (!routine_.scope().empty())
      tables_.calls.addUnitClass(name, routine_.scope(),
                                 tables_.functions.qualifiedKey(KeyParts{{}, {}, {}, true}));
  }
  file_.typeStartDepth = file_.braceDepth - 1;
  file_.section = kSectionClassHead;
  if (file_.statementState != State::kInterface) file_.statementState = State::kClassHead;
}

// 'class' ['(' Base {',' Base} ')'] then the body; `class of T`,
// `class;` and `class(TBase);` have none.
void DelphiParser::classHeadToken(const std::string& token) {
  const std::string& before = history_.at(1);
  if (token == "(") return;
  // A generic base (`class(TObjectList<TItem>)`) is its generic class.
  const std::string& base = history_.at(history_.skipTypeArgumentsBack(1));
  if ((token == ")" || token == ",") && !TokenTests::isDelimiter(base) && file_.parenDepth <= 1) {
    // An interposer class (`TEdit = class(StdCtrls.TEdit)`) extends another
    // unit's class of its own name, which the table cannot tell apart.
    if (!equalsIgnoreCase(base, r().currentClass)) {
      tables_.classes.addBase(r().currentClass, base);
      tables_.calls.addDelphiBase(base, r().currentClass);
    }
    return;
  }
  if (file_.parenDepth > 0) return;
  bool bodiless =
      has(word::kOf) || (token == ";" && before == ")") || (token == ";" && file_.tokenCount == 2);
  if (bodiless) {
    --file_.braceDepth;
    endClass();
    return;
  }
  file_.section = kSectionClassBody;
  if (file_.statementState == State::kClassHead) file_.statementState = State::kClassBody;
  classBodyToken(token);
}

// Methods by their header's name; fields by `names: Type;` lines.
void DelphiParser::classBodyToken(const std::string& token) {
  if (file_.braceDepth <= file_.typeStartDepth) {
    endClass();
    return;
  }
  if (has(word::kMemberLineWords)) file_.routineStatement = true;
  bool nameEnds = token == "(" || (file_.parenDepth == 0 && (token == ";" || token == ":"));
  if (nameEnds && (delphiWordsOf(history_.at(2)) & (word::kMethodWords | word::kOperator)) &&
      !TokenTests::isDelimiter(history_.at(1))) {
    DeclInfo method;
    method.className = r().currentClass;
    method.name = history_.at(1);
    tables_.classes.addMethod(method);
  }
  propertyToken(token);
  if (token == ";" && file_.parenDepth == 0 && !file_.routineStatement)
    declaration(r().currentClass, "", false);
}

// `property Name[Index: T]: Type read …;`: the type of an object the
// property holds (its last `: Type`) leads to that class's methods.
void DelphiParser::propertyToken(const std::string& token) {
  if (is(history_.at(1), "property")) {
    file_.propertyName = token;
    file_.propertyType.clear();
  } else if (!file_.propertyName.empty() && history_.at(1) == ":" &&
             !TokenTests::isDelimiter(token)) {
    file_.propertyType = token;
  } else if (token == ";" && file_.parenDepth == 0 && !file_.propertyName.empty()) {
    if (!file_.propertyType.empty())
      tables_.calls.addPropertyType(r().currentClass, file_.propertyName, file_.propertyType);
    file_.propertyName.clear();
  }
}

void DelphiParser::endClass() {
  r().currentClass.clear();
  file_.section = kNoSection;
  if (file_.statementState != State::kInterface) file_.statementState = State::kDefault;
}

// ---------------------------------------------------------------------------
// Records

// Name '=' ['packed'] 'record': a structure type, sized at its end.
void DelphiParser::startRecord() {
  const std::string& name = history_.at(2) == "=" ? history_.at(3) : history_.at(2);
  file_.structTag.clear();
  if (!TokenTests::isDelimiter(name) && !tests_.isReserved(name)) {
    tables_.types.registerType(name, TypeTable::kStructure, 0, false, kModeDelphi);
    file_.structTag = name;
  }
  file_.typeStartDepth = file_.braceDepth - 1;
  file_.section = kRecordBody;
}

// Fields, those of a variant part's `0: (a, b: Integer);` too; not the
// lines of methods and properties.
void DelphiParser::recordBodyToken(const std::string& token) {
  if (file_.braceDepth <= file_.typeStartDepth) {
    endRecord();
    return;
  }
  if (file_.structTag.empty()) return;
  // A record's methods, operators and properties take no room in it; a
  // field of a procedural type (`Handler: procedure(x: Integer);`) does.
  if (has(word::kMemberLineWords) && history_.at(1) != ":") file_.routineStatement = true;
  if (file_.routineStatement) return;
  if (token == ";" || (token == ")" && file_.parenDepth == 0))
    declaration(file_.structTag, "", false);
}

void DelphiParser::endRecord() {
  if (!file_.structTag.empty()) {
    int flags = 0;
    int size = tables_.classes.sizeOf(file_.structTag, flags);
    tables_.types.registerType(file_.structTag, TypeTable::kStructure, size, flags != 0,
                               kModeDelphi);
  }
  tables_.variables.closeScope(file_.braceDepth + 1);
  file_.structTag.clear();
  file_.section = kNoSection;
}

// ---------------------------------------------------------------------------
// Constants

// `Name = value;` and the typed `Name: Type = value;` of a unit's const (or
// resourcestring) section: the name and the value as written go to the
// Const list. A name defined already is logged by the table and skipped.
void DelphiParser::constToken(const std::string& token) {
  using Part = FileState::ConstPart;
  const bool top = file_.parenDepth == 0;
  if (top && token == ";") {
    if (file_.constPart == Part::kValue) tables_.defines.defineBodyToken("\n");
    file_.constName.clear();
    file_.constPart = Part::kName;
    return;
  }
  switch (file_.constPart) {
    case Part::kName:
      if (top && token == "=" && !file_.constName.empty())
        file_.constPart = tables_.defines.beginDefine(file_.constName) ? Part::kValue : Part::kSkip;
      else if (file_.constName.empty() && tests_.isPlainName(token))
        file_.constName = token;
      break;
    case Part::kValue:
      tables_.defines.defineBodyToken(token);
      break;
    case Part::kSkip:
      break;
  }
}
