// Inside the VB parser: one object per file being read. Line ends (and ':'
// between statements, and the word after a single-line If's Then or Else)
// separate statements; the statement machine reads a statement's keyword
// and then the tokens up to its end. A VB6 form, class or user control is
// the class its VB_Name attribute names, a VB6 module keeps its routines
// plain unless Private; in VB.NET the Class, Structure and Module blocks
// say it. Grouped by the file that defines them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "context/language_mode.h"
#include "parsers/routine_parser.h"

class VbParser final : public RoutineParser {
 public:
  // The statement states; the number is what the end-of-file status line
  // prints, so the values are fixed.
  enum class State : int {
    kDefault = 0,
    kBlockName = 9,
    kRoutineHeader = 19,
    kWith = 20,
    kCall = 23,
    kDeclare = 24,
    kDim = 25,
    kConst = 26,
    kTypeBlock = 27,
    kExit = 28,
    kEnd = 29,
    kImplements = 30,
  };
  // What a block keyword of VB.NET opens, once the next word names it.
  enum class Block { kNone, kClass, kModule, kInterface };

  // A Declare'd routine: defined, without a place in the sources.
  static constexpr std::uint32_t kKindExternal = 24;

  explicit VbParser(ParserContext& tables) : RoutineParser(kModeVb, tables) {}

  void resetForFile(SourceReader& reader) override;
  void step(SourceReader& reader) override;
  void endOfFile(SourceReader& reader) override;

 private:
  // vb_parser.cc: the step, statement keywords, blocks, headers, the end
  // of a routine.
  const std::string* withoutByteOrderMark(const std::string& token);
  bool statementEnd(const std::string& token) const;
  void countStatement(const std::string& token, bool end);
  void runStatementMachine(const std::string& token);
  bool statementKeyword(const std::string& token);
  bool blockKeyword(const std::string& token);
  void blockName(const std::string& token);
  void startHeader(const std::string& keyword);
  bool hasLeadingWord(std::string_view word) const;
  void headerState(const std::string& token);
  void defineRoutineNamed(const std::string& name);
  void definePendingProperty(const std::string& token);
  void defaultState(const std::string& token);
  void endState(const std::string& token);
  void implementsState(const std::string& token);
  void endRoutine();
  void referenceVariables(const std::string& token);
  bool atStatementStart() const;
  static bool isStatementWord(std::string_view token);
  bool isNet() const { return file_.net; }

  // vb_calls.cc: calls with and without parentheses, on objects, New,
  // the objects a `Set x = New C` gives a class, lambdas.
  void callsInStatement(const std::string& token);
  void callsWithoutParentheses(const std::string& token);
  void callsInExpression(const std::string& token);
  bool isLabel() const;
  void pathStatement(const std::string& token);
  bool newObject(const std::string& token);
  void lambdaToken(const std::string& token);
  void lambdaLineEnd();

  // vb_declarations.cc: the file's class or module, its designer's
  // controls, headers' types, arguments and parameters, Declare, Const,
  // Type, Dim, Inherits.
  bool skipsDesignerSection(const std::string& token);
  void designerToken(const std::string& token);
  void fileScope(const std::string& token, bool end);
  std::string attributeValue() const;
  void startClassFile(const std::string& name);
  void startModule(const std::string& name);
  void headerToken(const std::string& token);
  void completeHeader();
  void parameters(int close);
  void declareState(const std::string& token);
  void dimState(const std::string& token);
  void constState(const std::string& token);
  void typeBlockState(const std::string& token);
  void declarations(int end);
  template <class Part>
  void forEachCommaPart(int from, int to, Part part) const;
  void declaration(int asWord, int end, int parameterDepth);
  std::string declaredName(int asWord) const;
  void inferredDeclaration(int nameAt);
  void registerDeclared(const std::string& type, const std::string& name, int parameterDepth);
  void endTypeBlock();

  // What the parser knows of the file being read. Each file starts from
  // FileState{} (resetForFile), so that a field added here is reset too.
  struct FileState {
    bool net = false;  // a VB.NET file (.vb)
    int parenDepth = 0;
    State statementState = State::kDefault;
    int tokenCount = 0;          // tokens of the current statement, its end included
    bool leadingWords = true;    // only scope words and attributes so far
    int attributeDepth = 0;      // inside a statement's `<…>` attributes
    bool pathStatement = false;  // the statement so far is `name . name …`
    bool designer = false;       // in a form's or class's designer section
    bool classFile = false;      // a VB6 form, class or user control
    bool firstToken = true;
    std::string firstWord;  // the file's first word without a byte-order mark
    int designerDepth = 0;  // Begin … End nesting of the designer
    // The designer's controls (name, type), members of the form's class.
    std::vector<std::pair<std::string, std::string>> controls;
    bool attributeName = false;  // the statement is `Attribute VB_Name = "…"`
    bool scopeStarted = false;   // the file's class or module is known
    std::string vbName;          // the VB_Name attribute's value
    std::string designerName;    // the form's or control's name in its designer
    int interfaceDepth = 0;      // open Interface blocks: their members have no body
    Block pendingBlock = Block::kNone;
    bool isProperty = false;     // the header being read is a Property's
    bool noBody = false;         // the header being read declares only
    bool privateHeader = false;  // the header being read is Private
    // A VB6 class file whose class name another file of the run has: its
    // routines belong to the file.
    bool classTakenElsewhere = false;
    std::string headerName;  // the routine's name in the header being read
    int headerLine = 0;      // the line it starts on
    // A VB.NET property without a parameter list: a routine only when Get
    // or Set blocks follow. Its name and line.
    std::string pendingProperty;
    int pendingPropertyLine = 0;
    bool dimAfterEquals = false;  // a Dim statement's initial value is being read
    std::string headerArguments;  // the text of the header's ( … )
    std::string headerType;       // the word after the header's As
    bool headerTypeNext = false;
    int headerClose = -1;       // tokens since the header's ')' (-1 none)
    std::string structTag;      // the Type block being read
    std::string className;      // the class of the file or of the Class block
    std::string moduleName;     // the module of the file or of the Module block
    bool module = false;        // routines are a module's (plain, Private ones the file's)
    int lambdaDepth = 0;        // open multi-line lambdas: their End Sub ends no routine
    int lambdaParenDepth = -1;  // parenDepth before a lambda's parameter list
    int lambdaClosedAt = -1;    // tokenCount at the ')' of that list
  };
  FileState file_;
};
