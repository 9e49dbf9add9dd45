#include "calvex/syntax_table.h"

#include <array>

namespace calvex {
namespace {

using Op = Operation;

// The codes are the binding strengths, so the order of the rows is free but the
// numbers are not. Operators of one precedence group of C share the strength of
// the group's first member (so that 100/10*10 is 100, as in C); the other codes
// are those of the language's token table.
constexpr OperatorEntry kCEntries[] = {
    {"acos", 3, Op::Acos},
    {"asin", 4, Op::Asin},
    {"atan", 5, Op::Atan},
    {"atan2", 6, Op::Atan2},
    {"cos", 7, Op::Cos},
    {"sin", 8, Op::Sin},
    {"tan", 9, Op::Tan},
    {"cosh", 10, Op::Cosh},
    {"sinh", 11, Op::Sinh},
    {"tanh", 12, Op::Tanh},
    {"exp", 13, Op::Exp},
    {"ldexp", 14, Op::Ldexp},
    {"abs", 15, Op::AbsInt},
    {"labs", 16, Op::AbsInt},
    {"log", 17, Op::Log},
    {"log10", 18, Op::Log10},
    {"pow", 19, Op::Pow},
    {"sqrt", 20, Op::Sqrt},
    {"ceil", 21, Op::Ceil},
    {"floor", 22, Op::Floor},
    {"fmod", 23, Op::Fmod},
    {"!", 24, Op::Not},
    {"~", 25, Op::Complement},
    {"++", 26, Op::Increment},
    {"--", 27, Op::Decrement},
    {"*", 28, Op::Multiply},
    {"/", 28, Op::Divide},
    {"%", 28, Op::Remainder},
    {"+", 31, Op::Plus},
    {"-", 31, Op::Minus},
    {"<<", 33, Op::ShiftLeft},
    {">>", 33, Op::ShiftRight},
    {"<", 35, Op::Less},
    {"<=", 35, Op::LessEqual},
    {">", 35, Op::Greater},
    {">=", 35, Op::GreaterEqual},
    {"==", 39, Op::Equal},
    {"!=", 39, Op::NotEqual},
    {"&", 41, Op::BitAnd},
    {"^", 42, Op::BitXor},
    {"|", 43, Op::BitOr},
    {"&&", 44, Op::LogicalAnd},
    {"||", 45, Op::LogicalOr},
    {":", 46, Op::Conditional},
    {"?", 47, Op::Conditional},
    // Compound assignments give the value of their operation; nothing is assigned.
    {"+=", 48, Op::Add},
    {"-=", 49, Op::Subtract},
    {"*=", 50, Op::Multiply},
    {"/=", 51, Op::Divide},
    {"%=", 52, Op::Remainder},
    {">>=", 53, Op::ShiftRight},
    {"<<=", 54, Op::ShiftLeft},
    {"&=", 55, Op::BitAnd},
    {"^=", 56, Op::BitXor},
    {"|=", 57, Op::BitOr},
    {",", 58, Op::Comma},
};

// VB groups: '*' and '/', '+' and '-', and the six comparisons.
constexpr OperatorEntry kVbEntries[] = {
    {"abs", 3, Op::AbsInt},      {"atn", 4, Op::Atan},         {"cos", 5, Op::Cos},
    {"exp", 6, Op::Exp},         {"fix", 7, Op::Truncate},     {"int", 8, Op::Floor},
    {"log", 9, Op::Log},         {"sin", 10, Op::Sin},         {"sqr", 11, Op::Sqrt},
    {"tan", 12, Op::Tan},        {"^", 13, Op::Power, true},   {"*", 14, Op::Multiply},
    {"/", 14, Op::Divide},       {"\\", 16, Op::IntDivide},    {"Mod", 17, Op::Remainder},
    {"+", 18, Op::Plus},         {"-", 18, Op::Minus},         {"=", 20, Op::Equal},
    {"<>", 20, Op::NotEqual},    {"<", 20, Op::Less},          {">", 20, Op::Greater},
    {"<=", 20, Op::LessEqual},   {">=", 20, Op::GreaterEqual}, {"!", 26, Op::Not},
    {"And", 27, Op::BitAnd},     {"Or", 28, Op::BitOr},        {"Xor", 29, Op::BitXor},
    {"Eqv", 30, Op::Equivalent}, {"Imp", 31, Op::Implies},
};

// The operator characters: TAB LF CR space ! " # % & ' ( ) * + , - . / : ; < = > ? [ \ ] ^ { | } ~
constexpr std::string_view kOperatorChars = "\t\n\r !\"#%&'()*+,-./:;<=>?[\\]^{|}~";

constexpr std::array<bool, 256> makeOperatorCharTable() {
  std::array<bool, 256> table{};
  for (char c : kOperatorChars) table[static_cast<unsigned char>(c)] = true;
  return table;
}

constexpr std::array<bool, 256> kIsOperatorChar = makeOperatorCharTable();

constexpr int codeOf(std::span<const OperatorEntry> entries, Operation operation) {
  for (const OperatorEntry& entry : entries) {
    if (entry.operation == operation) return entry.code;
  }
  return 0;
}

// The lexer compares at most kLongestSymbol operator characters and kLongestWord
// name characters; every spelling must fit.
constexpr bool fitsLexerLimits(std::span<const OperatorEntry> entries) {
  for (const OperatorEntry& entry : entries) {
    bool symbol = kIsOperatorChar[static_cast<unsigned char>(entry.text[0])];
    if (entry.text.size() > (symbol ? kLongestSymbol : kLongestWord)) return false;
  }
  return true;
}

static_assert(fitsLexerLimits(kCEntries) && fitsLexerLimits(kVbEntries));

constexpr SyntaxTable kC{kCEntries, false, false, true, codeOf(kCEntries, Op::Plus)};
constexpr SyntaxTable kVb{kVbEntries, true, true, false, codeOf(kVbEntries, Op::Plus)};

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool sameSpelling(std::string_view a, std::string_view b, bool caseBlind) {
  if (a.size() != b.size()) return false;
  if (!caseBlind) return a == b;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (lowerAscii(a[i]) != lowerAscii(b[i])) return false;
  }
  return true;
}

}  // namespace

const SyntaxTable& cSyntax() { return kC; }
const SyntaxTable& vbSyntax() { return kVb; }

const OperatorEntry* findOperator(const SyntaxTable& syntax, std::string_view text) {
  for (const OperatorEntry& entry : syntax.entries) {
    if (sameSpelling(entry.text, text, syntax.caseBlindWords)) return &entry;
  }
  return nullptr;
}

bool isOperatorChar(unsigned char c) { return kIsOperatorChar[c]; }

}  // namespace calvex
