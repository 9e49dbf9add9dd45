#include "report/dot_text.h"

#include <cstdio>

namespace {

void escapeDot(std::string& out, char c) {
  if (c == '"' || c == '\\') {
    out += '\\';
    out += c;
  } else if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
    char standIn[12];
    std::snprintf(standIn, sizeof standIn, "[U+%04X]", static_cast<unsigned>(c));
    out += standIn;
  } else {
    out += c;
  }
}

}  // namespace

std::string DotText::quoted(std::string_view cp932) {
  std::string text = "\"";
  utf8_.append(text, cp932, escapeDot);
  text += '"';
  return text;
}
