#include "scan/macro_expander.h"

#include <algorithm>
#include <utility>

#include "context/text_util.h"
#include "scan/define_table.h"
#include "scan/lexical_rules.h"

namespace {

bool isWhitespaceToken(std::string_view token) { return token == "\n" || isBlankToken(token); }

bool isNameToken(std::string_view token) {
  return !token.empty() && !isDelimiterToken(token) && !startsWithDigit(token);
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

// The parameter names of "(a, b, ...)" or "(a, rest...)" into `names`;
// the variadic one is named as the body calls it. True when there is one.
bool parametersOf(const DefineEntry& macro, std::vector<std::string_view>& names) {
  macroParameterNames(macro.params, names);
  if (names.size() == 1 && names[0].empty()) names.clear();  // "()"
  if (names.empty()) return false;
  std::string_view& last = names.back();
  if (last == "__VA_ARGS__") return true;
  if (last.size() > 3 && last.substr(last.size() - 3) == "...") {
    last.remove_suffix(3);
    return true;
  }
  return false;
}

int parameterIndex(const std::vector<std::string_view>& names, std::string_view word) {
  for (size_t k = 0; k < names.size(); ++k)
    if (names[k] == word) return static_cast<int>(k);
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
      ownShared_(std::make_unique<Shared>()),
      shared_(*ownShared_),
      depth_(0),
      out_(nullptr) {}

MacroExpander::MacroExpander(const DefineTable& defines, const Ask& ask, Shared& shared, int depth,
                             Tokens& out)
    : defines_(defines), ask_(ask), shared_(shared), depth_(depth), out_(&out) {}

MacroExpander::~MacroExpander() = default;

void MacroExpander::reset() {
  forget();
  shared_.expansions = 0;
  shared_.text.clear();
  shared_.hidden.clear();
}

void MacroExpander::forget() {
  input_.clear();
  held_.clear();
  waiting_ = Waiting::kNothing;
}

void MacroExpander::take(std::string_view token) {
  // Each token of the file opens a new budget, unless a call is being
  // read (its arguments count with it).
  if (waiting_ == Waiting::kNothing) {
    shared_.expansions = 0;
    // Nothing refers to the tokens of the last expansion any more.
    if (input_.empty() && !pumping_) {
      shared_.text.clear();
      shared_.hidden.clear();
    }
  }
  takeToken(Token{shared_.text.copy(token), HideSets::kEmpty});
}

void MacroExpander::emit(const Token& token) {
  if (out_)
    out_->push_back(token);
  else
    sink_(token.text);
}

void MacroExpander::takeToken(const Token& token) {
  if (input_.empty())
    input_.push_back(token);
  else
    input_.insert(input_.begin(), token);
  pump();
}

void MacroExpander::pump() {
  if (pumping_) return;
  pumping_ = true;
  while (!input_.empty()) {
    Token token = input_.back();
    input_.pop_back();
    process(token);
  }
  pumping_ = false;
}

void MacroExpander::flush() {
  pump();
  if (waiting_ == Waiting::kParen && callObjectLike_) {
    expandUncalledObject(nullptr);
  } else if (waiting_ != Waiting::kNothing) {
    releaseHeld();
  }
  pump();
}

bool MacroExpander::overBudget() { return ++shared_.expansions > kMaxExpansions; }

// A name of a macro that may expand in this token.
bool MacroExpander::passesThrough(std::string_view token) const {
  return waiting_ == Waiting::kNothing && !pumping_ && input_.empty() &&
         !(isNameToken(token) && defines_.entryNamed(token));
}

const DefineEntry* MacroExpander::expandable(const Token& token) const {
  if (!isNameToken(token.text) || shared_.hidden.contains(token.hidden, token.text)) return nullptr;
  return defines_.entryNamed(token.text);
}

void MacroExpander::process(const Token& token) {
  if (waiting_ == Waiting::kArguments) {
    if (token.text == "(") ++heldDepth_;
    if (token.text == ")") --heldDepth_;
    held_.push_back(token);
    if (heldDepth_ == 0)
      expandCall();
    else if (held_.size() > kMaxHeldTokens)
      releaseHeld();
    return;
  }
  if (waiting_ == Waiting::kParen && !parenOutcome(token)) return;

  const DefineEntry* macro = expandable(token);
  if (!macro) {
    emit(token);
    return;
  }
  const bool objectLike = macro->params.empty();
  MacroUse use = ask_(*macro);
  const bool kept = use == MacroUse::kKeep || (use == MacroUse::kExpandUnlessCall && !objectLike) ||
                    (use == MacroUse::kExpandCallsOnly && objectLike);
  if (kept || overBudget()) {
    emit(token);
    return;
  }
  if (objectLike && use == MacroUse::kExpand) {
    result_.clear();
    argumentCount_ = 0;
    substitute(token, *macro, result_);
    pushFront(result_);
    return;
  }
  // A function-like macro (or an object-like one that a '(' would make a
  // call) waits for the next token.
  callName_ = token;
  callObjectLike_ = objectLike;
  held_.clear();
  waiting_ = Waiting::kParen;
}

// The token after a macro name that waits for '(': whitespace is held,
// '(' opens a function-like macro's arguments or makes an object-like one
// a call. False when the token is used up here; true when it is to be read
// as any other token.
bool MacroExpander::parenOutcome(const Token& token) {
  if (isWhitespaceToken(token.text)) {
    held_.push_back(token);
    if (held_.size() > kMaxHeldTokens) releaseHeld();
    return false;
  }
  if (token.text == "(" && !callObjectLike_) {
    held_.push_back(token);
    heldDepth_ = 1;
    waiting_ = Waiting::kArguments;
    return false;
  }
  if (token.text == "(" || !callObjectLike_) {
    // A call of the macro itself, or a function-like name used alone.
    releaseHeld();
    return true;
  }
  expandUncalledObject(&token);
  return false;
}

// An object-like macro that no '(' followed: its body, then what was held
// and `after` (when there is one).
void MacroExpander::expandUncalledObject(const Token* after) {
  waiting_ = Waiting::kNothing;
  const DefineEntry* macro = defines_.entryNamed(callName_.text);
  result_.clear();
  if (macro) {
    argumentCount_ = 0;
    substitute(callName_, *macro, result_);
  } else {
    result_.push_back(callName_);
  }
  result_.insert(result_.end(), held_.begin(), held_.end());
  held_.clear();
  if (after) result_.push_back(*after);
  pushFront(result_);
}

// The name and what came after it go on as written.
void MacroExpander::releaseHeld() {
  waiting_ = Waiting::kNothing;
  emit(callName_);
  for (const Token& h : held_) emit(h);
  held_.clear();
}

// The next token to read is the first of `tokens`.
void MacroExpander::pushFront(const Tokens& tokens) {
  input_.insert(input_.end(), tokens.rbegin(), tokens.rend());
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
  splitArguments();
  held_.clear();
  result_.clear();
  substitute(callName_, *macro, result_);
  result_.insert(result_.end(), whitespace_.begin(), whitespace_.end());
  pushFront(result_);
}

// held_ into the arguments (arguments_, argumentCount_) and whitespace_.
void MacroExpander::splitArguments() {
  argumentCount_ = 0;
  auto nextArgument = [this] {
    if (argumentCount_ == arguments_.size()) arguments_.emplace_back();
    arguments_[argumentCount_++].clear();
  };
  nextArgument();
  whitespace_.clear();
  int depth = 0;
  for (const Token& t : held_) {
    if (isWhitespaceToken(t.text)) {
      whitespace_.push_back(t);
      continue;
    }
    if (t.text == ")" && --depth == 0) break;
    if (t.text == "(" && depth++ == 0) continue;
    if (t.text == "," && depth == 1) {
      nextArgument();
      continue;
    }
    arguments_[argumentCount_ - 1].push_back(t);
  }
}

void MacroExpander::substitute(const Token& name, const DefineEntry& macro, Tokens& out) {
  const HideSets::Id hidden = shared_.hidden.with(name.hidden, name.text);
  const bool functionLike = !macro.params.empty();
  parameters_.clear();
  if (functionLike && parametersOf(macro, parameters_)) {
    // The variadic parameter takes the rest of the arguments, commas and all.
    const size_t named = parameters_.size();
    if (argumentCount_ > named) {
      Tokens& rest = arguments_[named - 1];
      for (size_t k = named; k < argumentCount_; ++k) {
        rest.push_back(Token{",", HideSets::kEmpty});
        rest.insert(rest.end(), arguments_[k].begin(), arguments_[k].end());
      }
      argumentCount_ = named;
    }
  }
  tokenizeMacroBody(macro.body, body_);

  const size_t start = out.size();
  bool paste = false;      // the next piece is glued to the last token
  bool leftEmpty = false;  // the piece before "##" gave no token
  auto isPaste = [&](size_t i) {
    return i + 1 < body_.size() && body_[i].text == "#" && body_[i + 1].text == "#";
  };
  static const Tokens kNoTokens;
  for (size_t i = 0; i < body_.size(); ++i) {
    if (isPaste(i)) {
      paste = true;
      ++i;
      continue;
    }
    const BodyToken& b = body_[i];
    if (b.text == "#") {
      // "#param" makes a string, which the parsers do not see.
      if (functionLike && i + 1 < body_.size() &&
          parameterIndex(parameters_, body_[i + 1].text) >= 0)
        ++i;
      continue;
    }
    // The piece: an argument, raw or expanded, or the body token itself.
    Token single;
    const Token* piece = &single;
    size_t pieceSize = 1;
    int p = functionLike && !b.literal ? parameterIndex(parameters_, b.text) : -1;
    if (p >= 0) {
      const Tokens& argument = p < static_cast<int>(argumentCount_) ? arguments_[p] : kNoTokens;
      const Tokens& used = paste || isPaste(i + 1) ? argument : expandAlone(argument);
      piece = used.data();
      pieceSize = used.size();
    } else if (!b.literal) {
      single.text = shared_.text.copy(b.text);
    } else if (!(paste || isPaste(i + 1))) {
      pieceSize = 0;  // a literal glued to a name gives the empty text: nothing
    }
    size_t first = 0;
    if (paste && !leftEmpty && out.size() > start && pieceSize > 0) {
      out.back().text = shared_.text.join(out.back().text, piece[0].text);
      first = 1;
    }
    leftEmpty = pieceSize == 0 && !(paste && !leftEmpty);
    for (size_t k = first; k < pieceSize; ++k)
      if (!piece[k].text.empty()) out.push_back(piece[k]);
    paste = false;
  }
  for (size_t k = start; k < out.size(); ++k)
    out[k].hidden = shared_.hidden.unite(out[k].hidden, hidden);
}

// An expander of its own reads the argument to its end; a macro name
// left waiting for '(' there stays as written.
const MacroExpander::Tokens& MacroExpander::expandAlone(const Tokens& tokens) {
  if (tokens.empty() || depth_ >= kMaxArgumentDepth) return tokens;
  if (!inner_) inner_.reset(new MacroExpander(defines_, ask_, shared_, depth_ + 1, innerOut_));
  innerOut_.clear();
  inner_->forget();
  for (const Token& t : tokens) inner_->takeToken(t);
  inner_->flush();
  return innerOut_;
}
