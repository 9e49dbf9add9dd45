// Inside the VB parser: one object per file being read. Line ends (and ':'
// between statements) separate statements; the statement machine reads a
// statement's keyword and then the tokens up to its line end. Grouped by
// the file that defines them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "parsers/routine_parser.h"


class VbParser final : public RoutineParser {
 public:
  // The statement states; the number is what the end-of-file status line
  // prints, so the values are fixed.
  enum class State : int {
    kDefault = 0,
    kClassName = 9,
    kRoutineHeader = 19,
    kWith = 20,
    kCall = 23,
    kDeclare = 24,
    kDim = 25,
    kConst = 26,
    kTypeBlock = 27,
    kExit = 28,
    kEnd = 29,
  };

  // A Declare'd routine: defined, without a place in the sources.
  static constexpr std::uint32_t kKindExternal = 24;

  explicit VbParser(ParserContext& tables) : RoutineParser(false, tables) {}

  void resetForFile(SourceReader& reader) override;
  void step(SourceReader& reader) override;
  void endOfFile(SourceReader& reader) override;

 private:
  // vb_parser.cc: the step, statement keywords, the default state, calls.
  bool statementEnd(const std::string& token) const;
  bool skipsDesignerSection(const std::string& token);
  void runStatementMachine(const std::string& token);
  bool statementKeyword(const std::string& token);
  void startHeader(const std::string& keyword);
  void headerState(const std::string& token);
  void defaultState(const std::string& token);
  void callsWithoutParentheses(const std::string& token);
  void endState(const std::string& token);
  void endRoutine();
  void referenceVariables(const std::string& token);
  bool atStatementStart() const;

  // vb_declarations.cc: headers' types and arguments, Declare, Const, Type
  // and Dim statements.
  void headerToken(const std::string& token);
  void completeHeader();
  void declareState(const std::string& token);
  void dimState(const std::string& token);
  void constState(const std::string& token);
  void typeBlockState(const std::string& token);
  void declarations(int end);
  void declaration(int asWord, int end, int parameterDepth);
  std::string declaredName(int asWord) const;
  void endTypeBlock();


  // What the parser knows of the file being read. Each file starts from
  // FileState{} (resetForFile), so that a field added here is reset too.
  struct FileState {
    int parenDepth = 0;
    State statementState = State::kDefault;
    int tokenCount = 0;      // tokens of the current statement, its end included
    bool leadingWords = true;  // only scope and modifier words so far
    bool designer = false;     // in a form's or class's designer section
    bool firstToken = true;
    int interfaceDepth = 0;    // open Interface blocks: their members have no body
    bool isProperty = false;   // the header being read is a Property's
    bool noBody = false;       // the header being read declares only
    bool dimAfterEquals = false;  // a Dim statement's initial value is being read
    std::string headerArguments;  // the text of the header's ( … )
    std::string headerType;       // the word after the header's As
    bool headerTypeNext = false;
    std::string structTag;  // the Type block being read
    std::string className;  // the Class being read (VB.NET)
  };
  FileState file_;
};
