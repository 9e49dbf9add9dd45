#include "scan/condition_evaluator.h"

#include <cmath>

#include "app/run_tables.h"
#include "app/source_context.h"
#include "calvex/calvex.h"
#include "scan/type_questions.h"
#include "report/error_log.h"
#include "scan/define_table.h"
#include "scan/lexical_rules.h"

namespace {

const std::string kNoName;

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

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return 0;  // any other character counts as the digit 0
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
  Expander(RunTables& tables, ExpansionStack& stack, int line)
      : tables_(tables), stack_(stack), line_(line) {}

  bool run(std::string_view text, std::string& out);

 private:
  enum class Step { kGoOn, kFail };

  Step word(std::string_view word, std::string& out);
  Step macro(size_t index, std::string_view word, std::string& out);
  Step defined(std::string& out);
  Step sizeOf(std::string& out);
  void hexadecimal(std::string_view word, std::string& out);
  bool isActive(size_t index);
  void message(const char* text) const;
  const std::string& fileName() const;

  RunTables& tables_;
  ExpansionStack& stack_;
  int line_;
  std::vector<Frame> frames_;
  std::vector<unsigned char> active_;  // by define position: on the stack
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
  if (word.size() == 1 && isDelimiterByte(static_cast<unsigned char>(word[0]))) {
    out += word;
    return Step::kGoOn;
  }
  // A number is never a macro name: no search for it.
  const DefineTable* defines = tables_.defines;
  if (defines && !startsWithDigit(word)) {
    DefineTable::Lookup found = defines->findDefine(word);
    if (found.found) return macro(found.index, word, out);
  }
  if (word == "defined") return defined(out);
  if (word == "sizeof") return sizeOf(out);
  if (word.size() >= 2 && word[0] == '0' && word[1] == 'x')
    hexadecimal(word, out);
  else
    out += word;
  return Step::kGoOn;
}

// NAME  -> its body, expanded in turn; a macro without a body stays.
Expander::Step Expander::macro(size_t index, std::string_view word, std::string& out) {
  if (isActive(index) || stack_.size() >= kMaxExpansionDepth) {
    message(" : #if文の解析において無限ﾙｰﾌﾟに陥りました");
    return Step::kFail;
  }
  const std::string& body = tables_.defines->at(index).body;
  if (body.empty()) {
    out += word;
    return Step::kGoOn;
  }
  active_[index] = 1;
  stack_.push_back(index);
  frames_.push_back({body, 0});  // invalidates references to frames
  return Step::kGoOn;
}

bool Expander::isActive(size_t index) {
  if (active_.size() < tables_.defines->size()) {
    active_.assign(tables_.defines->size(), 0);
    for (size_t outer : stack_)
      if (outer < active_.size()) active_[outer] = 1;
  }
  return active_[index] != 0;
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
  out += tables_.defines && tables_.defines->isDefined(name) ? '1' : '0';
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
    errorLog() << "  input[" << text << "]\n";
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
  TypeQuestions* types = tables_.typeQuestions;
  if (!types || !types->isType(type)) {
    errorLog() << "  " << fileName() << ' ' << line_
               << " : #if文解析ｴﾗｰ(sizeof演算子で不明な型[" << type << "]が使用されています)\n";
    return Step::kFail;
  }
  bool pointer = pos < text.size() && text[pos] == '*';
  out += std::to_string(pointer ? types->pointerSize() : types->sizeInBytes(type));
  resumeAfterClose(text, pos);
  return Step::kGoOn;
}

// 0x1F -> 31; a word whose digits give 0 stays as written.
void Expander::hexadecimal(std::string_view word, std::string& out) {
  unsigned long long value = 0;
  for (char c : word.substr(2)) value = value * 16 + static_cast<unsigned>(hexDigit(c));
  if (value == 0)
    out += word;
  else
    out += std::to_string(value);
}

const std::string& Expander::fileName() const {
  return tables_.context ? tables_.context->item(0) : kNoName;
}

void Expander::message(const char* text) const {
  errorLog() << "  " << fileName() << ' ' << line_ << text << '\n';
}

const char* errorText(int error) {
  switch (error) {
    case kCalvexUnbalancedParentheses: return "[括弧数の不整合]";
    case kCalvexUnknownLexeme: return "[不明な文字][";
    case kCalvexOutOfMemory: return "[メモリエラー]";
    case kCalvexCalculationError: return "[数式エラー]";
    default: return "";  // division by zero says nothing more
  }
}

void evaluationMessage(RunTables& tables, bool isCondition, int line, int error,
                       const std::string& expansion) {
  std::ostream& log = errorLog();
  log << "    " << (tables.context ? tables.context->item(0) : kNoName) << ' ' << line
      << (isCondition ? ": #if､#elif文解析ｴﾗｰ " : ": ｽﾀｯｸｻｲｽﾞ計測ｴﾗｰ") << errorText(error);
  if (error == kCalvexUnknownLexeme) log << expansion << ']';
  log << '\n';
}

int currentLine(RunTables& tables) { return tables.context ? tables.context->currentLine() : 0; }

}  // namespace

std::string expandExpression(RunTables& tables, std::string_view text, ExpansionStack& stack,
                             int line) {
  std::string out;
  out.reserve(text.size());
  Expander expander(tables, stack, line);
  if (!expander.run(text, out)) out.clear();
  return out;
}

std::string expandExpression(RunTables& tables, std::string_view text, ExpansionStack& stack) {
  return expandExpression(tables, text, stack, currentLine(tables));
}

ConditionValue evaluateExpressionAt(RunTables& tables, std::string_view text, bool isCondition,
                                    int line) {
  ExpansionStack stack;
  std::string expansion = expandExpression(tables, text, stack, line);
  if (expansion.empty()) return {};
  int error = 0;
  double value = Kaiseki(expansion.c_str(), &error);
  if (error != 0) {
    evaluationMessage(tables, isCondition, line, error, expansion);
    return {};
  }
  return {lowBitsOf(value), true};
}

std::int32_t evaluateCondition(RunTables& tables, std::string_view text, bool isCondition) {
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
