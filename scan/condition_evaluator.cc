#include "scan/condition_evaluator.h"

#include <cmath>
#include <cstdio>
#include <deque>

#include "context/language_mode.h"
#include "context/source_context.h"
#include "context/text_util.h"
#include "calvex/calvex.h"
#include "scan/type_questions.h"
#include "report/error_log.h"
#include "scan/c_literals.h"
#include "scan/define_table.h"
#include "scan/lexical_rules.h"

namespace {

bool isBlankByte(char c) { return c == ' ' || c == '\t'; }

// A run of non-delimiter bytes, or one delimiter byte.
std::string_view nextWord(std::string_view text, size_t& pos) {
  size_t start = pos;
  if (pos >= text.size()) return {};
  if (isDelimiterByte(static_cast<unsigned char>(text[pos]))) return text.substr(pos++, 1);
  while (pos < text.size() && !isDelimiterByte(static_cast<unsigned char>(text[pos]))) ++pos;
  return text.substr(start, pos - start);
}

void skipBlanks(std::string_view text, size_t& pos) {
  while (pos < text.size() && isBlankByte(text[pos])) ++pos;
}

// Input goes on after the next ')', or at the end when none follows.
void resumeAfterClose(std::string_view text, size_t& pos) {
  size_t close = text.find(')', pos);
  pos = close == std::string_view::npos ? text.size() : close + 1;
}

bool isIdentifierStart(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

// The arguments of a macro call whose '(' is at text[pos]: split at the
// commas of depth 1, blanks around each dropped. False when the call does
// not close; `pos` is then left alone, else it is past the ')'.
bool callArguments(std::string_view text, size_t& pos, std::vector<std::string_view>& args) {
  int depth = 0;
  size_t start = pos + 1;
  for (size_t i = pos; i < text.size(); ++i) {
    char c = text[i];
    if (c == '(') {
      ++depth;
    } else if (c == ')' || (c == ',' && depth == 1)) {
      if (c == ')' && --depth > 0) continue;
      std::string_view arg = text.substr(start, i - start);
      while (!arg.empty() && isBlankByte(arg.front())) arg.remove_prefix(1);
      while (!arg.empty() && isBlankByte(arg.back())) arg.remove_suffix(1);
      args.push_back(arg);
      start = i + 1;
      if (c == ')') {
        pos = i + 1;
        return true;
      }
    }
  }
  return false;
}

// One text being read: the condition itself, or the body of a macro met in
// it (whose define position is then on the expansion stack).
struct Frame {
  std::string_view text;
  size_t pos = 0;
};

// Expands with an explicit stack of frames, so that a long chain of
// macros costs heap, never call depth.
class Expander {
 public:
  Expander(const ExpressionTables& tables, ExpansionStack& stack, int line, bool isCondition)
      : tables_(tables), stack_(stack), line_(line) {
    int mode = tables.context.languageMask();
    cConditionRules_ = isCondition && (mode & kModeCFamily) != 0;
    cppWords_ = cConditionRules_ && (mode & kModeCpp) != 0;
    basicConditionRules_ = isCondition && (mode & kModeVbOrDelphi) != 0;
  }

  bool run(std::string_view text, std::string& out);

 private:
  enum class Step { kGoOn, kFail };

  Step word(std::string_view word, std::string& out);
  Step macro(size_t position, std::string_view word, std::string& out);
  Step functionMacro(size_t position, std::string_view word, std::string& out);
  void enter(size_t position, std::string_view text);
  Step defined(std::string& out);
  Step sizeOf(std::string& out);
  void number(std::string_view word, std::string& out);
  void character(std::string& out);
  void identifier(std::string_view word, std::string& out);
  bool isActive(size_t position);
  void message(const char* text) const;
  const std::string& fileName() const;

  const ExpressionTables& tables_;
  ExpansionStack& stack_;
  int line_;
  // C's rules of #if: a name left after expansion is 0 (true and false are
  // C++'s values), a macro defined empty expands to nothing.
  bool cConditionRules_ = false;
  bool cppWords_ = false;
  // The rules of VB's #If and Delphi's {$IF}: a name nothing defined is 0
  // (VB's Empty), True is -1, and the word operators (And, or, Mod, div …)
  // stay for the evaluator's VB syntax.
  bool basicConditionRules_ = false;
  void basicWord(std::string_view word, std::string& out) const;
  std::vector<Frame> frames_;
  std::deque<std::string> substituted_;  // the texts of macro calls, kept for their frames
  std::vector<unsigned char> active_;    // by define position: on the stack
};

bool Expander::run(std::string_view text, std::string& out) {
  const size_t base = stack_.size();
  frames_.push_back({text, 0});
  bool ok = true;
  while (ok && !frames_.empty()) {
    Frame& frame = frames_.back();
    if (frame.pos >= frame.text.size()) {
      frames_.pop_back();
      if (!frames_.empty()) {
        active_[stack_.back()] = 0;
        stack_.pop_back();
      }
      continue;
    }
    ok = word(nextWord(frame.text, frame.pos), out) == Step::kGoOn;
    if (ok && out.size() > kMaxExpansionBytes) {
      message(" : #if文の解析において無限ﾙｰﾌﾟに陥りました");
      ok = false;
    }
  }
  stack_.resize(base);
  return ok;
}

Expander::Step Expander::word(std::string_view word, std::string& out) {
  if (word == "'") {
    character(out);
    return Step::kGoOn;
  }
  if (word.size() == 1 && isDelimiterByte(static_cast<unsigned char>(word[0]))) {
    out += word;
    return Step::kGoOn;
  }
  // A number is never a macro name: no search for it.
  if (!startsWithDigit(word)) {
    int position = tables_.defines.positionNamed(word);
    if (position >= 0) return macro(static_cast<size_t>(position), word, out);
  }
  if (word == "defined" || (basicConditionRules_ && (equalsIgnoreCase(word, "defined") ||
                                                     equalsIgnoreCase(word, "declared"))))
    return defined(out);
  if (word == "sizeof") return sizeOf(out);
  if (startsWithDigit(word))
    number(word, out);
  else if (cConditionRules_ && isIdentifierStart(word[0]))
    identifier(word, out);
  else if (basicConditionRules_ && isIdentifierStart(word[0]))
    basicWord(word, out);
  else
    out += word;
  return Step::kGoOn;
}

// NAME  -> its body, expanded in turn; a macro without a body stays (in a
// C condition it is nothing).
Expander::Step Expander::macro(size_t position, std::string_view word, std::string& out) {
  if (isActive(position) || stack_.size() >= kMaxExpansionDepth) {
    message(" : #if文の解析において無限ﾙｰﾌﾟに陥りました");
    return Step::kFail;
  }
  const DefineEntry& entry = tables_.defines.entryAtPosition(position);
  if (!entry.params.empty()) return functionMacro(position, word, out);
  if (entry.body.empty()) {
    if (!cConditionRules_) out += word;
    return Step::kGoOn;
  }
  enter(position, entry.body);
  return Step::kGoOn;
}

// NAME(args)  -> the body with the parameters replaced and "##" joined,
// expanded in turn. The name without '(' after it is no call.
Expander::Step Expander::functionMacro(size_t position, std::string_view word, std::string& out) {
  Frame& frame = frames_.back();
  size_t pos = frame.pos;
  skipBlanks(frame.text, pos);
  std::vector<std::string_view> args;
  if (pos >= frame.text.size() || frame.text[pos] != '(' || !callArguments(frame.text, pos, args)) {
    identifier(word, out);
    return Step::kGoOn;
  }
  frame.pos = pos;
  const DefineEntry& entry = tables_.defines.entryAtPosition(position);
  std::vector<std::string_view> names = macroParameterNames(entry.params);
  std::string text;
  std::string_view body = entry.body;
  size_t at = 0;
  while (at < body.size()) {
    std::string_view piece = nextWord(body, at);
    if (piece == "#" && at < body.size() && body[at] == '#') {
      // a ## b: the two sides join into one word.
      ++at;
      while (!text.empty() && isBlankByte(text.back())) text.pop_back();
      skipBlanks(body, at);
      continue;
    }
    size_t k = 0;
    while (k < names.size() && names[k] != piece) ++k;
    if (k < names.size())
      text += k < args.size() ? args[k] : std::string_view();
    else
      text += piece;
  }
  enter(position, substituted_.emplace_back(std::move(text)));
  return Step::kGoOn;
}

void Expander::enter(size_t position, std::string_view text) {
  active_[position] = 1;
  stack_.push_back(position);
  frames_.push_back({text, 0});  // invalidates references to frames
}

bool Expander::isActive(size_t position) {
  if (active_.size() < tables_.defines.positionCount()) {
    active_.assign(tables_.defines.positionCount(), 0);
    for (size_t outer : stack_)
      if (outer < active_.size()) active_[outer] = 1;
  }
  return active_[position] != 0;
}

// defined NAME   defined(NAME)   defined (NAME)  -> 1 or 0
Expander::Step Expander::defined(std::string& out) {
  Frame& frame = frames_.back();
  std::string_view text = frame.text;
  size_t& pos = frame.pos;
  if (pos >= text.size() || (text[pos] != ' ' && text[pos] != '(')) {
    message(" : #if defined文の解析においてｴﾗｰが発生しました");
    return Step::kFail;
  }
  bool parenthesised = text[pos++] == '(';
  skipBlanks(text, pos);
  if (!parenthesised && pos < text.size() && text[pos] == '(') {
    parenthesised = true;
    skipBlanks(text, ++pos);
  }
  std::string_view name = nextWord(text, pos);
  out += tables_.defines.isDefined(name) ? '1' : '0';
  if (parenthesised) resumeAfterClose(text, pos);
  return Step::kGoOn;
}

// sizeof(TYPE)   sizeof(struct TAG)   sizeof(unsigned long)  -> the size
// sizeof(TYPE *)                                             -> a pointer's
Expander::Step Expander::sizeOf(std::string& out) {
  Frame& frame = frames_.back();
  std::string_view text = frame.text;
  size_t& pos = frame.pos;
  if (pos >= text.size() || text[pos] != '(') {
    message(" : 数式の解析においてｴﾗｰが発生しました(sizeof演算子)");
    if (!tables_.quiet) errorLog() << "  input[" << text << "]\n";
    return Step::kFail;
  }
  skipBlanks(text, ++pos);
  std::string_view type = nextWord(text, pos);
  skipBlanks(text, pos);
  // "struct" always names the tag; modifiers give way to a following word.
  while ((type == "struct" || isModifierWord(type)) && pos < text.size() &&
         !isDelimiterByte(static_cast<unsigned char>(text[pos]))) {
    type = nextWord(text, pos);
    skipBlanks(text, pos);
  }
  TypeQuestions& types = tables_.types;
  tables_.defines.tellUnrepeatable();  // the type table changes as the parser reads
  if (!types.isType(type)) {
    if (!tables_.quiet)
      errorLog() << "  " << fileName() << ' ' << line_ << " : #if文解析ｴﾗｰ(sizeof演算子で不明な型["
                 << type << "]が使用されています)\n";
    return Step::kFail;
  }
  bool pointer = pos < text.size() && text[pos] == '*';
  out += std::to_string(pointer ? types.pointerSize() : types.sizeInBytes(type));
  resumeAfterClose(text, pos);
  return Step::kGoOn;
}

// 0x1F  017  0b101  10UL -> decimal; anything else stays as written.
void Expander::number(std::string_view word, std::string& out) {
  std::uint64_t value = 0;
  if (integerConstantValue(word, value))
    out += std::to_string(value);
  else
    out += word;
}

// 'A'  '\n'  '\x41'  'ab' -> their int values; a quote that does not close
// stays as written.
void Expander::character(std::string& out) {
  Frame& frame = frames_.back();
  size_t pos = frame.pos - 1;  // the opening quote
  std::int64_t value = 0;
  if (!characterConstantValue(frame.text, pos, value)) {
    out += '\'';
    return;
  }
  frame.pos = pos;
  out += value < 0 ? "(" + std::to_string(value) + ")" : std::to_string(value);
}

// A name that is no macro: C takes it for 0 (C++ knows true and false);
// a call of such a name is 0 as a whole (__has_include(<x.h>) and the like).
void Expander::identifier(std::string_view word, std::string& out) {
  if (!cConditionRules_) {
    out += word;
    return;
  }
  out += cppWords_ && word == "true" ? '1' : '0';
  Frame& frame = frames_.back();
  size_t pos = frame.pos;
  skipBlanks(frame.text, pos);
  std::vector<std::string_view> args;
  if (pos < frame.text.size() && frame.text[pos] == '(' && callArguments(frame.text, pos, args))
    frame.pos = pos;
}

namespace {

// The words the VB evaluator reads itself.
const std::string_view kVbOperatorWords[] = {"And", "Or",  "Xor", "Mod", "Eqv", "Imp",
                                             "Abs", "Atn", "Cos", "Exp", "Fix", "Int",
                                             "Log", "Sin", "Sqr", "Tan"};

}  // namespace

void Expander::basicWord(std::string_view word, std::string& out) const {
  for (std::string_view w : kVbOperatorWords) {
    if (equalsIgnoreCase(word, w)) {
      out += word;
      return;
    }
  }
  if (equalsIgnoreCase(word, "div"))
    out += '\\';  // Delphi's integer division
  else if (equalsIgnoreCase(word, "Not"))
    out += '!';
  else if (equalsIgnoreCase(word, "True"))
    out += "(-1)";
  else
    out += '0';  // False, and every name nothing defined
}

const std::string& Expander::fileName() const { return tables_.context.item(0); }

void Expander::message(const char* text) const {
  if (tables_.quiet) return;
  errorLog() << "  " << fileName() << ' ' << line_ << text << '\n';
}

const char* errorText(int error) {
  switch (error) {
    case kCalvexUnbalancedParentheses:
      return "[括弧数の不整合]";
    case kCalvexUnknownLexeme:
      return "[不明な文字][";
    case kCalvexOutOfMemory:
      return "[メモリエラー]";
    case kCalvexCalculationError:
      return "[数式エラー]";
    default:
      return "";  // division by zero says nothing more
  }
}

void evaluationMessage(const ExpressionTables& tables, bool isCondition, int line, int error,
                       const std::string& expansion) {
  std::ostream& log = errorLog();
  log << "    " << tables.context.item(0) << ' ' << line
      << (isCondition ? ": #if､#elif文解析ｴﾗｰ " : ": ｽﾀｯｸｻｲｽﾞ計測ｴﾗｰ") << errorText(error);
  if (error == kCalvexUnknownLexeme) log << expansion << ']';
  log << '\n';
}

int currentLine(const ExpressionTables& tables) { return tables.context.currentLine(); }

}  // namespace

std::string expandExpression(const ExpressionTables& tables, std::string_view text,
                             ExpansionStack& stack, int line, bool isCondition) {
  std::string out;
  out.reserve(text.size());
  Expander expander(tables, stack, line, isCondition);
  if (!expander.run(text, out)) out.clear();
  return out;
}

ConditionValue evaluateExpressionAt(const ExpressionTables& tables, std::string_view text,
                                    bool isCondition, int line) {
  ExpansionStack stack;
  std::string expansion = expandExpression(tables, text, stack, line, isCondition);
  if (expansion.empty()) return {};
  int error = 0;
  // VB and Delphi conditions use = <> and word operators (And, or, Mod …).
  int mode = tables.context.languageMask();
  bool vb = isCondition && (mode & kModeVbOrDelphi) != 0;
  double value = vb ? Kaiseki_VB(expansion.c_str(), &error) : evaluateCSyntax(expansion, error);
  if (error != 0) {
    if (!tables.quiet) evaluationMessage(tables, isCondition, line, error, expansion);
    return {};
  }
  return {lowBitsOf(value), std::isfinite(value) && std::trunc(value) != 0, true};
}

namespace {

// Where the conditional operator at depth 0 of `text` starts (its '?'),
// and its ':' (the one that pairs with it, past nested ones), or npos.
struct ConditionalSplit {
  size_t question = std::string::npos;
  size_t colon = std::string::npos;
};

ConditionalSplit splitConditional(std::string_view text) {
  ConditionalSplit split;
  int depth = 0, nested = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '(') ++depth;
    if (c == ')') --depth;
    if (depth != 0) continue;
    if (c == '?') {
      if (split.question == std::string::npos)
        split.question = i;
      else
        ++nested;
    } else if (c == ':' && split.question != std::string::npos) {
      if (nested == 0) {
        split.colon = i;
        return split;
      }
      --nested;
    }
  }
  return split;
}

std::string numberText(double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.17g", value);
  return buffer;
}

double evaluateConditionals(std::string_view text, int& error, int depth);

// Each parenthesised group that holds a '?' becomes its value.
std::string resolveGroups(std::string_view text, int& error, int depth) {
  std::string out;
  size_t i = 0;
  while (i < text.size() && error == 0) {
    if (text[i] != '(') {
      out += text[i++];
      continue;
    }
    size_t close = i;
    for (int d = 0; close < text.size(); ++close) {
      if (text[close] == '(') ++d;
      if (text[close] == ')' && --d == 0) break;
    }
    if (close >= text.size()) {  // left for the library to report
      out += text.substr(i);
      break;
    }
    std::string_view inner = text.substr(i + 1, close - i - 1);
    if (inner.find('?') == std::string_view::npos) {
      out += text.substr(i, close - i + 1);
    } else {
      out += '(' + numberText(evaluateConditionals(inner, error, depth + 1)) + ')';
    }
    i = close + 1;
  }
  return out;
}

double evaluateConditionals(std::string_view text, int& error, int depth) {
  if (error != 0) return 0;
  if (depth > 256) {
    error = kCalvexCalculationError;
    return 0;
  }
  ConditionalSplit split = splitConditional(text);
  if (split.question != std::string::npos) {
    if (split.colon == std::string::npos) {
      error = kCalvexCalculationError;
      return 0;
    }
    double condition = evaluateConditionals(text.substr(0, split.question), error, depth + 1);
    if (error != 0) return 0;
    std::string_view branch =
        condition != 0 ? text.substr(split.question + 1, split.colon - split.question - 1)
                       : text.substr(split.colon + 1);
    return evaluateConditionals(branch, error, depth + 1);
  }
  std::string plain = resolveGroups(text, error, depth);
  if (error != 0) return 0;
  return Kaiseki(plain.c_str(), &error);
}

}  // namespace

double evaluateCSyntax(const std::string& expansion, int& error) {
  error = 0;
  if (expansion.find('?') == std::string::npos) return Kaiseki(expansion.c_str(), &error);
  return evaluateConditionals(expansion, error, 0);
}

std::int32_t evaluateCondition(const ExpressionTables& tables, std::string_view text,
                               bool isCondition) {
  int line = currentLine(tables) - (isCondition ? 1 : 0);
  return evaluateExpressionAt(tables, text, isCondition, line).value;
}

// Exact for every finite double: beyond 2^53 a double is an integer, and
// the remainder by 2^32 keeps exactly the low bits of its two's complement.
std::int32_t lowBitsOf(double value) {
  if (!std::isfinite(value)) return 0;
  double low = std::fmod(std::trunc(value), 4294967296.0);
  if (low < 0) low += 4294967296.0;
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(low));
}
