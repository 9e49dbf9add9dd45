#include "scan/lexical_rules.h"

#include <cstring>

#include "app/text_util.h"

namespace {

Dialect dialect = Dialect::C;
bool foldNames = false;
bool delimiters[256];

const char* const kCModifiers[] = {
    "auto",     "const",  "far",    "friend",   "mutable", "near",      "private", "protected",
    "public",   "register", "signed", "static", "struct",  "typedef",   "unsigned", "virtual",
    "volatile", "CALLBACK", "PASCAL", "STDAPI", "WINAPI",  "template"};
const char* const kJavaModifiers[] = {"private", "protected", "public", "static", "final",
                                      "volatile"};
const char* const kVbModifiers[] = {"Global", "const", "private", "public"};

void fillDelimiters(bool dollar) {
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

int compareNames(std::string_view a, std::string_view b) {
  if (foldNames) return compareIgnoreCase(a, b);
  int c = a.compare(b);
  return c < 0 ? -1 : c > 0 ? 1 : 0;
}

bool isDelimiterByte(unsigned char c) { return delimiters[c]; }

bool isModifierWord(std::string_view word) {
  switch (dialect) {
    case Dialect::C: return inList(kCModifiers, word, false);
    case Dialect::Java: return inList(kJavaModifiers, word, false);
    case Dialect::Vb: return inList(kVbModifiers, word, true);
  }
  return false;
}
