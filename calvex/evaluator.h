// Evaluation of one expression: checks that the parentheses pair up, reads the
// tokens once to find unknown lexemes before anything is computed, then reads them
// again and walks them over one EvaluationLevel per parenthesis depth.
#pragma once

#include "calvex/evaluation_types.h"
#include "calvex/syntax_table.h"

namespace calvex {

// The value of the NUL-terminated, non-null `text` in `syntax`; 0 when `errors`
// reports a failure. Throws std::bad_alloc when memory runs out.
double evaluate(const char* text, const SyntaxTable& syntax, ErrorState& errors);

}  // namespace calvex
