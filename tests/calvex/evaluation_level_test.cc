// Reduction of the chain at one level: binding strengths, left association of
// equal strengths, signs, prefix operators in the middle of a chain, two values in
// a row, and the comma that feeds the functions of two arguments.
#include <gtest/gtest.h>

#include "calvex/calvex.h"
#include "tests/calvex/calvex_library.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

// clang-format off
TEST(EvaluationLevel, CBindingStrengths) {
  expectValues(Syntax::C, {
      {"1+2*3", 7}, {"(1+2)*3", 9}, {"2*3+1", 7}, {"1<<2+1", 8}, {"2+3*4<<1", 28},
      {"1|2&3", 3}, {"1^3&1", 0}, {"1||0&&0", 1}, {"1 && 0 || 1", 1}, {"3 > 2 == 1", 1},
      {"6&3==3", 0}, {"2+=3*=2", 10},
      // Equal strengths associate to the left.
      {"5-3-1", 1}, {"8/2/2", 2}, {"2-3+4", 3}, {"9-2-3-4", 0}, {"7%4%2", 1},
      {"1<<2<<3", 32}, {"2<3<1", 0}, {"5-=1-=1", 3},
      // One group of C's shares one strength and associates to the left.
      {"100/10*10", 100}, {"7%4*2", 6}, {"16>>2<<1", 8}, {"1<<4>>2", 4}, {"8/4%3", 2},
      {"1<2>=1", 1}, {"3>2<1", 0}, {"1==1!=0", 1}, {"10-2+3", 11}});
}

TEST(EvaluationLevel, VbBindingStrengths) {
  expectValues(Syntax::Vb, {
      {"1+2*3", 7}, {"2^3^2", 64}, {"2*3^2", 18}, {"7\\2*2", 1}, {"7 Mod 4 \\ 2", 1},
      {"1+2=3", 1}, {"1<2=1", 1}, {"2<1=0", 1}, {"8/2*2", 8}, {"3 And 1 Or 4", 5}, {"1 Or 2 And 2", 3},
      {"1 Imp 0 Eqv 0", 1}, {"2-3+4", 3}, {"12 \\ 2 \\ 3", 2}});
}

TEST(EvaluationLevel, Signs) {
  expectValues(Syntax::C, {
      {"2*-3", -6}, {"2--3", 5}, {"-5", -5}, {"+5", 5}, {"- -3", 3}, {"-2+3", 1},
      {"2--3+4", 9}, {"2 - -3 * 4", 14}, {"1 - - - 3", -2}, {"7%-4", 3}, {"1<-2+5", 1},
      {"-(1+2)", -3}, {"1-(2-3)", 2},
      // A sign before a function or a one-sided operator covers its result.
      {"1-sqrt(4)", -1}, {"2*-sqrt(4)", -4}, {"1-!0", 0}, {"-!0", -1}, {"!-3+5", 5}});
  expectValues(Syntax::Vb, {
      {"2^-1", 0.5}, {"7\\-2", -3}, {"2--3", 5}, {"-sqr(4)", -2},
      // ^ binds more tightly than a sign, as in VB.
      {"-2^2", -4}, {"1-2^2", -3}, {"2*-2^2", -8}});
}

TEST(EvaluationLevel, PrefixOperators) {
  expectValues(Syntax::C, {
      {"!0", 1}, {"1+!0", 2}, {"!0+1", 2}, {"!0*5", 5}, {"~0+1", 0}, {"1+~0", 0},
      {"1+ ++2", 3}, {"1+ ++(2)", 4}, {"1+!0*2", 3}, {"1+!!5", 2}, {"2*sqrt(4)+1", 5},
      {"sqrt floor 16.5", 4},
      // Another operator at the start of a group gives 0; in the middle its missing
      // left operand is 0.
      {"*5", 0}, {"(*5)+1", 1}, {"/0", 0}, {"1+*2", 1}, {"1+<2", 2}});
  expectErrors(Syntax::C, {{"1+/0", kCalvexDivisionByZero}, {"?1", kCalvexCalculationError}});
  expectValues(Syntax::Vb, {{"!3", 0}, {"1+!0", 2}, {"Mod 5", 0}});
}

TEST(EvaluationLevel, TwoValuesInARow) {
  expectErrors(Syntax::C, {{"1 2", kCalvexCalculationError}, {"(1)(2)", kCalvexCalculationError},
                           {"0 5", kCalvexCalculationError}, {"1 (0,2)", kCalvexCalculationError}});
  expectErrors(Syntax::Vb, {{"1 2", kCalvexCalculationError}});
  // A second value of 0 is let through.
  expectValues(Syntax::C, {{"1 0", 1}, {"1 ()", 1}, {"()", 0}});
}

TEST(EvaluationLevel, FunctionArguments) {
  expectValues(Syntax::C, {
      {"pow(2,0)", 1}, {"pow(0,3)", 0}, {"pow(2,-1)", 0.5}, {"pow(1+1,2*3)", 64},
      {"pow(2,3)+1", 9}, {"2*pow(2,3)", 16}, {"pow(pow(2,2),2)", 16},
      {"atan2(1,-1)", 3 * kPi / 4}, {"ldexp(1,-1)", 0.5}, {"ldexp(3,2.9)", 12},
      {"fmod(-7.5,2)", -1.5},
      // Without a comma the second argument stays 0; one-argument functions take
      // the first.
      {"pow(2)", 1}, {"sqrt(4,9)", 2},
      // The comma's value is 0; its operands go to the entry that receives the group.
      {"1,2", 0}, {"(1,2)+3", 4},
      // A later group at the same depth gets no arguments left by an earlier one.
      {"pow(2,3)+(5)", 13}, {"(pow(2,2)+(1))*(2)", 10}});
}
// clang-format on

}  // namespace
