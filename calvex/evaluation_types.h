// Small value types that the evaluator's modules hand to one another within one
// call: the operand of an operator or function, and the error state of the call.
#pragma once

#include "calvex/calvex.h"

namespace calvex {

// What an operator or function applies to. `second` is used only by the functions
// of two arguments, which receive both operands of the comma inside their group.
struct Operand {
  double first = 0;
  double second = 0;
};

// The error of one evaluation. Every step may report; a later report replaces an
// earlier one, and any report makes the result of the call 0.
class ErrorState {
 public:
  void report(CalvexError code) { code_ = code; }
  int code() const { return code_; }
  bool failed() const { return code_ != kCalvexNoError; }

 private:
  int code_ = kCalvexNoError;
};

}  // namespace calvex
