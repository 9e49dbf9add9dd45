#include "scan/source_reader.h"

#include <algorithm>
#include <cstring>
#include <unordered_set>

#include "context/file_tree.h"
#include "context/options.h"
#include "context/read_watch.h"
#include "scan/scan_context.h"
#include "context/source_context.h"
#include "context/source_file_list.h"
#include "report/error_log.h"
#include "scan/language.h"
#include "scan/define_table.h"
#include "scan/header_recording.h"
#include "scan/lexical_rules.h"
#include "scan/read_loop.h"
#include "scan/token_parser.h"

namespace {

size_t countByte(std::string_view text, char c) {
  size_t n = 0;
  const char* end = text.data() + text.size();
  for (const char* p = text.data(); (p = static_cast<const char*>(std::memchr(p, c, end - p))); ++p)
    ++n;
  return n;
}

constexpr size_t kShortSlotCapacity = 50;
// Long-ring slots start in the string's own small buffer: a reader is made
// for every header read, and most of its slots never see a long token.
constexpr size_t kLongSlotCapacity = 0;

bool isWhitespace(std::string_view token) { return token == "\n" || isBlankToken(token); }

// What may start a directive, a comment or a literal in C-family code.
constexpr Tokenizer::ByteSet kDisabledLineStops = [] {
  Tokenizer::ByteSet stops{};
  for (unsigned char c : {'#', '/', '"', '\''}) stops[c] = true;
  return stops;
}();

// Bytes that tokens leave out between two tokens: blanks (skipped after a
// lone delimiter unless kept), carriage returns (dropped) and NULs.
constexpr Tokenizer::ByteSet mayVanishAnd(unsigned char extra) {
  Tokenizer::ByteSet bytes{};
  for (unsigned char c : {' ', '\t', '\r', '\0'}) bytes[c] = true;
  bytes[extra] = true;
  return bytes;
}

// A '/' ends a C block comment, a ')' a Delphi (* *) one, when the token
// before it is "*": the byte before it is '*', or one that may have
// vanished after it ("* /" without kept blanks, "*\r/"). After any other
// byte (a letter, '<', another '/') it cannot.
constexpr Tokenizer::ByteSet kMayEndBeforeCloser = mayVanishAnd('*');

// A switched-off line of these bytes alone holds no code: blanks make
// blank tokens, and the others make none.
constexpr Tokenizer::ByteSet kNoCodeBytes = mayVanishAnd(' ');

// Any '}' ends a Delphi brace comment.
constexpr Tokenizer::ByteSet kBraceCommentEnd = [] {
  Tokenizer::ByteSet bytes{};
  bytes['}'] = true;
  return bytes;
}();

// Runs of a comment's text end at a line break, a carriage return
// (dropped) and a NUL (skipped), which tokens leave out of the text, and
// before the comment's closer: a '*' before a byte that may end "*/"
// (or "*)") with it, and any '}'.
constexpr Tokenizer::TextRunRule textRunRule(std::string_view closer) {
  Tokenizer::TextRunRule rule;
  for (unsigned char c : {'\n', '\r', '\0'}) rule.stops[c] = true;
  if (closer.size() == 1) {
    rule.stops[static_cast<unsigned char>(closer[0])] = true;
    rule.closerLast = static_cast<unsigned char>(closer[0]);
    return rule;
  }
  rule.closerFirst = static_cast<unsigned char>(closer[0]);
  rule.closerLast = static_cast<unsigned char>(closer[1]);
  rule.mayEndCloser = mayVanishAnd(rule.closerLast);
  return rule;
}
constexpr Tokenizer::TextRunRule kCCommentRuns = textRunRule("*/");
constexpr Tokenizer::TextRunRule kParenStarRuns = textRunRule("*)");
constexpr Tokenizer::TextRunRule kBraceRuns = textRunRule("}");

}  // namespace

SourceReader::SourceReader(const ScanContext& scan, Kind kind)
    : scan_(scan),
      captureAllowed_(kind == Kind::MainFile),
      showsDetails_(scan.options.functionDetails != 0),
      shortRing_(kShortRingSlots, kShortSlotCapacity),
      longRing_(kLongRingSlots, kLongSlotCapacity),
      directives_(scan),
      parser_(std::make_unique<IdleParser>()),
      expander_(
          scan.defines, [this](const DefineEntry& macro) { return macroUseOf(macro); },
          [this](std::string_view text) {
            if (watched_) [[unlikely]]
              tellDelivered(text);
            deliver(text);
          }),
      // Only the function details show captured comments; without them
      // the capture would grow with every comment of a file.
      captureEnabled_(showsDetails_) {
  directives_.setCommentSource(&file_.captured);
  tokenizer_.buildInto(shortRing_.nextPlace());
}

SourceReader::~SourceReader() = default;

// ---------------------------------------------------------------------------
// File state

void SourceReader::setFile(const std::string& path, const Language& language) {
  SourceContext& context = scan_.context;
  if (context.depth() == 0) {
    context.setLanguageMask(language.mode);
    applyLexicalRules(language.lexical);
  }
  context.push(path);
  if (!language.settingsData) scan_.fileTree.addEdge(context.item(1), path);
  languageMode_ = context.languageFlavour();
  family_ = language.family;
  lookBack_ = language.lookBack;
  // Blank runs are one token where blanks never reach the parser (the
  // classification takes them); VB's parser sees every blank, and the
  // settings data is read once.
  tokenizer_.setMergeBlanks(lookBack_ == LookBack::LiveTokens && !language.settingsData);
  if (language.makeParser)
    parser_ = language.makeParser(languageMode_, scan_.parsers);
  else
    parser_ = std::make_unique<IdleParser>();
  active_ = parser_.get();
  continued_ = false;
  resetFileState();
  watched_ = scan_.watch && scan_.watch->recordingAny();
  directives_.setSettingsData(language.settingsData);
  parser_->resetForFile(*this);
  expands_ = parser_->expandsMacros();
}

void SourceReader::replaceParser(std::unique_ptr<TokenParser> parser) {
  if (!parser) return;
  parser_ = std::move(parser);
  active_ = parser_.get();
  continued_ = false;
  parser_->resetForFile(*this);
  expands_ = parser_->expandsMacros();
}

bool SourceReader::parserContinuesIntoHeaders() const { return active_->continuesIntoHeaders(); }

void SourceReader::continueParserOf(SourceReader& including) {
  active_ = including.active_;
  continued_ = true;
  expands_ = active_->expandsMacros();
}

void SourceReader::resetFileState() {
  shortRing_.clear();
  tokenizer_.reset();
  tokenizer_.buildInto(shortRing_.nextPlace());
  tokenizer_.setKeepWhitespace(showsDetails_);
  longRing_.clear();
  liveTokens_.clear();
  nearLive_.clear();
  directives_.reset();
  expander_.reset();
  file_ = FileState{};
}

// A parser lent by the including file goes on with that file's tokens.
void SourceReader::finishFile() {
  if (!continued_) parser_->resetForFile(*this);
}

// ---------------------------------------------------------------------------
// Tokens and hand-over

SourceReader::Step SourceReader::nextToken(bool lastBlock) {
  Tokenizer::Result result = tokenizer_.next(lastBlock);
  if (result == Tokenizer::kTokenReady || result == Tokenizer::kTokenReadyLast) {
    shortRing_.pushBuilt();
    tokenizer_.buildInto(shortRing_.nextPlace());
  }
  return static_cast<Step>(result);
}

bool SourceReader::processToken() {
  if (recording_) [[unlikely]]
    return processRecordedToken();
  return processTokenNow();
}

// While recording, what the reading writes to the log itself is counted
// apart from what its parser and its macro calls write (they write it
// again when played back).
bool SourceReader::processRecordedToken() {
  const std::uint64_t logUses = errorLogUses();
  const std::uint64_t liveLogUses = recording_->liveLogUses;
  const bool live = processTokenNow();
  countReaderLogUses(logUses, liveLogUses);
  return live;
}

inline bool SourceReader::processTokenNow() {
  bool live = !classifyToken() && handOver(token(1));
  // The text after "#error" reads as a line comment.
  if (directives_.takeCommentRequest()) {
    file_.lexState = LexState::LineComment;
    file_.lineHasComment = true;
  }
  // Directive lines convert wide UTF-16 characters so that names survive,
  // and an include's name keeps its blanks.
  tokenizer_.setConvertWide(file_.lineIsDirective || directives_.inProgress());
  tokenizer_.setKeepWhitespace(showsDetails_ || directives_.collectsIncludeName());
  if (tokenizer_.endOfInput()) directives_.endOfInput();
  if (file_.lexState == LexState::BlockComment || file_.lexState == LexState::BraceComment)
    afterCommentToken();
  return live;
}

// Inside a block comment (C's /* */, Delphi's { } and (* *), but not a
// "{$" directive), where the captured text would be the bytes as they
// stand: the lines after a line break pass whole, and the text after any
// other lookahead comes in runs. A comment's closer comes as a lookahead,
// which turns the runs off, before the state leaves the comment.
void SourceReader::afterCommentToken() {
  const Tokenizer::TextRunRule* rule = nullptr;
  if (family_ == LanguageFamily::CFamily)
    rule = &kCCommentRuns;
  else if (family_ == LanguageFamily::Delphi && !directives_.inProgress())
    rule = file_.parenStarComment ? &kParenStarRuns : &kBraceRuns;
  const std::string& next = token(0);
  bool asWritten = rule && !next.empty() && next[0] != rule->closerLast &&
                   (!captureActive() || tokenizer_.keepsWhitespace());
  bool lineEnds = next == "\n";
  tokenizer_.setTextRuns(asWritten && !lineEnds ? rule : nullptr);
  // Past the brace's first token, whose capture puts the brace first.
  if (asWritten && lineEnds && (family_ == LanguageFamily::CFamily || !file_.braceFirst))
    passCommentLines();
}

// Whole lines of a block comment that cannot end it are taken without
// being cut into tokens: their tokens would only count their line breaks
// and, when captured, add their text (with blanks kept, the bytes but
// carriage returns and NULs). The lookahead is a line break, so the
// tokenizer stands at a line start, and the token after the lines still
// finds a line break before it.
void SourceReader::passCommentLines() {
  std::string_view lines;
  if (family_ == LanguageFamily::CFamily)
    lines = tokenizer_.skipLinesWithout('/', kMayEndBeforeCloser);
  else if (file_.parenStarComment)
    lines = tokenizer_.skipLinesWithout(')', kMayEndBeforeCloser);
  else
    lines = tokenizer_.skipLinesWithout(kBraceCommentEnd);
  if (lines.empty()) return;
  int breaks = static_cast<int>(countByte(lines, '\n'));
  for (int i = 0; i < breaks; ++i) scan_.context.countLine();
  file_.counts[kTotalLines] += breaks;
  // The lines of a Delphi comment are no comment lines (only // lines are).
  if (family_ == LanguageFamily::CFamily) file_.counts[kCommentLines] += breaks;
  if (!captureActive()) return;
  // The lookahead line break, still to be read and captured, now stands
  // for the last of these lines' breaks: the text goes in as if it came
  // after the lookahead.
  file_.captured += '\n';
  std::string_view text = lines.substr(0, lines.size() - 1);
  // Line by line at the carriage returns; a NUL is rare enough to look for
  // once.
  const bool hasNul = std::memchr(text.data(), '\0', text.size()) != nullptr;
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (!hasNul) {
      const void* found = std::memchr(text.data() + i, '\r', text.size() - i);
      if (!found) break;
      i = static_cast<size_t>(static_cast<const char*>(found) - text.data());
    } else if (text[i] != '\r' && text[i] != '\0') {
      continue;
    }
    file_.captured.append(text.substr(start, i - start));
    start = i + 1;
  }
  file_.captured.append(text.substr(start));
}

// After a token of a switched-off region (not in a directive) whose
// lookahead is a line break: the whole lines after it that hold no byte
// of kDisabledLineStops are counted without being cut into tokens. Their
// tokens would only count each line as switched off (with code unless it
// is blank) and reach no parser. As with comment lines, the lookahead
// line break still closes the line before them, and the token after them
// finds a line break before it.
void SourceReader::passDisabledLines() {
  if (family_ != LanguageFamily::CFamily || token(0) != "\n") return;
  std::string_view lines = tokenizer_.skipLinesWithout(kDisabledLineStops);
  size_t start = 0;
  while (start < lines.size()) {
    size_t end = lines.find('\n', start);  // the passed text ends in one
    bool code = false;
    for (size_t i = start; i < end && !code; ++i)
      code = !kNoCodeBytes[static_cast<unsigned char>(lines[i])];
    scan_.context.countLine();
    ++file_.counts[kTotalLines];
    ++file_.counts[kDisabledLines];
    ++file_.counts[code ? kDisabledCodeLines : kBlankLines];
    start = end + 1;
  }
}

// An end-of-text byte (0x1A) ends the parser's work on the file; what the
// expander held back goes before it.
bool SourceReader::passOn(const std::string& token) {
  if (file_.parserDone) return false;
  if (token.empty() || token == "\x1A") {
    if (expands_) expander_.flush();
    file_.parserDone = true;
    return false;
  }
  if (expands_ && !expander_.passesThrough(token))
    expander_.take(token);
  else
    deliver(token);
  return true;
}

// Where a header is being recorded the parser's work is no work of the
// reading (a replay runs it again), and what the reader hands on is kept.
// A recording starts and ends between tokens, never in here.
bool SourceReader::handOver(const std::string& token) {
  if (watched_) [[unlikely]]
    return handOverWatched(token);
  return passOn(token);
}

bool SourceReader::handOverWatched(const std::string& token) {
  tellDelivered(token);
  QuietRead quiet(scan_.watch);
  if (!recording_) return passOn(token);
  recording_->add(HeaderRecording::Event::kToken, scan_.context.currentLine(), token);
  const std::uint64_t logUses = errorLogUses();
  bool live = passOn(token);
  recording_->liveLogUses += errorLogUses() - logUses;
  return live;
}

// A line break right after a line break adds nothing to the history; the
// line breaks of a header read on in the including file's parser are no
// lines of the construct it stands in (a function's steps are its own).
void SourceReader::deliver(std::string_view token) {
  if (token == "\n" && (continued_ || longRing_.at(0) == "\n")) return;
  nearLive_.beforePush(&longRing_.at(0), longRing_.pushes());
  longRing_.push(token);
  bool live = !isWhitespace(token);
  nearLive_.afterPush(live);
  if (live) liveTokens_.add(longRing_.pushes());
  active_->step(*this);
}

// A word handed on, or given by the macro expander: it may reach the
// parser (the words a macro's expansion gives are told as they come).
void SourceReader::tellDelivered(std::string_view token) {
  if (!token.empty() && isWordByte(static_cast<unsigned char>(token[0])))
    scan_.watch->mayDeliver(token);
}

// A macro the parser keeps as written may be expanded where a recorded
// reading is played back: the words of its body, and of the bodies of the
// macros among them, may reach the parser there.
MacroUse SourceReader::macroUseOf(const DefineEntry& macro) {
  const MacroUse use = active_->macroUse(macro);
  if (use != MacroUse::kExpand && scan_.watch && scan_.watch->recordingAny()) tellKeptBody(macro);
  return use;
}

void SourceReader::tellKeptBody(const DefineEntry& macro) {
  std::vector<std::string_view> bodies{macro.body};
  std::unordered_set<std::string_view> seen;
  while (!bodies.empty()) {
    const std::string_view body = bodies.back();
    bodies.pop_back();
    for (size_t i = 0; i < body.size();) {
      if (!isWordByte(static_cast<unsigned char>(body[i]))) {
        ++i;
        continue;
      }
      size_t end = i;
      while (end < body.size() && isWordByte(static_cast<unsigned char>(body[end]))) ++end;
      const std::string_view word = body.substr(i, end - i);
      i = end;
      if (!seen.insert(word).second) continue;
      scan_.watch->mayDeliver(word);
      if (const DefineEntry* inner = scan_.defines.entryNamed(word)) bodies.push_back(inner->body);
    }
  }
}

bool SourceReader::externCMarker() {
  bool marker = file_.externC;
  file_.externC = false;
  return marker;
}

// ---------------------------------------------------------------------------
// Classification entry and line closing

bool SourceReader::classifyToken() {
  const std::string& cur = token(1);
  const std::string& next = token(0);
  if (cur == "\n") {
    scan_.context.countLine();
    ++file_.counts[kTotalLines];
  }
  switch (family_) {
    case LanguageFamily::CFamily:
      return classifyCFamily(cur, next);
    case LanguageFamily::Vb:
      return classifyVb(cur);
    case LanguageFamily::Delphi:
      return classifyDelphi(cur, next);
  }
  return true;
}

// A line break taken as an ordinary token closes the line. Returns true
// when it is consumed (it ended a directive or lies in a switched-off
// region), false when it goes to the parser.
bool SourceReader::lineBreakInCode() {
  if (file_.blockCommentEnded) {
    ++file_.counts[kCommentLines];
    file_.blockCommentEnded = false;
  }
  closeLine();
  if (directives_.inProgress()) {
    // After a '\' the directive goes on; its next line is no blank line.
    if (directives_.continuesAtLineBreak())
      file_.lineIsDirective = true;
    else
      directives_.end();
    return true;
  }
  if (!directives_.live()) {
    passDisabledLines();
    return true;
  }
  if (captureActive()) {
    if (file_.resetCaptureAtLineEnd) {
      file_.captured.clear();
      file_.resetCaptureAtLineEnd = false;
    } else if (token(2) == "\n" && token(3) == "\n") {
      file_.captured.clear();
    } else if (!file_.captured.empty()) {
      file_.captured += '\n';
    }
  }
  return false;
}

void SourceReader::closeLine() {
  bool live = directives_.live();
  bool directiveOpen = family_ != LanguageFamily::Delphi && directives_.inProgress();
  // Code in a switched-off region makes no line blank.
  if (!file_.lineHasCode && !file_.lineHasDisabledCode && !file_.lineHasComment &&
      !file_.lineIsDirective)
    ++file_.counts[kBlankLines];
  else if (file_.lineHasCode && live && !directiveOpen)
    ++file_.counts[kExecutableLines];
  if (!live && !file_.lineIsDirective) {
    ++file_.counts[kDisabledLines];
    if (file_.lineHasDisabledCode) ++file_.counts[kDisabledCodeLines];
  }
  file_.lineHasCode = file_.lineHasComment = file_.lineIsDirective = file_.lineHasDisabledCode =
      false;
}

// ---------------------------------------------------------------------------
// Comment capture

bool SourceReader::captureActive() const {
  return captureAllowed_ && captureEnabled_ && !directives_.inProgress() && directives_.live();
}

void SourceReader::capture(std::string_view text) {
  if (captureActive()) file_.captured.append(text);
}

void SourceReader::clearCapturedComment(bool enable) {
  file_.captured.clear();
  captureEnabled_ = enable && showsDetails_;
}

// ---------------------------------------------------------------------------
// End of file

// The last line has no line break of its own: it is counted here. A
// directive line was already counted at its '#' or "{$".
void SourceReader::endOfFile() {
  tellBlankRuns();
  if (!file_.lineIsDirective) {
    if (!directives_.live()) {
      ++file_.counts[kDisabledLines];
      if (file_.lineHasDisabledCode) ++file_.counts[kDisabledCodeLines];
    }
    if (!file_.lineHasCode && !file_.lineHasDisabledCode && !file_.lineHasComment)
      ++file_.counts[kBlankLines];
    else if (file_.lineHasCode && longRing_.at(0) != "\n" && !longRing_.at(0).empty())
      ++file_.counts[kExecutableLines];
  }
  if (isCommentState(file_.lexState) || file_.blockCommentEnded) ++file_.counts[kCommentLines];
  ++file_.counts[kTotalLines];
  const std::uint64_t logUses = recording_ ? errorLogUses() : 0;
  const std::uint64_t liveLogUses = recording_ ? recording_->liveLogUses : 0;
  directives_.endOfFile();
  unterminatedMessage();
  file_.lexState = LexState::Code;
  file_.lineHasCode = file_.lineHasComment = file_.lineIsDirective = file_.lineHasDisabledCode =
      false;
  file_.blockCommentEnded = false;
  if (recording_) {
    countReaderLogUses(logUses, liveLogUses);
    recording_->finalLine = scan_.context.currentLine();
    recording_->blankRuns = lexical_detail::rules.blankRuns;
  }
  QuietRead quiet(scan_.watch);
  if (expands_ && !file_.parserDone) expander_.flush();
  if (!continued_) parser_->endOfFile(*this);
}

void SourceReader::recordInto(HeaderRecording* recording) {
  recording_ = recording;
  watched_ = scan_.watch && scan_.watch->recordingAny();
}

void SourceReader::countReaderLogUses(std::uint64_t usesBefore, std::uint64_t liveBefore) {
  recording_->readerLogUses +=
      (errorLogUses() - usesBefore) - (recording_->liveLogUses - liveBefore);
}

// The steps in the order they were recorded, each at its line; the stop
// request is looked at between them as between tokens.
ReadResult SourceReader::replay(const HeaderRecording& recording, const ReadSettings& settings) {
  SourceContext& context = scan_.context;
  watched_ = scan_.watch && scan_.watch->recordingAny();
  lexical_detail::rules.blankRuns = recording.blankRuns;
  for (const HeaderRecording::Step& step : recording.steps) {
    if (settings.stop && settings.stop->load(std::memory_order_relaxed))
      return ReadResult::kStopped;
    context.setLine(step.line);
    const std::string_view text = recording.textOf(step);
    switch (step.event) {
      case HeaderRecording::Event::kToken:
        replayedToken_.clear();  // append: assign's out-of-line copy is the ring's hot path
        replayedToken_.append(text);
        handOver(replayedToken_);
        break;
      case HeaderRecording::Event::kExternC:
        file_.externC = true;
        break;
      case HeaderRecording::Event::kMacroCall:
        scan_.defines.callAgain(step.call, text);
        break;
      case HeaderRecording::Event::kInclude:
        replayedInclude_.clear();
        replayedInclude_.append(text);
        replayingInclude_ = true;
        if (settings.includes) settings.includes->include(*this);
        replayingInclude_ = false;
        lexical_detail::rules.blankRuns = recording.blankRuns;
        break;
    }
  }
  context.setLine(recording.finalLine);
  QuietRead quiet(scan_.watch);
  if (expands_ && !file_.parserDone) expander_.flush();
  if (!continued_) parser_->endOfFile(*this);
  return ReadResult::kEndOfFile;
}

void SourceReader::unterminatedMessage() {
  bool delphi = family_ == LanguageFamily::Delphi;
  switch (file_.lexState) {
    case LexState::BlockComment:
    case LexState::BlockCommentFirst:
    case LexState::BlockCommentStar:
      fileMessage("]でｺﾒﾝﾄの終わり(*/)がありません。");
      break;
    case LexState::String:
    case LexState::RawDelimiter:
    case LexState::RawString:
      fileMessage(delphi ? "]でｺﾒﾝﾄの終わり(')がありません。"
                         : "]でｺﾒﾝﾄの終わり(\")がありません。");
      break;
    case LexState::CharStart:
    case LexState::CharBody:
    case LexState::CharEscape:
    case LexState::CharRest:
      fileMessage("]でｺﾒﾝﾄの終わり(')がありません。");
      break;
    case LexState::BraceComment:
    case LexState::ParenStarFirst:
    case LexState::ParenStarSecond:
      fileMessage("]でｺﾒﾝﾄの終わり(})がありません。");
      break;
    default:
      break;
  }
}

void SourceReader::positionMessage(const char* text) const {
  const SourceContext& context = scan_.context;
  errorLog() << "    " << context.item(0) << ' ' << context.currentLine() << text << '\n';
}

void SourceReader::fileMessage(const char* text) const {
  errorLog() << "  [" << scan_.context.item(0) << text << '\n';
}
