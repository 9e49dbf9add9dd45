// Macro expansion of the live tokens of a C-family file, as a compiler's
// preprocessor does it: a macro name (an object-like one, or a
// function-like one with its argument list) is replaced by its body with
// the arguments put in (each expanded on its own first), `#` and `##`
// applied, and the result read again together with the tokens after it.
// Each token carries the names of the macros it came out of, which do not
// expand in it again. String and character literals of a body give no
// token (the parsers never see literals). The reader owns one expander and
// asks its parser, macro by macro, whether a name is to be expanded there.
//
// The tokens of an expansion are views into a text arena and hold their
// hidden names as a shared set's id; both are forgotten when the expander
// is idle again, and every buffer is kept for the next expansion.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "scan/hide_sets.h"
#include "scan/text_arena.h"

class DefineTable;
struct DefineEntry;

// The tokens of a #define body as the reader would cut them: words,
// one-byte delimiters, and each string or character literal whole
// (`literal` set). Blanks separate tokens and give none.
struct BodyToken {
  std::string_view text;
  bool literal = false;
};
void tokenizeMacroBody(std::string_view body, std::vector<BodyToken>& tokens);

// Whether the parser wants a macro replaced where it stands now.
enum class MacroUse {
  kKeep,              // hand the name over as it is written
  kExpand,            // replace it by its body
  kExpandUnlessCall,  // replace an object-like macro unless '(' follows;
                      // a function-like one, or one followed by '(', is a call
  kExpandCallsOnly,   // replace a function-like macro with its arguments;
                      // keep an object-like one
};

class MacroExpander {
 public:
  // Where the tokens go (the reader's hand-over; the text is valid during
  // the call), and the parser's answer for a macro name about to be read.
  using Sink = std::function<void(std::string_view text)>;
  using Ask = std::function<MacroUse(const DefineEntry& macro)>;

  MacroExpander(const DefineTable& defines, Ask ask, Sink sink);
  ~MacroExpander();

  // The next token of the file as the reader hands it over (blanks and
  // line breaks included; they keep their order, and those inside a
  // macro call follow its expansion).
  void take(std::string_view token);
  // The file ends: what is held back goes on as written.
  void flush();
  // Forgets everything held (a new file).
  void reset();
  // True while tokens are held back (a macro name waits for its '(' or
  // its arguments).
  bool holding() const { return waiting_ != Waiting::kNothing; }
  // True when `token` would come out of take() as it went in, at once:
  // nothing is held or queued and it names no macro. Most tokens are such,
  // and the reader hands them on without the expander's queue.
  bool passesThrough(std::string_view token) const;

  // An argument list that long (in tokens) is taken as written, and past
  // that many expansions for one token of the file, or that many nested
  // argument expansions, names stay as written: a runaway or hostile
  // input ends in bounded time.
  static constexpr size_t kMaxHeldTokens = 8192;
  static constexpr int kMaxExpansions = 4096;
  static constexpr int kMaxArgumentDepth = 32;

 private:
  struct Token {
    std::string_view text;                   // in the arena, or a constant
    HideSets::Id hidden = HideSets::kEmpty;  // macros that do not expand in it
  };
  using Tokens = std::vector<Token>;
  enum class Waiting { kNothing, kParen, kArguments };
  // What the file's expander and those of its arguments share.
  struct Shared {
    int expansions = 0;
    TextArena text;
    HideSets hidden;
  };
  // An expander of arguments at `depth`, whose tokens go to `out`.
  MacroExpander(const DefineTable& defines, const Ask& ask, Shared& shared, int depth, Tokens& out);

  void emit(const Token& token);
  void takeToken(const Token& token);
  void pump();
  void process(const Token& token);
  bool parenOutcome(const Token& token);
  void expandUncalledObject(const Token* after);
  void releaseHeld();
  void expandCall();
  void splitArguments();
  void pushFront(const Tokens& tokens);
  const DefineEntry* expandable(const Token& token) const;
  bool overBudget();
  void forget();  // drops what is held and queued; the shared store stays

  // The body of `macro` with the first `argumentCount_` of `arguments_`
  // put in, marked as out of `name`, added to `out`.
  void substitute(const Token& name, const DefineEntry& macro, Tokens& out);
  // An argument expanded on its own, before it is put in (valid until the
  // next call).
  const Tokens& expandAlone(const Tokens& tokens);

  const DefineTable& defines_;
  Ask ask_;
  Sink sink_;
  std::unique_ptr<Shared> ownShared_;  // the file's expander only
  Shared& shared_;
  const int depth_;    // 0 for the file's tokens, 1 and up for arguments
  Tokens* const out_;  // an argument's expander: where its tokens go

  Tokens input_;  // tokens still to be read, the next one last
  bool pumping_ = false;
  Waiting waiting_ = Waiting::kNothing;
  Token callName_;  // the macro name waiting for '(' or its arguments
  bool callObjectLike_ = false;
  Tokens held_;        // everything after the name, as it came
  int heldDepth_ = 0;  // '(' depth inside the argument list

  // Buffers of one expansion, kept for the next.
  std::vector<Tokens> arguments_;
  size_t argumentCount_ = 0;
  Tokens whitespace_;  // of an argument list, which goes after its expansion
  Tokens result_;
  std::vector<std::string_view> parameters_;
  std::vector<BodyToken> body_;
  std::unique_ptr<MacroExpander> inner_;  // expands this one's arguments
  Tokens innerOut_;
};
