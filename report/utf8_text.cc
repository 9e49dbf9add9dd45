#include "report/utf8_text.h"

namespace {

// Converted runs kept at most; a run of many different texts starts over.
constexpr size_t kKeptRuns = 65536;

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

// "[U+" four to six upper-case hexadecimal digits "]", as file names
// carry them (platform/file_names.h).
size_t Utf8Text::standInAt(std::string_view text, size_t at, char32_t& character) {
  if (text.substr(at, 3) != "[U+") return 0;
  char32_t value = 0;
  size_t i = at + 3;
  for (; i < text.size() && i < at + 9 && hexDigit(text[i]) >= 0; ++i)
    value = value * 16 + static_cast<char32_t>(hexDigit(text[i]));
  if (i < at + 7 || i >= text.size() || text[i] != ']' || value > 0x10FFFF) return 0;
  character = value;
  return i + 1 - at;
}

void Utf8Text::appendCharacter(std::string& out, char32_t c) {
  if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
  }
  out += static_cast<char>(0x80 | (c & 0x3F));
}

const std::string& Utf8Text::convertedRun(std::string_view run) {
  if (runs_.size() >= kKeptRuns) runs_.clear();
  auto [at, fresh] = runs_.try_emplace(std::string(run));
  if (fresh) at->second = platform::cp932ToUtf8(run);
  return at->second;
}
