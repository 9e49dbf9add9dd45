#include "parsers/delphi_words.h"

#include <array>
#include <vector>

#include "context/text_util.h"

namespace {

using namespace delphi_word;

struct Word {
  std::string_view text;
  std::uint64_t bit;
};

constexpr Word kWords[] = {
    {"asm", kAsm},
    {"begin", kBegin},
    {"case", kCase},
    {"class", kClass},
    {"const", kConst},
    {"constructor", kConstructor},
    {"destructor", kDestructor},
    {"dispinterface", kDispinterface},
    {"do", kDo},
    {"else", kElse},
    {"end", kEnd},
    {"except", kExcept},
    {"external", kExternal},
    {"finally", kFinally},
    {"forward", kForward},
    {"function", kFunction},
    {"implementation", kImplementation},
    {"inherited", kInherited},
    {"interface", kInterface},
    {"label", kLabel},
    {"library", kLibrary},
    {"object", kObject},
    {"of", kOf},
    {"operator", kOperator},
    {"otherwise", kOtherwise},
    {"packed", kPacked},
    {"procedure", kProcedure},
    {"program", kProgram},
    {"property", kProperty},
    {"record", kRecord},
    {"repeat", kRepeat},
    {"resourcestring", kResourcestring},
    {"Result", kResult},
    {"Self", kSelf},
    {"then", kThen},
    {"threadvar", kThreadvar},
    {"try", kTry},
    {"type", kType},
    {"until", kUntil},
    {"var", kVar},
    {"with", kWith},
};

constexpr size_t kLongest = 14;

// The words by length and first letter (folded), so that a token meets at
// most a few candidates.
struct Buckets {
  std::array<std::array<std::vector<Word>, 26>, kLongest + 1> words;
  Buckets() {
    for (const Word& w : kWords) words[w.text.size()][(w.text[0] | 0x20) - 'a'].push_back(w);
  }
};

const Buckets& buckets() {
  static const Buckets table;
  return table;
}

}  // namespace

std::uint64_t delphiWordsOf(std::string_view token) {
  if (token.size() < 2 || token.size() > kLongest) return 0;
  unsigned letter = static_cast<unsigned char>(token[0] | 0x20) - 'a';
  if (letter >= 26) return 0;
  for (const Word& w : buckets().words[token.size()][letter])
    if (equalsIgnoreCase(token, w.text)) return w.bit;
  return 0;
}
