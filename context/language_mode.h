// The source languages, and the language of a file as a bit set, shared by
// every part of the analyser. The bit set's values name the language
// sections of the settings data file too. What else belongs to a language
// (its family, lexical rules, parser) is a column of the language table.
#pragma once

#include <cstdint>
#include <string_view>

// ORDER: the language codes of the extension table ("c:0,cpp:1,...") and
// the rows of the language table (parsers/languages.cc).
enum class SourceLanguage : std::int8_t { kC = 0, kCpp = 1, kJava = 2, kVb = 3, kDelphi = 4 };

// The families whose comment, literal and directive rules differ.
enum class LanguageFamily : std::int8_t { CFamily, Vb, Delphi };

enum LanguageMode : std::int32_t {
  kModeC = 1,
  kModeCpp = 2,
  kModeCOrCpp = 3,  // files of the C++ extension group
  kModeJava = 4,
  kModeCppOld = 8,       // C++ with pre-standard stream headers
  kModeOldStyleCpp = 9,  // a C++-group file whose old stream header was missing
  kModeVb = 16,
  kModeDelphi = 32,
  kModeAll = 255,
};

// Every mode with a bit of 7 belongs to the C family.
constexpr std::int32_t kModeCFamily = 7;
constexpr std::int32_t kModeVbOrDelphi = kModeVb | kModeDelphi;

// Per-language table slot: the lowest set bit (0 C, 1 C++, 2 Java,
// 3 old C++, 4 VB, 5 Delphi); -1 for a mode without any of them.
constexpr int slotOfMode(std::int32_t mode) {
  for (int slot = 0; slot < 6; ++slot)
    if (mode & (1 << slot)) return slot;
  return -1;
}

// The language section that `#ifdef NAME` opens in the settings data file:
// the mode of "MZ_C" … "MZ_DELPHI", matched exactly; 0 for any other name.
constexpr std::int32_t languageSectionMask(std::string_view name) {
  struct Section {
    std::string_view name;
    std::int32_t mask;
  };
  constexpr Section kSections[] = {
      {"MZ_C", kModeC},           {"MZ_C_CPP", kModeCOrCpp},
      {"MZ_CPP", kModeCpp},       {"MZ_CPP_OLD", kModeCppOld},
      {"MZ_JAVA", kModeJava},     {"MZ_VB", kModeVb},
      {"MZ_DELPHI", kModeDelphi},
  };
  for (const Section& s : kSections)
    if (s.name == name) return s.mask;
  return 0;
}
