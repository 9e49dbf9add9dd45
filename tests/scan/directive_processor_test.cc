// The directive processor on its own: the keyword tables of each syntax
// and the group state driven token by token, as the reader drives it.
#include "scan/directive_processor.h"

#include <gtest/gtest.h>

#include <sstream>

#include "context/options.h"
#include "context/source_context.h"
#include "report/error_log.h"
#include "scan/directive_keywords.h"
#include "scan/lexical_rules.h"
#include "tests/support/analysis_test.h"

namespace {

TEST(DirectiveKeywords, ExactInCAnyCaseInVbAndDelphi) {
  using W = DirectiveWord;
  struct Case {
    LanguageFamily syntax;
    const char* word;
    DirectiveWord expected;
  } cases[] = {
      {LanguageFamily::CFamily, "define", W::kDefine},
      {LanguageFamily::CFamily, "Define", W::kNone},
      {LanguageFamily::CFamily, "elif", W::kElif},
      {LanguageFamily::CFamily, "import", W::kImport},
      {LanguageFamily::CFamily, "pragma", W::kPragma},
      {LanguageFamily::CFamily, "error", W::kError},
      {LanguageFamily::CFamily, "Region", W::kNone},
      {LanguageFamily::CFamily, "ifdefx", W::kNone},
      {LanguageFamily::Vb, "IF", W::kIf},
      {LanguageFamily::Vb, "elseif", W::kElif},
      {LanguageFamily::Vb, "End", W::kEndif},
      {LanguageFamily::Vb, "region", W::kRegion},
      {LanguageFamily::Vb, "define", W::kNone},
      {LanguageFamily::Vb, "Const", W::kDefine},  // #Const NAME = value
      {LanguageFamily::Delphi, "IFDEF", W::kIfdef},
      {LanguageFamily::Delphi, "IfNDef", W::kIfndef},
      {LanguageFamily::Delphi, "ENDIF", W::kEndif},
      {LanguageFamily::Delphi, "Define", W::kDefine},
      {LanguageFamily::Delphi, "UNDEF", W::kUndef},
      {LanguageFamily::Delphi, "elif", W::kNone},
      {LanguageFamily::Delphi, "R", W::kNone},
      {LanguageFamily::Delphi, "Include", W::kInclude},
      {LanguageFamily::Delphi, "I", W::kInclude},
  };
  for (const Case& c : cases) EXPECT_EQ(directiveWordOf(c.syntax, c.word), c.expected) << c.word;
  EXPECT_TRUE(opensGroup(W::kIfndef));
  EXPECT_TRUE(opensGroup(W::kRegion));
  EXPECT_FALSE(opensGroup(W::kElse));
  EXPECT_TRUE(switchesBranch(W::kElif));
  EXPECT_FALSE(switchesBranch(W::kDefine));
}

class DirectiveProcessorTest : public AnalysisTest {
 protected:
  void SetUp() override { startFile("a.c"); }

  // One directive line: '#', its tokens, then the line break.
  void line(std::initializer_list<const char*> tokens) {
    processor_.begin(LanguageFamily::CFamily);
    for (const char* t : tokens) processor_.token(t);
    context().countLine();
    if (!processor_.continuesAtLineBreak()) processor_.end();
  }

  DirectiveProcessor processor_{run().scan()};
};

TEST_F(DirectiveProcessorTest, DepthLiveAndSkipDepth) {
  line({"if", "1"});
  EXPECT_TRUE(processor_.live());
  line({"if", "0"});
  EXPECT_FALSE(processor_.live());
  line({"ifdef", "X"});
  line({"if", "1"});
  EXPECT_EQ(processor_.depth(), 2);
  EXPECT_EQ(processor_.skipDepth(), 2);
  line({"endif"});
  line({"endif"});
  EXPECT_EQ(processor_.skipDepth(), 0);
  line({"else"});
  EXPECT_TRUE(processor_.live());
  line({"endif"});
  line({"endif"});
  EXPECT_EQ(processor_.depth(), 0);
  EXPECT_TRUE(processor_.live());
  EXPECT_EQ(takeLog(), "");
}

TEST_F(DirectiveProcessorTest, ContinuationKeepsTheDirectiveOpen) {
  line({"define", "A", "1", "+", "\\"});
  EXPECT_TRUE(processor_.inProgress());
  line({"2"});
  EXPECT_FALSE(processor_.inProgress());
  // A '\' that is not last on its line is part of the body.
  line({"define", "B", "\\", "x"});
  EXPECT_FALSE(processor_.inProgress());
}

TEST_F(DirectiveProcessorTest, ErrorAsksForTheRestAsComment) {
  line({"error", "x"});
  EXPECT_TRUE(processor_.takeCommentRequest());
  EXPECT_FALSE(processor_.takeCommentRequest());
  EXPECT_EQ(takeLog(), "    a.c 1: #errorを検出しました。\n");
}

TEST_F(DirectiveProcessorTest, EndOfFileStartsAfresh) {
  line({"if", "0"});
  processor_.endOfFile();
  EXPECT_EQ(processor_.depth(), 0);
  EXPECT_TRUE(processor_.live());
  EXPECT_EQ(takeLog(),
            "  [a.c]で#if文の数が合いません。\n    #ifdef文の数 = 1\n"
            "    #無効な位置にある#ifdef文の数 = 0\n");
  // The end of the input closes a directive still open on the last line.
  takeLog();
  processor_.begin(LanguageFamily::CFamily);
  processor_.token("if");
  processor_.token("1");
  processor_.endOfFile();
  EXPECT_NE(takeLog().find("    #ifdef文の数 = 1\n"), std::string::npos);
}

}  // namespace
