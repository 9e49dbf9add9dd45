// The directives that carry names and text rather than groups: #define
// (and Delphi {$DEFINE}), #undef, #include and #pragma with its interrupt
// keywords. Part of DirectiveProcessor.
#include <cstring>

#include "context/options.h"
#include "scan/scan_context.h"
#include "context/source_context.h"
#include "scan/define_table.h"
#include "scan/directive_processor.h"
#include "scan/lexical_rules.h"
#include "scan/type_questions.h"
#include "scan/reserved_word_table.h"

// ---------------------------------------------------------------------------
// #define NAME body   #define NAME(params) body   {$DEFINE NAME}
// VB: #Const NAME = value

void DirectiveProcessor::defineName(std::string_view token) {
  if (isBlankOrReturn(token)) return;
  DefineTable& defines = scan_.defines;
  // VB's #Const sets its constant anew for the lines after it.
  if (syntax_ == LanguageFamily::Vb && !isDelimiterToken(token) && defines.isDefined(token))
    defines.undefine(token);
  // A delimiter names nothing; a name already defined keeps its first body.
  bool foreign = settingsData_ && !(sectionLanguages() & runLanguages_);
  if (foreign || isDelimiterToken(token) || !defines.beginDefine(std::string(token))) {
    file_.state =
        syntax_ == LanguageFamily::Delphi ? DirectiveState::Ignore : DirectiveState::SkipContinued;
    return;
  }
  if (syntax_ == LanguageFamily::Delphi) {
    defines.defineBodyToken("\n");  // complete at once, with no body
    file_.state = DirectiveState::Ignore;
    return;
  }
  file_.state = DirectiveState::DefineBody;
  file_.firstBodyToken = true;
  file_.constEquals = syntax_ == LanguageFamily::Vb;
}

// NAME'(' right after the name makes the macro function-like; a space
// before the '(' (kept as a token by the tokenizer) makes it object-like.
void DirectiveProcessor::defineBody(std::string_view token) {
  if (file_.constEquals) {
    // `#Const NAME = value`: the value is the body.
    if (token == "=") file_.constEquals = false;
    if (token != "\n") return;
  }
  if (syntax_ == LanguageFamily::Vb && isBlankOrReturn(token)) return;
  bool first = file_.firstBodyToken;
  file_.firstBodyToken = false;
  if (first && token == "(") {
    file_.state = DirectiveState::DefineParams;
    defineParam(token);
    return;
  }
  scan_.defines.defineBodyToken(token);
  if (token == "\n") file_.state = DirectiveState::Ignore;
}

void DirectiveProcessor::defineParam(std::string_view token) {
  switch (scan_.defines.defineParamToken(token)) {
    case DefineTable::ParamState::kMore:
      break;
    case DefineTable::ParamState::kClosed:
      file_.state = DirectiveState::DefineBody;
      break;
    case DefineTable::ParamState::kAbandoned:
      file_.state = DirectiveState::SkipContinued;
      break;
  }
}

// #undef NAME: only when each source file starts from the settings'
// macros; with headers read once, a header's #undef would reach files it
// was never read for. Delphi's {$UNDEF} always acts.
void DirectiveProcessor::undefName(std::string_view token) {
  if (isBlankOrReturn(token)) return;
  bool perFile = scan_.options.headerReadMode == HeaderReadMode::PerSourceFile;
  if (perFile || syntax_ == LanguageFamily::Delphi) scan_.defines.undefine(token);
  file_.state = DirectiveState::Ignore;
}

// ---------------------------------------------------------------------------
// #include <name>   #include "name"

void DirectiveProcessor::includeToken(std::string_view token) {
  if (token == "<") {
    file_.inAngles = true;
  } else if (token == ">") {
    file_.inAngles = false;
  } else if (token == "\"") {
    positionMessage(": ﾌｧｲﾙ名に使用できない文字が含まれています");
  } else if (!isBlankOrReturn(token) || (file_.inAngles && !file_.includeName.empty())) {
    file_.includeName.append(token);  // "<my header.h>" keeps its inner blank
  }
}

// An include without a name has nothing to open and is dropped; blanks
// before its closing quote or '>' are no part of it.
void DirectiveProcessor::finishInclude() {
  if (file_.inAngles) {
    positionMessage(": 標準ｲﾝｸﾙｰﾄﾞの括弧が不整合です");
    file_.inAngles = false;
  }
  std::string& name = file_.includeName;
  while (!name.empty() && (name.back() == ' ' || name.back() == '\t')) name.pop_back();
  // Delphi's {$I+} and {$I-} are a compiler switch, {$I %DATE%} a text
  // the compiler inserts: neither names a file. A quoted name may hold
  // blanks; the quotes are no part of it.
  if (syntax_ == LanguageFamily::Delphi && !name.empty()) {
    if (std::strchr("+-%", name[0])) name.clear();
    if (name.size() >= 2 && name.front() == '\'' && name.back() == '\'')
      name = name.substr(1, name.size() - 2);
  }
  file_.includeReady = !file_.includeName.empty();
  file_.state = DirectiveState::Ignore;
}

// ---------------------------------------------------------------------------
// #pragma KEYWORD name name ...

void DirectiveProcessor::pragmaWord(std::string_view token) {
  if (isBlankOrReturn(token)) return;
  file_.state = DirectiveState::SkipContinued;
  for (const std::string& keyword : interruptKeywords_) {
    if (sameName(token, keyword)) {
      file_.state = DirectiveState::InterruptList;
      return;
    }
  }
}

// Only what can be a function name: no delimiter, reserved word, number
// or known type. The record gets the name, the flag and the comment.
void DirectiveProcessor::interruptName(std::string_view token) {
  if (token.empty() || isDelimiterToken(token) || startsWithDigit(token)) return;
  if (scan_.reservedWords.isReserved(token) != 0) return;
  scan_.defines.tellUnrepeatable();  // the type table and the function table
  if (scan_.types.isTypeQuietly(token)) return;
  scan_.interruptFunctionFound(token, comment_ ? std::string_view(*comment_) : std::string_view());
}
