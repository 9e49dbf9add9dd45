#include "scan/macro_expander.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "context/language_mode.h"
#include "context/source_context.h"
#include "scan/define_table.h"
#include "tests/support/analysis_test.h"

namespace {

class MacroExpanderTest : public AnalysisTest {
 protected:
  void SetUp() override { context().setLanguageMask(kModeC); }

  // A #define line's text after "#define ": "NAME body" or "NAME(a, b) body".
  void macro(const std::string& line) {
    size_t end = line.find_first_of(" (");
    std::string name = line.substr(0, end);
    std::vector<std::string> params, body;
    std::string rest = end == std::string::npos ? "" : line.substr(end);
    if (!rest.empty() && rest[0] == '(') {
      size_t close = rest.find(')');
      params.push_back(rest.substr(0, close + 1));
      rest = rest.substr(close + 1);
    }
    std::vector<BodyToken> tokens;
    tokenizeMacroBody(rest, tokens);
    for (const BodyToken& t : tokens) body.emplace_back(t.text);
    ASSERT_TRUE(define(name, body, params));
  }

  // The tokens of `text` (cut as a macro body is, with "\n" for a line
  // break, literals left out) through an expander that gives every macro the answer `use`,
  // '|'-joined.
  std::string expand(const std::string& text, MacroUse use = MacroUse::kExpand) {
    std::vector<std::string> input;
    size_t start = 0;
    for (size_t nl = text.find('\n');; nl = text.find('\n', start)) {
      std::vector<BodyToken> tokens;
      const std::string line = text.substr(start, nl - start);
      tokenizeMacroBody(line, tokens);
      // Literals never reach the expander: the reader takes them.
      for (const BodyToken& t : tokens)
        if (!t.literal) input.emplace_back(t.text);
      if (nl == std::string::npos) break;
      input.emplace_back("\n");
      start = nl + 1;
    }
    std::string out;
    MacroExpander expander(
        defines(), [use](const DefineEntry&) { return use; },
        [&out](std::string_view t) { out.append(out.empty() ? "" : "|").append(t); });
    for (const std::string& t : input) expander.take(t);
    expander.flush();
    return out;
  }
};

TEST_F(MacroExpanderTest, BodiesCutAsTheReaderCutsTokens) {
  std::vector<BodyToken> tokens;
  tokenizeMacroBody("f (a,\"x, \\\"y\")+'\\''  ##b", tokens);
  std::string out;
  for (const BodyToken& t : tokens)
    out += std::string(t.literal ? "L:" : "") + std::string(t.text) + " ";
  EXPECT_EQ(out, "f ( a , L:\"x, \\\"y\" ) + L:'\\'' # # b ");
}

// Object-like and function-like macros, through other macros, with each
// argument expanded before it is put in; a blank before '(' in a body is
// the call all the same.
TEST_F(MacroExpanderTest, ObjectAndFunctionLikeMacros) {
  macro("LIMIT 10");
  macro("CHECK(c) if (!(c)) fail (__LINE__)");
  macro("APPLY(fn, x) fn(x)");
  macro("TWICE(x) APPLY(dbl, x) + APPLY(dbl, LIMIT)");
  EXPECT_EQ(expand("n = LIMIT;"), "n|=|10|;");
  EXPECT_EQ(expand("CHECK(n > 0);"), "if|(|!|(|n|>|0|)|)|fail|(|__LINE__|)|;");
  EXPECT_EQ(expand("TWICE(f(LIMIT))"), "dbl|(|f|(|10|)|)|+|dbl|(|10|)");
  EXPECT_EQ(expand("APPLY(static_fn, 1)"), "static_fn|(|1|)");
}

// An argument the body does not use vanishes with the calls in it; "#x"
// makes a string and strings give no token; "##" glues two tokens, also
// when one side is empty.
TEST_F(MacroExpanderTest, UnusedArgumentsStringsAndPasting) {
  macro("IGNORE(x, y) (y)");
  macro("OUTER(x, y) IGNORE(x, y)");
  macro("NAME(x) #x");
  macro("LOG(m) puts(\"log: \" m)");
  macro("GEN(name, type) type get_##name(void) { return (type)0; }");
  macro("CAT(a, b) a##b");
  EXPECT_EQ(expand("OUTER(h(a), a)"), "(|a|)");
  EXPECT_EQ(expand("k(NAME(zz))"), "k|(|)");
  EXPECT_EQ(expand("LOG(\"x\")"), "puts|(|)");
  EXPECT_EQ(expand("GEN(width, int)"), "int|get_width|(|void|)|{|return|(|int|)|0|;|}");
  EXPECT_EQ(expand("CAT(, tail) CAT(head, ) CAT(a, b)"), "tail|head|ab");
}

TEST_F(MacroExpanderTest, VariadicMacros) {
  macro("TRACE(fmt, ...) trace(fmt, __VA_ARGS__)");
  macro("NAMED(fmt, args...) report(fmt, args)");
  EXPECT_EQ(expand("TRACE(a, b, c(d, e))"), "trace|(|a|,|b|,|c|(|d|,|e|)|)");
  EXPECT_EQ(expand("NAMED(x, 1, 2)"), "report|(|x|,|1|,|2|)");
}

// A macro does not expand inside its own expansion; a function-like name
// without '(' stays; the result is read again with the tokens after it.
TEST_F(MacroExpanderTest, RescanningAndSelfReference) {
  macro("f(x) f(x + 1)");
  macro("loop loop + 1");
  macro("ALIAS real_call");
  macro("real_call(x) done(x)");
  macro("PICK pick_");
  EXPECT_EQ(expand("f(f(2))"), "f|(|f|(|2|+|1|)|+|1|)");
  EXPECT_EQ(expand("loop"), "loop|+|1");
  EXPECT_EQ(expand("g = real_call;"), "g|=|real_call|;");
  EXPECT_EQ(expand("ALIAS (7)"), "done|(|7|)");
}

// The line breaks inside a call follow its expansion, so that the lines
// are counted as before; a call left open at the end goes on as written.
TEST_F(MacroExpanderTest, LineBreaksAndOpenCalls) {
  macro("SUM(a, b) add(a, b)");
  EXPECT_EQ(expand("x = SUM(1,\n 2);\ny"), "x|=|add|(|1|,|2|)|\n|;|\n|y");
  EXPECT_EQ(expand("SUM\n(1, 2)"), "add|(|1|,|2|)|\n");
  EXPECT_EQ(expand("SUM(1, (2"), "SUM|(|1|,|(|2");
  EXPECT_EQ(expand("SUM x"), "SUM|x");
}

// Inside a function body while macros count as functions: a call of a
// macro is kept, an object-like macro that is not called expands.
TEST_F(MacroExpanderTest, CallsKeptWhereMacrosAreFunctions) {
  macro("CALLF(x) f(x)");
  macro("RUN run_all");
  macro("END }");
  EXPECT_EQ(expand("CALLF(1); RUN(); END", MacroUse::kExpandUnlessCall),
            "CALLF|(|1|)|;|RUN|(|)|;|}");
  EXPECT_EQ(expand("CALLF(1); RUN;", MacroUse::kKeep), "CALLF|(|1|)|;|RUN|;");
}

// Macros that double at every level stop growing after a bounded amount
// of work; macros that call each other in a circle end.
TEST_F(MacroExpanderTest, RunawayExpansionsEnd) {
  macro("A0 x");
  for (int i = 1; i <= 30; ++i)
    macro("A" + std::to_string(i) + " A" + std::to_string(i - 1) + " A" + std::to_string(i - 1));
  std::string out = expand("A30 ;");
  EXPECT_LT(out.size(), 200000u);
  EXPECT_EQ(out.substr(out.size() - 2), "|;");
  macro("P(x) Q(x)");
  macro("Q(x) P(x)");
  EXPECT_EQ(expand("P(1)"), "P|(|1|)");
}

}  // namespace
