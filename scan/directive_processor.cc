#include "scan/directive_processor.h"

#include "app/run_tables.h"
#include "app/source_context.h"
#include "app/text_util.h"
#include "report/error_log.h"
#include "scan/condition_evaluator.h"
#include "scan/define_table.h"
#include "scan/lexical_rules.h"

namespace {

bool isBlank(std::string_view token) {
  return token.empty() || token == " " || token == "\t" || token == "\r";
}

}  // namespace

void DirectiveProcessor::reset() {
  state_ = DirectiveState::None;
  live_ = true;
  stack_.clear();
  skipDepth_ = 0;
  condition_.clear();
  firstBodyToken_ = pendingBackslash_ = commentRequest_ = false;
  includeName_.clear();
  inAngles_ = false;
  includeReady_ = false;
}

void DirectiveProcessor::begin(DirectiveSyntax syntax) {
  syntax_ = syntax;
  state_ = DirectiveState::Keyword;
  line_ = tables_.context ? tables_.context->currentLine() : 0;
}

void DirectiveProcessor::setInterruptKeywords(std::vector<std::string> keywords) {
  interruptKeywords_ = std::move(keywords);
}

bool DirectiveProcessor::takeCommentRequest() {
  bool request = commentRequest_;
  commentRequest_ = false;
  return request;
}

// ---------------------------------------------------------------------------
// Dispatch

void DirectiveProcessor::token(std::string_view token) {
  if (pendingBackslash_) {
    pendingBackslash_ = false;
    continuedToken("\\");
  }
  switch (state_) {
    case DirectiveState::Keyword:
      if (!isBlank(token) && !isDelimiterToken(token)) keyword(token);
      break;
    case DirectiveState::DefineName: defineName(token); break;
    case DirectiveState::DefineParams:
    case DirectiveState::DefineBody:
    case DirectiveState::SkipContinued:
    case DirectiveState::InterruptList:
      if (token == "\\")
        pendingBackslash_ = true;
      else
        continuedToken(token);
      break;
    case DirectiveState::UndefName: undefName(token); break;
    case DirectiveState::IfdefName:
    case DirectiveState::IfndefName: testName(token); break;
    case DirectiveState::IfCondition:
    case DirectiveState::ElifCondition:
      // A C condition may go on over lines, as glibc's headers write it.
      if (token == "\\" && syntax_ == DirectiveSyntax::CFamily)
        pendingBackslash_ = true;
      else
        conditionToken(token);
      break;
    case DirectiveState::IncludeName: includeToken(token); break;
    case DirectiveState::PragmaWord: pragmaWord(token); break;
    case DirectiveState::None:
    case DirectiveState::Ignore:
      break;
    case DirectiveState::SettingsMode:
    case DirectiveState::InterruptKeyword:
      // Only the settings data file's reader has these states; anywhere
      // else the state is out of range.
      positionMessage(": ﾌﾟﾘﾌﾟﾛｾｯｻ処理で異常が発生しました。");
      state_ = DirectiveState::Ignore;
      break;
  }
}

void DirectiveProcessor::stringToken(std::string_view token) {
  if (state_ == DirectiveState::IncludeName) includeName_.append(token);
  if (state_ == DirectiveState::DefineBody) defineBody(token);
}

// The tokens of the states that a '\' line break continues.
void DirectiveProcessor::continuedToken(std::string_view token) {
  switch (state_) {
    case DirectiveState::DefineParams: defineParam(token); break;
    case DirectiveState::DefineBody: defineBody(token); break;
    case DirectiveState::InterruptList: interruptName(token); break;
    case DirectiveState::IfCondition:
    case DirectiveState::ElifCondition: conditionToken(token); break;
    default: break;  // SkipContinued
  }
}

bool DirectiveProcessor::continuesAtLineBreak() {
  if (!pendingBackslash_) return false;
  pendingBackslash_ = false;
  return true;
}

// The line break (or Delphi '}') that ends the directive. A condition
// without its VB "Then" is decided here too, so that no group is lost.
void DirectiveProcessor::end() {
  pendingBackslash_ = false;
  switch (state_) {
    case DirectiveState::IncludeName: finishInclude(); break;
    case DirectiveState::DefineParams:
    case DirectiveState::DefineBody: continuedToken("\n"); break;
    case DirectiveState::IfCondition:
      openGroup(false, 1);
      decideBranch();
      break;
    case DirectiveState::ElifCondition: decideBranch(); break;
    case DirectiveState::IfdefName:
    case DirectiveState::IfndefName: testName(""); break;
    default: break;
  }
  state_ = DirectiveState::None;
}

void DirectiveProcessor::endOfInput() {
  if (state_ == DirectiveState::IncludeName) finishInclude();
}

// ---------------------------------------------------------------------------
// Keywords

// A word that is no keyword is skipped, so the next word of the line is
// tried. In a switched-off region only the group structure is followed.
void DirectiveProcessor::keyword(std::string_view word) {
  DirectiveWord found = directiveWordOf(syntax_, word);
  if (found == DirectiveWord::kNone) return;
  if (!live_)
    keywordWhileOff(found);
  else
    startDirective(found);
}

// Groups opened here are counted, not evaluated; at the region's own
// level its #elif, #else and #endif act. Other directives do nothing
// there, #error included: a switched-off #error is the usual guard.
void DirectiveProcessor::keywordWhileOff(DirectiveWord word) {
  state_ = DirectiveState::Ignore;
  if (opensGroup(word)) {
    ++skipDepth_;
  } else if (skipDepth_ > 0) {
    if (closesGroup(word)) --skipDepth_;
  } else if (switchesBranch(word)) {
    startDirective(word);
  }
}

void DirectiveProcessor::startDirective(DirectiveWord word) {
  state_ = DirectiveState::Ignore;
  switch (word) {
    case DirectiveWord::kDefine:
      state_ = DirectiveState::DefineName;
      break;
    case DirectiveWord::kUndef: state_ = DirectiveState::UndefName; break;
    case DirectiveWord::kIfdef: state_ = DirectiveState::IfdefName; break;
    case DirectiveWord::kIfndef: state_ = DirectiveState::IfndefName; break;
    case DirectiveWord::kIf:
      condition_.clear();
      state_ = DirectiveState::IfCondition;
      break;
    case DirectiveWord::kIfOpt: openGroup(true, 0); break;
    case DirectiveWord::kElif: elifBranch(); break;
    case DirectiveWord::kElse: elseBranch(); break;
    case DirectiveWord::kEndif: endGroup(); break;
    case DirectiveWord::kRegion: openGroup(true, 1); break;
    case DirectiveWord::kInclude:
      state_ = DirectiveState::IncludeName;
      includeName_.clear();
      inAngles_ = false;
      break;
    case DirectiveWord::kImport: state_ = DirectiveState::SkipContinued; break;
    case DirectiveWord::kPragma: state_ = DirectiveState::PragmaWord; break;
    case DirectiveWord::kError:
      positionMessage(": #errorを検出しました。");
      commentRequest_ = true;
      break;
    case DirectiveWord::kNone: break;
  }
}

// ---------------------------------------------------------------------------
// Conditional groups

void DirectiveProcessor::openGroup(bool live, int kind) {
  stack_.push_back({kind, live});
  live_ = live;
}

// The branch of the top group whose condition was just collected.
void DirectiveProcessor::decideBranch() {
  CondFrame& top = stack_.back();
  if (top.taken) {
    live_ = false;
  } else {
    live_ = evaluateExpressionAt(tables_, condition_, true, line_).value != 0;
    top.taken = live_;
  }
  condition_.clear();
}

// With no open group there is no branch to switch: the line is ignored.
void DirectiveProcessor::elifBranch() {
  if (stack_.empty()) return;
  if (stack_.back().taken) {
    live_ = false;
    return;
  }
  condition_.clear();
  state_ = DirectiveState::ElifCondition;
}

void DirectiveProcessor::elseBranch() {
  if (stack_.empty()) return;
  CondFrame& top = stack_.back();
  live_ = !top.taken;
  top.taken = true;
}

void DirectiveProcessor::endGroup() {
  if (stack_.empty()) {
    positionMessage(": #endifの数が#if､#ifdefの数を上回りました。");
    live_ = false;
    return;
  }
  stack_.pop_back();
  live_ = true;
}

// C: a space only between two words; VB: no separator, up to "Then";
// Delphi: up to the '}'.
void DirectiveProcessor::conditionToken(std::string_view token) {
  if (syntax_ == DirectiveSyntax::Vb) {
    if (equalsIgnoreCase(token, "Then")) {
      end();
      return;
    }
    if (!isBlank(token)) condition_.append(token);
    return;
  }
  if (!condition_.empty() && !isDelimiterToken(token) &&
      !isDelimiterByte(static_cast<unsigned char>(condition_.back())))
    condition_ += ' ';
  condition_.append(token);
}

// #ifdef NAME / #ifndef NAME: a group live when NAME is (not) defined.
void DirectiveProcessor::testName(std::string_view token) {
  if (token == " " || token == "\t" || token == "\r") return;
  if (isDelimiterToken(token)) {
    if (!live_) errorLog() << "#ifdef文による無効行でｴﾗｰが発生しました。\n";
    positionMessage(": #ifdef文で不正な文字を検出しました。  ");
    errorLog() << "不正な文字 = \"" << token << "\"  \n";
  }
  bool defined = tables_.defines && tables_.defines->isDefined(token);
  openGroup(state_ == DirectiveState::IfdefName ? defined : !defined, 0);
  state_ = DirectiveState::Ignore;
}

// ---------------------------------------------------------------------------
// End of file

void DirectiveProcessor::endOfFile() {
  // The end of the input ends a directive on the last line like a line break.
  if (inProgress()) end();
  if (!stack_.empty() || skipDepth_ != 0) {
    fileLine("]で#if文の数が合いません。");
    errorLog() << "    #ifdef文の数 = " << stack_.size() << '\n';
    errorLog() << "    #無効な位置にある#ifdef文の数 = " << skipDepth_ << '\n';
    skipDepth_ = 0;
    live_ = true;
  }
  if (!live_) fileLine("]で内部ｴﾗｰが発生しました。(ｺﾒﾝﾄ部)");
  if (!stack_.empty() && stack_.front().taken) {
    fileLine("]で#if文解析出力数に不合理が発生しました。");
    stack_.clear();
  }
  bool ready = includeReady_;
  std::string name = std::move(includeName_);
  reset();
  includeReady_ = ready;  // an include on the last line is still followed
  includeName_ = std::move(name);
}

void DirectiveProcessor::clearInclude() {
  includeReady_ = false;
  includeName_.clear();
}

void DirectiveProcessor::fileLine(const char* text) const {
  errorLog() << "  [" << (tables_.context ? tables_.context->item(0) : std::string()) << text
             << '\n';
}

void DirectiveProcessor::positionMessage(const char* text) const {
  const SourceContext* context = tables_.context;
  errorLog() << "    " << (context ? context->item(0) : std::string()) << ' '
             << (context ? context->currentLine() : 0) << text << '\n';
}
