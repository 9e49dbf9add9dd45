// The opener and continuation rules of the reader's lexical states, one
// group per language family. Each classify function looks at the current
// token (the one delivered one delivery ago) with the newest token as its
// lookahead, and returns true when the token is consumed.
#include "scan/lex_states.h"

#include "context/source_file_list.h"
#include "context/text_util.h"
#include "report/error_log.h"
#include "scan/lexical_rules.h"
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

bool isBlankOrEmpty(const std::string& token) { return token.empty() || isBlankToken(token); }

}  // namespace

// ---------------------------------------------------------------------------
// Shared by all languages

// '#' where the line has no code yet and is no directive, or any Delphi
// "{$". A line counts once however many "{$...}" it holds.
bool SourceReader::startDirective(LanguageFamily syntax) {
  if (!file_.lineIsDirective) ++file_.counts[kPreprocessorLines];
  file_.lineIsDirective = true;
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
  if (!directives_.live()) {
    if (!isBlankOrEmpty(cur)) file_.lineHasDisabledCode = true;
    passDisabledLines();
    return true;
  }
  if (isBlankOrEmpty(cur)) return true;
  if (!file_.lineIsDirective) file_.lineHasCode = true;
  return false;
}

// C family: a quote ends the string unless escaped by a '\' that is not
// itself escaped (in "\\\"" the third '\' escapes the quote: the
// backslashes are counted, not only the two before it). VB and Delphi
// strings end at the next quote.
bool SourceReader::continueString(const std::string& cur, bool cStyleEscapes) {
  const char* quote = family_ == LanguageFamily::Delphi ? "'" : "\"";
  bool escaped = cStyleEscapes && file_.stringEscape;
  file_.stringEscape = cStyleEscapes && cur == "\\" && !escaped;
  if (cur == quote && !escaped) {
    file_.lexState = LexState::Code;
    if (file_.stringTokens == 1 && token(2) == "C") file_.externC = true;
    if (directives_.takesLiterals()) directives_.stringToken(cur);
  } else {
    ++file_.stringTokens;
    if (directives_.inProgress()) directives_.stringToken(cur);
  }
  if (family_ == LanguageFamily::Vb) capture(cur);
  return true;
}

// ---------------------------------------------------------------------------
// C, C++ and Java

bool SourceReader::classifyCFamily(const std::string& cur, const std::string& next) {
  if (file_.lexState != LexState::Code) return continueCFamily(cur);
  if (cur == "\"" && !directives_.takesQuote()) {
    file_.lexState = LexState::String;
    file_.stringTokens = 0;
    file_.stringEscape = false;
    file_.lineHasCode = true;
    if (directives_.takesLiterals()) directives_.stringToken(cur);
    return true;
  }
  if (cur == "'") {
    file_.lexState = LexState::CharStart;
    file_.lineHasCode = true;
    if (directives_.takesLiterals()) directives_.stringToken(cur);
    return true;
  }
  if (cur == "/" && (next == "/" || next == "*")) {
    file_.lexState = next == "/" ? LexState::LineCommentStart : LexState::BlockCommentStar;
    file_.lineHasComment = true;
    file_.blockCommentEnded = false;
    return true;
  }
  if (cur == "#" && !file_.lineHasCode && !file_.lineIsDirective)
    return startDirective(LanguageFamily::CFamily);
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
  ++file_.counts[kCommentLines];
  if (backslashContinues && token(2) == "\\") {
    capture(cur);
    return true;
  }
  file_.lexState = LexState::Code;
  return codeToken(cur);
}

bool SourceReader::continueCFamily(const std::string& cur) {
  switch (file_.lexState) {
    case LexState::LineCommentStart:
      file_.lexState = LexState::LineComment;
      return true;
    case LexState::LineComment:
      return continueLineComment(cur, true);
    case LexState::BlockCommentStar:
      file_.lexState = LexState::BlockCommentFirst;
      capture("/*");
      return true;
    case LexState::BlockCommentFirst:
      // Consumed without closing, so the '/' of "/*/" does not end it.
      file_.lexState = LexState::BlockComment;
      if (cur == "\n") ++file_.counts[kCommentLines];
      capture(cur);
      return true;
    case LexState::BlockComment:
      if (cur == "\n") ++file_.counts[kCommentLines];
      if (cur == "/" && token(2) == "*") {
        file_.lexState = LexState::Code;
        file_.blockCommentEnded = true;
        capture(cur);
        if (!directives_.live() && !directives_.inProgress()) passDisabledLines();
        return true;
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
  // A character constant counts its tokens, and each blank was one: a run
  // of blanks steps it blank by blank, and what the constant leaves is code.
  if (cur.size() > 1 && isBlankToken(cur)) {
    static const std::string kSpace = " ", kTab = "\t";
    for (char blank : cur) {
      const std::string& one = blank == ' ' ? kSpace : kTab;
      if (file_.lexState == LexState::Code)
        codeToken(one);
      else
        continueChar(one);
    }
    return true;
  }
  if (directives_.takesLiterals() && cur != "\n") directives_.stringToken(cur);
  switch (file_.lexState) {
    case LexState::CharStart:
      file_.lexState = cur == "\\"  ? LexState::CharEscape
                       : cur == "'" ? LexState::Code
                                    : LexState::CharBody;
      break;
    case LexState::CharEscape:
      file_.lexState = LexState::CharBody;
      break;
    default:
      file_.lexState = LexState::Code;
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
  if (file_.lexState != LexState::Code) return continueVb(cur);
  if (file_.lineContinues && continuesLine(cur)) return true;
  if (cur == "\"") {
    file_.lexState = LexState::String;
    file_.stringTokens = 0;
    file_.stringEscape = false;
    file_.lineHasCode = true;
    return true;
  }
  if (cur == "'" || equalsIgnoreCase(cur, "Rem")) {
    file_.lexState = LexState::RestOfLine;
    file_.lineHasComment = true;
    return true;
  }
  if (cur == "#" && !file_.lineHasCode && !file_.lineIsDirective)
    return startDirective(LanguageFamily::Vb);
  // " _" at a line's end joins the next line to the statement.
  if (cur == "_" && !directives_.inProgress() && directives_.live()) {
    file_.lineContinues = true;
    file_.lineHasCode = true;
    return true;
  }
  return codeToken(cur);
}

// After a continuation '_': its line break is counted but not handed over,
// so the statement goes on; anything else makes the '_' a stray character.
bool SourceReader::continuesLine(const std::string& cur) {
  if (cur == "\n") {
    file_.lineContinues = false;
    lineBreakInCode();
    return true;
  }
  if (isBlankOrEmpty(cur)) return true;
  file_.lineContinues = false;
  positionMessage(": 不正な文字'_'があります。");
  return false;
}

bool SourceReader::continueVb(const std::string& cur) {
  if (file_.lexState == LexState::String) return continueString(cur, false);
  if (cur != "\n") {
    capture(cur);
    return true;
  }
  ++file_.counts[kCommentLines];
  file_.lexState = LexState::Code;
  return codeToken(cur);
}

// ---------------------------------------------------------------------------
// Delphi

bool SourceReader::classifyDelphi(const std::string& cur, const std::string& next) {
  if (file_.lexState != LexState::Code) return continueDelphi(cur);
  if (cur == "'") {
    file_.lexState = LexState::String;
    file_.stringTokens = 0;
    file_.stringEscape = false;
    file_.lineHasCode = true;
    return true;
  }
  if (cur == "(" && next == "*") {
    file_.lexState = LexState::ParenStarFirst;
    file_.lineHasComment = true;
    file_.parenStarComment = true;
    return true;
  }
  if (cur == "/" && next == "/") {
    file_.lexState = LexState::LineCommentStart;
    file_.lineHasComment = true;
    return true;
  }
  if (cur == "{") {
    file_.lexState = LexState::BraceComment;
    file_.parenStarComment = false;
    if (next == "$") return startDirective(LanguageFamily::Delphi);
    file_.lineHasComment = true;
    file_.braceFirst = true;
    return true;
  }
  return codeToken(cur);
}

bool SourceReader::continueDelphi(const std::string& cur) {
  switch (file_.lexState) {
    case LexState::String:
      return continueString(cur, false);
    case LexState::LineCommentStart:
      file_.lexState = LexState::LineComment;
      return true;
    case LexState::LineComment:
      return continueLineComment(cur, false);
    case LexState::ParenStarFirst:
      file_.lexState = LexState::ParenStarSecond;
      capture("(*");
      return true;
    case LexState::ParenStarSecond:
      // Consumed without closing, so "(*)" does not end the comment.
      file_.lexState = LexState::BraceComment;
      capture(cur);
      return true;
    default:
      break;
  }
  // Inside { ... } or (* ... *): only its own closer ends it, so that a
  // brace comment may quote "(* x *)" and the other way round; "{$"
  // directives live in here and end with it.
  bool closes = file_.parenStarComment ? cur == ")" && token(2) == "*" : cur == "}";
  if (directives_.inProgress()) {
    if (closes) {
      file_.lexState = LexState::Code;
      directives_.end();
    } else {
      directives_.token(cur);
    }
    return true;
  }
  if (file_.braceFirst && file_.captured.empty()) capture("{");
  file_.braceFirst = false;
  capture(cur);
  if (closes) file_.lexState = LexState::Code;
  return true;
}
