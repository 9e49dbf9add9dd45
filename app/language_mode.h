// The language of a file as a bit set, shared by every part of the analyser.
// The same values name the language sections of the settings data file.
#pragma once

#include <cstdint>

enum LanguageMode : std::int32_t {
  kModeC = 1,
  kModeCpp = 2,
  kModeCOrCpp = 3,  // files of the C++ extension group
  kModeJava = 4,
  kModeCppOld = 8,  // C++ with pre-standard stream headers
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
