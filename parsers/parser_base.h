// What the parser of every language shares: the run's tables, the reader
// of the file being read (lent again with every token), the token tests
// and the look-back history, and the frame of a file: attached at its
// start, the bytes that end its text, and the lines that say what was left
// open at its end.
#pragma once

#include <string>

#include "parsers/token_history.h"
#include "parsers/token_tests.h"
#include "scan/token_parser.h"

struct ParserContext;

class ParserBase : public TokenParser {
 protected:
  explicit ParserBase(ParserContext& tables) : tables_(tables), tests_(tables) {}

  // A new file: attached to `reader`.
  void attachFile(SourceReader& reader) {
    reader_ = &reader;
    history_.attach(&reader);
  }
  // The token just handed over, or null when a step has nothing to do with
  // it: an empty token, or the NUL or end-of-text byte after a file's text.
  const std::string* liveToken(SourceReader& reader) {
    // A header read on in this parser lends its reader for its tokens.
    if (reader_ != &reader) attachFile(reader);
    const std::string& token = history_.at(0);
    return token.empty() || token[0] == '\0' || token[0] == '\x1A' ? nullptr : &token;
  }
  // The file being read, as the log names it.
  const std::string& fileName() const;
  // At the end of a file, after the parser's own block count:
  // "[ name ]で丸括弧の数が合いません。" with the count when parenDepth is not
  // 0; "[ name ]でｽﾃｰﾀｽｴﾗｰを起こしました。[state]" when the state is not 0.
  void logOpenStatements(int parenDepth, int statementState) const;

  ParserContext& tables_;
  SourceReader* reader_ = nullptr;
  TokenTests tests_;
  TokenHistory history_;
};
