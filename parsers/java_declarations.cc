#include "parsers/java_declarations.h"

#include "parsers/parser_base.h"
#include "parsers/token_tests.h"
#include "scan/lexical_rules.h"

namespace {

bool isNameToken(const std::string& t) {
  return !t.empty() && !isDelimiterToken(t) && !startsWithDigit(t) && t[0] != '@';
}

bool isClassKeyword(const std::string& t) {
  return t == "class" || t == "interface" || t == "enum" || t == "record" || t == "@interface";
}

// Class heads and member-level '(' on the braces and parentheses alone:
//   [modifiers] class|interface|enum|record Name [<…>] [(…)] [extends A] [implements B, c.D] {
//   [modifiers] [<T>] Type name (   at member level, not after '=', in an
//   enumeration's constants or in an annotation -> a method
class JavaDeclarationParser final : public ParserBase {
 public:
  JavaDeclarationParser(ParserContext& tables, JavaDeclarations& found, const std::string& path)
      : ParserBase(tables), found_(found), path_(path) {}

  void resetForFile(SourceReader& reader) override { attachFile(reader); }
  void endOfFile(SourceReader&) override {}
  void step(SourceReader& reader) override {
    const std::string* live = liveToken(reader);
    if (!live || *live == "\n" || isBlankToken(*live)) return;
    token(*live);
  }

 private:
  enum class Head { kNone, kName, kBases };
  struct Body {
    size_t cls;          // index in found_.classes
    int depth;           // brace depth inside the body
    bool enumConstants;  // an enumeration's constants, before their ';'
  };

  void token(const std::string& t);
  bool headToken(const std::string& t);
  void memberParenthesis();
  void memberField();
  std::string typeBefore(int k) const;
  void enumConstant(const std::string& t, bool afterAnnotation);
  bool atMemberLevel() const { return !bodies_.empty() && brace_ == bodies_.back().depth; }

  JavaDeclarations& found_;
  const std::string path_;
  std::vector<Body> bodies_;
  int brace_ = 0;
  int paren_ = 0;
  Head head_ = Head::kNone;
  JavaDeclarations::Class pending_;
  bool pendingEnum_ = false;
  bool bases_ = false;                // after extends or implements
  int angle_ = 0;                     // <…> in the head
  int headParen_ = 0;                 // a record's components
  bool initializer_ = false;          // after '=' at member level, up to its ';'
  bool annotationArguments_ = false;  // the open '(' at member level is an annotation's
  bool annotationClosed_ = false;     // the last token closed an annotation's arguments
};

void JavaDeclarationParser::token(const std::string& t) {
  const bool afterAnnotation = annotationClosed_;
  annotationClosed_ = false;
  if (head_ != Head::kNone && headToken(t)) return;
  if (isClassKeyword(t) && history_.at(1) != "." && paren_ == 0) {
    head_ = Head::kName;
    pending_ = JavaDeclarations::Class{};
    pending_.file = path_;
    pendingEnum_ = t == "enum";
    bases_ = false;
    angle_ = headParen_ = 0;
    return;
  }
  if (t == "{") {
    ++brace_;
  } else if (t == "}") {
    --brace_;
    if (!bodies_.empty() && brace_ < bodies_.back().depth) bodies_.pop_back();
    if (brace_ < 0) brace_ = 0;
  } else if (t == "(") {
    ++paren_;
    if (paren_ == 1) {
      const std::string& before = history_.at(1);
      annotationArguments_ = (!before.empty() && before[0] == '@') || history_.at(2) == "@";
      if (!annotationArguments_) memberParenthesis();
    }
  } else if (t == ")") {
    if (paren_ > 0) --paren_;
    annotationClosed_ = paren_ == 0 && annotationArguments_;
  } else if (atMemberLevel() && paren_ == 0) {
    if (bodies_.back().enumConstants) {
      enumConstant(t, afterAnnotation);
    } else if (!initializer_ && (t == "=" || t == ";" || t == ",")) {
      memberField();
    }
    if (t == "=") initializer_ = true;
    if (t == ";") {
      initializer_ = false;
      bodies_.back().enumConstants = false;
    }
  }
}

// {|, [@A[(…)]] NAME [( … )] [{ … }] , …  ;  -> constants of the
// enumeration's type
void JavaDeclarationParser::enumConstant(const std::string& t, bool afterAnnotation) {
  const std::string& before = history_.at(1);
  if (!isNameToken(t) || tests_.isReserved(t)) return;
  if (before != "{" && before != "," && (before.empty() || before[0] != '@') && !afterAnnotation)
    return;
  JavaDeclarations::Class& c = found_.classes[bodies_.back().cls];
  c.fields.push_back({c.name, t});
}

// Type name ;|=|,  at member level -> a field of the class (Type<…> and
// Type[] name the class Type).
void JavaDeclarationParser::memberField() {
  const std::string& name = history_.at(1);
  if (!isNameToken(name) || tests_.isReserved(name)) return;
  const std::string type = typeBefore(2);
  if (!type.empty()) found_.classes[bodies_.back().cls].fields.push_back({type, name});
}

// The class a type ending at look-back k names (`a.b.Type<…>[]` -> Type),
// or empty for a primitive, a modifier or no type.
std::string JavaDeclarationParser::typeBefore(int k) const {
  while (history_.at(k) == "]" && history_.at(k + 1) == "[") k += 2;
  if (history_.at(k) == ">") {
    for (int depth = 0; k < TokenHistory::kDeepest; ++k) {
      const std::string& a = history_.at(k);
      if (a == ">") ++depth;
      if (a == "<" && --depth == 0) break;
      if (a.empty()) return std::string();
    }
    ++k;
  }
  const std::string& type = history_.at(k);
  if (!isNameToken(type) || tests_.isReserved(type)) return std::string();
  return type;
}

// True when the token belonged to the head being read.
bool JavaDeclarationParser::headToken(const std::string& t) {
  if (head_ == Head::kName) {
    if (isNameToken(t) && !tests_.isReserved(t) && !isClassKeyword(t)) {
      pending_.name = t;
      head_ = Head::kBases;
      return true;
    }
    head_ = Head::kNone;  // `Foo.class`, `enum` as a word: no head
    return false;
  }
  if (t == "{" && angle_ == 0 && headParen_ == 0) {
    found_.classes.push_back(std::move(pending_));
    ++brace_;
    bodies_.push_back({found_.classes.size() - 1, brace_, pendingEnum_});
    head_ = Head::kNone;
    return true;
  }
  if (t == ";" && headParen_ == 0) {
    head_ = Head::kNone;
    return true;
  }
  if (t == "<") ++angle_;
  if (t == ">" && angle_ > 0) --angle_;
  if (t == "(") ++headParen_;
  if (t == ")" && headParen_ > 0) --headParen_;
  if (angle_ > 0 || headParen_ > 0) return true;
  if (t == "extends" || t == "implements") {
    bases_ = true;
  } else if (t == "permits") {
    bases_ = false;
  } else if (bases_ && isNameToken(t) && !tests_.isReserved(t)) {
    // a.b.Base: the class is its last part
    if (history_.at(1) == "." && !pending_.bases.empty())
      pending_.bases.back() = t;
    else
      pending_.bases.push_back(t);
  }
  return true;
}

// name '(' at member level: a method or a constructor of the class.
void JavaDeclarationParser::memberParenthesis() {
  if (!atMemberLevel() || initializer_ || bodies_.back().enumConstants) return;
  const std::string& name = history_.at(1);
  const std::string& before = history_.at(2);
  if (!isNameToken(name) || tests_.isReserved(name) || before == "." || before == "new") return;
  JavaDeclarations::Class& c = found_.classes[bodies_.back().cls];
  c.methods.push_back(name);
  const std::string type = typeBefore(2);
  if (!type.empty()) c.results.push_back({type, name});
}

}  // namespace

std::unique_ptr<TokenParser> makeJavaDeclarationParser(ParserContext& tables,
                                                       JavaDeclarations& found,
                                                       const std::string& path) {
  return std::make_unique<JavaDeclarationParser>(tables, found, path);
}
