// Small text helpers shared by every layer: decimal reading with the C
// library's leniency (but no overflow), ASCII case folding that leaves
// Shift-JIS double-byte characters alone, and path splitting.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/text_encoding.h"

// Leading blanks, an optional sign, then digits; anything else ends the
// number. No digits read as 0; values beyond 32 bits saturate.
std::int32_t parseDecimal(std::string_view text);

// Decimal text of a number.
std::string decimalText(long long n);

using platform::isShiftJisLead;

// ASCII-case-insensitive equality; double-byte characters compare exactly.
bool equalsIgnoreCase(std::string_view a, std::string_view b);

// Byte-wise comparison with ASCII letters folded to lower case (so '_'
// sorts before the letters, as the C library's case-blind order has it), skipping
// the second byte of double-byte characters from folding. <0, 0, >0.
int compareIgnoreCase(std::string_view a, std::string_view b);

// Position of the last path separator ('\' or '/'), or npos. The second
// byte of a double-byte character is never taken for a separator.
size_t lastSeparator(std::string_view path);

// "dir\name" -> "dir\" and "name" (the directory keeps its separator).
std::string directoryPart(std::string_view path);
std::string fileNamePart(std::string_view path);

// Whether `path` names its file without a starting folder: it begins with
// a separator ("/src/x.h", "\src\x.h") or holds a drive ("c:x.h").
bool isAbsolutePath(std::string_view path);

// Text after the last '.', or empty when there is none.
std::string_view extensionOf(std::string_view fileName);
