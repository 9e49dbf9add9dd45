// The Delphi words the parser looks for, one bit each: a token is matched
// against all of them once (delphiWordsOf), and each test of the current
// token is a bit test instead of a comparison per word. The spelling is
// case-blind, as Delphi's.
#pragma once

#include <cstdint>
#include <string_view>

namespace delphi_word {

enum : std::uint64_t {
  kAsm = 1ull << 0,
  kBegin = 1ull << 1,
  kCase = 1ull << 2,
  kClass = 1ull << 3,
  kConst = 1ull << 4,
  kConstructor = 1ull << 5,
  kDestructor = 1ull << 6,
  kDispinterface = 1ull << 7,
  kDo = 1ull << 8,
  kElse = 1ull << 9,
  kEnd = 1ull << 10,
  kExcept = 1ull << 11,
  kExternal = 1ull << 12,
  kFinally = 1ull << 13,
  kForward = 1ull << 14,
  kFunction = 1ull << 15,
  kImplementation = 1ull << 16,
  kInherited = 1ull << 17,
  kInterface = 1ull << 18,
  kLabel = 1ull << 19,
  kLibrary = 1ull << 20,
  kObject = 1ull << 21,
  kOf = 1ull << 22,
  kOperator = 1ull << 23,
  kOtherwise = 1ull << 24,
  kPacked = 1ull << 25,
  kProcedure = 1ull << 26,
  kProgram = 1ull << 27,
  kProperty = 1ull << 28,
  kRecord = 1ull << 29,
  kRepeat = 1ull << 30,
  kResourcestring = 1ull << 31,
  kResult = 1ull << 32,
  kSelf = 1ull << 33,
  kThen = 1ull << 34,
  kThreadvar = 1ull << 35,
  kTry = 1ull << 36,
  kType = 1ull << 37,
  kUntil = 1ull << 38,
  kVar = 1ull << 39,
  kWith = 1ull << 40,
};

// Words after which a new statement starts, so that the word after them is
// the first of its statement (`begin DoIt;`, `then DoIt`, `do DoIt`).
constexpr std::uint64_t kStatementStarters =
    kBegin | kTry | kRepeat | kThen | kElse | kDo | kFinally | kExcept | kOtherwise;
// Words that end a statement as ';' does.
constexpr std::uint64_t kStatementEnders = kEnd | kElse | kUntil | kFinally | kExcept;
constexpr std::uint64_t kMethodWords = kProcedure | kFunction | kConstructor | kDestructor;
// The words that start a method or property line of a class body.
constexpr std::uint64_t kMemberLineWords = kMethodWords | kProperty | kOperator;
// Statements that close a routine's declaration part: after a header's
// ';' only directives (`overload;`, `forward;`) belong to the header.
constexpr std::uint64_t kDeclarationWords =
    kVar | kConst | kType | kLabel | kBegin | kAsm | kMethodWords | kThreadvar | kResourcestring;
// Words that no declaration's type holds: a walk meeting one has left it.
constexpr std::uint64_t kOutsideDeclaration = kVar | kConst | kType | kBegin | kEnd | kRecord |
                                              kClass | kCase | kLabel | kProcedure | kFunction |
                                              kProperty;

}  // namespace delphi_word

// The word bits of `token` (one at most), 0 for any other token.
std::uint64_t delphiWordsOf(std::string_view token);
