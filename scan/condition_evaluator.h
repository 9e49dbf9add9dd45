// Conditions of #if, #elif, #If, #ElseIf and {$IF}, and the array bounds of
// the stack-size measurement: the text is turned into plain arithmetic
// (macros of the #define table expanded, defined(...) and sizeof(...)
// replaced, constants made decimal) and evaluated in C syntax by the
// expression evaluator library. Every failure writes its log line and
// yields 0, so a broken condition only switches its branch off.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class DefineTable;
class SourceContext;
class TypeQuestions;

// What an expression is expanded and evaluated against: the file being
// read (its language, name and line), the #define table and the types.
// A quiet evaluation writes no message (a value the caller may do
// without, such as an enumerator's).
struct ExpressionTables {
  const SourceContext& context;
  const DefineTable& defines;
  TypeQuestions& types;
  bool quiet = false;
};

// #define table positions of the macros being expanded, outermost first.
// Positions stay valid because nothing is defined while a text expands.
using ExpansionStack = std::vector<size_t>;

// Expansion of a body stops, as a loop, past this many nested macros.
constexpr size_t kMaxExpansionDepth = 4096;
// An expansion that grows past this many bytes is taken for a loop too
// (macros that double their text level by level).
constexpr size_t kMaxExpansionBytes = 2u << 20;

// The expanded text, or the empty text after a logged failure. `stack` is
// left as it came. Messages carry `line`. Integer and character constants
// become decimal and function-like macros take their arguments; in a
// condition of a C-family file, as its compiler reads it, a name left after
// expansion (or a call of one) is 0 and a macro defined empty is nothing.
std::string expandExpression(const ExpressionTables& tables, std::string_view text,
                             ExpansionStack& stack, int line, bool isCondition);

// The outcome of one evaluation: the value's low 32 bits (after truncation
// toward zero), whether the whole value is non-zero (as C tests a
// condition: 4294967296 is true, 1/2 is not), and whether expansion and
// evaluation both succeeded.
struct ConditionValue {
  std::int32_t value = 0;
  bool nonZero = false;
  bool ok = false;
};

// `isCondition`: a directive's condition (its messages say "#if､#elif");
// otherwise a stack-size expression. Every message carries `line`.
ConditionValue evaluateExpressionAt(const ExpressionTables& tables, std::string_view text,
                                    bool isCondition, int line);

// The low 32 bits of the value. Messages name the directive's line, taken
// as the line before the current one for a condition (its line break has
// been counted) and the current line otherwise.
std::int32_t evaluateCondition(const ExpressionTables& tables, std::string_view text,
                               bool isCondition);

// An expanded C expression with its conditional operators (`c ? a : b`,
// which the evaluator library does not take) resolved, each choosing its
// branch by the value of its condition; `error` gets the library's code of
// the first failure.
double evaluateCSyntax(const std::string& expansion, int& error);

// The low 32 bits of `value` truncated toward zero; NaN and infinities,
// which have no integer value, give 0.
std::int32_t lowBitsOf(double value);
