#include "calvex/arithmetic.h"

#include <cmath>

namespace calvex {
namespace {

constexpr double kTwoTo32 = 4294967296.0;
// ldexp saturates long before this; the clamp only keeps the cast to int defined.
constexpr double kLargestScale = 100000.0;

double truth(bool value) { return value ? 1.0 : 0.0; }
bool isTrue(double value) { return value != 0; }

double divide(double left, double right, ErrorState& errors) {
  if (right == 0) {
    errors.report(kCalvexDivisionByZero);
    return 0;
  }
  return left / right;
}

// % and Mod, \ : on the 32-bit integer parts, computed in 64 bits so that
// -2147483648 by -1 gives 2147483648 (or remainder 0) instead of a trap.
double integerDivision(double left, double right, bool remainder, ErrorState& errors) {
  int64_t divisor = toInt32(right);
  if (divisor == 0) {
    errors.report(kCalvexDivisionByZero);
    return 0;
  }
  int64_t dividend = toInt32(left);
  return static_cast<double>(remainder ? dividend % divisor : dividend / divisor);
}

// ++ and -- between two operands: a prefix in the middle of a chain (`1+ ++2`)
// meets a missing left operand of 0; two real operands are a misuse.
double step(double left, double right, double delta, ErrorState& errors) {
  if (left != 0 && right != 0) {
    errors.report(kCalvexCalculationError);
    return 0;
  }
  return left + right + delta;
}

double shift(double left, double right, bool toLeft) {
  int count = toInt32(right) & 31;
  if (toLeft) return static_cast<int32_t>(static_cast<uint32_t>(toInt32(left)) << count);
  return toInt32(left) >> count;
}

double squareRoot(double value, ErrorState& errors) {
  if (value < 0) {
    errors.report(kCalvexCalculationError);
    return 0;
  }
  return std::sqrt(value);
}

// abs and labs work on the 32-bit integer part; in a double, |-2147483648| fits.
double absoluteInt(double value) { return std::fabs(static_cast<double>(toInt32(value))); }

double scaleByPowerOfTwo(double value, double exponent) {
  double whole = std::isnan(exponent) ? 0 : std::trunc(exponent);
  whole = std::fmax(-kLargestScale, std::fmin(kLargestScale, whole));
  return std::ldexp(value, static_cast<int>(whole));
}

double conditional(ErrorState& errors) {
  // `?` and `:` are known so that they are not unknown characters, but a
  // condition is never evaluated.
  errors.report(kCalvexCalculationError);
  return 0;
}

}  // namespace

double applyOperation(Operation operation, double left, const Operand& right, ErrorState& errors) {
  const double x = right.first;
  switch (operation) {
    case Operation::Acos:
      return std::acos(x);
    case Operation::Asin:
      return std::asin(x);
    case Operation::Atan:
      return std::atan(x);
    case Operation::Cos:
      return std::cos(x);
    case Operation::Sin:
      return std::sin(x);
    case Operation::Tan:
      return std::tan(x);
    case Operation::Cosh:
      return std::cosh(x);
    case Operation::Sinh:
      return std::sinh(x);
    case Operation::Tanh:
      return std::tanh(x);
    case Operation::Exp:
      return std::exp(x);
    case Operation::Log:
      return std::log(x);
    case Operation::Log10:
      return std::log10(x);
    case Operation::Sqrt:
      return squareRoot(x, errors);
    case Operation::Ceil:
      return std::ceil(x);
    case Operation::Floor:
      return std::floor(x);
    case Operation::Truncate:
      return std::trunc(x);
    case Operation::AbsInt:
      return absoluteInt(x);
    case Operation::Atan2:
      return std::atan2(right.first, right.second);
    case Operation::Ldexp:
      return scaleByPowerOfTwo(right.first, right.second);
    case Operation::Pow:
      return std::pow(right.first, right.second);
    case Operation::Fmod:
      return std::fmod(right.first, right.second);
    case Operation::Not:
      return truth(!isTrue(x));
    case Operation::Complement:
      return ~toInt32(x);
    case Operation::Increment:
      return step(left, x, 1, errors);
    case Operation::Decrement:
      return step(left, x, -1, errors);
    case Operation::Multiply:
      return left * x;
    case Operation::Divide:
      return divide(left, x, errors);
    case Operation::Remainder:
      return integerDivision(left, x, true, errors);
    case Operation::IntDivide:
      return integerDivision(left, x, false, errors);
    case Operation::Power:
      return std::pow(left, x);
    // A '-' reaches here with its operand already negated: it adds, so that
    // `2-3+4` groups like `2+(-3)+4` although '+' and '-' have different codes.
    case Operation::Plus:
    case Operation::Minus:
    case Operation::Add:
      return left + x;
    case Operation::Subtract:
      return left - x;
    case Operation::ShiftLeft:
      return shift(left, x, true);
    case Operation::ShiftRight:
      return shift(left, x, false);
    case Operation::Less:
      return truth(left < x);
    case Operation::LessEqual:
      return truth(left <= x);
    case Operation::Greater:
      return truth(left > x);
    case Operation::GreaterEqual:
      return truth(left >= x);
    case Operation::Equal:
      return truth(left == x);
    case Operation::NotEqual:
      return truth(left != x);
    case Operation::BitAnd:
      return toInt32(left) & toInt32(x);
    case Operation::BitXor:
      return toInt32(left) ^ toInt32(x);
    case Operation::BitOr:
      return toInt32(left) | toInt32(x);
    case Operation::LogicalAnd:
      return truth(isTrue(left) && isTrue(x));
    case Operation::LogicalOr:
      return truth(isTrue(left) || isTrue(x));
    case Operation::Equivalent:
      return truth(isTrue(left) == isTrue(x));
    // Logical implication: false only when the left is true and the right false.
    case Operation::Implies:
      return truth(!isTrue(left) || isTrue(x));
    case Operation::Conditional:
      return conditional(errors);
    // The evaluation level keeps both operands for the function of the group.
    case Operation::Comma:
      return 0;
  }
  return 0;
}

// Functions, ! ~ ++ --, and the signs: see the ORDER note at Operation.
bool appliesAsPrefix(Operation operation) { return operation <= Operation::Minus; }

int32_t toInt32(double value) {
  if (!std::isfinite(value)) return 0;
  double low = std::fmod(std::trunc(value), kTwoTo32);
  if (low < 0) low += kTwoTo32;
  return static_cast<int32_t>(static_cast<uint32_t>(low));
}

}  // namespace calvex
