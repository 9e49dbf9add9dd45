// The parser of Delphi units and programs: routines with their classes,
// calls with and without parentheses, on objects and through `with`,
// classes, records and the declarations of the var sections, token by
// token on the source reader's history, registered in the run's tables.
#pragma once

#include <memory>

#include "scan/token_parser.h"

struct ParserContext;

std::unique_ptr<TokenParser> makeDelphiParser(int languageMode, ParserContext& tables);
