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

// CP932 text with stand-ins as UTF-8 for a file or a terminal, appended to
// `out`: stand-ins become their characters, except those of control
// characters, which stay as written; each line feed becomes CR LF when
// `crLf`. Returns how many bytes of `text` it took: all of them when
// `complete`, else a character or stand-in that may go on after the end
// is left for the next call.
size_t appendUtf8Text(std::string_view text, bool complete, bool crLf, std::string& out);

// One character at utf8[at]: its length, 0 when the bytes there are no
// well-formed UTF-8.
size_t readUtf8Character(std::string_view utf8, size_t at, char32_t* character);
// The character in CP932 when it comes back as itself, else its stand-in.
void appendCp932Character(std::string& out, char32_t character);

std::string cp932NameFromUtf16(std::u16string_view utf16);
std::u16string utf16FromCp932Name(std::string_view name);

}  // namespace platform
