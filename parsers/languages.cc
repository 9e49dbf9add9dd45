#include "parsers/languages.h"

#include "context/language_mode.h"
#include "context/options.h"
#include "parsers/c_parser.h"
#include "parsers/delphi_parser.h"
#include "parsers/vb_parser.h"

namespace {

const std::string_view kCModifiers[] = {
    "auto",     "const",    "far",    "friend", "mutable", "near",    "private",  "protected",
    "public",   "register", "signed", "static", "struct",  "typedef", "unsigned", "virtual",
    "volatile", "CALLBACK", "PASCAL", "STDAPI", "WINAPI",  "template"};
const std::string_view kJavaModifiers[] = {"private", "protected", "public",
                                           "static",  "final",     "volatile"};
// VB and Delphi share the words (and fold them, as all their names).
const std::string_view kBasicModifiers[] = {"Global", "const", "private", "public"};

const LexicalRules kCRules{false, false, kCModifiers};
const LexicalRules kJavaRules{false, false, kJavaModifiers};
const LexicalRules kBasicRules{true, true, kBasicModifiers};

// ORDER: as SourceLanguage numbers them.
const Language kLanguages[] = {
    {SourceLanguage::kC, kModeC, LanguageFamily::CFamily, kCRules, LookBack::LiveTokens,
     makeCParser, false},
    {SourceLanguage::kCpp, kModeCOrCpp, LanguageFamily::CFamily, kCRules, LookBack::LiveTokens,
     makeCParser, false},
    {SourceLanguage::kJava, kModeJava, LanguageFamily::CFamily, kJavaRules, LookBack::LiveTokens,
     makeCParser, false},
    {SourceLanguage::kVb, kModeVb, LanguageFamily::Vb, kBasicRules, LookBack::EveryToken,
     makeVbParser, false},
    {SourceLanguage::kDelphi, kModeDelphi, LanguageFamily::Delphi, kBasicRules,
     LookBack::LiveTokens, makeDelphiParser, false},
};
constexpr int kLanguageCount = static_cast<int>(sizeof kLanguages / sizeof kLanguages[0]);

// Its entries belong to the languages of their sections, so the file has
// no mode: nothing in it is reserved, typed or a class while it is read.
// It is written like C, and read by C's rules.
const Language kSettingsData{
    SourceLanguage::kC, 0, LanguageFamily::CFamily, kCRules, LookBack::LiveTokens, nullptr, true};

}  // namespace

const Language& languageOf(SourceLanguage language) {
  return kLanguages[static_cast<int>(language)];
}

const Language* languageOfFile(const Options& options, std::string_view fileName) {
  int code = languageOfFileName(options, std::string(fileName));
  return code >= 0 && code < kLanguageCount ? &kLanguages[code] : nullptr;
}

const Language* languageOfMode(int mode) {
  if (mode == kModeOldStyleCpp || mode == kModeCppOld) mode = kModeCOrCpp;
  for (const Language& language : kLanguages)
    if (language.mode == mode) return &language;
  return nullptr;
}

const Language& settingsDataLanguage() { return kSettingsData; }
