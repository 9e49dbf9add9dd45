// Report text (CP932, with "[U+XXXX]" standing for a character CP932
// lacks) as the UTF-8 that the JSON document and the call graph are
// written in: each stand-in becomes its character, every other character
// is converted. A stand-in of a surrogate (a byte of a file name that was
// no UTF-8) stays as its text, so that the result is always valid UTF-8.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>

#include "platform/text_encoding.h"

class Utf8Text {
 public:
  // Appends `text` to `out`; `escape` is asked for every character below
  // U+0080 (and for a stand-in's character of that range) and appends it.
  template <class Escape>
  void append(std::string& out, std::string_view text, Escape escape);

 private:
  // A run of double-byte or half-width katakana characters, converted once.
  const std::string& convertedRun(std::string_view run);
  static size_t standInAt(std::string_view text, size_t at, char32_t& character);
  static void appendCharacter(std::string& out, char32_t c);

  // The runs met so far: a run's names (a file, a class) come again and
  // again, and each conversion of the platform is costly.
  std::unordered_map<std::string, std::string> runs_;
};

template <class Escape>
void Utf8Text::append(std::string& out, std::string_view text, Escape escape) {
  size_t i = 0;
  while (i < text.size()) {
    unsigned char b = static_cast<unsigned char>(text[i]);
    char32_t c = 0;
    if (b == '[') {
      if (size_t n = standInAt(text, i, c)) {
        if (c < 0x80)
          escape(out, static_cast<char>(c));
        else if (c >= 0xD800 && c <= 0xDFFF)
          out.append(text.substr(i, n));
        else
          appendCharacter(out, c);
        i += n;
        continue;
      }
    }
    if (b < 0x80) {
      escape(out, static_cast<char>(b));
      ++i;
      continue;
    }
    size_t end = i;
    while (end < text.size() && static_cast<unsigned char>(text[end]) >= 0x80)
      end +=
          platform::isShiftJisLead(static_cast<unsigned char>(text[end])) && end + 1 < text.size()
              ? 2
              : 1;
    out += convertedRun(text.substr(i, end - i));
    i = end;
  }
}
