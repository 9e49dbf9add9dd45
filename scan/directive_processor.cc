#include "scan/directive_processor.h"

#include "app/source_context.h"
#include "app/text_util.h"
#include "report/error_log.h"
#include "scan/lexical_rules.h"

namespace {

bool isBlank(std::string_view token) {
  return token.empty() || token == " " || token == "\t" || token == "\r";
}

}  // namespace

void DirectiveProcessor::reset() {
  state_ = DirectiveState::None;
  live_ = true;
  includeName_.clear();
  inAngles_ = false;
  includeReady_ = false;
}

void DirectiveProcessor::begin(DirectiveSyntax syntax) {
  syntax_ = syntax;
  state_ = DirectiveState::Keyword;
}

void DirectiveProcessor::token(std::string_view token) {
  switch (state_) {
    case DirectiveState::Keyword:
      if (!isBlank(token) && !isDelimiterToken(token)) keyword(token);
      break;
    case DirectiveState::IncludeName:
      includeToken(token);
      break;
    default:
      break;  // the rest of the directive has no effect
  }
}

void DirectiveProcessor::stringToken(std::string_view token) {
  if (state_ == DirectiveState::IncludeName) includeName_.append(token);
}

// Keywords are exact in the C family and ignore letter case in VB and
// Delphi. A word that is no keyword is skipped, so the next word of the
// line is tried.
void DirectiveProcessor::keyword(std::string_view word) {
  if (syntax_ == DirectiveSyntax::CFamily && word == "include") {
    state_ = DirectiveState::IncludeName;
    includeName_.clear();
    inAngles_ = false;
    return;
  }
  state_ = DirectiveState::Ignore;
}

// '<' name '>'  or the letters of a quoted name (through stringToken).
void DirectiveProcessor::includeToken(std::string_view token) {
  if (token == "<") {
    inAngles_ = true;
  } else if (token == ">") {
    inAngles_ = false;
  } else if (token == "\"") {
    positionMessage("ﾌｧｲﾙ名に使用できない文字が含まれています");
  } else if (!isBlank(token)) {
    includeName_.append(token);
  }
}

void DirectiveProcessor::end() {
  if (state_ == DirectiveState::IncludeName) finishInclude();
  state_ = DirectiveState::None;
}

void DirectiveProcessor::endOfInput() {
  if (state_ == DirectiveState::IncludeName) finishInclude();
}

// An include without a name has nothing to open and is dropped.
void DirectiveProcessor::finishInclude() {
  if (inAngles_) {
    positionMessage("標準ｲﾝｸﾙｰﾄﾞの括弧が不整合です");
    inAngles_ = false;
  }
  includeReady_ = !includeName_.empty();
  state_ = DirectiveState::Ignore;
}

void DirectiveProcessor::endOfFile() {
  state_ = DirectiveState::None;
  live_ = true;
  inAngles_ = false;
}

void DirectiveProcessor::clearInclude() {
  includeReady_ = false;
  includeName_.clear();
}

void DirectiveProcessor::positionMessage(const char* text) const {
  errorLog() << "    " << context_.item(0) << ' ' << context_.currentLine() << ": " << text
             << '\n';
}
