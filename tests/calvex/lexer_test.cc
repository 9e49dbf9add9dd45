// Lexemes of both syntaxes, seen through the exported functions: number forms,
// the longest operator, the C split of ++/--, VB word operators touching numbers,
// and what counts as unknown.
#include <gtest/gtest.h>

#include <limits>

#include "calvex/calvex.h"
#include "tests/calvex/calvex_library.h"

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();

// clang-format off
TEST(Lexer, NumberForms) {
  expectValues(Syntax::C, {
      {"0x1F", 31}, {"0xff", 255}, {"0xFFFFFFFF", 4294967295.0}, {"0x", 0}, {"\\x41", 65},
      {"\\x7f+1", 128}, {"010", 10}, {"10L", 10}, {"1.5", 1.5}, {"2e10", 2e10},
      {"1.5e-3", 0.0015}, {"1.", 1}, {"2E+2", 200}, {"1e400", kInfinity}, {"1e-400", 0},
      {" \t\n7 \t\n", 7}, {"\v7", 7},
      // Any other character inside a hexadecimal literal counts as the digit 0.
      {"0x1G", 16}, {"0x10L", 256}, {"\\x4z", 64}});
  expectValues(Syntax::Vb, {{"0x1F", 31}, {"\\x41", 65}, {"010", 10}, {"1.5e-3", 0.0015}});
}

TEST(Lexer, LongestOperatorAndIncrementSplit) {
  expectValues(Syntax::C, {
      {"1<<=2", 4}, {"8>>=1", 4}, {"1<=1", 1}, {"2!=2", 0}, {"0||0", 0},
      // Once a token was read, ++ or -- touching a value is two signs ...
      {"2--3", 5}, {"2++3", 5}, {"(2)--3", 5}, {"(--3)", 3},
      // ... at the start, or before an operator character, it is one operator.
      {"--3", 2}, {"++3", 4}, {"0-- 2", 1}, {"0++(3)", 4}});
  expectErrors(Syntax::C, {{"1-- 2", kCalvexCalculationError}});
  expectValues(Syntax::Vb, {{"1<>2", 1}, {"3>=3", 1}, {"--3", 3}, {"2--3", 5}});
}

TEST(Lexer, VbWordOperatorsTouchNumbers) {
  expectValues(Syntax::Vb, {
      {"7Mod2", 1}, {"7MOD2", 1}, {"7 Mod2", 1}, {"7mod 2", 1}, {"5And3", 1}, {"5Or2", 7},
      {"6xor3", 5}, {"1Imp0", 0}, {"1eqv1", 1}, {"sqr4", 2}, {"int2.5", 2}, {"1e2Mod7", 2},
      {"7Mod" + std::string(1000, '0') + "2", 1}});
}

TEST(Lexer, UnknownLexemes) {
  const int unknown = kCalvexUnknownLexeme;
  expectErrors(Syntax::C, {
      {"10U", unknown}, {"10UL", unknown}, {"10l", unknown}, {"1 = 1", unknown},
      {"\"1\"", unknown}, {"'1'", unknown}, {".5", unknown}, {"1;", unknown},
      {"[1]", unknown}, {"{1}", unknown}, {"#1", unknown}, {"1\r", unknown},
      {"x", unknown}, {"\\1", unknown}, {"0X1F", unknown}, {"1e", unknown},
      {"SIN(0)", unknown}, {"sin0", unknown}, {"7Mod2", unknown}, {"1 $ 2", unknown},
      {"\x80", unknown}, {"1\xff", unknown}, {"\x82\xa0", unknown},
      {std::string(100000, 'a'), unknown},
      // Unknown words are found before anything is evaluated.
      {"1/0+x", unknown}, {")x(", unknown}});
  expectErrors(Syntax::Vb, {
      {"1,2", unknown}, {"&H10", unknown}, {"Not 1", unknown}, {"1 % 2", unknown},
      {"1 && 2", unknown}, {"pow(2)", unknown}, {"1 ~ 2", unknown}});
}
// clang-format on

}  // namespace
