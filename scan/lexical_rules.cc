#include "scan/lexical_rules.h"

#include <cstring>

#include "context/text_util.h"
#include "scan/language.h"

namespace {

void fillDelimiters(lexical_detail::RunRules& rules, bool dollar) {
  bool(&delimiters)[256] = rules.delimiterBytes;
  std::memset(delimiters, 0, sizeof delimiters);
  for (unsigned char c : std::string_view("\t\n\r !\"#%&'()*+,-./:;<=>?[\\]^{|}~"))
    delimiters[c] = true;
  delimiters[static_cast<unsigned char>('$')] = dollar;
  bool(&words)[256] = rules.wordBytes;
  for (int c = 0; c < 256; ++c)
    words[c] = (c > 0x20 && c < 0x7F && !delimiters[c]) || (c >= 0xA0 && c <= 0xDF);
}

// A process that has opened no file yet reads as C.
lexical_detail::RunRules cRules() {
  lexical_detail::RunRules rules;
  fillDelimiters(rules, false);
  return rules;
}

}  // namespace

namespace lexical_detail {
RunRules rules = cRules();
int compareFolded(std::string_view a, std::string_view b) { return compareIgnoreCase(a, b); }
bool equalFolded(std::string_view a, std::string_view b) { return equalsIgnoreCase(a, b); }
}  // namespace lexical_detail

using lexical_detail::rules;

void applyLexicalRules(const LexicalRules& language) {
  rules.foldNames = language.foldNames;
  fillDelimiters(rules, language.dollarDelimits);
  rules.modifierWords = language.modifierWords;
}

void resetLexicalRules() { applyLexicalRules(LexicalRules{}); }

void setCaseInsensitiveNames(bool on) { rules.foldNames = on; }

bool isModifierWord(std::string_view word) {
  for (std::string_view m : rules.modifierWords)
    if (m.size() == word.size() && (rules.foldNames ? equalsIgnoreCase(m, word) : word == m))
      return true;
  return false;
}
