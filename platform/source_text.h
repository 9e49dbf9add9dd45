// The encodings a source file may come in besides CP932, the analyser's
// own text: recognising one from a file's bytes, and turning its text into
// CP932. Line ends and every ASCII byte stay as they are, so that the
// lines and steps counted in the converted text are those of the file.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

enum class SourceText : unsigned char { kShiftJis, kUtf8, kEucJp };

// The encoding of `sample`, the bytes of a file from its first byte of
// 0x80 or above on: UTF-8 when they are well-formed UTF-8 (no bytes but
// whole sequences); else EUC-JP when its reading holds kana or Japanese
// punctuation (rows 1, 4 and 5 of JIS X 0208; "kana" below) and either
// fewer invalid characters than the Shift-JIS reading or as many, kana in
// a quarter of its characters at least, and more kana than that reading
// holds double-byte characters; else Shift-JIS, which wins every tie. When `complete` is
// false the file goes on after the sample, which may end inside a
// character; that character counts for no encoding.
SourceText recogniseSourceText(std::string_view sample, bool complete);

// The position of the first byte of 0x80 or above in `bytes[from, size)`,
// or `size`: ASCII runs, most of any source, are passed eight bytes at a
// time.
size_t firstHighByte(const unsigned char* bytes, size_t from, size_t size);

// EUC-JP as CP932, table-free: a JIS X 0208 pair goes to its Shift-JIS
// pair by arithmetic, 0x8E and a half-width katakana byte to that byte. A
// JIS X 0212 character (0x8F and two bytes), which CP932 cannot be reached
// by arithmetic from, becomes "〓"; a byte that is no part of a character
// becomes '?'.
void appendCp932FromEucJp(std::string_view eucJp, std::string& out);

// UTF-8 text as CP932: a character CP932 lacks becomes its stand-in
// "[U+XXXX]" (file_names.h), a byte that is no part of a sequence
// "[U+FFFD]". Control characters and '[' stay as they are: this is text,
// not a name.
void appendCp932FromUtf8(std::string_view utf8, std::string& out);

// UTF-16 little-endian text (without its byte-order mark) as CP932, by
// the rules of appendCp932FromUtf8: a surrogate pair is one character, a
// lone surrogate becomes its own stand-in; a last odd byte is dropped.
void appendCp932FromUtf16(std::string_view utf16le, std::string& out);

}  // namespace platform
