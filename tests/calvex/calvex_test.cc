// The exported interface as callers meet it: null and empty input, the error
// variable, parentheses, and untrusted input of any size and any bytes (deep
// nesting, long chains, truncated and flipped inputs, exhausted memory).
#include "calvex/calvex.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <string>

#include "tests/calvex/calvex_library.h"

namespace {

std::string repeat(const std::string& part, size_t count) {
  std::string text;
  for (size_t i = 0; i < count; ++i) text += part;
  return text;
}

TEST(Calvex, NullAndEmptyExpressionsAreZero) {
  for (Syntax syntax : {Syntax::C, Syntax::Vb}) {
    Evaluation null = evaluateNull(syntax);
    EXPECT_TRUE(null.value == 0 && null.error == kCalvexNoError) << null;
    Evaluation empty = evaluate(syntax, "");
    EXPECT_TRUE(empty.value == 0 && empty.error == kCalvexNoError) << empty;
  }
  expectValues(Syntax::C, {{" \t\n", 0}, {"L", 0}});
}

TEST(Calvex, ErrorVariableIsOptionalAndNothingIsKeptBetweenCalls) {
  EXPECT_EQ(evaluateWithoutErrorVariable(Syntax::C, "1+1"), 2);
  EXPECT_EQ(evaluateWithoutErrorVariable(Syntax::Vb, "1/0"), 0);
  EXPECT_EQ(evaluate(Syntax::C, "1/0").error, kCalvexDivisionByZero);
  EXPECT_EQ(evaluate(Syntax::C, "1").error, kCalvexNoError);
  EXPECT_EQ(evaluate(Syntax::C, "pow(2,3)").value, 8);
  EXPECT_EQ(evaluate(Syntax::C, "pow(5)").value, 1);  // no arguments left over
}

TEST(Calvex, Parentheses) {
  const int unbalanced = kCalvexUnbalancedParentheses;
  expectErrors(Syntax::C, {{"(1+2", unbalanced},
                           {")1(", unbalanced},
                           {"1)", unbalanced},
                           {"(1))", unbalanced},
                           {"())(", unbalanced},
                           // The count comes before the lexemes.
                           {"(1 = 1", unbalanced}});
  expectErrors(Syntax::Vb, {{"(1", unbalanced}, {")1(", unbalanced}});
}

TEST(Calvex, DeepNesting) {
  const size_t depth = 10000;
  const std::string close(depth, ')');
  expectValues(Syntax::C, {{std::string(depth, '(') + "1" + close, 1},
                           {repeat("1+(", depth) + "1" + close, depth + 1.0},
                           {repeat("sqrt(", depth) + "1" + close, 1},
                           {repeat("-(", depth) + "3" + close, 3},
                           {std::string(1000000, '(') + "7" + std::string(1000000, ')'), 7}});
  expectValues(Syntax::Vb, {{repeat("abs(", depth) + "-2" + close, 2}});
  expectErrors(Syntax::C, {{std::string(depth, '('), kCalvexUnbalancedParentheses},
                           {close + std::string(depth, '('), kCalvexUnbalancedParentheses}});
}

TEST(Calvex, LongExpressions) {
  const size_t count = 100000;
  expectValues(Syntax::C, {{"1" + repeat("+1", count), count + 1.0},
                           {repeat("!", count + 1) + "0", 1},
                           {repeat("-", 2 * count) + "1", 1 - (count - 1.0)},
                           {"1" + repeat("*2+!", count) + "0", count + 2.0},
                           {std::string(count, '9'), std::numeric_limits<double>::infinity()},
                           {"0." + std::string(count, '0') + "1", 0}});
  expectValues(Syntax::Vb, {{"1" + repeat(" Mod 7", count), 1}});
}

// Every byte alone and beside a value; every sample cut short at each length and
// with each byte changed. Nothing may crash or read past the end (the sanitizer
// build runs these too).
TEST(Calvex, AnyBytesAreAnsweredSoundly) {
  for (int byte = 1; byte < 256; ++byte) {
    std::string one(1, static_cast<char>(byte));
    for (const std::string& text : {one, "1" + one, one + "1", "(" + one + ")"}) {
      expectSound(Syntax::C, text);
      expectSound(Syntax::Vb, text);
    }
  }
  for (const std::string sample : {"pow(2,10)+0x1F-\\x41*10L", "2*-3--3+!0 && 3 > 2 == 1",
                                   "-(4)>>=1 ? 2 : 3", "7Mod2 And 2 ^ -3 Imp int(-1.5)"}) {
    for (size_t at = 0; at < sample.size(); ++at) {
      for (Syntax syntax : {Syntax::C, Syntax::Vb}) {
        expectSound(syntax, sample.substr(0, at));
        for (unsigned char flip : {0x01, 0x20, 0x80, 0xff}) {
          std::string changed = sample;
          changed[at] = static_cast<char>(changed[at] ^ flip);
          if (changed[at] != '\0') expectSound(syntax, changed);
        }
      }
    }
  }
}

// Inputs that once went wrong, or seeded the fuzzer, replayed through both exports.
TEST(Calvex, CorpusInputsAreAnsweredSoundly) {
  size_t files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(CALVEX_CORPUS_DIR)) {
    std::ifstream in(entry.path(), std::ios::binary);
    std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    SCOPED_TRACE("corpus file " + entry.path().filename().string());
    expectSound(Syntax::C, data.substr(0, data.find('\0')));
    expectSound(Syntax::Vb, data.substr(0, data.find('\0')));
    ++files;
  }
  EXPECT_GT(files, 0u);
}

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
constexpr bool kSanitized = __has_feature(address_sanitizer);
#else
constexpr bool kSanitized = false;
#endif

// A child process with little address space left evaluates an expression whose
// nesting needs more: the library answers with error 3 instead of dying.
TEST(Calvex, ExhaustedMemoryIsReported) {
  if (kSanitized) GTEST_SKIP() << "the sanitizer's allocator aborts instead of failing";
  const size_t depth = 20000000;
  std::string text = std::string(depth, '(') + "1" + std::string(depth, ')');
  pid_t child = fork();
  ASSERT_NE(child, -1);
  if (child == 0) {
    rlim_t pages = 0;
    std::ifstream("/proc/self/statm") >> pages;
    rlimit limit{pages * sysconf(_SC_PAGESIZE) + (64u << 20), RLIM_INFINITY};
    setrlimit(RLIMIT_AS, &limit);
    Evaluation result = evaluate(Syntax::C, text);
    _exit(result.error == kCalvexOutOfMemory && result.value == 0 ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
}

}  // namespace
