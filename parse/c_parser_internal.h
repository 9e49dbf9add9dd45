// Inside the C-family parser: one object per file being read, holding the
// counters and the statement state of that file. The per-token step runs
// the counting pass (braces, parentheses, line ends, function ends) and
// then the statement machine, one small function per state. Grouped by the
// file that defines them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "parse/token_history.h"
#include "parse/token_tests.h"
#include "scan/token_parser.h"
#include "tables/decl_info.h"

class RunTables;
class FunctionTable;

class CParser final : public TokenParser {
 public:
  // The states of the statement machine; the number is what the end-of-file
  // status line prints, so the values are fixed. The class, namespace and
  // template states of C++ and Java take the numbers 9 to 18.
  enum State : int {
    kDefault = 0,
    kTypedef = 1,
    kStructHead = 2,
    kStructTag = 3,
    kStructBody = 4,
    kStructEnd = 5,
    kInitializer = 6,
    kEnum = 7,
    kExternC = 8,
    kClassBody = 11,
  };
  // Where a cast or a name used as a value stands (function-reference rule).
  enum : int { kNoReference = 0, kAfterAssign = -1, kAfterCast = 2, kAfterParenCast = 3 };
  static constexpr std::uint32_t kKindCall = 8;
  static constexpr std::uint32_t kKindPointer = 9;

  explicit CParser(int languageMode) : languageMode_(languageMode) {}

  void resetForFile(SourceReader& reader) override;
  void step(SourceReader& reader) override;
  void endOfFile(SourceReader& reader) override;

 private:
  // c_parser.cc: the step, the counting pass, the end of the file.
  void countingPass(const std::string& token);
  void semicolonCount();
  void openBrace();
  void closeBrace();
  void runStatementMachine(const std::string& token);
  void statementEnd();
  void endOfFileChecks();
  void positionMessage(const char* text) const;
  std::string positionPrefix() const;
  int namespaceDepth() const;
  int currentLine() const;
  const std::string& fileName() const;
  bool isJava() const { return file_.java; }

  // c_default_state.cc: calls, headers and function state.
  void defaultState(const std::string& token);
  void callOrHeader();
  void parenthesisedName(const TokenHistory::Declarator& d);
  bool headerWasNone(int position);
  bool declaredStatic(int typeStart) const;
  void withdrawPendingHeader();
  bool expandMacro(const std::string& name, std::uint32_t kind, int typeStart);
  void followMacroArguments(const std::string& token);
  bool inThrownAwayArgument() const;
  void MainForSetFunc_C(const std::string& name, std::uint32_t kind, int typeStart);
  std::string returnTypeWalk(int n) const;
  void collectArgument(const std::string& token);
  void enterFunction(const std::string& name);
  void resetFunction();
  void captureArguments();
  bool isParameter(const std::string& name) const;
  void referenceVariables(const std::string& token);
  int referencePosition() const;
  void functionReference(const std::string& token, int position);
  void pointerAssignment(const std::string& token);
  bool knownFunction(const std::string& name) const;
  void callFromCurrent(const std::string& callee, std::uint32_t kind);
  DeclInfo currentDecl() const;

  // c_statements.cc: the declaration states.
  bool startKeywordState(const std::string& token);
  void typedefState(const std::string& token);
  void typedefBaseToken(const std::string& token);
  void typedefName(const std::string& name);
  void endTypedef();
  void structHeadState(const std::string& token);
  void structTagState(const std::string& token);
  void structBodyState(const std::string& token);
  void structEndState(const std::string& token);
  void structTypedefName(int n);
  void leaveStructure();
  void initializerState(const std::string& token);
  void enumState(const std::string& token);
  void enumBodyToken(const std::string& token);
  void enumAfterBody(const std::string& token);
  void completeEnumerator();
  void externCState(const std::string& token);
  void enterExternC(const std::string& token);
  std::string anonymousStructName() const;
  int languages() const { return languageMode_; }

  // declaration_rule.cc: variables and function-pointer variables.
  void declarationRule(const std::string& token, const std::string& givenType = std::string());
  bool declaredName(int& position, std::string& name, std::string& bare) const;
  std::string collectType(int n, bool& afterParen) const;
  bool knownType(const std::string& type) const;
  void registerFunctionPointer(const std::string& name);
  void registerVariable(const std::string& type, const std::string& name, bool insideParens,
                        bool afterParen);
  int scopeLevel() const;

  static bool isDeclarationEnd(const std::string& token, int parenDepth);

  FunctionTable& functions() const;

  RunTables* tables_ = nullptr;  // attached by resetForFile
  TokenTests tests_;
  TokenHistory history_;
  SourceReader* reader_ = nullptr;
  const int languageMode_;

  // What the parser knows of the file being read. Each file starts from
  // FileState{} (resetForFile), so that a field added here is reset too.
  struct FileState {
    // Counters and function state.
    int braceDepth = 0;
    int parenDepth = 0;
    int statementState = kDefault;
    bool java = false;
    bool inBody = false;
    std::string currentFunction;
    std::string currentClass;
    bool headerPending = false;
    int entryDepth = 0;
    int stepCount = 1;
    bool countingSteps = false;
    int pointerPending = 0;
    int classStartDepth = 0;
    std::string declaredType;
    int declaredTypeParens = 0;  // parenDepth of the declarator that set declaredType
    bool externSeen = false;
    bool externCJustClosed = false;

    // Declaration states.
    std::string structTag;
    int structStartDepth = 0;
    int bodyKind = 0;
    bool structClosed = false;
    bool typedefMode = false;
    bool typedefPointer = false;
    int lastStructSize = 0;
    int blockStartDepth = 0;
    int enumValue = 0;

    // The argument lists of the macro calls being read (macros not taken
    // as functions): a call inside an argument the macro throws away is
    // no call.
    struct MacroArguments {
      int depth;              // parenDepth inside the list
      int index;              // the argument being read
      std::uint64_t unused;   // bit k: the macro never uses argument k
    };
    std::vector<MacroArguments> macroArguments;
    // The parameter names of the function being read: a call through one,
    // or one used as a value, is no call of a function of that name.
    std::vector<std::string> parameters;
    // The argument text of the header being read.
    std::string arguments;
    std::string lastArgumentToken;
    bool collectingArguments = false;
  };
  FileState file_;
  std::vector<std::string_view> macroTargets_;  // scratch of expandMacro
};
