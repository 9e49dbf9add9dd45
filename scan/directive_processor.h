// The directive lines of one file: a C-family or VB line that starts with
// '#', or a Delphi "{$ ... }". The reader hands every token of such a line
// to the processor, which finds the keyword and runs that directive's small
// state machine. #include names are collected here and picked up by the
// run driver through the reader; the other directives are recognised and
// consumed to their end, and grow their own states in this class (the
// states below are the whole set; conditional groups will drive live()).
#pragma once

#include <string>
#include <string_view>

class SourceContext;

enum class DirectiveState {
  None,             // no directive
  Keyword,          // the next word is the directive keyword
  DefineName,       // "define": expecting the macro name
  DefineParams,     // collecting a function-like macro's parameters
  DefineBody,       // collecting a macro body
  SkipContinued,    // skipping to the line end, honouring '\' continuations
  UndefName,        // "undef": expecting the name
  IfdefName,        // "ifdef": expecting the name
  IfndefName,       // "ifndef": expecting the name
  IfCondition,      // collecting the condition of a new group
  ElifCondition,    // collecting the condition of a further branch
  IncludeName,      // "include": collecting the file name
  PragmaWord,       // "pragma": expecting its first word
  InterruptList,    // collecting interrupt function names
  Ignore,           // ignoring the rest of the directive
  SettingsMode,     // settings data file: expecting the section kind
  InterruptKeyword, // settings data file: collecting interrupt keywords
};

// Which syntax the directive line has.
enum class DirectiveSyntax { CFamily, Vb, Delphi };

class DirectiveProcessor {
 public:
  explicit DirectiveProcessor(const SourceContext& context) : context_(context) {}

  // Back to the start of a file.
  void reset();
  // A '#' at line start, or a Delphi '{' before '$'.
  void begin(DirectiveSyntax syntax);
  bool inProgress() const { return state_ != DirectiveState::None; }
  DirectiveState state() const { return state_; }

  // One token of the directive, outside any literal.
  void token(std::string_view token);
  // A token inside a string literal of the directive line (the letters of
  // a quoted include name, without its quotes).
  void stringToken(std::string_view token);
  // Whether a '"' is part of the directive rather than opening a string
  // (it is, inside "#include <...>").
  bool takesQuote() const { return state_ == DirectiveState::IncludeName && inAngles_; }
  // The line break (C family, VB) or '}' (Delphi) that ends the directive.
  void end();
  // The input ended while a directive was still open.
  void endOfInput();
  // The end-of-file checks of the conditional groups, then a fresh state.
  void endOfFile();

  // Whether lines are live (conditional compilation may switch them off).
  bool live() const { return live_; }

  bool includeReady() const { return includeReady_; }
  const std::string& includeName() const { return includeName_; }
  void clearInclude();

 private:
  void keyword(std::string_view word);
  void includeToken(std::string_view token);
  void finishInclude();
  void positionMessage(const char* text) const;

  const SourceContext& context_;
  DirectiveState state_ = DirectiveState::None;
  DirectiveSyntax syntax_ = DirectiveSyntax::CFamily;
  bool live_ = true;
  std::string includeName_;
  bool inAngles_ = false;
  bool includeReady_ = false;
};
