// What the source reader hands its live tokens to: the parser of a file's
// language. The reader pushes each live token into its long ring and then
// calls step(); the parser reads the history through the reader
// (parserToken(n), token(n)) and registers what it recognises in the run's
// tables. One parser serves one file at a time; the reader owns it.
#pragma once

#include <memory>

#include "scan/macro_expander.h"

class SourceReader;
struct DefineEntry;

class TokenParser {
 public:
  virtual ~TokenParser() = default;
  // A new file starts: drop every statement state of the previous one.
  virtual void resetForFile(SourceReader& reader) = 0;
  // reader.parserToken(0) is the live token just handed over.
  virtual void step(SourceReader& reader) = 0;
  // The file's last token was handed over.
  virtual void endOfFile(SourceReader& reader) = 0;
  // Whether the file's macros are expanded before their tokens come (a
  // language with C's preprocessor), and, macro by macro, where the parser
  // stands now, whether this one is.
  virtual bool expandsMacros() const { return false; }
  // Whether a header included now is read on in this parser (the file is
  // inside a construct that the header's text continues).
  virtual bool continuesIntoHeaders() const { return false; }
  virtual MacroUse macroUse(const DefineEntry&) const { return MacroUse::kKeep; }
};

// Takes every token and recognises nothing: the parser of every language
// until a language has its own.
class IdleParser final : public TokenParser {
 public:
  void resetForFile(SourceReader&) override {}
  void step(SourceReader&) override {}
  void endOfFile(SourceReader&) override {}
};
