// Inside the Delphi parser: one object per file being read. The step counts
// the blocks (begin, case, try, asm, record, class … end) and then runs the
// statement machine; the sections of a unit (interface, type, var, const,
// class and record bodies) have a machine of their own. Grouped by the file
// that defines them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "parsers/delphi_words.h"
#include "context/language_mode.h"
#include "parsers/routine_parser.h"

class DelphiParser final : public RoutineParser {
 public:
  // The statement states; the number is what the end-of-file status line
  // prints, so the values are fixed.
  enum class State : int {
    kDefault = 0,
    kClassBody = 9,
    kRoutineHeader = 19,
    kWithList = 20,
    kInterface = 21,
    kClassHead = 22,
  };
  // What part of a type, var or const section is being read.
  enum Section : int {
    kNoSection = 0,
    kSectionClassHead = 2,
    kSectionClassBody = 3,
    kVarSection = 4,
    kConstSection = 5,
    kRecordBody = 6,
  };

  explicit DelphiParser(ParserContext& tables) : RoutineParser(kModeDelphi, tables) {}

  void resetForFile(SourceReader& reader) override;
  void step(SourceReader& reader) override;
  void endOfFile(SourceReader& reader) override;
  // {$I file} puts the file's text in place: the unit goes on in it.
  bool continuesIntoHeaders() const override { return true; }

 private:
  // delphi_parser.cc: the step, blocks, statement ends, the end of the file.
  void blockKeyword(const std::string& token);
  void closeBlock();
  void semicolon();
  void runStatementMachine(const std::string& token);
  void referenceVariables(const std::string& token);
  // Whether the current token is one of `words` (delphi_word bits).
  bool has(std::uint64_t words) const { return (words_ & words) != 0; }
  // `procedure`, `function`, `constructor`, `destructor`, or the
  // `operator` of a `class operator`.
  bool startsRoutine() const {
    return has(delphi_word::kMethodWords) ||
           (has(delphi_word::kOperator) && (delphiWordsOf(history_.at(1)) & delphi_word::kClass));
  }
  bool isBeforeType() const;

  // delphi_routines.cc: the default state, headers, calls, routine ends.
  void defaultState(const std::string& token);
  void startHeader(bool isProcedure);
  void headerState(const std::string& token);
  void withState(const std::string& token);
  void callsWithoutParentheses(const std::string& token);
  void nameInExpression(const std::string& token);
  bool inRoutineBody() const;
  void startMainBlock();
  void endRoutine();
  void dropHeader();
  void restoreOuterRoutine(int innerSteps);

  // delphi_sections.cc: interface, class, record, var and const sections.
  void interfaceState(const std::string& token);
  bool sectionKeyword(const std::string& token);
  void sectionToken(const std::string& token);
  void startClass();
  void classHeadToken(const std::string& token);
  void propertyToken(const std::string& token);
  void classBodyToken(const std::string& token);
  void endClass();
  void startRecord();
  void recordBodyToken(const std::string& token);
  void endRecord();
  void constToken(const std::string& token);
  void unitClauseToken(const std::string& token);
  void finishClauseName();

  // delphi_declarations.cc: `names: type` declarations.
  void declarationPart(const std::string& token);
  void declaration(const std::string& className, const std::string& function, bool parameter);
  std::string declaredType(int end, int& colon, std::string& bounds) const;
  std::string declaredBounds(int from, int end) const;

  // What the parser knows of the file being read. Each file starts from
  // FileState{} (resetForFile), so that a field added here is reset too.
  struct FileState {
    int braceDepth = 0;  // open blocks
    int parenDepth = 0;
    State statementState = State::kDefault;
    int section = kNoSection;
    int tokenCount = 0;             // tokens of the current statement
    bool pathStatement = false;     // the statement so far is `name . name …`
    bool routineStatement = false;  // a class body's method or property line
    std::string propertyName;       // a class body's `property Name …: Type`
    std::string propertyType;
    bool afterHeader = false;  // only directives since the header's ';'
    int recordDepth = 0;       // open records: their `case` opens no block
    int asmDepth = -1;         // braceDepth inside an asm block, else -1
    int typeStartDepth = 0;    // braceDepth before the class or record began
    std::string structTag;     // the record being read
    std::string programName;   // `program Name;`: its main block's name
    bool mainBlock = false;    // a `begin` outside routines and types
    // In a unit's initialization or finalization section, whose blocks are
    // no main block (the unit's final `end.` closes the section).
    bool unitSections = false;
    // The constant of a const section being read: its name, and whether
    // its value is going to the Const list (or is skipped to the ';').
    // The unit's own clauses: `unit Name;` (`program`, `library`) and
    // `uses A, B in 'b.pas';`, with the dotted name being read.
    enum class Clause { kNone, kUnitName, kUses, kUsesPath, kSkip } clause = Clause::kNone;
    std::string clauseName;
    std::string constName;
    enum class ConstPart { kName, kValue, kSkip } constPart = ConstPart::kName;
  };
  FileState file_;
  std::uint64_t words_ = 0;  // the current token's delphi_word bits
  // The routines whose declaration part a nested routine interrupted.
  std::vector<RoutineState> outer_;
};
