// The two exported entry points. Each call stands alone: its error state lives on
// the call's own stack, so nothing is kept between calls and calls on different
// threads do not meet. No C++ exception leaves the library.
#include "calvex/calvex.h"

#include "calvex/evaluator.h"

namespace {

double evaluateForCaller(const char* expression, int* error, const calvex::SyntaxTable& syntax) {
  calvex::ErrorState errors;
  double value = 0;
  if (expression && *expression) {
    try {
      value = calvex::evaluate(expression, syntax, errors);
    } catch (...) {  // std::bad_alloc, or a length no container can hold
      errors.report(kCalvexOutOfMemory);
    }
  }
  if (error) *error = errors.code();
  return errors.failed() ? 0 : value;
}

}  // namespace

extern "C" {

CALVEX_EXPORT double Kaiseki(const char* expression, int* error) {
  return evaluateForCaller(expression, error, calvex::cSyntax());
}

CALVEX_EXPORT double CALVEX_WINAPI Kaiseki_VB(const char* expression, int* error) {
  return evaluateForCaller(expression, error, calvex::vbSyntax());
}

}  // extern "C"
