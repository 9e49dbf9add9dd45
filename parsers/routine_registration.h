// Routines of the languages without braces (Delphi, VB): the state of the
// routine being read and the operations both parsers share, the
// registration of a name as a routine definition or call, the call/
// definition decision (MainForSetFunc) and the end of a routine. A call is
// noted with what the file knows of it (the object's class or the word
// before its '.', the caller's class and scope) and linked after the last
// file. The parser owns one object per file being read and attaches it to
// its reader and history before every step.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "parsers/token_history.h"
#include "parsers/token_tests.h"
#include "tables/decl_info.h"

struct ParserContext;
class SourceReader;

// What is known of the routine being read; RoutineState{} is "none".
struct RoutineState {
  std::string currentFunction;
  std::string currentClass;
  bool inBody = false;         // a routine is defined and has not ended
  bool headerPending = false;  // no body seen yet
  bool headerOpen = false;     // the header's own ';' has not come yet
  bool isProcedure = false;    // "procedure"/"sub": no result to assign
  bool fileLocal = false;      // a VB module's Private routine
  // The class whose members the routine sees: its own, or for a routine
  // nested in a method, the method's.
  std::string memberClass;
  int entryDepth = 0;    // block depth at the definition
  size_t scopeMark = 0;  // Delphi: the variable scopes before a nested routine's own
  int stepCount = 1;
  bool countingSteps = false;
  // The names of the open `with … do` statements, each with the block
  // depth it was opened at (VB leaves it empty).
  std::vector<std::pair<std::string, int>> withNames;
  // VB objects whose class a `Set x = New C` gave, and the plain names
  // asked about as possible calls already (each once per routine).
  std::vector<std::pair<std::string, std::string>> objectClasses;
  std::vector<std::string> weakNames;
};

class RoutineRegistration {
 public:
  static constexpr std::uint32_t kKindCall = 8;
  static constexpr std::uint32_t kKindNoParens = 0;

  // `language` is kModeVb or kModeDelphi. VB sets the body flag itself
  // after the header's '('.
  RoutineRegistration(int language, ParserContext& tables) : language_(language), tables_(tables) {}

  void attach(SourceReader* reader, const TokenHistory* history, const TokenTests* tests);
  RoutineState& state() { return state_; }
  const RoutineState& state() const { return state_; }
  // The file's scope: VB, the key suffix of its module's Private routines
  // (empty for a class or form); Delphi, its unit.
  void setScope(std::string scope) { scope_ = std::move(scope); }
  const std::string& scope() const { return scope_; }

  // Look-back `position` as a routine: a definition when `header` (its
  // class written before a '.' or the current class), else a call, on an
  // object when a '.' stands before it.
  void registerRoutineName(int position, std::uint32_t kind, bool header);
  // `inherited;` inside a method: the method of the same name of a base.
  void registerInherited();
  // A call while a routine is open (on the object `qualifier` names, when
  // its class is not known yet), a definition otherwise.
  void MainForSetFunc(DeclInfo& record, std::uint32_t kind, std::string_view qualifier = {});
  // Look-back `position` as a name that is a call only where a routine of
  // the sources answers it (a parameterless function in an expression).
  void noteWeakCall(int position);
  // The routine defined by `record` becomes the current one.
  void defineRoutine(DeclInfo& record, std::uint32_t kind);
  // Its step count and stack use go to the function table; nothing is
  // current afterwards.
  void endRoutine();
  // A header that has no body here (`forward;`, `external`): it stays
  // registered, its parameters leave the stack, and nothing is current.
  void dropRoutine();

  // The header's type and argument text, at the ';' (or line end) that
  // ends it: `typePosition` is the look-back of the type or -1,
  // `closePosition` that of the ')' closing the arguments or -1.
  void completeHeader(int typePosition, int closePosition);
  // The same with the texts already taken.
  void completeHeaderText(const std::string& returnType, const std::string& arguments);
  // The tokens between the '(' matching the ')' at `close` and that ')',
  // a blank between two words and after ','.
  std::string argumentText(int close) const;

  // The class that the object written before the '.' at look-back
  // `dot` has (a variable's type, a class named directly, Self or Me), or
  // empty; `path` gets the object's text ("Memo1.Lines").
  std::string objectClass(int dot, std::string& path) const;
  // The type of a variable in sight of the current routine, or null.
  const std::string* variableType(std::string_view name) const;
  // Whether the word at look-back `position` follows a '.'.
  bool isMemberName(int position) const;
  bool isOwnProperty(const std::string& name) const;
  std::string resultType() const;

  DeclInfo currentDecl() const;
  // The key parts of the current routine, as views of its state.
  KeyParts callerParts() const {
    return KeyParts{{}, state_.currentClass, state_.currentFunction, state_.fileLocal};
  }
  // The class whose members the current routine sees.
  const std::string& memberClass() const {
    return state_.memberClass.empty() ? state_.currentClass : state_.memberClass;
  }
  int currentLine() const;

 private:
  void registerCall(const DeclInfo& callee, std::uint32_t kind, std::string_view qualifier,
                    bool weak = false);
  std::string inheritedClass(const std::string& name) const;
  bool isVariable(const std::string& name) const;
  std::string selfClass(const std::string& word) const;

  const int language_;
  ParserContext& tables_;
  std::string scope_;
  SourceReader* reader_ = nullptr;
  const TokenHistory* history_ = nullptr;
  const TokenTests* tests_ = nullptr;
  RoutineState state_;
};
