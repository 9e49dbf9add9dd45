// Cuts an expression into tokens: numbers, parentheses, and the operators and
// functions of one syntax table. Reads the NUL-terminated text in place, which
// must outlive the lexer, and never looks past its terminator.
#pragma once

#include <optional>

#include "calvex/syntax_table.h"

namespace calvex {

enum class TokenKind { End, Number, Open, Close, Operator, Unknown };

struct Token {
  TokenKind kind = TokenKind::End;
  double value = 0;                   // Number
  const OperatorEntry* op = nullptr;  // Operator
};

class Lexer {
 public:
  Lexer(const char* text, const SyntaxTable& syntax) : pos_(text), syntax_(syntax) {}

  // The next token. End at the terminator; Unknown at a lexeme that is no number,
  // operator or function of the syntax, after which the lexer stays put.
  Token next();

 private:
  Token readSymbol();
  Token readHexEscape();
  std::optional<Token> readRun();
  std::optional<Token> readWord();
  double readHexDigits();
  bool splitsIncrement(const OperatorEntry& op) const;
  std::size_t runLength(std::size_t limit) const;
  Token take(std::size_t length, TokenKind kind, const OperatorEntry* op = nullptr);
  Token number(double value);

  const char* pos_;
  const SyntaxTable& syntax_;
  bool tokenSeen_ = false;
};

// Reads a number the way the C library's decimal conversion does, starting at
// `text`: [spaces] [sign] digits [. digits] [e [sign] digits]. Returns the end of
// the number and stores its value, or returns `text` when there is none. Hexadecimal
// forms, "inf" and "nan" are not numbers here; the value does not depend on the
// locale.
const char* scanDecimal(const char* text, double* value);

}  // namespace calvex
