#include "scan/token_parser.h"

#include "parse/c_parser.h"
#include "scan/language_mode.h"

// C, C++ and Java files have their parser; VB and Delphi files are read
// by the idle parser until theirs are written.
std::unique_ptr<TokenParser> makeTokenParser(int languageMode) {
  if (languageMode & kModeCFamily) return makeCParser(languageMode);
  return std::make_unique<IdleParser>();
}
