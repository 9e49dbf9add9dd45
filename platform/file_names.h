// File names as the analyser holds them: CP932 text in which a character
// that CP932 lacks (or that would not come back from CP932 as itself)
// stands as "[U+XXXX]", four to six upper-case hexadecimal digits. The
// platform turns such a stand-in back into the character when it hands a
// name to the system or writes to the terminal, so every name survives
// the engine's CP932 text and still shows what it is in the reports.
// A control character (a line feed, a tab …) stands so too ("[U+000A]"):
// it would split a log line or a report row, or hide in it. To keep the
// mapping one-to-one, a '[' of a real name that would read as a stand-in
// is itself written "[U+005B]", and a byte of a POSIX name that is no part
// of UTF-8 as "[U+DC80]" … "[U+DCFF]".
#pragma once

#include <string>
#include <string_view>

namespace platform {

std::string cp932NameFromUtf8(std::string_view utf8);
std::string utf8FromCp932Name(std::string_view name);
// CP932 text for a UTF-8 terminal: stand-ins become their characters,
// except those of control characters, which stay visible as they are.
std::string utf8TextForTerminal(std::string_view text);

std::string cp932NameFromUtf16(std::u16string_view utf16);
std::u16string utf16FromCp932Name(std::string_view name);

}  // namespace platform
