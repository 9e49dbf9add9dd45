// Reads one source file (a registered file or a header reached through
// #include): cuts it into tokens, follows the comment and literal states of
// its language, counts its lines by kind, runs its directive lines, and
// hands every live token to the parser of the language. The reader keeps
// no copy of the file: the caller lends it one block at a time. The scan
// context must outlive the reader.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "scan/directive_processor.h"
#include "scan/language.h"
#include "scan/lex_states.h"
#include "scan/lexical_rules.h"
#include "scan/live_token_index.h"
#include "scan/macro_expander.h"
#include "scan/token_ring.h"
#include "scan/tokenizer.h"

struct HeaderRecording;
struct ReadSettings;
struct ScanContext;
class TokenParser;
enum class ReadResult;

class SourceReader {
 public:
  // A main-file reader may capture comments for the parsers; an include
  // reader never does.
  enum class Kind { MainFile, Include };
  enum : int { kShortRingSlots = 10, kLongRingSlots = 200 };

  SourceReader(const ScanContext& scan, Kind kind);
  ~SourceReader();
  SourceReader(const SourceReader&) = delete;
  SourceReader& operator=(const SourceReader&) = delete;

  // Starts a file of `language` (a header: of its main file's language):
  // pushes it onto the source context (a main file sets the context's
  // language and the run's lexical rules first), records the edge from the
  // including file in the file tree, takes the language's parser, and
  // resets every per-file state. The language row must outlive the reader.
  void setFile(const std::string& path, const Language& language);
  // Puts another parser in place of the language's own for the current
  // file (tests look at the reader's own work through an idle parser).
  void replaceParser(std::unique_ptr<TokenParser> parser);
  // A header read where the including file's parser stands inside a
  // construct (a function body, an initializer, a structure): its tokens
  // go on in that parser, as a compiler reads them in place, and its end
  // ends nothing there. The including reader must outlive this one.
  void continueParserOf(SourceReader& including);
  bool parserContinuesIntoHeaders() const;

  // Reading, as the read loop drives it: lend a block, then call nextToken
  // until it says the block is used up; after a token call processToken
  // (and ask no more of this block after kTokenLast).
  enum class Step {
    kToken = Tokenizer::kTokenReady,          // a token is ready
    kBlockUsedUp = Tokenizer::kBlockUsedUp,   // nothing delivered; next block
    kCallAgain = Tokenizer::kCallAgain,       // nothing delivered; call again
    kTokenLast = Tokenizer::kTokenReadyLast,  // a token is ready, the block used up
  };
  void giveBlock(const char* data, size_t size) {
    tokenizer_.giveBlock(data, size);
    tellBlankRuns();
  }
  Step nextToken(bool lastBlock);
  // Classifies the token delivered one delivery ago and hands it to the
  // parser when it is live; true when it was live.
  bool processToken();
  // True when the token belonged to a comment, a literal, a directive or a
  // switched-off region; false for a live token.
  bool classifyToken();

  bool includeReady() const { return directives_.includeReady(); }
  // The words after which #pragma lists interrupt functions; they stay
  // for every later file of the reader.
  void setInterruptKeywords(std::vector<std::string> keywords) {
    directives_.setInterruptKeywords(std::move(keywords));
  }
  // The conditional-compilation state, for tests and the parsers.
  const DirectiveProcessor& directives() const { return directives_; }
  // The settings data file: the languages of the run's sources.
  void setRunLanguages(std::int32_t languages) { directives_.setRunLanguages(languages); }
  const std::string& includeName() const {
    return replayingInclude_ ? replayedInclude_ : directives_.includeName();
  }
  // After the header is read: this file's tokens come again.
  void clearInclude() {
    directives_.clearInclude();
    tellBlankRuns();
  }

  // The last line's counting and the checks of constructs left open.
  void endOfFile();
  // Releases what the file's parser kept.
  void finishFile();

  // While set, what this reading hands on is recorded there (a header
  // whose reading may be replayed); null for none.
  void recordInto(HeaderRecording* recording);
  // Plays a recorded reading of this file back instead of reading it: the
  // parser, the macro calls and the includes run again as they ran.
  ReadResult replay(const HeaderRecording& recording, const ReadSettings& settings);

  // Total, executable, blank, comment, disabled (all), disabled with code,
  // preprocessor lines, functions (the last one is filled in by the run).
  const std::array<std::int32_t, 8>& stepCounts() const { return file_.counts; }

  // Token n deliveries ago (0 = the newest, the lookahead).
  const std::string& token(int n) const { return shortRing_.at(n); }
  // The parsers' history; see the definition below for the look-back rule.
  const std::string& parserToken(int n) const;

  const std::string& capturedComment() const { return file_.captured; }
  void clearCapturedComment(bool enable);
  void clearCaptureAtNextLineEnd() { file_.resetCaptureAtLineEnd = true; }
  // True once after a string literal whose whole content is C.
  bool externCMarker();

  LexState lexState() const { return file_.lexState; }
  int languageMode() const { return languageMode_; }
  Tokenizer::Encoding encoding() const { return tokenizer_.encoding(); }

 private:
  // Whether the tokens now read come with blank runs, for the blank test
  // of every stage (a header of another encoding may be read in between).
  void tellBlankRuns() const { lexical_detail::rules.blankRuns = tokenizer_.deliversBlankRuns(); }
  // source_reader.cc: file state, hand-over, line closing, end of file.
  void resetFileState();
  bool handOver(const std::string& token);
  bool processTokenNow();
  [[gnu::noinline]] bool processRecordedToken();
  [[gnu::noinline]] bool handOverWatched(const std::string& token);
  [[gnu::noinline]] void tellDelivered(std::string_view token);
  bool passOn(const std::string& token);
  MacroUse macroUseOf(const DefineEntry& macro);
  void tellKeptBody(const DefineEntry& macro);
  void deliver(std::string_view token);
  void countReaderLogUses(std::uint64_t usesBefore, std::uint64_t liveBefore);
  void closeLine();
  bool lineBreakInCode();
  void capture(std::string_view text);
  bool captureActive() const;
  void afterCommentToken();
  void passCommentLines();
  void passDisabledLines();
  void positionMessage(const char* text) const;
  void fileMessage(const char* text) const;
  void unterminatedMessage();

  // lex_states.cc: openers and continuations per language.
  bool classifyCFamily(const std::string& cur, const std::string& next);
  bool continueCFamily(const std::string& cur);
  bool continueLineComment(const std::string& cur, bool backslashContinues);
  bool continueChar(const std::string& cur);
  bool startsRawString() const;
  bool isDigitSeparator(const std::string& next) const;
  bool continueRawString(const std::string& cur);
  bool classifyVb(const std::string& cur);
  bool continuesLine(const std::string& cur);
  bool continueVb(const std::string& cur);
  bool classifyDelphi(const std::string& cur, const std::string& next);
  bool continueDelphi(const std::string& cur);
  bool continueString(const std::string& cur, bool cStyleEscapes);
  bool startDirective(LanguageFamily syntax);
  bool codeToken(const std::string& cur);

  const ScanContext& scan_;
  const bool captureAllowed_;
  // The function details are written: a body's blanks are kept as tokens
  // and its comments captured (asked once, not at every token).
  const bool showsDetails_;
  Tokenizer tokenizer_;
  TokenRing shortRing_;
  TokenRing longRing_;
  LiveTokenIndex liveTokens_;  // the long ring's live tokens
  NearLiveTokens nearLive_;    // the nearest of them, before the newest token
  DirectiveProcessor directives_;
  std::unique_ptr<TokenParser> parser_;
  TokenParser* active_ = nullptr;  // parser_, or the including file's parser
  bool continued_ = false;         // active_ is lent by the including file
  // Between the classification and the parser: the macros of a language
  // with C's preprocessor are expanded (when its parser asks for it).
  MacroExpander expander_;
  bool expands_ = false;
  HeaderRecording* recording_ = nullptr;
  // A reading of this file or of one that includes it is being recorded
  // (it stays so for the whole of the file: recordings start and end
  // between files).
  bool watched_ = false;
  bool replayingInclude_ = false;
  std::string replayedInclude_;
  std::string replayedToken_;
  int languageMode_ = 0;
  LanguageFamily family_ = LanguageFamily::CFamily;
  LookBack lookBack_ = LookBack::LiveTokens;

  // What the reader knows of the file being read. Each file starts from
  // FileState{} (setFile), so that a field added here is reset too.
  struct FileState {
    LexState lexState = LexState::Code;
    bool blockCommentEnded = false;
    bool braceFirst = false;        // a brace comment's first token is next
    bool parenStarComment = false;  // the comment opened with (* and ends with *)
    int stringTokens = 0;           // tokens inside the open string so far
    bool stringEscape = false;      // C family: the string's last token is an unescaped '\'
    // C++: a raw string's delimiter, and how much of it follows the ')'
    // read last (-1: no ')' is being matched).
    std::string rawDelimiter;
    int rawMatched = -1;
    bool digitGroupFollows = false;  // C++: the digits after a separator '
    bool externC = false;
    bool lineHasCode = false;
    bool lineHasComment = false;
    bool lineIsDirective = false;
    bool lineHasDisabledCode = false;
    bool parserDone = false;     // an end-of-text byte ended the parser's work
    bool lineContinues = false;  // VB: a '_' asked for the next line
    std::array<std::int32_t, 8> counts{};
    std::string captured;
    bool resetCaptureAtLineEnd = false;
  };
  FileState file_;
  bool captureEnabled_ = true;
};

// Defined here, not in the .cc: the parsers ask for it many times a token.
// Some parsers see every token handed over (VB's); the others look back
// over the blanks and line breaks before the newest token.
inline const std::string& SourceReader::parserToken(int n) const {
  if (lookBack_ == LookBack::EveryToken || n <= 0) return longRing_.at(n);
  if (n <= NearLiveTokens::kDepth) {
    const std::string* near = nearLive_.at(n, longRing_.pushes(), longRing_.slots());
    return near ? *near : longRing_.at(longRing_.slots());
  }
  // Look-back n is the n-th live token before the newest token, among
  // the ring's slots 1 and up; the newest token itself does not count.
  const std::uint64_t newest = longRing_.pushes();
  const int skip = liveTokens_.count() > 0 && liveTokens_.at(0) == newest ? 1 : 0;
  const int k = n - 1 + skip;
  if (k >= liveTokens_.count()) return longRing_.at(longRing_.slots());
  const std::uint64_t distance = newest - liveTokens_.at(k);
  if (distance >= static_cast<std::uint64_t>(longRing_.slots()))
    return longRing_.at(longRing_.slots());
  return longRing_.at(static_cast<int>(distance));
}
