// The statements that declare: a routine header's arguments and type,
// Declare'd externals, Const values, Type blocks and Dim (Global, Private
// … As) declarations.
#include "parsers/parser_context.h"
#include "context/text_util.h"
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
// Headers

// On the header's line after its '(': the argument text when the list
// closes, and the word after the first `As` past it (`As Integer`,
// `As String()`, `As List(Of T)` all give the first word).
void VbParser::headerToken(const std::string& token) {
  if (token == ")" && file_.parenDepth == 0 && file_.headerArguments.empty() &&
      file_.headerType.empty() && !file_.headerTypeNext)
    file_.headerArguments = routine_.argumentText(0);
  else if (file_.headerTypeNext && isWord(token)) {
    file_.headerType = token;
    file_.headerTypeNext = false;
  } else if (is(token, "as") && file_.parenDepth == 0 && file_.headerType.empty())
    file_.headerTypeNext = true;
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
  // `Dim n As Integer = Count(x)`: the initial value calls.
  if (token == "(" && file_.dimAfterEquals && r().inBody && !r().headerOpen)
    routine_.registerRoutineName(1, RoutineRegistration::kKindCall, false);
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
    tables_.types.registerType(file_.structTag, TypeTable::kStructure, size, flags != 0,
                                        kModeVb);
  }
  file_.structTag.clear();
  file_.statementState = State::kDefault;
}

// The statement from look-back `first` to its end (look-back 0): every
// `name As Type` part between its commas is one declaration.
void VbParser::declarations(int first) {
  int depth = 0;
  int asWord = -1;
  int partEnd = 1;
  for (int k = 1; k <= first; ++k) {
    const std::string& t = history_.at(k);
    if (t == ")") ++depth;
    else if (t == "(") --depth;
    if (depth != 0) continue;
    if (is(t, "as") && asWord < 0) asWord = k;
    if (t == "," || k == first) {
      if (asWord >= 0) declaration(asWord, partEnd, file_.parenDepth);
      asWord = -1;
      partEnd = k + 1;
    }
  }
}

// name ['(' bounds ')'] As [New] Type [= value], the type's tokens from
// look-back `asWord` - 1 down to `end`.
void VbParser::declaration(int asWord, int end, int parameterDepth) {
  std::string type;
  bool lastWasWord = false;
  for (int k = asWord - 1; k >= end; --k) {
    const std::string& t = history_.at(k);
    if (t == "=") break;
    if (is(t, "new") && type.empty()) continue;
    bool word = isWord(t);
    if (word && lastWasWord) type += ' ';
    type += t;
    lastWasWord = word;
  }
  std::string name = declaredName(asWord);
  if (type.empty() || name.empty()) return;
  bool inside = !r().currentFunction.empty() || !file_.structTag.empty();
  int flags = parameterDepth != 0 ? 0 : VariableTable::kDeclaration;
  tables_.variables.registerVariable(type, name, inside ? 1 : 0, flags, file_.structTag,
                                       r().currentFunction);
}

// The name before `As`; an array's bounds stay with it (`a(10)`), with
// Const names replaced by their values.
std::string VbParser::declaredName(int asWord) const {
  int k = asWord + 1;
  if (history_.at(k) != ")") return tests_.isPlainName(history_.at(k)) ? history_.at(k) : std::string();
  int open = history_.matchingOpen(k, "(", ")");
  if (open < 0 || !tests_.isPlainName(history_.at(open + 1))) return std::string();
  std::string name = history_.at(open + 1);
  for (int j = open; j >= k; --j) {
    const std::string& t = history_.at(j);
    name += tests_.isMacro(t) ? tables_.defines.bodyOf(t) : t;
  }
  return name;
}
