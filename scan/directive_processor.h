// The directive lines of one file: a C-family or VB line that starts with
// '#', or a Delphi "{$ ... }". The reader hands every token of such a line
// to the processor, which finds the keyword (scan/directive_keywords.h)
// and runs that directive's small state machine: macros into the #define
// table, conditional groups deciding which lines are live, #include names
// for the run driver, interrupt functions from #pragma into the function
// table. In the settings data file it also keeps the file's language
// sections and entry kind, and the interrupt keywords the file declares.
// The processor lives as long as its reader; the scan context must
// outlive both.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "context/language_mode.h"
#include "scan/directive_keywords.h"
#include "scan/lexical_rules.h"

struct ScanContext;

enum class DirectiveState {
  None,              // no directive
  Keyword,           // the next word is the directive keyword
  DefineName,        // "define": expecting the macro name
  DefineParams,      // collecting a function-like macro's parameters
  DefineBody,        // collecting a macro body
  SkipContinued,     // skipping to the line end, honouring '\' continuations
  UndefName,         // "undef": expecting the name
  IfdefName,         // "ifdef": expecting the name
  IfndefName,        // "ifndef": expecting the name
  IfCondition,       // collecting the condition of a new group
  ElifCondition,     // collecting the condition of a further branch
  IncludeName,       // "include": collecting the file name
  PragmaWord,        // "pragma": expecting its first word
  InterruptList,     // collecting interrupt function names
  Ignore,            // ignoring the rest of the directive
  SettingsMode,      // settings data file: expecting the section kind
  InterruptKeyword,  // settings data file: collecting interrupt keywords
};

// One open conditional group.
struct CondFrame {
  int kind = 0;        // 1: #if / #If / {$IF} / #Region; 0: #ifdef / #ifndef
  bool taken = false;  // one branch of the group has been live
};

class DirectiveProcessor {
 public:
  explicit DirectiveProcessor(const ScanContext& scan) : scan_(scan) {}

  // Back to the start of a file (the interrupt keywords stay).
  void reset();
  // Whether the file is the settings data file, whose own directives and
  // language sections then act.
  void setSettingsData(bool on) { settingsData_ = on; }
  // The settings data file's #defines of a language section count only
  // when the run has a file of that language.
  void setRunLanguages(std::int32_t languages) { runLanguages_ = languages; }
  // A '#' at line start, or a Delphi '{' before '$'.
  void begin(LanguageFamily syntax);
  bool inProgress() const { return file_.state != DirectiveState::None; }
  DirectiveState state() const { return file_.state; }

  // One token of the directive, outside any literal.
  void token(std::string_view token);
  // A token inside a string literal of the directive line (the letters of
  // a quoted include name, without its quotes).
  void stringToken(std::string_view token);
  // Whether a '"' is part of the directive rather than opening a string
  // (it is, inside "#include <...>").
  bool takesQuote() const { return file_.state == DirectiveState::IncludeName && file_.inAngles; }
  // While an include's name is collected its blanks are part of it.
  bool collectsIncludeName() const { return file_.state == DirectiveState::IncludeName; }
  // A #define body takes its strings and character constants whole,
  // quotes included; so does a C condition (its character constants).
  bool takesLiterals() const {
    return file_.state == DirectiveState::DefineBody ||
           (syntax_ == LanguageFamily::CFamily && (file_.state == DirectiveState::IfCondition ||
                                                   file_.state == DirectiveState::ElifCondition));
  }
  // At a line break inside a directive: true when a '\' just before it
  // continues the directive on the next line (the break is then skipped).
  bool continuesAtLineBreak();
  // The line break (C family, VB) or '}' (Delphi) that ends the directive.
  void end();
  // The input ended while a directive was still open.
  void endOfInput();
  // The end-of-file checks of the conditional groups, then a fresh state.
  void endOfFile();

  // True once after "#error": the rest of its line is a line comment.
  bool takeCommentRequest() { return std::exchange(file_.commentRequest, false); }

  // Whether lines are live (conditional compilation may switch them off).
  bool live() const { return file_.live; }
  int depth() const { return static_cast<int>(file_.stack.size()); }
  int skipDepth() const { return file_.skipDepth; }

  bool includeReady() const { return file_.includeReady; }
  const std::string& includeName() const { return file_.includeName; }
  void clearInclude();

  // The words after which "#pragma" lists interrupt functions (from the
  // settings data file); `comment` is the text given to the functions it
  // registers (the reader's captured comment, which must outlive this).
  void setInterruptKeywords(std::vector<std::string> keywords);
  void setCommentSource(const std::string* comment) { comment_ = comment; }

  // Settings data file: what its entries are (0 reserved words, 1 class
  // definitions, 2 types; "MZ設定Mode" switches), the languages of the
  // open section (255 outside every section), and every word that
  // "MZ割り込みキーワード" declared so far.
  // ORDER: the kind words of settingsWord.
  enum SectionKind : int { kReservedWords = 0, kClassDefinitions = 1, kTypes = 2 };
  int sectionKind() const { return file_.sectionKind; }
  std::int32_t sectionLanguages() const { return file_.section ? file_.section : kModeAll; }
  const std::vector<std::string>& declaredInterruptKeywords() const { return declared_; }

 private:
  // A token a directive passes over: blanks, a carriage return, nothing.
  static bool isBlankOrReturn(std::string_view token) {
    return token.empty() || token == "\r" || isBlankToken(token);
  }
  // directive_processor.cc: dispatch, keywords, groups, end of file.
  void keyword(std::string_view word);
  void keywordWhileOff(DirectiveWord word);
  void startDirective(DirectiveWord word);
  void openGroup(bool live, int kind);
  void decideBranch();
  void elseBranch();
  void elifBranch();
  void endGroup();
  void conditionToken(std::string_view token);
  void testName(std::string_view token);
  void fileLine(const char* text) const;
  void positionMessage(const char* text) const;
  // directive_rules.cc: macros, #undef, #include, #pragma.
  void defineName(std::string_view token);
  void defineParam(std::string_view token);
  void defineBody(std::string_view token);
  void continuedToken(std::string_view token);
  void undefName(std::string_view token);
  void includeToken(std::string_view token);
  void finishInclude();
  void pragmaWord(std::string_view token);
  void interruptName(std::string_view token);
  void settingsWord(std::string_view token);

  const ScanContext& scan_;
  // What the processor knows of the file being read. Each file starts from
  // FileState{} (reset), so that a field added here is reset too.
  struct FileState {
    DirectiveState state = DirectiveState::None;
    bool live = true;
    std::vector<CondFrame> stack;
    int skipDepth = 0;  // groups opened inside a switched-off region
    std::string condition;
    bool blankInCondition = false;  // a blank came after a word of it
    bool firstBodyToken = false;    // the token right after a macro name
    bool constEquals = false;       // VB #Const: its '=' has not come yet
    bool pendingBackslash = false;  // a '\' whose meaning the next token tells
    bool commentRequest = false;
    std::string includeName;
    bool inAngles = false;
    bool includeReady = false;
    // Settings data file only.
    int sectionKind = kReservedWords;
    std::int32_t section = 0;  // the open section's languages; 0 none
    int sectionDepth = 0;      // the group depth before its #ifdef
  };
  FileState file_;
  bool settingsData_ = false;
  std::int32_t runLanguages_ = kModeAll;
  std::vector<std::string> declared_;  // interrupt keywords the file declared
  LanguageFamily syntax_ = LanguageFamily::CFamily;
  int line_ = 0;  // the line the directive started on
  std::vector<std::string> interruptKeywords_;
  const std::string* comment_ = nullptr;
};
