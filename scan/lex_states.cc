// The opener and continuation rules of the reader's lexical states, one
// group per language family. Each classify function looks at the current
// token (the one delivered one delivery ago) with the newest token as its
// lookahead, and returns true when the token is consumed.
#include "scan/lex_states.h"

#include "app/source_file_list.h"
#include "app/text_util.h"
#include "report/error_log.h"
#include "scan/source_reader.h"

bool isCommentState(LexState state) {
  switch (state) {
    case LexState::Code:
    case LexState::String:
    case LexState::CharStart:
    case LexState::CharBody:
    case LexState::CharEscape:
      return false;
    default:
      return true;
  }
}

namespace {

bool isBlankOrEmpty(const std::string& token) {
  return token.empty() || token == " " || token == "\t";
}

}  // namespace

// ---------------------------------------------------------------------------
// Shared by all languages

// '#' where the line has no code yet and is no directive, or any Delphi
// "{$". A line counts once however many "{$...}" it holds.
bool SourceReader::startDirective(DirectiveSyntax syntax) {
  if (!lineIsDirective_) ++counts_[kPreprocessorLines];
  lineIsDirective_ = true;
  directives_.begin(syntax);
  return true;
}

// Any other token outside comments and literals: a directive's word, a
// token of a switched-off region, or live code for the parser.
bool SourceReader::codeToken(const std::string& cur) {
  if (cur == "\n") return lineBreakInCode();
  if (directives_.inProgress()) {
    directives_.token(cur);
    return true;
  }
  if (isBlankOrEmpty(cur)) return true;
  if (!directives_.live()) {
    lineHasDisabledCode_ = true;
    return true;
  }
  if (!lineIsDirective_) lineHasCode_ = true;
  return false;
}

// C family: a quote ends the string unless escaped by a '\' that is not
// itself escaped. VB and Delphi strings end at the next quote.
bool SourceReader::continueString(const std::string& cur, bool cStyleEscapes) {
  const char* quote = family_ == LanguageFamily::Delphi ? "'" : "\"";
  bool escaped = cStyleEscapes && token(2) == "\\" && token(3) != "\\";
  if (cur == quote && !escaped) {
    lexState_ = LexState::Code;
    if (stringTokens_ == 1 && token(2) == "C") externC_ = true;
    if (directives_.takesLiterals()) directives_.stringToken(cur);
  } else {
    ++stringTokens_;
    if (directives_.inProgress()) directives_.stringToken(cur);
  }
  if (family_ == LanguageFamily::Vb) capture(cur);
  return true;
}

// ---------------------------------------------------------------------------
// C, C++ and Java

bool SourceReader::classifyCFamily(const std::string& cur, const std::string& next) {
  if (lexState_ != LexState::Code) return continueCFamily(cur);
  if (cur == "\"" && !directives_.takesQuote()) {
    lexState_ = LexState::String;
    stringTokens_ = 0;
    lineHasCode_ = true;
    if (directives_.takesLiterals()) directives_.stringToken(cur);
    return true;
  }
  if (cur == "'") {
    lexState_ = LexState::CharStart;
    lineHasCode_ = true;
    if (directives_.takesLiterals()) directives_.stringToken(cur);
    return true;
  }
  if (cur == "/" && (next == "/" || next == "*")) {
    lexState_ = next == "/" ? LexState::LineCommentStart : LexState::BlockCommentStar;
    lineHasComment_ = true;
    blockCommentEnded_ = false;
    return true;
  }
  if (cur == "#" && !lineHasCode_ && !lineIsDirective_) return startDirective(DirectiveSyntax::CFamily);
  return codeToken(cur);
}

// Inside a "//" comment: its line break counts a comment line and then
// closes the line as code would, unless (C family) a '\' before it carries
// the comment on into the next line.
bool SourceReader::continueLineComment(const std::string& cur, bool backslashContinues) {
  if (cur != "\n") {
    capture(cur);
    return true;
  }
  ++counts_[kCommentLines];
  if (backslashContinues && token(2) == "\\") {
    capture(cur);
    return true;
  }
  lexState_ = LexState::Code;
  return codeToken(cur);
}

bool SourceReader::continueCFamily(const std::string& cur) {
  switch (lexState_) {
    case LexState::LineCommentStart:
      lexState_ = LexState::LineComment;
      return true;
    case LexState::LineComment:
      return continueLineComment(cur, true);
    case LexState::BlockCommentStar:
      lexState_ = LexState::BlockCommentFirst;
      capture("/*");
      return true;
    case LexState::BlockCommentFirst:
      // Consumed without closing, so the '/' of "/*/" does not end it.
      lexState_ = LexState::BlockComment;
      if (cur == "\n") ++counts_[kCommentLines];
      return true;
    case LexState::BlockComment:
      if (cur == "\n") ++counts_[kCommentLines];
      if (cur == "/" && token(2) == "*") {
        lexState_ = LexState::Code;
        blockCommentEnded_ = true;
      }
      capture(cur);
      return true;
    case LexState::String:
      return continueString(cur, true);
    default:
      return continueChar(cur);
  }
}

// ' x '   ' \ x '   ''   — one token between the quotes; "'ab'" is one
// token too, "'a+'" is not.
bool SourceReader::continueChar(const std::string& cur) {
  if (directives_.takesLiterals() && cur != "\n") directives_.stringToken(cur);
  switch (lexState_) {
    case LexState::CharStart:
      lexState_ = cur == "\\" ? LexState::CharEscape : cur == "'" ? LexState::Code : LexState::CharBody;
      break;
    case LexState::CharEscape:
      lexState_ = LexState::CharBody;
      break;
    default:
      lexState_ = LexState::Code;
      if (cur == "'") break;
      if (!directives_.live()) errorLog() << "#if,#ifdef文による無効行でｴﾗｰが発生しました。\n";
      positionMessage(": 文字定数に１文字以上記述されています。");
      // A line break still closes its line.
      if (cur == "\n") return codeToken(cur);
      break;
  }
  return true;
}

// ---------------------------------------------------------------------------
// Visual Basic

bool SourceReader::classifyVb(const std::string& cur) {
  if (lexState_ != LexState::Code) return continueVb(cur);
  if (cur == "\"") {
    lexState_ = LexState::String;
    stringTokens_ = 0;
    lineHasCode_ = true;
    return true;
  }
  if (cur == "'" || equalsIgnoreCase(cur, "Rem")) {
    lexState_ = LexState::RestOfLine;
    lineHasComment_ = true;
    return true;
  }
  if (cur == "#" && !lineHasCode_ && !lineIsDirective_) return startDirective(DirectiveSyntax::Vb);
  return codeToken(cur);
}

bool SourceReader::continueVb(const std::string& cur) {
  if (lexState_ == LexState::String) return continueString(cur, false);
  if (cur != "\n") {
    capture(cur);
    return true;
  }
  ++counts_[kCommentLines];
  lexState_ = LexState::Code;
  return codeToken(cur);
}

// ---------------------------------------------------------------------------
// Delphi

bool SourceReader::classifyDelphi(const std::string& cur, const std::string& next) {
  if (lexState_ != LexState::Code) return continueDelphi(cur);
  if (cur == "'") {
    lexState_ = LexState::String;
    stringTokens_ = 0;
    lineHasCode_ = true;
    return true;
  }
  if (cur == "(" && next == "*") {
    lexState_ = LexState::ParenStarFirst;
    lineHasComment_ = true;
    return true;
  }
  if (cur == "/" && next == "/") {
    lexState_ = LexState::LineCommentStart;
    lineHasComment_ = true;
    return true;
  }
  if (cur == "{") {
    lexState_ = LexState::BraceComment;
    if (next == "$") return startDirective(DirectiveSyntax::Delphi);
    lineHasComment_ = true;
    braceFirst_ = true;
    return true;
  }
  return codeToken(cur);
}

bool SourceReader::continueDelphi(const std::string& cur) {
  switch (lexState_) {
    case LexState::String:
      return continueString(cur, false);
    case LexState::LineCommentStart:
      lexState_ = LexState::LineComment;
      return true;
    case LexState::LineComment:
      return continueLineComment(cur, false);
    case LexState::ParenStarFirst:
      lexState_ = LexState::ParenStarSecond;
      capture("(*");
      return true;
    case LexState::ParenStarSecond:
      // Consumed without closing, so "(*)" does not end the comment.
      lexState_ = LexState::BraceComment;
      capture(cur);
      return true;
    default:
      break;
  }
  // Inside { ... } or (* ... *): either closer ends it; "{$" directives
  // live in here and end with it.
  bool closes = cur == "}" || (cur == ")" && token(2) == "*");
  if (directives_.inProgress()) {
    if (closes) {
      lexState_ = LexState::Code;
      directives_.end();
    } else {
      directives_.token(cur);
    }
    return true;
  }
  if (braceFirst_ && captured_.empty()) capture("{");
  braceFirst_ = false;
  capture(cur);
  if (closes) lexState_ = LexState::Code;
  return true;
}
