#include "scan/lexical_rules.h"

#include <cstring>

#include "app/text_util.h"

namespace {

Dialect dialect = Dialect::C;

const char* const kCModifiers[] = {
    "auto",     "const",  "far",    "friend",   "mutable", "near",      "private", "protected",
    "public",   "register", "signed", "static", "struct",  "typedef",   "unsigned", "virtual",
    "volatile", "CALLBACK", "PASCAL", "STDAPI", "WINAPI",  "template"};
const char* const kJavaModifiers[] = {"private", "protected", "public", "static", "final",
                                      "volatile"};
const char* const kVbModifiers[] = {"Global", "const", "private", "public"};

}  // namespace

namespace lexical_detail {
bool foldNames = false;
bool delimiterBytes[256];
int compareFolded(std::string_view a, std::string_view b) { return compareIgnoreCase(a, b); }
}  // namespace lexical_detail

namespace {

using lexical_detail::foldNames;

void fillDelimiters(bool dollar) {
  bool (&delimiters)[256] = lexical_detail::delimiterBytes;
  std::memset(delimiters, 0, sizeof delimiters);
  for (unsigned char c : std::string_view("\t\n\r !\"#%&'()*+,-./:;<=>?[\\]^{|}~"))
    delimiters[c] = true;
  delimiters[static_cast<unsigned char>('$')] = dollar;
}

struct DelimiterInit {
  DelimiterInit() { fillDelimiters(false); }
} delimiterInit;

template <size_t N>
bool inList(const char* const (&list)[N], std::string_view word, bool fold) {
  for (const char* m : list)
    if (fold ? equalsIgnoreCase(m, word) : word == m) return true;
  return false;
}

}  // namespace

void selectDialect(Dialect d) {
  dialect = d;
  foldNames = d == Dialect::Vb;
  fillDelimiters(d == Dialect::Vb);
}

Dialect currentDialect() { return dialect; }

void setCaseInsensitiveNames(bool on) { foldNames = on; }

bool caseInsensitiveNames() { return foldNames; }



bool isModifierWord(std::string_view word) {
  switch (dialect) {
    case Dialect::C: return inList(kCModifiers, word, false);
    case Dialect::Java: return inList(kJavaModifiers, word, false);
    case Dialect::Vb: return inList(kVbModifiers, word, true);
  }
  return false;
}
