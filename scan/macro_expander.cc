#include "scan/macro_expander.h"

#include <algorithm>
#include <utility>

#include "context/text_util.h"
#include "scan/define_table.h"
#include "scan/lexical_rules.h"

namespace {

bool isWhitespaceToken(const std::string& token) { return token == "\n" || isBlankToken(token); }

bool isNameToken(std::string_view token) {
  return !token.empty() && !isDelimiterToken(token) && !startsWithDigit(token);
}

bool hides(const std::vector<std::string>& hidden, std::string_view name) {
  for (const std::string& h : hidden)
    if (h == name) return true;
  return false;
}

void addHidden(std::vector<std::string>& hidden, const std::vector<std::string>& more) {
  for (const std::string& h : more)
    if (!hides(hidden, h)) hidden.push_back(h);
}

// A literal runs to its closing quote; a backslash takes the byte after it,
// and a double-byte character is never cut.
size_t literalEnd(std::string_view body, size_t start) {
  const char quote = body[start];
  size_t i = start + 1;
  while (i < body.size()) {
    unsigned char c = static_cast<unsigned char>(body[i]);
    if (isShiftJisLead(c) && i + 1 < body.size()) {
      i += 2;
      continue;
    }
    if (c == '\\') {
      i += 2;
      continue;
    }
    ++i;
    if (c == static_cast<unsigned char>(quote)) break;
  }
  return std::min(i, body.size());
}

// The parameter names of "(a, b, ...)" or "(a, rest...)"; the variadic
// one is named as the body calls it.
struct Parameters {
  std::vector<std::string_view> names;
  bool variadic = false;
};

Parameters parametersOf(const DefineEntry& macro) {
  Parameters p;
  p.names = macroParameterNames(macro.params);
  if (p.names.size() == 1 && p.names[0].empty()) p.names.clear();  // "()"
  if (!p.names.empty()) {
    std::string_view& last = p.names.back();
    if (last == "__VA_ARGS__") {
      p.variadic = true;
    } else if (last.size() > 3 && last.substr(last.size() - 3) == "...") {
      last.remove_suffix(3);
      p.variadic = true;
    }
  }
  return p;
}

int parameterIndex(const Parameters& p, std::string_view word) {
  for (size_t k = 0; k < p.names.size(); ++k)
    if (p.names[k] == word) return static_cast<int>(k);
  return -1;
}

}  // namespace

void tokenizeMacroBody(std::string_view body, std::vector<BodyToken>& tokens) {
  tokens.clear();
  size_t i = 0;
  while (i < body.size()) {
    unsigned char c = static_cast<unsigned char>(body[i]);
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
      ++i;
      continue;
    }
    if (c == '"' || c == '\'') {
      size_t end = literalEnd(body, i);
      tokens.push_back({body.substr(i, end - i), true});
      i = end;
      continue;
    }
    if (isDelimiterByte(c)) {
      tokens.push_back({body.substr(i, 1), false});
      ++i;
      continue;
    }
    size_t start = i;
    while (i < body.size()) {
      unsigned char b = static_cast<unsigned char>(body[i]);
      if (isShiftJisLead(b) && i + 1 < body.size()) {
        i += 2;
        continue;
      }
      if (isDelimiterByte(b) || b == '"' || b == '\'') break;
      ++i;
    }
    tokens.push_back({body.substr(start, i - start), false});
  }
}

MacroExpander::MacroExpander(const DefineTable& defines, Ask ask, Sink sink)
    : defines_(defines),
      ask_(std::move(ask)),
      sink_(std::move(sink)),
      budget_(ownBudget_),
      depth_(0) {}

MacroExpander::MacroExpander(const DefineTable& defines, Ask ask, Sink sink, Budget& budget,
                             int depth)
    : defines_(defines),
      ask_(std::move(ask)),
      sink_(std::move(sink)),
      budget_(budget),
      depth_(depth) {}

void MacroExpander::reset() {
  input_.clear();
  held_.clear();
  waiting_ = Waiting::kNothing;
  budget_.expansions = 0;
}

void MacroExpander::take(const std::string& token) {
  // Each token of the file opens a new budget, unless a call is being
  // read (its arguments count with it).
  if (waiting_ == Waiting::kNothing) budget_.expansions = 0;
  takeToken(Token{token, {}});
}

void MacroExpander::takeToken(Token token) {
  input_.push_back(std::move(token));
  pump();
}

void MacroExpander::pump() {
  if (pumping_) return;
  pumping_ = true;
  while (!input_.empty()) {
    Token token = std::move(input_.front());
    input_.pop_front();
    process(std::move(token));
  }
  pumping_ = false;
}

void MacroExpander::flush() {
  pump();
  if (waiting_ == Waiting::kParen && callObjectLike_) {
    std::vector<Token> none;
    expandUncalledObject(none);
  } else if (waiting_ != Waiting::kNothing) {
    releaseHeld();
  }
  pump();
}

bool MacroExpander::overBudget() { return ++budget_.expansions > kMaxExpansions; }

// A name of a macro that may expand in this token.
bool MacroExpander::passesThrough(const std::string& token) const {
  return waiting_ == Waiting::kNothing && !pumping_ && input_.empty() &&
         !(isNameToken(token) && defines_.entryNamed(token));
}

const DefineEntry* MacroExpander::expandable(const Token& token) const {
  if (!isNameToken(token.text) || hides(token.hidden, token.text)) return nullptr;
  return defines_.entryNamed(token.text);
}

void MacroExpander::process(Token token) {
  if (waiting_ == Waiting::kArguments) {
    if (token.text == "(") ++heldDepth_;
    if (token.text == ")") --heldDepth_;
    held_.push_back(std::move(token));
    if (heldDepth_ == 0)
      expandCall();
    else if (held_.size() > kMaxHeldTokens)
      releaseHeld();
    return;
  }
  if (waiting_ == Waiting::kParen && !parenOutcome(token)) return;

  const DefineEntry* macro = expandable(token);
  if (!macro) {
    sink_(std::move(token));
    return;
  }
  const bool objectLike = macro->params.empty();
  MacroUse use = ask_(*macro);
  const bool kept = use == MacroUse::kKeep || (use == MacroUse::kExpandUnlessCall && !objectLike) ||
                    (use == MacroUse::kExpandCallsOnly && objectLike);
  if (kept || overBudget()) {
    sink_(std::move(token));
    return;
  }
  if (objectLike && use == MacroUse::kExpand) {
    std::vector<std::vector<Token>> none;
    std::vector<Token> result = substitute(token, *macro, none);
    pushFront(result);
    return;
  }
  // A function-like macro (or an object-like one that a '(' would make a
  // call) waits for the next token.
  callName_ = std::move(token);
  callObjectLike_ = objectLike;
  held_.clear();
  waiting_ = Waiting::kParen;
}

// The token after a macro name that waits for '(': whitespace is held,
// '(' opens a function-like macro's arguments or makes an object-like one
// a call. False when the token is used up here; true when it is to be read
// as any other token.
bool MacroExpander::parenOutcome(Token& token) {
  if (isWhitespaceToken(token.text)) {
    held_.push_back(std::move(token));
    if (held_.size() > kMaxHeldTokens) releaseHeld();
    return false;
  }
  if (token.text == "(" && !callObjectLike_) {
    held_.push_back(std::move(token));
    heldDepth_ = 1;
    waiting_ = Waiting::kArguments;
    return false;
  }
  if (token.text == "(" || !callObjectLike_) {
    // A call of the macro itself, or a function-like name used alone.
    releaseHeld();
    return true;
  }
  std::vector<Token> after;
  after.push_back(std::move(token));
  expandUncalledObject(after);
  return false;
}

// An object-like macro that no '(' followed: its body, then what was held
// and what came after.
void MacroExpander::expandUncalledObject(std::vector<Token>& after) {
  waiting_ = Waiting::kNothing;
  const DefineEntry* macro = defines_.entryNamed(callName_.text);
  std::vector<Token> result;
  if (macro) {
    std::vector<std::vector<Token>> none;
    result = substitute(callName_, *macro, none);
  } else {
    result.push_back(std::move(callName_));
  }
  for (Token& h : held_) result.push_back(std::move(h));
  held_.clear();
  for (Token& a : after) result.push_back(std::move(a));
  pushFront(result);
}

// The name and what came after it go on as written.
void MacroExpander::releaseHeld() {
  waiting_ = Waiting::kNothing;
  sink_(std::move(callName_));
  std::vector<Token> held = std::move(held_);
  held_.clear();
  for (Token& h : held) sink_(std::move(h));
}

void MacroExpander::pushFront(std::vector<Token>& tokens) {
  input_.insert(input_.begin(), std::make_move_iterator(tokens.begin()),
                std::make_move_iterator(tokens.end()));
}

// held_: whitespace, '(', the arguments, ')'. The whitespace inside goes
// after the expansion, so that the parser counts the same lines.
void MacroExpander::expandCall() {
  waiting_ = Waiting::kNothing;
  const DefineEntry* macro = defines_.entryNamed(callName_.text);
  if (!macro || macro->params.empty()) {  // #undef'd inside its own call
    releaseHeld();
    return;
  }
  std::vector<std::vector<Token>> arguments(1);
  std::vector<Token> whitespace;
  int depth = 0;
  for (Token& t : held_) {
    if (isWhitespaceToken(t.text)) {
      whitespace.push_back(std::move(t));
      continue;
    }
    if (t.text == ")" && --depth == 0) break;
    if (t.text == "(" && depth++ == 0) continue;
    if (t.text == "," && depth == 1) {
      arguments.emplace_back();
      continue;
    }
    arguments.back().push_back(std::move(t));
  }
  held_.clear();
  std::vector<Token> result = substitute(callName_, *macro, arguments);
  for (Token& w : whitespace) result.push_back(std::move(w));
  pushFront(result);
}

std::vector<MacroExpander::Token> MacroExpander::substitute(
    const Token& name, const DefineEntry& macro, std::vector<std::vector<Token>>& arguments) {
  std::vector<std::string> hidden = name.hidden;
  if (!hides(hidden, name.text)) hidden.push_back(name.text);

  const bool functionLike = !macro.params.empty();
  Parameters params;
  if (functionLike) {
    params = parametersOf(macro);
    // The variadic parameter takes the rest of the arguments, commas and all.
    if (params.variadic && arguments.size() > params.names.size() && !params.names.empty()) {
      std::vector<Token>& rest = arguments[params.names.size() - 1];
      for (size_t k = params.names.size(); k < arguments.size(); ++k) {
        rest.push_back(Token{",", {}});
        for (Token& t : arguments[k]) rest.push_back(std::move(t));
      }
      arguments.resize(params.names.size());
    }
  }
  std::vector<BodyToken> body;
  tokenizeMacroBody(macro.body, body);

  std::vector<Token> out;
  bool paste = false;      // the next piece is glued to the last token
  bool leftEmpty = false;  // the piece before "##" gave no token
  auto isPaste = [&](size_t i) {
    return i + 1 < body.size() && body[i].text == "#" && body[i + 1].text == "#";
  };
  for (size_t i = 0; i < body.size(); ++i) {
    if (isPaste(i)) {
      paste = true;
      ++i;
      continue;
    }
    const BodyToken& b = body[i];
    if (b.text == "#") {
      // "#param" makes a string, which the parsers do not see.
      if (functionLike && i + 1 < body.size() && parameterIndex(params, body[i + 1].text) >= 0) ++i;
      continue;
    }
    std::vector<Token> piece;
    int p = functionLike && !b.literal ? parameterIndex(params, b.text) : -1;
    if (p >= 0) {
      static const std::vector<Token> kNoArgument;
      const std::vector<Token>& argument =
          p < static_cast<int>(arguments.size()) ? arguments[p] : kNoArgument;
      bool raw = paste || isPaste(i + 1);
      piece = raw ? argument : expandAlone(argument);
    } else if (!b.literal) {
      piece.push_back(Token{std::string(b.text), {}});
    } else if (paste || isPaste(i + 1)) {
      piece.push_back(Token{std::string(), {}});  // a literal glued to a name: nothing
    }
    size_t first = 0;
    if (paste && !leftEmpty && !out.empty() && !piece.empty()) {
      out.back().text += piece[0].text;
      first = 1;
    }
    leftEmpty = piece.empty() && !(paste && !leftEmpty);
    for (size_t k = first; k < piece.size(); ++k) {
      if (piece[k].text.empty()) continue;
      out.push_back(std::move(piece[k]));
    }
    paste = false;
  }
  for (Token& t : out) addHidden(t.hidden, hidden);
  return out;
}

// An expander of its own reads the argument to its end; a macro name
// left waiting for '(' there stays as written.
std::vector<MacroExpander::Token> MacroExpander::expandAlone(const std::vector<Token>& tokens) {
  if (tokens.empty() || depth_ >= kMaxArgumentDepth) return tokens;
  std::vector<Token> out;
  MacroExpander inner(
      defines_, ask_, [&out](Token&& t) { out.push_back(std::move(t)); }, budget_, depth_ + 1);
  for (const Token& t : tokens) inner.takeToken(t);
  inner.flush();
  return out;
}
