#include "report/text_layout.h"

#include <algorithm>

bool padWithBlanks(std::ostream& out, int count, std::string_view blank) {
  // The copies go out in chunks rather than one insertion each, straight
  // into the stream's buffer: padding comes on every line of a report.
  char chunk[256];
  const size_t per = blank.size();
  int copies = count / 2;
  if (per == 0 || per > sizeof chunk) {
    for (int i = 0; i < copies; ++i) out << blank;
  } else {
    const int perChunk = static_cast<int>(sizeof chunk / per);
    // Byte by byte: a blank is a byte or two, less than a copy call costs.
    char* at = chunk;
    for (int i = std::min(copies, perChunk); i > 0; --i)
      for (char c : blank) *at++ = c;
    while (copies > 0) {
      int now = copies < perChunk ? copies : perChunk;
      out.rdbuf()->sputn(chunk, static_cast<std::streamsize>(now * per));
      copies -= now;
    }
  }
  return count > 0 && count % 2 == 1;
}

int decimalWidth(long long n) {
  if (n <= 0) return 1;
  int width = 0;
  for (; n > 0; n /= 10) ++width;
  return width;
}

void writeSpaces(std::ostream& out, long long count) {
  static const char kBlanks[] = "                                ";
  while (count > 0) {
    long long chunk = count < 32 ? count : 32;
    out.write(kBlanks, chunk);
    count -= chunk;
  }
}

void writeLeft(std::ostream& out, std::string_view text, int width) {
  out << text;
  writeSpaces(out, static_cast<long long>(width) - static_cast<long long>(text.size()));
}
