#include "scan/source_reader.h"

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <cstdlib>
#include <new>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "context/language_mode.h"
#include "context/source_context.h"
#include "context/source_file_list.h"
#include "scan/lexical_rules.h"
#include "scan/read_loop.h"
#include "scan/token_parser.h"
#include "scan/token_ring.h"
#include "scan/live_token_index.h"
#include "tests/support/analysis_test.h"

// The operators below pair malloc with free; GCC cannot see that through
// the inlined deletes of the library.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

// Every allocation of the test program is counted, so that a test can
// tell that reading allocates nothing per token.
namespace {
std::atomic<long> allocationCount{0};
}

void* operator new(size_t size) {
  ++allocationCount;
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
// The non-throwing form too: the library frees what it allocates (e.g.
// stable_sort's buffer) with the plain delete replaced here.
void* operator new(size_t size, const std::nothrow_t&) noexcept {
  ++allocationCount;
  return std::malloc(size ? size : 1);
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }

namespace {

using Counts = std::array<int, 7>;

class SourceReaderTest : public AnalysisTest {};

// ---------------------------------------------------------------------------
// Line counters

TEST_F(SourceReaderTest, LineCountersByLanguage) {
  struct Case {
    const char* file;
    const char* text;
    Counts expected;  // total, exec, blank, comment, disabled, disabled code, preprocessor
  } cases[] = {
      // Three lines and the empty line after the last line break.
      {"a.c", "a;\nb;\nc;\n", {4, 3, 1, 0, 0, 0, 0}},
      {"a.c", "a;\nb;\nc;", {3, 3, 0, 0, 0, 0, 0}},
      {"a.c", "", {1, 0, 1, 0, 0, 0, 0}},
      // Code with a trailing comment is executable and a comment line.
      {"a.c", "int a; // note\n", {2, 1, 1, 1, 0, 0, 0}},
      {"a.c", "/* x */\n", {2, 0, 1, 1, 0, 0, 0}},
      {"a.c", "/* a\n b */\nint c;\n", {4, 1, 1, 2, 0, 0, 0}},
      {"a.c", "/*\n*/\n", {3, 0, 1, 2, 0, 0, 0}},
      // A // comment ending in '\' goes on in the next line.
      {"a.c", "// a \\\n b\nint c;", {3, 1, 0, 2, 0, 0, 0}},
      {"a.c", "#include <x.h>\nint a;\n", {3, 1, 1, 0, 0, 0, 1}},
      {"a.c", "#pragma once\n\n  # define X 1\nx = 1; # y\n", {5, 1, 2, 0, 0, 0, 2}},
      // The last line is a directive without a line break: counted once.
      {"a.c", "#include <x.h>", {1, 0, 0, 0, 0, 0, 1}},
      {"a.cpp", "x = \"// no\"; /* c */ y;\n", {2, 1, 1, 1, 0, 0, 0}},
      {"A.java", "/** doc */\nclass A {}\n", {3, 1, 1, 1, 0, 0, 0}},
      {"m.bas", "Dim a ' note\nREM all\n\n", {4, 1, 2, 2, 0, 0, 0}},
      {"m.bas", "#If 1 Then\na = \"'\"\n#End If\n", {4, 1, 1, 0, 0, 0, 2}},
      // Delphi: only // lines are comment lines; {$...} is a directive.
      {"u.pas", "x := 1; { c }\n(* a *)\n// d\n{$R+}\n", {5, 1, 1, 1, 0, 0, 1}},
      {"u.pas", "{ a\n b }\ny;\n", {4, 1, 1, 0, 0, 0, 0}},
      // "{$" after code is a directive too; one line counts once.
      {"u.pas", "x := 1; {$R+} {$I-}\n", {2, 1, 1, 0, 0, 0, 1}},
  };
  for (const Case& c : cases) {
    Scan s = scan(c.file, c.text);
    EXPECT_EQ(s.counts, c.expected) << c.file << ": " << c.text;
  }
}

TEST_F(SourceReaderTest, CountsDoNotDependOnBlockSize) {
  std::string text = "int a; /* x\n y */ b;\n// c\n#include \"h.h\"\n\n\"s\" 'c';\n";
  Counts whole = scan("a.c", text).counts;
  for (size_t block : {1, 2, 3, 7}) EXPECT_EQ(scan("a.c", text, block).counts, whole) << block;
}

// Block-comment lines that cannot end it are taken without being cut into
// tokens; blocks of one byte never leave whole lines to pass, so they read
// every token. Both give the same counts, live tokens and captured comment:
// comment ends as tokens see them ("* /" without kept blanks, "*\r/",
// "*\0/"; Delphi's "* )" and a Shift-JIS character whose second byte is
// '}'), a closer after other bytes, a lone lead byte before a line break
// or a closer, a NUL, a comment in a directive line, lines split across
// blocks, a comment before a function, one left open. The words of a
// comment's line come as runs of text; one-byte blocks cut every run to a
// byte, so they see what word by word would.
TEST_F(SourceReaderTest, PassedCommentLinesCountAsReadOnes) {
  using namespace std::string_literals;
  const std::pair<const char*, std::string> files[] = {
      {"a.c",
       "int a; /* one\n two\n\n three * \n / four\r\n five\x83\x41\n * / six\n"
       " seven\n eight */ b;\n/*\n*\r/ c;\n#define X /* in\n a directive\n */ 1\n"
       "/* x\n y\n z\n*/\nint d;\n/* before\n  e \r\n\0f\n\n g */\nint f(void) {\n}\n"
       "/* <p>a/b</p> http://x\n/ at a line start\n *\0/ int g;\n/*\n a\n *\t/ int h;\n"
       "/*\n a\n *\r/ int i;\n/* lone\x81\n lead \x81*/ int j;\n/*******\n ** a*b **\n*******/ k;\n"
       "/* a a **/ l; /* b b * / m; /* c c *\t/ n; /* d d *\0/ o; /* e */*/ p; /* f f *\r/ q;\n"
       "/* left\n open\r\n \x83\x41\n"s},
      {"u.pas",
       "x := 1; { one\n two\n\n three } y;\n{\n a\n b \x81\x7D c\n d } z;\n(* p\n q\n"
       " r * ) s;\n t *\0) u;\n(* v\n w\n *\t) x;\n{$IFDEF A\n B}\n{$ENDIF}\n{ c\n\r\n }\n"
       "{$IF\n NOT DEFINED(A)\n}\nw := 1;\n{$ENDIF}\nprocedure P;\nbegin\nend;\n(* a\n (b) \n*)\n"
       "{ lone\x81\n lead \x81} k;\n(*******\n ** a*b **\n*******) l;\n(* a a **) m; (* b b * ) n;"
       " (* c c *\r) o; (* d *)*) p; (* e e *\t) q;\n{ left\n open\n \0\n"s},
      {"v.pas", "{\n first\n second\n"s},
  };
  for (const auto& [file, text] : files) {
    for (int details : {0, 1}) {
      options().functionDetails = details;
      for (SourceReader::Kind kind : {SourceReader::Kind::Include, SourceReader::Kind::MainFile}) {
        Scan everyToken = scan(file, text, 1, kind);
        std::string captured = reader().capturedComment();
        int lines = context().currentLine();
        for (size_t block : {1022, 2, 3, 5, 7, 16}) {
          Scan s = scan(file, text, block, kind);
          EXPECT_EQ(s.counts, everyToken.counts) << file << " " << block << " " << details;
          EXPECT_EQ(s.live, everyToken.live) << file << " " << block << " " << details;
          EXPECT_EQ(s.log, everyToken.log) << file << " " << block << " " << details;
          EXPECT_EQ(reader().capturedComment(), captured) << file << " " << block << " " << details;
          EXPECT_EQ(context().currentLine(), lines) << file << " " << block << " " << details;
        }
      }
    }
  }
}

// Lines of a switched-off region with nothing that could start a
// directive, comment or literal are counted without being cut into tokens.
// Blocks of one byte read every token; all give the same counts, live
// tokens and line number: blank lines of tabs, carriage returns and NULs,
// a '/', quotes, a Shift-JIS character whose second byte is '\', a form
// feed, a line ending a block comment, a nested region, a line comment.
TEST_F(SourceReaderTest, PassedDisabledLinesCountAsReadOnes) {
  using namespace std::string_literals;
  // directive, code, blank, code, directive, code, and the empty last line
  EXPECT_EQ(scan("a.c", "#if 0\na\n\n b\n#endif\nx;\n").counts, (Counts{7, 1, 2, 0, 3, 2, 2}));
  std::string text =
      "int a;\n#if 0\n first;\n\n\t \r\nplain code\n x = a / b;\n \"s\" 'c';\n\0\n"
      "\x95\\ t;\n\x0C\n /* c */ y\n /* end\n still */\n more\n#if 1\n nested\n#endif\n"
      " // note\n after;\n#else\nint b;\n#endif\nint c;\n"s;
  for (int details : {0, 1}) {
    options().functionDetails = details;
    Scan everyToken = scan("a.c", text, 1);
    int lines = context().currentLine();
    for (size_t block : {1022, 2, 3, 5, 7, 16}) {
      Scan s = scan("a.c", text, block);
      EXPECT_EQ(s.counts, everyToken.counts) << block << " " << details;
      EXPECT_EQ(s.live, everyToken.live) << block << " " << details;
      EXPECT_EQ(context().currentLine(), lines) << block << " " << details;
    }
  }
}

// ---------------------------------------------------------------------------
// Comment and literal states: what reaches the parser

TEST_F(SourceReaderTest, LiveTokensPerLanguage) {
  struct Case {
    const char* file;
    const char* text;
    const char* live;
  } cases[] = {
      {"a.c", "a = \"x/*y\" + 'c'; /* z */ b // w\n", "a|=|+|;|b|<lf>"},
      // An escaped quote stays inside; an escaped backslash does not.
      {"a.c", "s = \"a\\\"b\"; t = \"a\\\\\"; u;", "s|=|;|t|=|;|u|;"},
      // "\\\"" is a backslash and a quote: the third '\' escapes again.
      {"A.java", "s = \"\\\\\\\"\"; t;", "s|=|;|t|;"},
      {"a.c", "/*/ x */ y", "y"},
      {"a.c", "/**/ z", "z"},
      {"a.c", "c = '\\''; d = ''; e;", "c|=|;|d|=|;|e|;"},
      {"a.c", "a\n\n\nb", "a|<lf>|b"},
      // An end-of-text byte ends the parser's part of the file.
      {"a.c",
       "a\x1A"
       "b c",
       "a"},
      {"a.cpp", "x // y \\\n z\nw", "x|<lf>|w"},
      {"m.bas", "a = \"it's\" ' c\nb Rem c\nrem d\ne", "a|=|<lf>|b|<lf>|e"},
      {"m.frm", "x = \"a\"\"b\"\n", "x|=|<lf>"},
      {"u.pas", "a := 'x{y'; { c } b (* d *) e // f\ng", "a|:|=|;|b|e|<lf>|g"},
      // A comment ends only at its own closer: a brace comment may quote
      // "(* … *)" and a paren-star comment may hold braces.
      {"u.pas", "{ a *) b } c", "c"},
      {"u.pas", "(* a } b *) c", "c"},
      {"u.pas", "{ f(void *) } g", "g"},
      {"u.pas", "(*) still *) x", "x"},
      {"u.pas", "{$R+} y", "y"},
  };
  for (const Case& c : cases) {
    Scan s = scan(c.file, c.text);
    EXPECT_EQ(s.live, c.live) << c.file << ": " << c.text;
    EXPECT_EQ(s.log, "") << c.text;
  }
}

TEST_F(SourceReaderTest, DirectiveTokensAreConsumed) {
  Scan s = scan("a.c", "#define X (1)\nint y;\n");
  EXPECT_EQ(s.live, "int|y|;|<lf>");
  // A '#' after code on the line is code.
  EXPECT_EQ(scan("a.c", "a # b\n").live, "a|#|b|<lf>");
}

TEST_F(SourceReaderTest, ShiftJisTrailBackslashDoesNotEscape) {
  std::string so = "\x83\x5C";  // "ソ": its second byte is '\'
  std::string text = "s = \"a" + so + "\"; t;";
  EXPECT_EQ(scan("a.c", text).live, "s|=|;|t|;");
  // The same with the pair split across the first block boundary.
  std::string padded = std::string(1010, ' ') + "s = \"a";
  padded += std::string(1021 - padded.size(), 'a') + so + "\"; t;";
  ASSERT_EQ(padded[1021], '\x83');
  Scan s = scan("a.c", padded);
  EXPECT_EQ(s.live, "s|=|;|t|;");
}

TEST_F(SourceReaderTest, ExternCMarker) {
  scan("a.cpp", "extern \"C\" {");
  EXPECT_TRUE(reader().externCMarker());
  EXPECT_FALSE(reader().externCMarker());
  scan("a.cpp", "extern \"C++\" {");
  EXPECT_FALSE(reader().externCMarker());
}

// ---------------------------------------------------------------------------
// Messages

TEST_F(SourceReaderTest, CharacterConstantWithMoreThanOneToken) {
  EXPECT_EQ(scan("x.c", "c = 'ab';").log, "");
  EXPECT_EQ(scan("x.c", "x = 'a b'").log,
            "    x.c 1: 文字定数に１文字以上記述されています。\n"
            "  [x.c]でｺﾒﾝﾄの終わり(')がありません。\n");
}

// C++ literals that would otherwise look like the ends of strings and the
// starts of character constants: raw strings (their delimiter, their
// lines), digit separators, and character constants of several tokens,
// which are reported and read to their quote. C keeps its rules.
TEST_F(SourceReaderTest, CppRawStringsDigitSeparatorsAndLongCharacterConstants) {
  struct Case {
    const char* file;
    const char* text;
    const char* live;
    const char* log;
  } cases[] = {
      {"a.cpp", "s = R\"(a \"b\" } c)\"; t;", "s|=|R|;|t|;", ""},
      {"a.cpp", "s = R\"x(a )\" )y\" b)x\"; t;", "s|=|R|;|t|;", ""},
      {"a.cpp", "s = u8R\"--(\\)--\"; t;", "s|=|u8R|;|t|;", ""},
      {"a.cpp", "s = R\"x(a\nb)\" c\n)x\";\nt;", "s|=|R|<lf>|;|<lf>|t|;", ""},
      {"a.cpp", "n = 1'000'000; m = 0xFF'FF; c = 'x';", "n|=|1|;|m|=|0xFF|;|c|=|;", ""},
      {"a.cpp", "c = 'a+'; d = 'x y z'; e;", "c|=|;|d|=|;|e|;",
       "    a.cpp 1: 文字定数に１文字以上記述されています。\n"
       "    a.cpp 1: 文字定数に１文字以上記述されています。\n"},
      {"a.cpp", "c = '\\0\\0';\nd;", "c|=|;|<lf>|d|;",
       "    a.cpp 1: 文字定数に１文字以上記述されています。\n"},
      {"a.c", "s = R\"(a\"b)\";", "s|=|R|b|)", "  [a.c]でｺﾒﾝﾄの終わり(\")がありません。\n"},
      {"a.c", "n = 1'000;", "n|=|1", "    a.c 1: 文字定数に１文字以上記述されています。\n"},
  };
  for (const Case& c : cases) {
    Scan s = scan(c.file, c.text);
    EXPECT_EQ(s.live, c.live) << c.file << ": " << c.text;
    EXPECT_EQ(s.log, c.log) << c.file << ": " << c.text;
  }
  // A raw string's lines are code lines.
  Scan lines = scan("a.cpp", "s = R\"(a\n\nb)\";\n");
  EXPECT_EQ(lines.counts[0], 4);
  EXPECT_EQ(lines.counts[1], 3);
  EXPECT_EQ(lines.counts[2], 1);
}

TEST_F(SourceReaderTest, UnterminatedAtEndOfFile) {
  struct Case {
    const char* file;
    const char* text;
    const char* log;
  } cases[] = {
      {"a.c", "/*", "  [a.c]でｺﾒﾝﾄの終わり(*/)がありません。\n"},
      {"a.c", "int a; /* x\n\n", "  [a.c]でｺﾒﾝﾄの終わり(*/)がありません。\n"},
      {"a.c", "s = \"abc", "  [a.c]でｺﾒﾝﾄの終わり(\")がありません。\n"},
      {"a.c", "c = '", "  [a.c]でｺﾒﾝﾄの終わり(')がありません。\n"},
      {"a.cpp", "s = R\"x(a)\"", "  [a.cpp]でｺﾒﾝﾄの終わり(\")がありません。\n"},
      {"m.bas", "s = \"abc", "  [m.bas]でｺﾒﾝﾄの終わり(\")がありません。\n"},
      {"u.pas", "{ x", "  [u.pas]でｺﾒﾝﾄの終わり(})がありません。\n"},
      {"u.pas", "(* x", "  [u.pas]でｺﾒﾝﾄの終わり(})がありません。\n"},
      {"u.pas", "s := 'abc", "  [u.pas]でｺﾒﾝﾄの終わり(')がありません。\n"},
      {"a.c", "// open line comment", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(scan(c.file, c.text).log, c.log) << c.text;
}

TEST_F(SourceReaderTest, OnlyOpenCommentCountsOneCommentLine) {
  Scan s = scan("a.c", "/*");
  EXPECT_EQ(s.counts, (Counts{1, 0, 0, 1, 0, 0, 0}));
}

// ---------------------------------------------------------------------------
// Includes

TEST_F(SourceReaderTest, IncludeNames) {
  struct Case {
    const char* text;
    std::vector<std::string> names;
  } cases[] = {
      {"#include <stdio.h>\n", {"stdio.h"}},
      {"#include \"stdio.h\"\n", {"stdio.h"}},
      {"#include \"sub\\Util.H\"\nx;\n", {"sub\\Util.H"}},
      {"# include <sys/types.h> // why\n", {"sys/types.h"}},
      {"#include \"a.h\"", {"a.h"}},  // at the end of input, without a line break
      {"#include \"my header.h\"\n", {"my header.h"}},
      {"#include < sys x.h >\n", {"sys x.h"}},
      {"#include\n", {}},
      {"#includes <a.h>\n", {}},
      {"x; #include <a.h>\n", {}},
  };
  for (const Case& c : cases) EXPECT_EQ(scan("a.c", c.text).includes, c.names) << c.text;
}

TEST_F(SourceReaderTest, IncludeBracketMessages) {
  Scan s = scan("a.c", "#include <a.h\n");
  EXPECT_EQ(s.log, "    a.c 2: 標準ｲﾝｸﾙｰﾄﾞの括弧が不整合です\n");
  EXPECT_EQ(s.includes, std::vector<std::string>{"a.h"});
}

// ---------------------------------------------------------------------------
// The parsers' view

TEST_F(SourceReaderTest, ParserTokenLooksBackOverBlanks) {
  scan("a.c", "a \n\n b\tc");
  EXPECT_EQ(reader().parserToken(0), "c");
  EXPECT_EQ(reader().parserToken(1), "b");
  EXPECT_EQ(reader().parserToken(2), "a");
  EXPECT_EQ(reader().parserToken(3), "");
  // VB parsers see the line break itself, once.
  scan("m.bas", "a\n\n\nb");
  EXPECT_EQ(reader().parserToken(0), "b");
  EXPECT_EQ(reader().parserToken(1), "\n");
  EXPECT_EQ(reader().parserToken(2), "a");
}

TEST_F(SourceReaderTest, LongRingKeepsTwoHundredTokens) {
  std::string text;
  for (int i = 0; i < 300; ++i) text += "t" + std::to_string(i) + ";";
  scan("a.c", text);
  EXPECT_EQ(reader().parserToken(0), ";");
  EXPECT_EQ(reader().parserToken(1), "t299");
  EXPECT_EQ(reader().parserToken(199), "t200");
  EXPECT_EQ(reader().parserToken(200), "");
}

// Line breaks take slots of the ring too: look-back reaches only the live
// tokens among the 199 slots before the newest token.
TEST_F(SourceReaderTest, LookBackWindowCountsLineBreaks) {
  std::string text;
  for (int i = 0; i < 100; ++i) text += "x" + std::to_string(i) + "\n";
  scan("a.c", text + "end");
  EXPECT_EQ(reader().parserToken(0), "end");
  EXPECT_EQ(reader().parserToken(1), "x99");  // slot 2
  EXPECT_EQ(reader().parserToken(99), "x1");  // slot 198
  EXPECT_EQ(reader().parserToken(100), "");   // x0 would be slot 200
  // A line break as the newest token is not a live token to step over.
  scan("a.c", "a\nb\n");
  EXPECT_EQ(reader().parserToken(0), "\n");
  EXPECT_EQ(reader().parserToken(1), "b");
  EXPECT_EQ(reader().parserToken(2), "a");
  EXPECT_EQ(reader().parserToken(3), "");
}

// Kept blanks (the function details keep them) come as runs, yet read as
// blanks one by one did: a run split over one-byte blocks reads the same.
// A character constant counts its tokens: two blanks are one too many.
TEST_F(SourceReaderTest, BlankRunsReadAsSingleBlanks) {
  options().functionDetails = 1;
  const char* texts[] = {
      "char c = '  ';\nint x;\n",
      "char d = ' \t';  int y ;\n",
      "#define  M  ( a )  x\n#if  M\n  int z;\n#endif\n",
      "/*  a  */  int  w;  //  b  \n",
  };
  for (const char* text : texts) {
    Scan runs = scan("a.c", text);
    Scan single = scan("a.c", text, 1);
    EXPECT_EQ(runs.live, single.live) << text;
    EXPECT_EQ(runs.counts, single.counts) << text;
    EXPECT_EQ(runs.log, single.log) << text;
  }
  EXPECT_NE(scan("a.c", texts[0]).log.find("文字定数に１文字以上記述されています。"),
            std::string::npos);
}

// ---------------------------------------------------------------------------
// Comment capture (with the function details option, which keeps blanks)

TEST_F(SourceReaderTest, CommentCapture) {
  options().functionDetails = 1;
  struct Case {
    const char* file;
    const char* text;
    const char* captured;
  } cases[] = {
      // The comment whole, its first word too.
      {"a.c", "/* abc */\nint f;", "/* abc */\n"},
      {"a.c", "/*abc*/\nint f;", "/*abc*/\n"},
      {"a.c", "// note\nint f;", " note\n"},
      {"a.c", "// a\n\n\nint x;", ""},  // two empty lines drop it
      {"a.c", "s = \"str\";", ""},
      {"m.bas", "' hi\nx = \"s\"", " hi\ns\""},
      {"u.pas", "{ c }\n", "{ c }\n"},
      {"u.pas", "(* p *)\n", "(* p *)\n"},
      {"u.pas", "// q\n", " q\n"},
  };
  for (const Case& c : cases) {
    scan(c.file, c.text);
    EXPECT_EQ(reader().capturedComment(), c.captured) << c.text;
  }
}

TEST_F(SourceReaderTest, CaptureResetsAndIncludeReadersNeverCapture) {
  options().functionDetails = 1;
  scan("a.c", "// x\n", 1022, SourceReader::Kind::Include);
  EXPECT_EQ(reader().capturedComment(), "");
  scan("a.c", "// x\n");
  reader().clearCapturedComment(true);
  EXPECT_EQ(reader().capturedComment(), "");
  options().functionDetails = 0;
  reader().clearCapturedComment(true);  // the option is off: stays disabled
  EXPECT_EQ(reader().capturedComment(), "");
}

// At every step, the tokens handed over so far and what look-backs 1 to 6
// gave; the test works out from the first what the second must be.
class LookBackParser final : public TokenParser {
 public:
  struct Step {
    int handed;  // tokens handed over, this one included
    std::array<std::string, 6> lookBack;
  };
  std::vector<std::string> handed;
  std::vector<Step> steps;
  void resetForFile(SourceReader&) override {}
  void step(SourceReader& reader) override {
    handed.push_back(reader.parserToken(0));
    Step step{static_cast<int>(handed.size()), {}};
    for (int n = 1; n <= 6; ++n) step.lookBack[n - 1] = reader.parserToken(n);
    steps.push_back(step);
  }
  void endOfFile(SourceReader&) override {}
};

// Look-back n is the n-th live token among the 199 handed over before the
// newest one, at every step and not only at the end: through runs of blank
// lines longer than the ring, at the start of a file and of the next file.
TEST_F(SourceReaderTest, LookBackAtEveryStepCountsOnlyLiveTokensInTheRing) {
  std::string text = "a b\n\n c ( d ) ;\n";
  for (int i = 0; i < 120; ++i) text += "\n";  // blank lines hand over one break
  text += "e\nf g\n";
  for (int i = 0; i < 300; ++i) text += (i % 3 ? " " : "\n") + std::string("h") + std::to_string(i);
  for (int file = 0; file < 2; ++file) {
    openReader("a.c");
    auto parser = std::make_unique<LookBackParser>();
    LookBackParser& seen = *parser;
    reader().replaceParser(std::move(parser));
    read(file == 0 ? text : text.substr(4));
    ASSERT_GT(seen.steps.size(), 300u);
    for (const LookBackParser::Step& step : seen.steps) {
      int newest = step.handed - 1;
      for (int n = 1; n <= 6; ++n) {
        std::string expected;
        int live = 0;
        for (int at = newest - 1; at >= 0 && newest - at < 200; --at) {
          const std::string& t = seen.handed[at];
          if (t == "\n" || t == " " || t == "\t") continue;
          if (++live == n) {
            expected = t;
            break;
          }
        }
        ASSERT_EQ(step.lookBack[n - 1], expected) << "token " << newest << ", look-back " << n;
      }
    }
  }
}

// A near look-back is gone once the ring has reused its slot, as far
// look-backs are: a run of non-live tokens as long as the ring hides it.
TEST(NearLiveTokensTest, ALookBackLeavesWithItsRingSlot) {
  TokenRing ring(200, 8);
  NearLiveTokens near;
  auto push = [&](std::string_view token, bool live) {
    near.beforePush(&ring.at(0), ring.pushes());
    ring.push(token);
    near.afterPush(live);
  };
  auto lookBack = [&](int n) {
    const std::string* token = near.at(n, ring.pushes(), ring.slots());
    return token ? *token : std::string("(none)");
  };
  push("a", true);
  push("b", true);
  for (int i = 0; i < 198; ++i) push("\n", false);
  EXPECT_EQ(lookBack(1), "b");
  EXPECT_EQ(lookBack(2), "a");  // 199 pushes back: the ring's last slot
  EXPECT_EQ(lookBack(3), "(none)");
  push("\n", false);
  EXPECT_EQ(lookBack(1), "b");
  EXPECT_EQ(lookBack(2), "(none)");
  // The newest token is not its own look-back, live or not.
  push("c", true);
  EXPECT_EQ(lookBack(1), "(none)");  // "b" has gone the way of "a"
  push("d", true);
  push("\n", false);
  EXPECT_EQ(lookBack(1), "d");
  EXPECT_EQ(lookBack(2), "c");
  near.clear();
  push("e", true);
  EXPECT_EQ(lookBack(1), "(none)");
}

// The parser asks, at the token "b", for the capture to be cleared at the
// end of that line.
class ClearingParser final : public TokenParser {
 public:
  void resetForFile(SourceReader&) override {}
  void step(SourceReader& reader) override {
    if (reader.parserToken(0) == "b") reader.clearCaptureAtNextLineEnd();
  }
  void endOfFile(SourceReader&) override {}
};

TEST_F(SourceReaderTest, CaptureClearedAtTheLineEndTheParserAsked) {
  options().functionDetails = 1;
  openReader("a.c");
  reader().replaceParser(std::make_unique<ClearingParser>());
  read("// a\nb\n");
  EXPECT_EQ(reader().capturedComment(), "");
}

// Once the ring slots have grown to the longest token, reading more blocks
// of the same text allocates nothing: a file of 55 blocks takes as many
// allocations as one of 5 (after a first reading has made what is made
// once per process).
TEST_F(SourceReaderTest, NoAllocationPerToken) {
  std::string line = "int value = b + c; /* note */ s = \"str\"; // tail\n";
  std::string block;
  while (block.size() + line.size() <= 1022) block += line;
  auto allocationsToRead = [&](int blocks) {
    std::string text;
    for (int i = 0; i < blocks; ++i) text += block;
    renewRun();
    openReader("a.c");
    reader().replaceParser(std::make_unique<IdleParser>());  // records nothing
    long before = allocationCount.load();
    Scan s = read(text, block.size());
    long taken = allocationCount.load() - before;
    // Every line and the empty one after the last line break.
    EXPECT_EQ(s.counts[kTotalLines], blocks * static_cast<int>(block.size() / line.size()) + 1);
    return taken;
  };
  allocationsToRead(5);
  long few = allocationsToRead(5);
  EXPECT_EQ(allocationsToRead(55), few);
}

// A stop request leaves the file between tokens: no token after the one
// during which it came is handed over, and the file's end is not reached.
class StoppingParser final : public TokenParser {
 public:
  StoppingParser(std::atomic<bool>& stop, std::string& seen) : stop_(stop), seen_(seen) {}
  void resetForFile(SourceReader&) override {}
  void step(SourceReader& reader) override {
    seen_ += reader.parserToken(0) + "|";
    if (reader.parserToken(0) == "b") stop_ = true;
  }
  void endOfFile(SourceReader&) override {}

 private:
  std::atomic<bool>& stop_;
  std::string& seen_;
};

TEST_F(SourceReaderTest, StopRequestLeavesTheFileBetweenTokens) {
  std::atomic<bool> stop{false};
  std::string seen;
  openReader("a.c");
  reader().replaceParser(std::make_unique<StoppingParser>(stop, seen));
  platform::MemoryByteSource source("a b c d\n");
  ReadSettings settings;
  settings.stop = &stop;
  EXPECT_EQ(readSource(reader(), source, settings), ReadResult::kStopped);
  EXPECT_EQ(seen, "a|b|");
}

// A main file brings its language's run-wide rules; its headers keep them.
TEST_F(SourceReaderTest, MainFileSwitchesTheRunRules) {
  struct Case {
    const char* file;
    int mode;
    bool foldsNames;
    bool dollarDelimits;
  } cases[] = {
      {"m.bas", kModeVb, true, true},      {"u.pas", kModeDelphi, true, true},
      {"A.java", kModeJava, false, false}, {"a.c", kModeC, false, false},
      {"x.unknown", kModeC, false, false},
  };
  for (const Case& c : cases) {
    scan(c.file, "");
    EXPECT_EQ(context().languageMask(), c.mode) << c.file;
    EXPECT_EQ(sameName("Name", "NAME"), c.foldsNames) << c.file;
    EXPECT_EQ(isDelimiterByte('$'), c.dollarDelimits) << c.file;
  }
}

// ---------------------------------------------------------------------------
// UTF-16 and robustness

// UTF-16 reads as its Shift-JIS text, Japanese words and strings
// included, with the lines the file has.
TEST_F(SourceReaderTest, Utf16ReadsAsItsShiftJisText) {
  Scan want = scan("a.c", "// 日本語\r\nint 値; /* あ */ char* s = \"い\";\r\n");
  Scan s = scan("a.c", utf16(u"// \u65E5\u672C\u8A9E\r\nint \u5024; /* \u3042 */ "
                             u"char* s = \"\u3044\";\r\n"));
  EXPECT_EQ(s.counts, (Counts{3, 1, 1, 2, 0, 0, 0}));
  EXPECT_EQ(s.live, want.live);
  EXPECT_NE(s.live.find("|値|"), std::string::npos) << s.live;
  EXPECT_EQ(s.log, "  文字ｺｰﾄﾞ UTF-16 として読みました: a.c\n");
}

TEST_F(SourceReaderTest, Utf16IncludeNameKeepsJapanese) {
  Scan s = scan("a.c", utf16(u"#include \"\u3042.h\"\r\n"));
  EXPECT_EQ(s.includes, std::vector<std::string>{"\x82\xA0.h"});
}

// A file in EUC-JP or UTF-8 (with or without its mark) reads as its
// Shift-JIS form: the same lines and tokens; the log names it once.
TEST_F(SourceReaderTest, EucJpAndUtf8ReadAsTheirShiftJisText) {
  Scan want = scan("a.c", "// 日本語\nint a; /* これは */\n");
  const std::string utf8 =
      "// \xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\n"
      "int a; /* \xE3\x81\x93\xE3\x82\x8C\xE3\x81\xAF */\n";
  struct Case {
    std::string bytes;
    const char* log;
  } cases[] = {
      {"// \xC6\xFC\xCB\xDC\xB8\xEC\nint a; /* \xA4\xB3\xA4\xEC\xA4\xCF */\n",
       "  文字ｺｰﾄﾞ EUC-JP として読みました: a.c\n"},
      {utf8, "  文字ｺｰﾄﾞ UTF-8 として読みました: a.c\n"},
      {"\xEF\xBB\xBF" + utf8, "  文字ｺｰﾄﾞ UTF-8 として読みました: a.c\n"},
  };
  for (const Case& c : cases) {
    Scan s = scan("a.c", c.bytes);
    EXPECT_EQ(s.counts, want.counts) << c.log;
    EXPECT_EQ(s.live, want.live) << c.log;
    EXPECT_EQ(s.log, c.log);
  }
  EXPECT_EQ(want.log, "");
}

TEST_F(SourceReaderTest, AnyBytesAreSafe) {
  std::mt19937 random(12345);
  const char* files[] = {"a.c", "a.cpp", "A.java", "m.bas", "u.pas"};
  for (int round = 0; round < 40; ++round) {
    std::string bytes(500 + random() % 3000, '\0');
    for (char& b : bytes) b = static_cast<char>(random() % 256);
    if (round % 4 == 0) bytes.replace(0, 2, "\xFF\xFE");
    Scan s = scan(files[round % 5], bytes, 1 + random() % 1022);
    EXPECT_GE(s.counts[0], 1);
  }
}

TEST_F(SourceReaderTest, ExtremeFiles) {
  std::string big(1 << 20, 'x');
  EXPECT_EQ(scan("a.c", big + ";").live, big + "|;");
  EXPECT_EQ(scan("a.c", "/*" + big).counts[3], 1);
  Scan odd = scan("a.c", utf16(u"a;\n") + "b");
  EXPECT_EQ(odd.live, "a|;|<lf>");
  Scan nul = scan("a.c", std::string("a\0;\0\n\0", 6));
  EXPECT_EQ(nul.live, "a|;|<lf>");
}

}  // namespace

// The reader builds each token in the ring's next place: while it grows
// there, every token the ring shows stays, the oldest included.
TEST(TokenRingTest, ATokenBuiltInTheNextPlaceHidesNothing) {
  TokenRing ring(3, 4);
  for (std::string_view token : {"a", "b", "c"}) ring.push(token);
  ring.nextPlace() = "d";
  EXPECT_EQ(ring.at(0) + ring.at(1) + ring.at(2), "cba");
  ring.pushBuilt();
  EXPECT_EQ(ring.at(0) + ring.at(1) + ring.at(2), "dcb");
  EXPECT_EQ(ring.at(3), "");  // "a" is the next place now, not shown
  EXPECT_EQ(ring.pushes(), 4u);
}
