// The opener and continuation rules of the reader's lexical states, one
// group per language family. Each classify function looks at the current
// token (the one delivered one delivery ago) with the newest token as its
// lookahead, and returns true when the token is consumed.
#include "scan/lex_states.h"

#include <cctype>

#include "context/source_file_list.h"
#include "context/text_util.h"
#include "report/error_log.h"
#include "scan/lexical_rules.h"
#include "scan/source_reader.h"

#include "scan/header_recording.h"
#include "scan/scan_context.h"
#include "context/source_context.h"

bool isCommentState(LexState state) {
  switch (state) {
    case LexState::Code:
    case LexState::String:
    case LexState::CharStart:
    case LexState::CharBody:
    case LexState::CharEscape:
    case LexState::CharRest:
    case LexState::RawDelimiter:
    case LexState::RawString:
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
    if (file_.stringTokens == 1 && token(2) == "C") {
      file_.externC = true;
      if (recording_)
        recording_->add(HeaderRecording::Event::kExternC, scan_.context.currentLine(), {});
    }
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
  if (file_.digitGroupFollows) {
    // 1'000'000: the digits after a separator belong to the number before it.
    file_.digitGroupFollows = false;
    return true;
  }
  if (cur == "\"" && startsRawString()) {
    file_.lexState = LexState::RawDelimiter;
    file_.rawDelimiter.clear();
    file_.rawMatched = -1;
    file_.lineHasCode = true;
    if (directives_.takesLiterals()) directives_.stringToken(cur);
    return true;
  }
  if (cur == "'" && isDigitSeparator(next)) {
    file_.digitGroupFollows = true;
    return true;
  }
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
    case LexState::RawDelimiter:
    case LexState::RawString:
      return continueRawString(cur);
    default:
      return continueChar(cur);
  }
}

// R"(…)" and its forms with an encoding prefix, right before the quote:
// in C++ a string that no escape and no quote ends.
bool SourceReader::startsRawString() const {
  if ((languageMode_ & kModeCpp) == 0 || directives_.takesQuote()) return false;
  const std::string& prefix = token(2);
  return prefix == "R" || prefix == "LR" || prefix == "uR" || prefix == "UR" || prefix == "u8R";
}

// A quote between two digit groups (1'000, 0xFF'FF) separates the digits of
// one C++ number: the number before it starts with a digit and a letter or
// digit follows at once.
bool SourceReader::isDigitSeparator(const std::string& next) const {
  if ((languageMode_ & kModeCpp) == 0) return false;
  const std::string& number = token(2);
  return !number.empty() && number[0] >= '0' && number[0] <= '9' && !next.empty() &&
         (std::isalnum(static_cast<unsigned char>(next[0])) != 0);
}

// The delimiter up to '(', then the body up to ')' + delimiter + '"'. Line
// breaks inside close their lines as code lines.
bool SourceReader::continueRawString(const std::string& cur) {
  bool takes = directives_.inProgress();
  if (file_.lexState == LexState::RawDelimiter) {
    if (cur == "(")
      file_.lexState = LexState::RawString;
    else
      file_.rawDelimiter += cur;
    if (takes) directives_.stringToken(cur);
    return true;
  }
  const std::string& delimiter = file_.rawDelimiter;
  if (file_.rawMatched >= 0) {
    size_t matched = static_cast<size_t>(file_.rawMatched);
    if (cur == "\"" && matched == delimiter.size()) {
      file_.lexState = LexState::Code;
      file_.rawMatched = -1;
      if (directives_.takesLiterals()) directives_.stringToken(cur);
      return true;
    }
    if (delimiter.compare(matched, cur.size(), cur) == 0 &&
        matched + cur.size() <= delimiter.size())
      file_.rawMatched = static_cast<int>(matched + cur.size());
    else
      file_.rawMatched = -1;
  }
  if (cur == ")") file_.rawMatched = 0;
  if (cur == "\n") {
    bool consumed = lineBreakInCode();
    file_.lineHasCode = true;
    return consumed;
  }
  if (takes) directives_.stringToken(cur);
  return true;
}

// ' x '   ' \ x '   ''   — one token between the quotes; "'ab'" is one
// token too, "'a+'" is not: it is reported, and in C++, where such
// constants are common ('\0\0', 'a b'), read on to its quote on the line.
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
    case LexState::CharRest:
      if (cur == "'" || cur == "\n") file_.lexState = LexState::Code;
      if (cur == "\n") return codeToken(cur);
      break;
    default:
      file_.lexState = LexState::Code;
      if (cur == "'") break;
      if (!directives_.live()) errorLog() << "#if,#ifdef文による無効行でｴﾗｰが発生しました。\n";
      positionMessage(": 文字定数に１文字以上記述されています。");
      // A line break still closes its line.
      if (cur == "\n") return codeToken(cur);
      if (languageMode_ & kModeCpp) file_.lexState = LexState::CharRest;
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
