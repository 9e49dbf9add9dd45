// Inside the C-family parser: one object per file being read, holding the
// counters and the statement state of that file. The per-token step runs
// the counting pass (braces, parentheses, line ends, function ends) and
// then the statement machine, one small function per state. C++ and Java
// files add the class, namespace and template states and the member rule,
// which binds each call and header to its class and namespace. Grouped by
// the file that defines them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "parsers/parser_base.h"
#include "parsers/token_history.h"
#include "parsers/token_tests.h"
#include "scan/token_parser.h"
#include "tables/decl_info.h"

struct ParserContext;
class FunctionTable;

class CParser final : public ParserBase {
 public:
  // The states of the statement machine; the number is what the end-of-file
  // status line prints, so the values are fixed. States 9 to 18 are read
  // in C++ and Java files only.
  enum class State : int {
    kDefault = 0,
    kTypedef = 1,
    kStructHead = 2,
    kStructTag = 3,
    kStructBody = 4,
    kStructEnd = 5,
    kInitializer = 6,
    kEnum = 7,
    kExternC = 8,
    kClassHead = 9,
    kBaseList = 10,
    kClassBody = 11,
    kNew = 12,
    kConstructorList = 13,
    kDelete = 14,
    kNamespaceName = 15,
    kUsingNamespace = 16,
    kTemplate = 17,
    kObjectArguments = 18,
    kUsingAlias = 19,
  };
  // Where a cast or a name used as a value stands (function-reference rule).
  enum : int { kNoReference = 0, kAfterAssign = -1, kAfterCast = 2, kAfterParenCast = 3 };
  static constexpr std::uint32_t kKindCall = 8;
  static constexpr std::uint32_t kKindPointer = 9;
  static constexpr std::uint32_t kKindOperator = 136;

  CParser(int languageMode, ParserContext& tables)
      : ParserBase(tables), languageMode_(languageMode) {}

  void resetForFile(SourceReader& reader) override;
  void step(SourceReader& reader) override;
  void endOfFile(SourceReader& reader) override;
  bool expandsMacros() const override { return true; }
  bool continuesIntoHeaders() const override;
  MacroUse macroUse(const DefineEntry& macro) const override;
  bool annotatesMember() const;

 private:
  // A call in a C++ inline member function that names no member declared
  // so far (`f(` or `member.f(`): a member declared further down the class
  // may be meant, so the call is bound when the class is complete.
  struct DeferredCall {
    DeclInfo caller;
    std::string name;
    std::uint32_t kind;
    std::string object;    // "member.part" before the name, or empty
    std::string position;  // the log's position prefix of the call
    bool arrow = false;    // called through `->` on the object
  };
  struct ClassBody {
    std::string name;
    int startDepth;
    bool structure;  // the tag becomes a structure type at the end
    bool javaEnum;
    bool enumConstants;  // a Java enum's constants, before their ';'
    bool closing;        // C++: the body closed, its ';' not yet seen
    bool typedefNames;   // `typedef struct tag { … } NAME;`: names follow
    std::vector<DeferredCall> deferred;
  };

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
  // What the file's classes look like: its language's.
  bool isJava() const { return file_.language == SourceLanguage::kJava; }
  bool isCpp() const { return file_.language == SourceLanguage::kCpp; }
  bool hasClasses() const { return file_.language != SourceLanguage::kC; }
  // Between BEGIN_MESSAGE_MAP(…) and END_MESSAGE_MAP(): the entries are
  // calls of the map, which has no body.
  bool inMessageMap() const {
    return isCpp() && !file_.inBody && file_.currentFunction == "BEGIN_MESSAGE_MAP";
  }

  // c_default_state.cc: calls, headers and function state.
  void defaultState(const std::string& token);
  bool braceInitialised();
  void braceTemporary();
  bool temporaryInBody(int position) const;
  void callOrHeader();
  void parenthesisedName(const TokenHistory::Declarator& d);
  int conversionOperator() const;
  std::string conversionType(int at) const;
  bool commaOperandCall();
  bool tagNamedFunction(const std::string& name, int position) const;
  int templateArgumentsName(int k) const;
  bool structureMember(const std::string& name, int position) const;
  bool headerWasNone(int position);
  bool declaredStatic(int typeStart) const;
  void withdrawPendingHeader();
  void MainForSetFunc_C(const std::string& name, std::uint32_t kind, int typeStart);
  std::string returnTypeWalk(int n) const;
  std::string javaReturnType(int n) const;
  void collectArgument(const std::string& token, int parenDepth);
  void enterFunction(const std::string& name);
  void resetFunction();
  void captureArguments(bool always = false);
  bool memberNamedLikeType(const std::string& name, int position) const;
  bool memberOfObject(int position) const;
  bool isParameter(const std::string& name) const;
  void referenceVariables(const std::string& token);
  int referencePosition() const;
  void functionReference(const std::string& token, int position);
  void pointerAssignment(const std::string& token);
  bool knownFunction(const std::string& name) const;
  void callFromCurrent(const std::string& callee, std::uint32_t kind);
  DeclInfo currentDecl() const;
  // The key parts of the current function, as views of the file state.
  KeyParts callerParts() const;
  bool bodyFollows() const;
  bool initialValueBraces() const;
  // A constructor's initializer list is being read: its body has not opened.
  bool readingInitializerList() const { return file_.initializerList && file_.headerPending; }
  int pastHeaderEnd(int k) const;
  int pastHeaderWords(int k) const;
  int beforeTrailingReturn(int k) const;

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
  void settleEnumInitializer();
  void externCState(const std::string& token);
  void enterExternC(const std::string& token);
  std::string anonymousStructName() const;
  int languages() const { return languageMode_; }
  // An out-of-class constructor's initializer list is home until its body
  // opens (`A::A() : p(new B), c(1) {`).
  State homeState() const {
    if (!file_.classBodies.empty()) return State::kClassBody;
    return readingInitializerList() ? State::kConstructorList : State::kDefault;
  }
  // Type aliases of classes (c_type_aliases.cc).
  void usingAliasState(const std::string& token);
  // True when the token was inside template arguments (and so read).
  bool noteAliasToken(const std::string& token);
  void registerClassAlias(const std::string& name, const std::string& type, int typeEnd = 0);
  std::string aliasedTemplate(const std::string& name) const;
  void usingDeclaration();
  // `name` when it is a class, else the class an alias of that name (or of
  // a leading part, `Alias::Inner`) names; empty when neither.
  std::string classOrAlias(const std::string& name) const;
  std::string classUnderPath(const std::string& path, const std::string& name) const;
  void leaveState() { file_.statementState = homeState(); }

  // c_class_states.cc: classes, namespaces, templates, new and delete.
  bool startClassKeywordState(const std::string& token);
  void enterClassHead(bool structure, bool javaEnum);
  void classHeadState(const std::string& token);
  bool skippedBeforeClassName(const std::string& token);
  void baseListState(const std::string& token);
  bool introducesBases(const std::string& token) const;
  void classHeadToken(const std::string& token);
  bool qualifiedHeadToken(const std::string& token);
  void qualifyHeadName(const std::string& part);
  void baseToken(const std::string& token);
  void registerHeadClass();
  std::string nestedName(const std::string& name) const;
  void addBaseName(const std::string& name);
  void openClassBody();
  void classBodyState(const std::string& token);
  void enumConstantBody();
  void memberLevelToken(const std::string& token);
  void memberDeclaration();
  bool operatorMember(std::string& name, int& position) const;
  void initializerListEntry(const std::string& name, int position);
  void baseStructorsOfDefinition();
  void classBodyClosed(const std::string& token);
  void endClassBody();
  void bindDeferredCalls(const ClassBody& body);
  bool defersToClassEnd() const;
  bool templateDeclaration(int q) const;
  std::string qualifiedTypeAt(int k) const;
  std::string memberPathType(const std::string& className, const std::string& path,
                             bool arrow = false) const;
  void restoreClassContext();
  void newState(const std::string& token);
  void constructorListState(const std::string& token);
  void deleteState(const std::string& token);
  void namespaceNameState(const std::string& token);
  void usingNamespaceState(const std::string& token);
  void templateState(const std::string& token);
  bool objectDeclaration();
  void objectArgumentsState(const std::string& token);
  void objectWasHeader(const std::string& token);
  void closeAnonymousNamespaces();

  // member_rule.cc: the class and namespace of each call and header.
  void memberRule(std::string name, std::uint32_t kind, int position);
  void memberCall(std::string name, std::uint32_t kind, int position);
  void memberHeader(std::string name, std::uint32_t kind, int position, int line = 0);
  void qualifiedCallee(DeclInfo& callee, int position);
  void plainCallee(DeclInfo& callee);
  void namespaceOfCallee(DeclInfo& callee);
  struct ObjectType {
    std::string type;      // the class (or type text) of the object, empty when unknown
    std::string text;      // the object expression as written, for the log
    bool pointer = false;  // a call's result or a `new` object is a pointer to `type`
  };
  ObjectType objectType(int k, int depth) const;
  ObjectType objectOfName(int k, int depth) const;
  ObjectType objectOfParen(int k, int depth) const;
  ObjectType objectOfCast(int k) const;
  std::string returnTypeOfCall(int open, int depth, bool* pointer = nullptr,
                               bool* reference = nullptr) const;
  std::string classOfReturnType(std::string_view written, const std::string& scope) const;
  void resultTemporary(int position);
  int postfixChainStart(int k) const;
  std::string temporaryClass(int k) const;
  void temporaryCall(std::string made, std::uint32_t kind, int lead);
  void callStructor(const std::string& made, bool destructor, std::uint32_t kind);
  bool declaratorBefore(int k) const;
  // How an object is used: whole (`obj.f(`), or through its `->` or `[…]`.
  enum class Access { kWhole, kArrow, kSubscript };
  std::string memberType(const std::string& className, const std::string& member,
                         Access access = Access::kWhole) const;
  std::string classOfObject(const std::string& type, Access access) const;
  std::string qualifiedPrefix(int n, int& before) const;
  std::string resolveClass(const std::string& name) const;
  bool namesPointerAlias(const std::string& name) const;
  // The first non-empty answer of `lookup` for `name` in the scopes of the
  // code being read, innermost first (member_rule.cc).
  template <class Lookup>
  std::string inScopes(const std::string& name, Lookup lookup) const;
  std::string resolveNamespace(const std::string& name) const;
  std::string resolveTypeName(const std::string& type) const;
  bool javaMethodInBody(int position) const;
  void javaStaticImport();
  std::string javaSuperClass(const std::string& member) const;
  std::string staticImportOwner(const std::string& name) const;
  void logUnknownQualifier(const std::string& qualifier, const std::string& name) const;
  DeclInfo functionDecl(const std::string& className, const std::string& name) const;
  std::string_view namespaceOfFunction(const std::string& className) const;
  // The class of the current function: none for a friend.
  const std::string& functionClass() const;
  // The innermost namespace the run knows around `className`.
  std::string enclosingNamespace(const std::string& className) const;
  bool declaredFriend(int typeStart) const;
  std::string_view currentReturnType() const;
  bool returnsBool() const;
  void castToBool();
  void returnedCopy(int start);

  // c_operator_calls.cc: `a + b`, `n++`, `s << x` on an object whose
  // class declares the operator.
  void operatorCall(const std::string& token);
  std::string elementClass() const;
  bool operandAt(const std::string& token) const;
  bool declaratorAt() const;
  int prefixOperatorLength(const std::string& token) const;
  void startOperator(std::string operandClass, char first, bool declared);
  bool operandEndsWith(const std::string& lead, bool brackets) const;
  static bool usesPointeeWhole(const std::string& token);
  std::string memberObjectClass(int k) const;
  std::string callResultClass(int open, bool& pointer) const;
  std::string memberOperandClass(const std::string& token) const;
  std::string classOfOperand(bool& object) const;
  void testOperator();
  void callPrefixOperator(const std::string& operandClass, const std::string& symbol);
  bool callOperator(const std::string& operandClass, std::string symbol);
  // … and objects tested as truth values (`if (a)`, `a && b`).
  void truthOperandCall(const std::string& token);
  std::string wholeObjectClass() const;
  int operandStart() const;
  bool standsAlone(int start) const;
  bool logicalOperatorAt(int k) const;
  void callTruthConversion(const std::string& operandClass);
  void conversionOperators(const std::string& className, std::vector<std::string>& found,
                           std::vector<std::string>& visited) const;

  // declaration_rule.cc: variables and function-pointer variables.
  void declarationRule(const std::string& token, const std::string& givenType = std::string());
  bool declaredName(int& position, std::string& name, std::string& bare) const;
  std::string collectType(int n, bool& afterParen) const;
  bool knownType(const std::string& type) const;
  std::string classLanguageType(const std::string& type) const;
  // How a declared object of a class comes to be: built where it is
  // declared; from the initialiser after its '=' (`T x = f();` takes what
  // f gives, and only `T x = {…};` calls a constructor of T); or elsewhere
  // (`auto x = …`).
  enum class Built { kHere, kByInitialiser, kElsewhere };
  // `once`: a static object.
  void buildsObject(const std::string& type, const std::string& className,
                    const std::string& function, Built built, bool once);
  void initialiserToken(const std::string& token);
  bool namedInitialiser() const;
  void settleInitialisedObject(bool constructed);
  static Built builtBy(const std::string& declarationEnd);
  void registerFunctionPointer(const std::string& name);
  void registerVariable(const std::string& type, const std::string& name, bool insideParens,
                        bool afterParen, Built built = Built::kHere, bool once = false);
  void autoDeclarationEnd(const std::string& token);
  int scopeLevel() const;

  static bool isDeclarationEnd(const std::string& token, int parenDepth);

  FunctionTable& functions() const;

  const int languageMode_;

  // What the parser knows of the file being read. Each file starts from
  // FileState{} (resetForFile), so that a field added here is reset too.
  struct FileState {
    // Counters and function state.
    int braceDepth = 0;
    int parenDepth = 0;
    State statementState = State::kDefault;
    SourceLanguage language = SourceLanguage::kC;
    bool inBody = false;
    std::string currentFunction;
    std::string currentClass;
    // The current function is a friend declared in the class's body: a
    // function of the class's namespace, not a member.
    bool friendFunction = false;
    bool headerPending = false;
    int entryDepth = 0;
    int stepCount = 1;
    bool countingSteps = false;
    int pointerPending = 0;
    int classStartDepth = 0;
    std::string declaredType;
    int declaredTypeParens = 0;       // parenDepth of the declarator that set declaredType
    bool declaredTypeStatic = false;  // … and whether it was declared `static`
    bool externSeen = false;
    bool externCJustClosed = false;

    // Declaration states.
    std::string structTag;
    int structStartDepth = 0;
    int bodyKind = 0;
    bool structClosed = false;
    bool typedefMode = false;
    bool typedefPointer = false;
    // C++: the last two words of an alias's statement, as written without
    // template arguments (`a::B`), and the depth of those arguments.
    std::string aliasType;
    std::string aliasWord;
    int aliasAngle = 0;
    std::string aliasName;  // `using aliasName = …`
    int lastStructSize = 0;
    int blockStartDepth = 0;
    int enumValue = 0;
    bool enumInitializer = false;  // the tokens after an enumerator's '='
    std::string enumText;          // … joined, a blank between two words
    int enumParens = 0;            // parenDepth of the enumeration's body

    // The parameter names of the function being read: a call through one,
    // or one used as a value, is no call of a function of that name.
    std::vector<std::string> parameters;
    // The argument text of the header being read.
    std::string arguments;
    std::string lastArgumentToken;
    bool collectingArguments = false;

    // Classes (C++ and Java). A class head being read (states 9 and 10):
    struct ClassHead {
      std::string name;  // the candidate name; a later plain name replaces it
      bool named = false;
      bool structure = false;  // a C++ struct read as a class
      bool javaEnum = false;
      int angle = 0;            // depth of <…> in the base list
      bool bases = false;       // C++ after ':', Java after extends / implements
      std::string base;         // the base name being collected (C++ "a::b")
      bool colon = false;       // C++: one ':' after the name, bases or `A::B`
      bool qualifying = false;  // C++: `A::` read, the inner name follows
      int skipped = 0;          // depth in `[[…]]` or a specifier's `(…)` before the name
      bool befriended = false;  // C++ `friend class Name`: no class of its own
    } head;
    // The class bodies open, innermost last; currentClass and
    // classStartDepth are the innermost's while no out-of-class member
    // definition (`void A::f() {`) names another class.
    std::vector<ClassBody> classBodies;
    bool classFromQualifier = false;           // currentClass came from `A::f(`
    std::string functionNamespace;             // the namespace of a function of no class
    std::vector<std::string> classesWithBody;  // the classes whose body this file gave
    // The member statement being read at member level: after its '='
    // (an initializer), and the constructor initializer list after ':'.
    bool memberAssign = false;
    bool initializerList = false;
    bool throwsSeen = false;  // Java: "throws" after the header
    // Java: `import static a.b.C.name;` and `import static a.b.C.*;`, the
    // member's name ("*" for all) and its class's simple name.
    struct StaticImport {
      std::string member;
      std::string cls;
    };
    std::vector<StaticImport> staticImports;
    // Anonymous namespaces: the brace depth before each one's '{'.
    std::vector<int> anonymousNamespaces;
    bool namespaceNamed = false;  // state 15: a name of the head was read
    // State 12: the class named after "new", collected up to its '('.
    std::string newClass;
    int newAngle = 0;
    int templateAngle = 0;  // state 17
    // State 18: `Class obj(` outside a function.
    std::string objectClass;
    std::string objectName;
    int objectTokens = 0;  // live tokens since its '('
    int objectLine = 0;
    // An object of a class type followed by delimiters: its class and the
    // delimiters so far (an operator of up to three characters).
    std::string operandClass;
    char operatorText[4] = {};
    int operatorLength = 0;
    bool operandDeclared = false;  // the object is being declared: its `=` is no call
    bool operandAlone = false;     // nothing binds it closer than a `&&` or `||` after it
    // An object declared with '=', whose constructor call waits for its
    // initialiser: its class, the class and function that hold it, and
    // the depths of its '='.
    struct InitialisedObject {
      std::string cls, outer, function;
      bool once = false;  // a static object: destroyed at exit
      int parens = 0;
      int braces = 0;
      bool started = false;  // the initialiser's first token has come
    } initialised;
  };
  FileState file_;
};
