// Macro expansion of the live tokens of a C-family file, as a compiler's
// preprocessor does it: a macro name (an object-like one, or a
// function-like one with its argument list) is replaced by its body with
// the arguments put in (each expanded on its own first), `#` and `##`
// applied, and the result read again together with the tokens after it.
// Each token carries the names of the macros it came out of, which do not
// expand in it again. String and character literals of a body give no
// token (the parsers never see literals). The reader owns one expander and
// asks its parser, macro by macro, whether a name is to be expanded there.
#pragma once

#include <cstddef>
#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class DefineTable;
struct DefineEntry;

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
  struct Token {
    std::string text;
    std::vector<std::string> hidden;  // macros that do not expand in this token
  };
  // Where the tokens go (the reader's hand-over, or an argument being
  // expanded), and the parser's answer for a macro name about to be read.
  using Sink = std::function<void(Token&& token)>;
  using Ask = std::function<MacroUse(const DefineEntry& macro)>;

  MacroExpander(const DefineTable& defines, Ask ask, Sink sink);

  // The next token of the file as the reader hands it over (blanks and
  // line breaks included; they keep their order, and those inside a
  // macro call follow its expansion).
  void take(const std::string& token);
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
  bool passesThrough(const std::string& token) const;

  // An argument list that long (in tokens) is taken as written, and past
  // that many expansions for one token of the file, or that many nested
  // argument expansions, names stay as written: a runaway or hostile
  // input ends in bounded time.
  static constexpr size_t kMaxHeldTokens = 8192;
  static constexpr int kMaxExpansions = 4096;
  static constexpr int kMaxArgumentDepth = 32;

 private:
  enum class Waiting { kNothing, kParen, kArguments };
  struct Budget {
    int expansions = 0;
  };
  MacroExpander(const DefineTable& defines, Ask ask, Sink sink, Budget& budget, int depth);

  void takeToken(Token token);
  void pump();
  void process(Token token);
  bool parenOutcome(Token& token);
  void expandUncalledObject(std::vector<Token>& after);
  void releaseHeld();
  void expandCall();
  void pushFront(std::vector<Token>& tokens);
  const DefineEntry* expandable(const Token& token) const;
  bool overBudget();

  // The body of `macro` with `arguments` put in, marked as out of `name`.
  std::vector<Token> substitute(const Token& name, const DefineEntry& macro,
                                std::vector<std::vector<Token>>& arguments);
  // An argument expanded on its own, before it is put in.
  std::vector<Token> expandAlone(const std::vector<Token>& tokens);

  const DefineTable& defines_;
  Ask ask_;
  Sink sink_;
  Budget ownBudget_;
  Budget& budget_;
  const int depth_;  // 0 for the file's tokens, 1 and up for arguments

  std::deque<Token> input_;  // tokens still to be read, expansions first
  bool pumping_ = false;
  Waiting waiting_ = Waiting::kNothing;
  Token callName_;  // the macro name waiting for '(' or its arguments
  bool callObjectLike_ = false;
  std::vector<Token> held_;  // everything after the name, as it came
  int heldDepth_ = 0;        // '(' depth inside the argument list
};

// The tokens of a #define body as the reader would cut them: words,
// one-byte delimiters, and each string or character literal whole
// (`literal` set). Blanks separate tokens and give none.
struct BodyToken {
  std::string_view text;
  bool literal = false;
};
void tokenizeMacroBody(std::string_view body, std::vector<BodyToken>& tokens);
