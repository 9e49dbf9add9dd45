// The parser of C, C++ and Java files: finds function definitions,
// prototypes and the calls inside function bodies, and the typedefs,
// structures, enumerations and variables around them, token by token on
// the source reader's history, and registers them in the run's tables.
#pragma once

#include <memory>

#include "scan/token_parser.h"

struct ParserContext;

// The parser for a file of `languageMode` (a mode with a bit of 7).
std::unique_ptr<TokenParser> makeCParser(int languageMode, ParserContext& tables);
