#include "report/text_layout.h"

#include <string>

bool padWithBlanks(std::ostream& out, int count, std::string_view blank) {
  for (int i = 0; i < count / 2; ++i) out << blank;
  return count > 0 && count % 2 == 1;
}

int decimalWidth(long long n) {
  if (n <= 0) return 1;
  int width = 0;
  for (; n > 0; n /= 10) ++width;
  return width;
}

namespace {

void spaces(std::ostream& out, long long n) {
  static const char kBlanks[] = "                                ";
  while (n > 0) {
    long long chunk = n < 32 ? n : 32;
    out.write(kBlanks, chunk);
    n -= chunk;
  }
}

}  // namespace

void writeLeft(std::ostream& out, std::string_view text, int width) {
  out << text;
  spaces(out, static_cast<long long>(width) - static_cast<long long>(text.size()));
}

void writeRight(std::ostream& out, std::string_view text, int width) {
  spaces(out, static_cast<long long>(width) - static_cast<long long>(text.size()));
  out << text;
}

void writeRight(std::ostream& out, long long number, int width) {
  writeRight(out, std::to_string(number), width);
}
