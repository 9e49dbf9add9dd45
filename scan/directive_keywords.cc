#include "scan/directive_keywords.h"

#include "context/text_util.h"

namespace {

struct Keyword {
  const char* text;
  DirectiveWord word;
};

constexpr Keyword kCFamilyKeywords[] = {
    {"define", DirectiveWord::kDefine},   {"undef", DirectiveWord::kUndef},
    {"ifdef", DirectiveWord::kIfdef},     {"ifndef", DirectiveWord::kIfndef},
    {"if", DirectiveWord::kIf},           {"elif", DirectiveWord::kElif},
    {"else", DirectiveWord::kElse},       {"endif", DirectiveWord::kEndif},
    {"include", DirectiveWord::kInclude}, {"import", DirectiveWord::kImport},
    {"pragma", DirectiveWord::kPragma},   {"error", DirectiveWord::kError},
};

constexpr Keyword kVbKeywords[] = {
    {"If", DirectiveWord::kIf},         {"ElseIf", DirectiveWord::kElif},
    {"Else", DirectiveWord::kElse},     {"End", DirectiveWord::kEndif},
    {"Region", DirectiveWord::kRegion}, {"Const", DirectiveWord::kDefine},
};

constexpr Keyword kDelphiKeywords[] = {
    {"ifdef", DirectiveWord::kIfdef},
    {"ifndef", DirectiveWord::kIfndef},
    {"if", DirectiveWord::kIf},
    {"ifopt", DirectiveWord::kIfOpt},
    {"else", DirectiveWord::kElse},
    {"endif", DirectiveWord::kEndif},
    {"define", DirectiveWord::kDefine},
    {"undef", DirectiveWord::kUndef},
    // {$IF} groups close with {$IFEND} as well as {$ENDIF}.
    {"elseif", DirectiveWord::kElif},
    {"ifend", DirectiveWord::kEndif},
    // {$I name} and {$INCLUDE name}; {$I+} and {$I-} switch I/O checks.
    {"i", DirectiveWord::kInclude},
    {"include", DirectiveWord::kInclude},
};

constexpr Keyword kSettingsKeywords[] = {
    {"MZ設定Mode", DirectiveWord::kSettingsMode},
    {"MZ割り込みキーワード", DirectiveWord::kInterruptKeywords},
};

template <size_t N>
DirectiveWord find(const Keyword (&table)[N], std::string_view word, bool anyCase) {
  for (const Keyword& k : table)
    if (anyCase ? equalsIgnoreCase(word, k.text) : word == k.text) return k.word;
  return DirectiveWord::kNone;
}

}  // namespace

DirectiveWord directiveWordOf(LanguageFamily syntax, std::string_view word, bool settingsData) {
  switch (syntax) {
    case LanguageFamily::CFamily:
      if (settingsData) {
        DirectiveWord own = find(kSettingsKeywords, word, false);
        if (own != DirectiveWord::kNone) return own;
      }
      return find(kCFamilyKeywords, word, false);
    case LanguageFamily::Vb:
      return find(kVbKeywords, word, true);
    case LanguageFamily::Delphi:
      return find(kDelphiKeywords, word, true);
  }
  return DirectiveWord::kNone;
}

bool opensGroup(DirectiveWord word) {
  switch (word) {
    case DirectiveWord::kIfdef:
    case DirectiveWord::kIfndef:
    case DirectiveWord::kIf:
    case DirectiveWord::kIfOpt:
    case DirectiveWord::kRegion:  // so "#End Region" closes it there too
      return true;
    default:
      return false;
  }
}
