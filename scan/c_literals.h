// The values of C's integer and character constants as a preprocessor
// reads them in #if conditions: decimal, octal, hexadecimal and binary
// integers with any of the u/U/l/L suffixes, and character constants with
// their escape sequences (several characters make one int, first byte
// highest, as the compiler makes it).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

// True when `word` is a whole integer constant; its value (modulo 2^64)
// goes to `value`.
bool integerConstantValue(std::string_view word, std::uint64_t& value);

// A character constant starting at text[pos] (the opening quote). True when
// it closes; `pos` is then past the closing quote and `value` holds its
// value (a single character is a signed char, as plain char is here).
bool characterConstantValue(std::string_view text, size_t& pos, std::int64_t& value);
