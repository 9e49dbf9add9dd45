// The parser of Visual Basic forms, modules and classes: Sub, Function and
// Property routines with the calls between them, Declare'd externals,
// Const values, Type blocks and Dim declarations, line by line on the
// source reader's history, registered in the run's tables.
#pragma once

#include <memory>

#include "scan/token_parser.h"

struct ParserContext;

std::unique_ptr<TokenParser> makeVbParser(int languageMode, ParserContext& tables);
