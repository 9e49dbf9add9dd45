// The run-wide lexical settings: the delimiter set of the language, its
// modifier words, and the one name comparison that every sorted name table
// uses (byte-wise and case-sensitive for C, C++ and Java; ASCII letters
// folded for VB and Delphi). They are switched when the first source file
// of a run is opened and stay until the next switch.
#pragma once

#include <span>
#include <string_view>

struct LexicalRules;

// Switches delimiters, modifier words and name comparison together. The
// rules' word list must outlive the switch (the language table's rows do).
void applyLexicalRules(const LexicalRules& rules);
// The rules of a process that has opened no file yet: C's delimiters and
// comparison, no modifier words.
void resetLexicalRules();

// Only the name comparison (the settings data file of a VB/Delphi run).
void setCaseInsensitiveNames(bool on);

namespace lexical_detail {
// The run's settings, read inline on the reader's hot path. The program
// runs one analysis at a time, and every sorted table of that run is
// ordered by this comparison: it is the process's, not a run object's.
struct RunRules {
  bool foldNames = false;
  bool delimiterBytes[256] = {};
  bool wordBytes[256] = {};
  // The reader now reading delivers kept blanks as runs (see isBlankToken).
  bool blankRuns = false;
  std::span<const std::string_view> modifierWords;
};
extern RunRules rules;
int compareFolded(std::string_view a, std::string_view b);
bool equalFolded(std::string_view a, std::string_view b);
}  // namespace lexical_detail

// Whether the run compares names with letters folded.
inline bool caseInsensitiveNames() { return lexical_detail::rules.foldNames; }

// <0, 0, >0 with letters folded or exactly.
inline int compareNamesAs(bool folded, std::string_view a, std::string_view b) {
  if (folded) return lexical_detail::compareFolded(a, b);
  int c = a.compare(b);
  return c < 0 ? -1 : c > 0 ? 1 : 0;
}
// <0, 0, >0 under the run's name comparison.
inline int compareNames(std::string_view a, std::string_view b) {
  return compareNamesAs(lexical_detail::rules.foldNames, a, b);
}
inline bool sameName(std::string_view a, std::string_view b) {
  // Folding keeps the length: most names asked about differ in it, and
  // most of the others are spelt alike.
  if (lexical_detail::rules.foldNames)
    return a.size() == b.size() && (a == b || lexical_detail::equalFolded(a, b));
  return a == b;
}

// Whether the byte is in the run's delimiter set (TAB, LF, CR, space and
// the C punctuation; '$' too in VB and Delphi runs).
inline bool isDelimiterByte(unsigned char c) { return lexical_detail::rules.delimiterBytes[c]; }

// Bytes that only extend the token being built: printable ASCII other than
// the delimiters, and half-width kana.
inline bool isWordByte(unsigned char c) { return lexical_detail::rules.wordBytes[c]; }

// A blank token: one space or tab, or a run of them from a reader that
// delivers runs (only such a reader makes tokens that start with a blank
// and go on; a wide character of UTF-16 text that became two spaces is
// a word).
inline bool isBlankToken(std::string_view token) {
  if (token.empty() || (token[0] != ' ' && token[0] != '\t')) return false;
  return token.size() == 1 || lexical_detail::rules.blankRuns;
}
// A token is a delimiter token when its first byte is a delimiter.
inline bool isDelimiterToken(std::string_view token) {
  return !token.empty() && isDelimiterByte(static_cast<unsigned char>(token[0]));
}

inline bool startsWithDigit(std::string_view token) {
  return !token.empty() && token[0] >= '0' && token[0] <= '9';
}

// One of the modifier words of the run's dialect ("static", "const" …).
bool isModifierWord(std::string_view word);
