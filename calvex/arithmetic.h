// The arithmetic of the operators and functions: how one operation combines the
// value on its left with the operand on its right, and the 32-bit truncation that
// the bitwise and integer operators share.
#pragma once

#include <cstdint>

#include "calvex/evaluation_types.h"
#include "calvex/syntax_table.h"

namespace calvex {

// `operation` applied to `left` and `right`. Functions and the one-sided operators
// (!, ~) ignore `left`; ++ and -- use it only when it is 0. Reports division by
// zero and calculation errors to `errors` and then gives 0.
double applyOperation(Operation operation, double left, const Operand& right, ErrorState& errors);

// True for what means something at the start of a group: the functions, ! ~ ++ --
// and the signs. Any other operator there gives 0.
bool appliesAsPrefix(Operation operation);

// The low 32 bits of the integer part of `value`, as a signed integer; 0 for an
// infinity or NaN. 4294967295 is -1, like the same literal in a 32-bit int.
int32_t toInt32(double value);

}  // namespace calvex
