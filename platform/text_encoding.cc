#include "platform/text_encoding.h"

namespace platform {
namespace {

bool isSingleByteCharacter(unsigned char c) { return c < 0x80 || (c >= 0xA1 && c <= 0xDF); }

bool isTrailByte(unsigned char c) { return c >= 0x40 && c <= 0xFC && c != 0x7F; }

// A lead byte of the user-defined area (0xF0-0xF9): the systems' tables
// disagree on it (one maps it to private-use characters, another to none),
// so it converts the same way everywhere: as a character that does not.
bool isUserDefinedLead(unsigned char c) { return c >= 0xF0 && c <= 0xF9; }

}  // namespace

// Bytes that form no CP932 character become '?' here, one per byte, before
// the system converts the rest: the same text gives the same UTF-8 on every
// platform.
std::string cp932ToUtf8(std::string_view text, bool* ok) {
  if (ok) *ok = true;
  std::string out;
  size_t run = 0;
  size_t i = 0;
  auto flush = [&](size_t end) {
    if (end > run) out += cp932RunToUtf8(text.substr(run, end - run), ok);
  };
  while (i < text.size()) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (isSingleByteCharacter(c)) {
      ++i;
    } else if (isShiftJisLead(c) && !isUserDefinedLead(c) && i + 1 < text.size() &&
               isTrailByte(static_cast<unsigned char>(text[i + 1]))) {
      i += 2;
    } else {
      flush(i);
      out += '?';
      if (ok) *ok = false;
      run = ++i;
    }
  }
  flush(i);
  return out;
}

}  // namespace platform
