// The statements that declare: the file's class or module (its VB_Name,
// its designer's controls), a routine header's arguments, parameters and
// type, Declare'd externals, Const values, Type blocks and Dim (Global,
// Private … As) declarations.
#include "parsers/parser_context.h"
#include "context/source_context.h"
#include "context/text_util.h"
#include "tables/call_resolution.h"
#include "tables/function_table.h"
#include "tables/type_table.h"
#include "tables/variable_table.h"
#include "parsers/vb_parser_internal.h"
#include "scan/define_table.h"
#include "scan/language.h"
#include "scan/source_reader.h"
#include "tables/class_table.h"

namespace {

bool isWord(const std::string& token) { return !token.empty() && !TokenTests::isDelimiter(token); }

}  // namespace

// ---------------------------------------------------------------------------
// The file's class or module

// A form or class file opens with its designer's description (VERSION,
// Begin … End, properties); the code starts at its first Attribute line.
// The designer's `Begin VB.Form Name` names the form, and each nested
// `Begin Library.Type Name` a control of it.
bool VbParser::skipsDesignerSection(const std::string& token) {
  if (file_.firstToken) {
    file_.firstToken = false;
    file_.designer = !isNet() && is(token, "VERSION");
    file_.classFile = file_.designer;
  }
  if (!file_.designer) return false;
  if (is(token, "Attribute") && history_.at(1) == "\n") {
    file_.designer = false;
    return false;
  }
  designerToken(token);
  return true;
}

void VbParser::designerToken(const std::string& token) {
  if (token != "\n") return;
  // The line just ended: `Begin Lib . Type Name`, `Begin`, or `End`.
  int start = 1;
  while (history_.at(start) != "\n" && !history_.at(start).empty() && start < 8) ++start;
  const std::string& first = history_.at(start - 1);
  if (is(first, "End")) {
    if (file_.designerDepth > 0) --file_.designerDepth;
    return;
  }
  if (!is(first, "Begin")) return;
  ++file_.designerDepth;
  if (start != 6 || history_.at(3) != ".") return;
  const std::string& name = history_.at(1);
  if (!isWord(name)) return;
  if (file_.designerDepth == 1) {
    file_.designerName = name;
    return;
  }
  for (const auto& control : file_.controls)
    if (sameName(control.first, name)) return;  // a control array's next element
  file_.controls.emplace_back(name, history_.at(2));
}

// The statements before the first one that is no Attribute line: the
// VB_Name attribute names the class or module, else the designer, else the
// file's name.
void VbParser::fileScope(const std::string& token, bool end) {
  if (end) {
    if (file_.attributeName) file_.vbName = attributeValue();
    file_.attributeName = false;
    return;
  }
  if (file_.tokenCount == 2 && is(history_.at(1), "Attribute")) {
    file_.attributeName = is(token, "VB_Name");
    return;
  }
  if (file_.tokenCount != 1 || is(token, "Attribute")) return;
  file_.scopeStarted = true;
  std::string name = file_.vbName;
  if (name.empty()) name = file_.designerName;
  if (name.empty()) {
    std::string stem = fileNamePart(tables_.context.topPath());
    name = stem.substr(0, stem.rfind('.'));
  }
  if (file_.classFile)
    startClassFile(name);
  else
    startModule(name);
}

// The text between the quotes of the line that just ended, as the
// reader's short ring still holds it.
std::string VbParser::attributeValue() const {
  for (int k = 1; k + 2 < 10; ++k)
    if (reader_->token(k) == "\"" && reader_->token(k + 2) == "\"" && isWord(reader_->token(k + 1)))
      return reader_->token(k + 1);
  return std::string();
}

// A form, class or control (or a VB.NET Class): its routines are its
// methods, its designer's controls and its module-level variables its
// members.
void VbParser::startClassFile(const std::string& name) {
  if (!tables_.classes.exists(name)) tables_.classes.registerClass(name, 1, ClassTable::kClass);
  file_.className = name;
  file_.module = false;
  r().currentClass = name;
  file_.classTakenElsewhere =
      !isNet() && !tables_.calls.claimClassFile(name, tables_.context.topPath());
  routine_.setScope(file_.classTakenElsewhere
                        ? tables_.functions.qualifiedKey(KeyParts{{}, {}, {}, true})
                        : std::string());
  for (const auto& [control, type] : file_.controls)
    tables_.variables.registerVariable(type, control, 0, VariableTable::kDeclaration, name, "");
  file_.controls.clear();
}

// A VB6 standard module: its public routines are plain, its Private ones
// its file's; its name before a '.' leads to them. A VB.NET Module keys
// its routines by its name, as a class does (several modules of a program
// may have a Run), and a call that neither the caller's class nor its
// module answers finds them by their name.
void VbParser::startModule(const std::string& name) {
  file_.module = true;
  file_.moduleName = name;
  file_.classTakenElsewhere = false;
  std::string suffix = tables_.functions.qualifiedKey(KeyParts{{}, {}, {}, true});
  if (isNet()) {
    file_.className = name;
    r().currentClass = name;
    tables_.calls.addNetModule(name);
  } else {
    file_.className.clear();
    r().currentClass.clear();
    tables_.calls.addModule(name, suffix);
  }
  routine_.setScope(suffix);
}

// ---------------------------------------------------------------------------
// Headers

// On the header's line after its '(': the argument text when the list
// closes, and the word after the first `As` past it (`As Integer`,
// `As String()`, `As List(Of T)` all give the first word).
void VbParser::headerToken(const std::string& token) {
  if (token == ")" && file_.parenDepth == 0 && file_.headerArguments.empty() &&
      file_.headerType.empty() && !file_.headerTypeNext) {
    file_.headerArguments = routine_.argumentText(0);
    parameters(0);
  } else if (file_.headerTypeNext && isWord(token)) {
    file_.headerType = token;
    file_.headerTypeNext = false;
  } else if (is(token, "as") && file_.parenDepth == 0 && file_.headerType.empty())
    file_.headerTypeNext = true;
}

// The parameters of the list that the ')' at look-back `close` ends, each
// `[ByVal] name As Type [= default]`, are the routine's variables.
void VbParser::parameters(int close) {
  int open = history_.matchingOpen(close, "(", ")");
  if (open < 0) return;
  forEachCommaPart(close + 1, open - 1, [this](int asWord, int partEnd, int) {
    if (asWord >= 0) declaration(asWord, partEnd, 1);
  });
}

void VbParser::completeHeader() {
  routine_.completeHeaderText(file_.headerType, file_.headerArguments);
  file_.headerArguments.clear();
  file_.headerType.clear();
  file_.headerTypeNext = false;
}

// ---------------------------------------------------------------------------
// Declare [Function|Sub] Name Lib "dll" [Alias "x"] (args) [As Type]

void VbParser::declareState(const std::string& token) {
  if (is(token, "lib") && (is(history_.at(2), "function") || is(history_.at(2), "sub"))) {
    routine_.registerRoutineName(1, kKindExternal, true);
    file_.headerArguments.clear();
    file_.headerType.clear();
    file_.headerTypeNext = false;
    return;
  }
  if (!statementEnd(token)) return;
  if (!r().currentFunction.empty()) {
    completeHeader();
    routine_.dropRoutine();
    r().currentClass = file_.className;
  }
  file_.statementState = State::kDefault;
}

// ---------------------------------------------------------------------------
// Const NAME = value

void VbParser::constState(const std::string& token) {
  if (!statementEnd(token)) return;
  file_.statementState = State::kDefault;
  const std::string& name = history_.at(3);
  if (history_.at(2) != "=" || !tests_.isPlainName(name)) return;
  DefineTable& defines = tables_.defines;
  if (!defines.beginDefine(name)) return;
  defines.defineBodyToken(history_.at(1));
  defines.defineBodyToken("\n");
}

// ---------------------------------------------------------------------------
// Dim, Global, Private … As: the declarations of the statement.

void VbParser::dimState(const std::string& token) {
  if (r().currentFunction.empty()) reader_->clearCapturedComment(true);
  if (token == "=" && file_.parenDepth == 0) file_.dimAfterEquals = true;
  // `Dim n As Integer = Count(x)`: the initial value calls; `As New C(…)`
  // calls the constructor.
  if (r().inBody && !r().headerOpen) {
    if (newObject(token)) return;
    if (token == "(" && file_.dimAfterEquals && !is(history_.at(2), "New"))
      routine_.registerRoutineName(1, RoutineRegistration::kKindCall, false);
    else if (file_.dimAfterEquals)
      callsInExpression(token);  // `Dim n = obj.Count`
  }
  if (!statementEnd(token)) return;
  declarations(file_.tokenCount - 1);
  file_.statementState = State::kDefault;
  file_.dimAfterEquals = false;
}

// Type NAME / member lines / End Type
void VbParser::typeBlockState(const std::string& token) {
  if (r().currentFunction.empty()) reader_->clearCapturedComment(true);
  if (is(token, "type") && is(history_.at(1), "end")) {
    endTypeBlock();
    return;
  }
  if (file_.structTag.empty()) {
    if (isWord(token) && !statementEnd(token)) file_.structTag = token;
    return;
  }
  if (statementEnd(token)) declarations(file_.tokenCount - 1);
}

// A Type block is a structure of its members' sizes.
void VbParser::endTypeBlock() {
  tables_.variables.closeScope(1);
  if (!file_.structTag.empty()) {
    int flags = 0;
    int size = tables_.classes.sizeOf(file_.structTag, flags);
    tables_.types.registerType(file_.structTag, TypeTable::kStructure, size, flags != 0, kModeVb);
  }
  file_.structTag.clear();
  file_.statementState = State::kDefault;
}

// The statement from look-back `first` to its end (look-back 0): every
// `name As Type` part between its commas is one declaration.
void VbParser::declarations(int first) {
  forEachCommaPart(1, first, [this](int asWord, int partEnd, int last) {
    if (asWord >= 0)
      declaration(asWord, partEnd, file_.parenDepth);
    else if (isNet())
      inferredDeclaration(last - 1);  // `Dim n = Count()`: the word after Dim or ,
  });
}

// Calls `part(asWord, partEnd, last)` for every part between the commas at
// bracket depth 0 of look-back `from` up to `to`: `asWord` the look-back
// of its `As` (-1 without one), `partEnd` of its newest token, `last` of
// its oldest (its comma, or `to`).
template <class Part>
void VbParser::forEachCommaPart(int from, int to, Part part) const {
  int depth = 0;
  int asWord = -1;
  int partEnd = from;
  for (int k = from; k <= to; ++k) {
    const std::string& t = history_.at(k);
    if (t == ")")
      ++depth;
    else if (t == "(")
      --depth;
    if (depth != 0) continue;
    if (is(t, "as") && asWord < 0) asWord = k;
    if (t == "," || k == to) {
      part(asWord, partEnd, k);
      asWord = -1;
      partEnd = k + 1;
    }
  }
}

// name ['(' bounds ')'] As [New] Type [(args)] [= value], the type's tokens
// from look-back `asWord` - 1 down to `end`.
void VbParser::declaration(int asWord, int end, int parameterDepth) {
  std::string type;
  bool lastWasWord = false;
  bool created = false;
  for (int k = asWord - 1; k >= end; --k) {
    const std::string& t = history_.at(k);
    if (t == "=") break;
    if (is(t, "new") && type.empty()) {
      created = true;
      continue;
    }
    // `As New C(args)`: the arguments are the constructor's, not the type's
    // (a generic `As New List(Of T)` keeps its "(Of").
    if (created && t == "(" && !type.empty() && k > end && !is(history_.at(k - 1), "of")) break;
    bool word = isWord(t);
    if (word && lastWasWord) type += ' ';
    type += t;
    lastWasWord = word;
  }
  std::string name = declaredName(asWord);
  if (type.empty() || name.empty()) return;
  registerDeclared(type, name, parameterDepth);
}

// VB.NET: `name = value` without As declares name with the value's type,
// which is not read: an Object.
void VbParser::inferredDeclaration(int nameAt) {
  const std::string& name = history_.at(nameAt);
  if (tests_.isPlainName(name)) registerDeclared("Object", name, 0);
}

void VbParser::registerDeclared(const std::string& type, const std::string& name,
                                int parameterDepth) {
  bool inside = !r().currentFunction.empty() || !file_.structTag.empty();
  int flags = parameterDepth != 0 ? 0 : VariableTable::kDeclaration;
  // A class's module-level variables are its members.
  const std::string& owner =
      file_.structTag.empty() && r().currentFunction.empty() ? file_.className : file_.structTag;
  tables_.variables.registerVariable(type, name, inside ? 1 : 0, flags, owner, r().currentFunction);
}

// The name before `As`; an array's bounds stay with it (`a(10)`), with
// Const names replaced by their values.
std::string VbParser::declaredName(int asWord) const {
  int k = asWord + 1;
  if (history_.at(k) != ")")
    return tests_.isPlainName(history_.at(k)) ? history_.at(k) : std::string();
  int open = history_.matchingOpen(k, "(", ")");
  if (open < 0 || !tests_.isPlainName(history_.at(open + 1))) return std::string();
  std::string name = history_.at(open + 1);
  for (int j = open; j >= k; --j) {
    const std::string& t = history_.at(j);
    name += tests_.isMacro(t) ? tables_.defines.bodyOf(t) : t;
  }
  return name;
}
