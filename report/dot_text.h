// Quoted strings of the Graphviz DOT language, in UTF-8 (the language's
// default charset) from the program's CP932 text: a double quote and a
// backslash are escaped, and a control character keeps its "[U+XXXX]"
// stand-in, so that a name neither ends the string nor breaks its line.
#pragma once

#include <string>
#include <string_view>

#include "report/utf8_text.h"

class DotText {
 public:
  // `cp932` as a DOT string, quotes included.
  std::string quoted(std::string_view cp932);

 private:
  Utf8Text utf8_;
};
