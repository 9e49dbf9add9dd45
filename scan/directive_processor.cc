#include "scan/directive_processor.h"

#include "scan/scan_context.h"
#include "context/source_context.h"
#include "context/text_util.h"
#include "report/error_log.h"
#include "scan/condition_evaluator.h"
#include "scan/define_table.h"
#include "scan/lexical_rules.h"

void DirectiveProcessor::reset() { file_ = FileState{}; }

void DirectiveProcessor::begin(LanguageFamily syntax) {
  syntax_ = syntax;
  file_.state = DirectiveState::Keyword;
  line_ = scan_.context.currentLine();
}

void DirectiveProcessor::setInterruptKeywords(std::vector<std::string> keywords) {
  interruptKeywords_ = std::move(keywords);
}

// ---------------------------------------------------------------------------
// Dispatch

void DirectiveProcessor::token(std::string_view token) {
  if (file_.pendingBackslash) {
    file_.pendingBackslash = false;
    continuedToken("\\");
  }
  switch (file_.state) {
    case DirectiveState::Keyword:
      if (!isBlankOrReturn(token) && !isDelimiterToken(token)) keyword(token);
      break;
    case DirectiveState::DefineName:
      defineName(token);
      break;
    case DirectiveState::DefineParams:
    case DirectiveState::DefineBody:
    case DirectiveState::SkipContinued:
    case DirectiveState::InterruptList:
      if (token == "\\")
        file_.pendingBackslash = true;
      else
        continuedToken(token);
      break;
    case DirectiveState::UndefName:
      undefName(token);
      break;
    case DirectiveState::IfdefName:
    case DirectiveState::IfndefName:
      testName(token);
      break;
    case DirectiveState::IfCondition:
    case DirectiveState::ElifCondition:
      // A C condition may go on over lines, as glibc's headers write it.
      if (token == "\\" && syntax_ == LanguageFamily::CFamily)
        file_.pendingBackslash = true;
      else
        conditionToken(token);
      break;
    case DirectiveState::IncludeName:
      includeToken(token);
      break;
    case DirectiveState::PragmaWord:
      pragmaWord(token);
      break;
    case DirectiveState::None:
    case DirectiveState::Ignore:
      break;
    case DirectiveState::SettingsMode:
    case DirectiveState::InterruptKeyword:
      if (!isBlankOrReturn(token) && !isDelimiterToken(token)) settingsWord(token);
      break;
  }
}

void DirectiveProcessor::stringToken(std::string_view token) {
  switch (file_.state) {
    case DirectiveState::IncludeName:
      file_.includeName.append(token);
      break;
    case DirectiveState::DefineBody:
      defineBody(token);
      break;
    case DirectiveState::IfCondition:
    case DirectiveState::ElifCondition:
      conditionToken(token);
      break;
    default:
      break;
  }
}

// The tokens of the states that a '\' line break continues.
void DirectiveProcessor::continuedToken(std::string_view token) {
  switch (file_.state) {
    case DirectiveState::DefineParams:
      defineParam(token);
      break;
    case DirectiveState::DefineBody:
      defineBody(token);
      break;
    case DirectiveState::InterruptList:
      interruptName(token);
      break;
    case DirectiveState::IfCondition:
    case DirectiveState::ElifCondition:
      conditionToken(token);
      break;
    default:
      break;  // SkipContinued
  }
}

bool DirectiveProcessor::continuesAtLineBreak() {
  if (!file_.pendingBackslash) return false;
  file_.pendingBackslash = false;
  return true;
}

// The line break (or Delphi '}') that ends the directive. A condition
// without its VB "Then" is decided here too, so that no group is lost.
void DirectiveProcessor::end() {
  file_.pendingBackslash = false;
  switch (file_.state) {
    case DirectiveState::IncludeName:
      finishInclude();
      break;
    case DirectiveState::DefineParams:
    case DirectiveState::DefineBody:
      continuedToken("\n");
      break;
    case DirectiveState::IfCondition:
      openGroup(false, 1);
      decideBranch();
      break;
    case DirectiveState::ElifCondition:
      decideBranch();
      break;
    case DirectiveState::IfdefName:
    case DirectiveState::IfndefName:
      testName("");
      break;
    default:
      break;
  }
  file_.state = DirectiveState::None;
}

void DirectiveProcessor::endOfInput() {
  if (file_.state == DirectiveState::IncludeName) finishInclude();
}

// ---------------------------------------------------------------------------
// Keywords

// A word that is no keyword is skipped, so the next word of the line is
// tried. In a switched-off region only the group structure is followed.
void DirectiveProcessor::keyword(std::string_view word) {
  DirectiveWord found = directiveWordOf(syntax_, word, settingsData_);
  if (found == DirectiveWord::kNone) {
    // A C directive the compiler does not know (#warning, #ident, a line
    // marker) is skipped whole: a keyword later on its line is text.
    // VB and Delphi try the next word.
    if (syntax_ == LanguageFamily::CFamily) file_.state = DirectiveState::SkipContinued;
    return;
  }
  if (!file_.live)
    keywordWhileOff(found);
  else
    startDirective(found);
}

// Groups opened here are counted, not evaluated; at the region's own
// level its #elif, #else and #endif act. Other directives do nothing
// there, #error included: a switched-off #error is the usual guard.
void DirectiveProcessor::keywordWhileOff(DirectiveWord word) {
  file_.state = DirectiveState::Ignore;
  if (opensGroup(word)) {
    ++file_.skipDepth;
  } else if (file_.skipDepth > 0) {
    if (closesGroup(word)) --file_.skipDepth;
  } else if (switchesBranch(word)) {
    startDirective(word);
  }
}

void DirectiveProcessor::startDirective(DirectiveWord word) {
  file_.state = DirectiveState::Ignore;
  switch (word) {
    case DirectiveWord::kDefine:
      file_.state = DirectiveState::DefineName;
      break;
    case DirectiveWord::kUndef:
      file_.state = DirectiveState::UndefName;
      break;
    case DirectiveWord::kIfdef:
      file_.state = DirectiveState::IfdefName;
      break;
    case DirectiveWord::kIfndef:
      file_.state = DirectiveState::IfndefName;
      break;
    case DirectiveWord::kIf:
      file_.condition.clear();
      file_.state = DirectiveState::IfCondition;
      break;
    case DirectiveWord::kIfOpt:
      openGroup(true, 0);
      break;
    case DirectiveWord::kElif:
      elifBranch();
      break;
    case DirectiveWord::kElse:
      elseBranch();
      break;
    case DirectiveWord::kEndif:
      endGroup();
      break;
    case DirectiveWord::kRegion:
      openGroup(true, 1);
      break;
    case DirectiveWord::kInclude:
      file_.state = DirectiveState::IncludeName;
      file_.includeName.clear();
      file_.inAngles = false;
      break;
    case DirectiveWord::kImport:
      file_.state = DirectiveState::SkipContinued;
      break;
    case DirectiveWord::kPragma:
      file_.state = DirectiveState::PragmaWord;
      break;
    case DirectiveWord::kError:
      positionMessage(": #errorを検出しました。");
      file_.commentRequest = true;
      break;
    case DirectiveWord::kSettingsMode:
      file_.state = DirectiveState::SettingsMode;
      break;
    case DirectiveWord::kInterruptKeywords:
      file_.state = DirectiveState::InterruptKeyword;
      break;
    case DirectiveWord::kNone:
      break;
  }
}

// ---------------------------------------------------------------------------
// Conditional groups

void DirectiveProcessor::openGroup(bool live, int kind) {
  file_.stack.push_back({kind, live});
  file_.live = live;
}

// The branch of the top group whose condition was just collected.
void DirectiveProcessor::decideBranch() {
  CondFrame& top = file_.stack.back();
  if (top.taken) {
    file_.live = false;
  } else {
    file_.live = evaluateExpressionAt(scan_.expressions(), file_.condition, true, line_).nonZero;
    top.taken = file_.live;
  }
  file_.condition.clear();
}

// With no open group there is no branch to switch: the line is ignored.
void DirectiveProcessor::elifBranch() {
  if (file_.stack.empty()) return;
  if (file_.stack.back().taken) {
    file_.live = false;
    return;
  }
  file_.condition.clear();
  file_.state = DirectiveState::ElifCondition;
}

void DirectiveProcessor::elseBranch() {
  if (file_.stack.empty()) return;
  CondFrame& top = file_.stack.back();
  file_.live = !top.taken;
  top.taken = true;
}

void DirectiveProcessor::endGroup() {
  if (file_.stack.empty()) {
    positionMessage(": #endifの数が#if､#ifdefの数を上回りました。");
    file_.live = false;
    return;
  }
  // A language section ends with the group its #ifdef opened.
  if (file_.section && depth() <= file_.sectionDepth + 1) file_.section = 0;
  file_.stack.pop_back();
  file_.live = true;
}

// C and VB: a space only between two words (VB's operators And, Not …
// are words); VB up to "Then"; Delphi: up to the '}'.
void DirectiveProcessor::conditionToken(std::string_view token) {
  if (syntax_ == LanguageFamily::Vb) {
    if (equalsIgnoreCase(token, "Then")) {
      end();
      return;
    }
    if (isBlankOrReturn(token)) return;
    if (!file_.condition.empty() && !isDelimiterToken(token) &&
        !isDelimiterByte(static_cast<unsigned char>(file_.condition.back())))
      file_.condition += ' ';
    file_.condition.append(token);
    return;
  }
  // Kept blanks (for the function details) change nothing: a blank counts
  // only between a word and '(', where the reader always delivers it.
  if (isBlankOrReturn(token)) {
    file_.blankInCondition = !file_.condition.empty() &&
                             !isDelimiterByte(static_cast<unsigned char>(file_.condition.back()));
    return;
  }
  bool blank = file_.blankInCondition;
  file_.blankInCondition = false;
  if (blank && token == "(") {
    file_.condition += ' ';
  } else if (!file_.condition.empty() && !isDelimiterToken(token) &&
             !isDelimiterByte(static_cast<unsigned char>(file_.condition.back()))) {
    file_.condition += ' ';
  }
  file_.condition.append(token);
}

// #ifdef NAME / #ifndef NAME: a group live when NAME is (not) defined.
void DirectiveProcessor::testName(std::string_view token) {
  if (token == "\r" || isBlankToken(token)) return;
  if (isDelimiterToken(token)) {
    if (!file_.live) errorLog() << "#ifdef文による無効行でｴﾗｰが発生しました。\n";
    positionMessage(": #ifdef文で不正な文字を検出しました。  ");
    errorLog() << "不正な文字 = \"" << token << "\"  \n";
  }
  bool ifdef = file_.state == DirectiveState::IfdefName;
  file_.state = DirectiveState::Ignore;
  bool defined = scan_.defines.isDefined(token);
  // In the settings data file a language name that no macro defines opens
  // its section: always for #ifdef, never for #ifndef.
  std::int32_t section = settingsData_ && !defined ? languageSectionMask(token) : 0;
  if (section && ifdef) {
    file_.section = section;
    file_.sectionDepth = depth();
  }
  openGroup(ifdef ? defined || section : !defined && !section, 0);
}

// "#MZ設定Mode kind": the first word decides; the three kinds also end the
// open language section. "#MZ割り込みキーワード w …": every word counts.
void DirectiveProcessor::settingsWord(std::string_view token) {
  if (file_.state == DirectiveState::InterruptKeyword) {
    declared_.emplace_back(token);
    return;
  }
  file_.state = DirectiveState::Ignore;
  const char* const kKinds[] = {"予約語", "class定義", "型情報"};  // ORDER: SectionKind
  for (int kind = kReservedWords; kind <= kTypes; ++kind) {
    if (token == kKinds[kind]) {
      file_.sectionKind = kind;
      file_.section = 0;
    }
  }
}

// ---------------------------------------------------------------------------
// End of file

void DirectiveProcessor::endOfFile() {
  // The end of the input ends a directive on the last line like a line break.
  if (inProgress()) end();
  if (!file_.stack.empty() || file_.skipDepth != 0) {
    fileLine("]で#if文の数が合いません。");
    errorLog() << "    #ifdef文の数 = " << file_.stack.size() << '\n';
    errorLog() << "    #無効な位置にある#ifdef文の数 = " << file_.skipDepth << '\n';
    file_.skipDepth = 0;
    file_.live = true;
  }
  if (!file_.live) fileLine("]で内部ｴﾗｰが発生しました。(ｺﾒﾝﾄ部)");
  if (!file_.stack.empty() && file_.stack.front().taken) {
    fileLine("]で#if文解析出力数に不合理が発生しました。");
    file_.stack.clear();
  }
  bool ready = file_.includeReady;
  std::string name = std::move(file_.includeName);
  reset();
  file_.includeReady = ready;  // an include on the last line is still followed
  file_.includeName = std::move(name);
}

void DirectiveProcessor::clearInclude() {
  file_.includeReady = false;
  file_.includeName.clear();
}

void DirectiveProcessor::fileLine(const char* text) const {
  errorLog() << "  [" << scan_.context.item(0) << text << '\n';
}

void DirectiveProcessor::positionMessage(const char* text) const {
  errorLog() << "    " << scan_.context.item(0) << ' ' << scan_.context.currentLine() << text
             << '\n';
}
