// The operator and function tables of the two syntaxes, C and VB. One entry holds
// the spelling of an operator or function, its token code and the operation it
// performs; it is keyed on the spelling (case-blind for VB). The tables are static
// data: pointers to entries stay valid for the life of the process.
#pragma once

#include <cstddef>
#include <span>
#include <string_view>

namespace calvex {

// What an operator or function computes. Where the arithmetic switches over this
// enum there is no default, so a new enumerator without its arithmetic is named by
// the compiler. ORDER: appliesAsPrefix() takes everything up to Minus.
enum class Operation {
  // Functions of one argument.
  Acos,
  Asin,
  Atan,
  Cos,
  Sin,
  Tan,
  Cosh,
  Sinh,
  Tanh,
  Exp,
  Log,
  Log10,
  Sqrt,
  Ceil,
  Floor,
  Truncate,
  AbsInt,
  // Functions of two arguments, fed by the comma inside their group.
  Atan2,
  Ldexp,
  Pow,
  Fmod,
  // Operators that use only the operand on their right.
  Not,
  Complement,
  Increment,
  Decrement,
  // The two operators that also serve as signs.
  Plus,
  Minus,
  // Operators of two operands.
  Multiply,
  Divide,
  Remainder,
  IntDivide,
  Power,
  Add,
  Subtract,
  ShiftLeft,
  ShiftRight,
  Less,
  LessEqual,
  Greater,
  GreaterEqual,
  Equal,
  NotEqual,
  BitAnd,
  BitXor,
  BitOr,
  LogicalAnd,
  LogicalOr,
  Equivalent,
  Implies,
  Conditional,
  Comma,
};

struct OperatorEntry {
  std::string_view text;
  // The token code, which is also the binding strength: a smaller code binds more
  // tightly, equal codes associate to the left.
  int code;
  Operation operation;
  // Applied before a sign in front of its left operand: VB's -2^2 is -(2^2).
  bool outranksSign = false;
};

struct SyntaxTable {
  std::span<const OperatorEntry> entries;
  bool caseBlindWords;     // VB: `MOD`, `mod` and `Mod` are one operator
  bool wordsTouchNumbers;  // VB: `7Mod2` reads as 7 Mod 2
  bool splitsIncrements;   // C: `2--3` reads as 2 - -3 once a token was read
  int additiveCode;        // the code of '+'; a '-' after a tighter operator is its sign
};

// Longest spellings in the tables; the lexer never compares longer texts.
inline constexpr std::size_t kLongestSymbol = 3;
inline constexpr std::size_t kLongestWord = 5;

const SyntaxTable& cSyntax();
const SyntaxTable& vbSyntax();

// The entry spelled `text` in `syntax`, or null.
const OperatorEntry* findOperator(const SyntaxTable& syntax, std::string_view text);

// The characters that end a run of name or number characters. Shared by both
// syntaxes; most of them start operators, the rest (CR, '"', '.', ';' ...) are
// unknown when they stand alone.
bool isOperatorChar(unsigned char c);

}  // namespace calvex
