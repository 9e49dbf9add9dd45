// The directives that carry names and text rather than groups: #define
// (and Delphi {$DEFINE}), #undef, #include and #pragma with its interrupt
// keywords. Part of DirectiveProcessor.
#include "app/options.h"
#include "app/run_tables.h"
#include "app/source_context.h"
#include "scan/define_table.h"
#include "scan/directive_processor.h"
#include "scan/lexical_rules.h"
#include "scan/type_questions.h"
#include "scan/reserved_word_table.h"

namespace {

bool isBlankToken(std::string_view token) {
  return token.empty() || token == " " || token == "\t" || token == "\r";
}

}  // namespace

// ---------------------------------------------------------------------------
// #define NAME body   #define NAME(params) body   {$DEFINE NAME}

void DirectiveProcessor::defineName(std::string_view token) {
  if (isBlankToken(token)) return;
  DefineTable* defines = tables_.defines;
  // A delimiter names nothing; a name already defined keeps its first body.
  if (!defines || isDelimiterToken(token) || !defines->beginDefine(std::string(token))) {
    state_ = syntax_ == DirectiveSyntax::Delphi ? DirectiveState::Ignore
                                                : DirectiveState::SkipContinued;
    return;
  }
  if (syntax_ == DirectiveSyntax::Delphi) {
    defines->defineBodyToken("\n");  // complete at once, with no body
    state_ = DirectiveState::Ignore;
    return;
  }
  state_ = DirectiveState::DefineBody;
  firstBodyToken_ = true;
}

// NAME'(' right after the name makes the macro function-like; a space
// before the '(' (kept as a token by the tokenizer) makes it object-like.
void DirectiveProcessor::defineBody(std::string_view token) {
  bool first = firstBodyToken_;
  firstBodyToken_ = false;
  if (first && token == "(") {
    state_ = DirectiveState::DefineParams;
    defineParam(token);
    return;
  }
  tables_.defines->defineBodyToken(token);
  if (token == "\n") state_ = DirectiveState::Ignore;
}

void DirectiveProcessor::defineParam(std::string_view token) {
  switch (tables_.defines->defineParamToken(token)) {
    case DefineTable::ParamState::kMore: break;
    case DefineTable::ParamState::kClosed: state_ = DirectiveState::DefineBody; break;
    case DefineTable::ParamState::kAbandoned: state_ = DirectiveState::SkipContinued; break;
  }
}

// #undef NAME: only when each source file starts from the settings'
// macros; with headers read once, a header's #undef would reach files it
// was never read for. Delphi's {$UNDEF} always acts.
void DirectiveProcessor::undefName(std::string_view token) {
  if (isBlankToken(token)) return;
  bool perFile = tables_.options().headerReadMode == HeaderReadMode::PerSourceFile;
  if (tables_.defines && (perFile || syntax_ == DirectiveSyntax::Delphi))
    tables_.defines->undefine(token);
  state_ = DirectiveState::Ignore;
}

// ---------------------------------------------------------------------------
// #include <name>   #include "name"

void DirectiveProcessor::includeToken(std::string_view token) {
  if (token == "<") {
    inAngles_ = true;
  } else if (token == ">") {
    inAngles_ = false;
  } else if (token == "\"") {
    positionMessage(": ﾌｧｲﾙ名に使用できない文字が含まれています");
  } else if (!isBlankToken(token)) {
    includeName_.append(token);
  }
}

// An include without a name has nothing to open and is dropped.
void DirectiveProcessor::finishInclude() {
  if (inAngles_) {
    positionMessage(": 標準ｲﾝｸﾙｰﾄﾞの括弧が不整合です");
    inAngles_ = false;
  }
  includeReady_ = !includeName_.empty();
  state_ = DirectiveState::Ignore;
}

// ---------------------------------------------------------------------------
// #pragma KEYWORD name name ...

void DirectiveProcessor::pragmaWord(std::string_view token) {
  if (isBlankToken(token)) return;
  state_ = DirectiveState::SkipContinued;
  for (const std::string& keyword : interruptKeywords_) {
    if (sameName(token, keyword)) {
      state_ = DirectiveState::InterruptList;
      return;
    }
  }
}

// Only what can be a function name: no delimiter, reserved word, number
// or known type. The record gets the name, the flag and the comment.
void DirectiveProcessor::interruptName(std::string_view token) {
  if (token.empty() || isDelimiterToken(token) || startsWithDigit(token)) return;
  if (tables_.reservedWords && tables_.reservedWords->isReserved(token) != 0) return;
  if (tables_.typeQuestions && tables_.typeQuestions->isTypeQuietly(token)) return;
  if (!tables_.interruptFunctionFound) return;
  tables_.interruptFunctionFound(token, comment_ ? std::string_view(*comment_) : std::string_view());
}
