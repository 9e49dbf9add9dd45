#include "calvex/evaluator.h"

#include <cstddef>
#include <vector>

#include "calvex/evaluation_level.h"
#include "calvex/lexer.h"

namespace calvex {
namespace {

// The greatest depth of the parentheses, or -1 when the counts of '(' and ')'
// differ. A ')' that closes nothing is found later, by the walk.
std::ptrdiff_t nestingDepth(const char* text) {
  std::ptrdiff_t depth = 0;
  std::ptrdiff_t greatest = 0;
  for (const char* p = text; *p; ++p) {
    if (*p == '(' && ++depth > greatest) greatest = depth;
    if (*p == ')') --depth;
  }
  return depth == 0 ? greatest : -1;
}

bool hasUnknownLexeme(const char* text, const SyntaxTable& syntax) {
  Lexer lexer(text, syntax);
  for (;;) {
    TokenKind kind = lexer.next().kind;
    if (kind == TokenKind::End) return false;
    if (kind == TokenKind::Unknown) return true;
  }
}

// Returns the value of level 0, or 0 after a ')' that closes nothing.
double walk(const char* text, const SyntaxTable& syntax, std::vector<EvaluationLevel>& levels,
            ErrorState& errors) {
  Lexer lexer(text, syntax);
  std::size_t current = 0;
  for (Token token = lexer.next(); token.kind != TokenKind::End; token = lexer.next()) {
    switch (token.kind) {
      case TokenKind::Number:
        levels[current].pushOperand(Operand{token.value, 0}, errors);
        break;
      case TokenKind::Operator:
        levels[current].pushOperator(*token.op);
        break;
      case TokenKind::Open:
        // The depth was counted from the same text, so this cannot run past the
        // levels; the check keeps a future change of the lexer from writing there.
        if (++current == levels.size()) {
          errors.report(kCalvexUnbalancedParentheses);
          return 0;
        }
        break;
      case TokenKind::Close: {
        if (current == 0) {
          errors.report(kCalvexUnbalancedParentheses);
          return 0;
        }
        GroupValue group = levels[current--].evaluate(errors);
        levels[current].pushOperand(group.hasArguments ? group.arguments : Operand{group.value, 0},
                                    errors);
        break;
      }
      case TokenKind::End:
      case TokenKind::Unknown:
        return 0;  // not met: the first reading found none
    }
  }
  return levels[0].evaluate(errors).value;  // 0 when the last step was a comma
}

}  // namespace

double evaluate(const char* text, const SyntaxTable& syntax, ErrorState& errors) {
  std::ptrdiff_t depth = nestingDepth(text);
  if (depth < 0) {
    errors.report(kCalvexUnbalancedParentheses);
    return 0;
  }
  if (hasUnknownLexeme(text, syntax)) {
    errors.report(kCalvexUnknownLexeme);
    return 0;
  }
  std::vector<EvaluationLevel> levels(static_cast<std::size_t>(depth) + 1, EvaluationLevel(syntax));
  double value = walk(text, syntax, levels, errors);
  return errors.failed() ? 0 : value;
}

}  // namespace calvex
