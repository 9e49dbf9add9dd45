// The arithmetic of each operator and function of both tables, the 32-bit
// truncation of the integer operators, and the calculation and division errors.
#include <gtest/gtest.h>

#include "calvex/calvex.h"
#include "tests/calvex/calvex_library.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

// clang-format off
TEST(Arithmetic, COperators) {
  expectValues(Syntax::C, {
      {"7/2", 3.5}, {"7%2", 1}, {"-7%2", -1}, {"7.9%2.1", 1}, {"6&3", 2}, {"6^3", 5},
      {"6|3", 7}, {"~5", -6}, {"1<<31", -2147483648.0}, {"1<<33", 2}, {"-8>>1", -4},
      {"3<3", 0}, {"3<=3", 1}, {"3>2", 1}, {"2>=3", 0}, {"2==2", 1}, {"2!=2", 0},
      {"2&&3", 1}, {"0&&3", 0}, {"0||2", 1}, {"0.5&&1", 1},
      // Compound assignments give the value of their operation.
      {"5+=3", 8}, {"5-=3", 2}, {"5*=3", 15}, {"5/=2", 2.5}, {"5%=3", 2}, {"16>>=2", 4},
      {"1<<=3", 8}, {"6&=3", 2}, {"6^=3", 5}, {"6|=3", 7}, {"5-=-3", 8}});
}

TEST(Arithmetic, VbOperators) {
  expectValues(Syntax::Vb, {
      {"7 \\ 2", 3}, {"-7 \\ 2", -3}, {"7.9 \\ 2.1", 3}, {"-7 Mod 2", -1}, {"2^0.5", 1.4142135623730951},
      {"5 Or 3", 7}, {"5 Xor 3", 6}, {"3 = 3", 1}, {"3 <> 3", 0}, {"2 < 3", 1},
      {"2 > 3", 0}, {"3 <= 3", 1}, {"!2", 0}, {"7/2", 3.5},
      {"0 Eqv 0", 1}, {"2 Eqv 3", 1}, {"0 Eqv 3", 0}, {"3 Eqv 0", 0},
      // Imp is logical implication: false only from true to false.
      {"0 Imp 0", 1}, {"0 Imp 5", 1}, {"5 Imp 0", 0}, {"5 Imp 5", 1}});
}

TEST(Arithmetic, Functions) {
  expectValues(Syntax::C, {
      {"acos(0.5)", kPi / 3}, {"asin(0.5)", kPi / 6}, {"atan(1)", kPi / 4},
      {"cos(1)", 0.54030230586813977}, {"sin(1)", 0.84147098480789651},
      {"tan(1)", 1.5574077246549023}, {"cosh(1)", 1.5430806348152437},
      {"sinh(1)", 1.1752011936438014}, {"tanh(1)", 0.76159415595576489},
      {"exp(1)", 2.7182818284590452}, {"log(100)", 4.6051701859880914}, {"log10(1000)", 3},
      {"abs(-2.5)", 2}, {"labs(-7.9)", 7}, {"abs(-2147483648)", 2147483648.0},
      {"sqrt(2.25)", 1.5}, {"ceil(-1.2)", -1}, {"floor(-1.2)", -2}, {"fmod(7.5,2)", 1.5},
      {"ldexp(3,2)", 12}, {"pow(2,10)", 1024}, {"atan2(1,1)", kPi / 4}});
  expectValues(Syntax::Vb, {
      {"abs(-2.5)", 2}, {"atn(1)", kPi / 4}, {"cos(1)", 0.54030230586813977}, {"exp(1)", 2.7182818284590452},
      {"fix(-1.5)", -1}, {"int(-1.5)", -2}, {"int(1.5)", 1}, {"log(100)", 4.6051701859880914},
      {"sin(1)", 0.84147098480789651}, {"sqr(2.25)", 1.5}, {"tan(1)", 1.5574077246549023},
      {"ABS(-3)", 3}});
}

TEST(Arithmetic, ThirtyTwoBitTruncation) {
  expectValues(Syntax::C, {
      {"0xFFFFFFFF|0", -1}, {"4294967296|0", 0}, {"2147483648|0", -2147483648.0},
      {"-1.9|0", -1}, {"0x100000001&3", 1}, {"1e300|0", 0}, {"1e400|5", 5},
      {"-2147483648%-1", 0}});
  expectValues(Syntax::Vb, {{"-2147483648 \\ -1", 2147483648.0}, {"4294967297 And 3", 1}});
}

TEST(Arithmetic, Errors) {
  const int calculation = kCalvexCalculationError;
  const int division = kCalvexDivisionByZero;
  expectErrors(Syntax::C, {
      {"sqrt(-4)+1", calculation}, {"1?2", calculation}, {"1:2", calculation},
      {"1 ++ 2", calculation}, {"2 -- 1", calculation}, {"1 ? 2 : 3 , 4", calculation},
      {"1%0", division}, {"1/(1-1)", division}, {"5%0.5", division}, {"1/=0", division},
      {"1%=0", division}, {"1+1/0*2", division},
      // The division fails when '+' folds it; the walk goes on and meets the stray ')'.
      {"1/0+1)+(", kCalvexUnbalancedParentheses}});
  expectErrors(Syntax::Vb, {
      {"sqr(-1)", calculation}, {"1-sqr(-1)", calculation}, {"1/0", division},
      {"1\\0", division}, {"1 Mod 0", division}, {"7\\0.9", division}});
}
// clang-format on

}  // namespace
