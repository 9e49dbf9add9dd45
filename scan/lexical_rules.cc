#include "scan/lexical_rules.h"

#include <cstring>

#include "context/text_util.h"
#include "scan/language.h"

namespace lexical_detail {
bool foldNames = false;
bool delimiterBytes[256];
bool wordBytes[256];
bool blankRuns = false;
int compareFolded(std::string_view a, std::string_view b) { return compareIgnoreCase(a, b); }
bool equalFolded(std::string_view a, std::string_view b) { return equalsIgnoreCase(a, b); }
}  // namespace lexical_detail

namespace {

using lexical_detail::foldNames;

std::span<const std::string_view> modifierWords;

void fillDelimiters(bool dollar) {
  bool (&delimiters)[256] = lexical_detail::delimiterBytes;
  std::memset(delimiters, 0, sizeof delimiters);
  for (unsigned char c : std::string_view("\t\n\r !\"#%&'()*+,-./:;<=>?[\\]^{|}~"))
    delimiters[c] = true;
  delimiters[static_cast<unsigned char>('$')] = dollar;
  bool (&words)[256] = lexical_detail::wordBytes;
  for (int c = 0; c < 256; ++c)
    words[c] = (c > 0x20 && c < 0x7F && !delimiters[c]) || (c >= 0xA0 && c <= 0xDF);
}

struct DelimiterInit {
  DelimiterInit() { fillDelimiters(false); }
} delimiterInit;

}  // namespace

void applyLexicalRules(const LexicalRules& rules) {
  foldNames = rules.foldNames;
  fillDelimiters(rules.dollarDelimits);
  modifierWords = rules.modifierWords;
}

void resetLexicalRules() { applyLexicalRules(LexicalRules{}); }

void setCaseInsensitiveNames(bool on) { foldNames = on; }

bool isModifierWord(std::string_view word) {
  for (std::string_view m : modifierWords)
    if (m.size() == word.size() && (foldNames ? equalsIgnoreCase(m, word) : word == m)) return true;
  return false;
}
