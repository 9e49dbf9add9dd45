// Column helpers of the fixed-width text reports. Columns are bytes: a
// Shift-JIS double-byte character is two bytes and two columns wide.
#pragma once

#include <ostream>
#include <string_view>

// Writes `blank` (a two-column blank) count / 2 times; returns true when
// count is positive and odd, leaving the odd column to the caller.
bool padWithBlanks(std::ostream& out, int count, std::string_view blank);

// Decimal digits of n for n > 0, and 1 for n <= 0.
int decimalWidth(long long n);

// The text, or the empty text for a missing one.
inline std::string_view orEmpty(const char* text) { return text ? text : ""; }

// Writes `count` spaces (nothing for count <= 0).
void writeSpaces(std::ostream& out, long long count);

// Writes `text` and then spaces up to `width` columns (nothing when the
// text is as wide or wider).
void writeLeft(std::ostream& out, std::string_view text, int width);
