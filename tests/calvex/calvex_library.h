// Test access to libcalvex.so the way another program has it: the library is
// loaded by name at run time and its two exports are looked up by name. Gives the
// tests one verb per syntax and checks over tables of {expression, expected} rows.
#pragma once

#include <ostream>
#include <string>
#include <vector>

enum class Syntax { C, Vb };

struct Evaluation {
  double value;
  int error;
};
std::ostream& operator<<(std::ostream& out, const Evaluation& evaluation);

// Kaiseki (C) or Kaiseki_VB on a copy of `expression` in a buffer of exactly its
// size, so that a read past the terminator is caught by the sanitizer build.
Evaluation evaluate(Syntax syntax, const std::string& expression);
Evaluation evaluateNull(Syntax syntax);  // a null expression
double evaluateWithoutErrorVariable(Syntax syntax, const std::string& expression);

struct ValueCase {
  std::string expression;
  double value;
};
struct ErrorCase {
  std::string expression;
  int error;
};

// Each expression gives its value (to 1e-12, relative) with error 0.
void expectValues(Syntax syntax, const std::vector<ValueCase>& cases);
// Each expression gives its error code and the value 0.
void expectErrors(Syntax syntax, const std::vector<ErrorCase>& cases);
// Whatever the input: the error is one of 0..5, and the value is 0 after an error.
void expectSound(Syntax syntax, const std::string& expression);
