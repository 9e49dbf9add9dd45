#include "scan/token_parser.h"

std::unique_ptr<TokenParser> makeTokenParser(int languageMode) {
  return std::make_unique<IdleParser>();
}
