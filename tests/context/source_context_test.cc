#include "context/source_context.h"

#include <gtest/gtest.h>

#include "context/options.h"
#include "context/language_mode.h"

namespace {

class SourceContextTest : public testing::Test {
 protected:
  void SetUp() override { options_.extensionLanguages = parseExtensionList(kDefaultExtensionList); }
  Options options_;
};

TEST_F(SourceContextTest, StackOfFiles) {
  SourceContext context(options_);
  context.setLanguageMask(kModeCOrCpp);
  context.push("/src/main.cpp");
  EXPECT_EQ(context.item(0), "main.cpp");
  EXPECT_EQ(context.item(1), "");  // depth 1 has nothing below the top
  EXPECT_EQ(context.currentLine(), 1);
  context.countLine();
  context.push("/src/inc/a.h");
  EXPECT_EQ(context.depth(), 2);
  EXPECT_EQ(context.item(0), "a.h");
  EXPECT_EQ(context.item(1), "main.cpp");
  EXPECT_EQ(context.currentLine(), 1);
  EXPECT_EQ(context.topDirectory(), "/src/inc/");
  EXPECT_EQ(context.mainFileName(false), "");
  EXPECT_EQ(context.mainFileName(true), "main.cpp");
  EXPECT_EQ(context.languageMask(), kModeCOrCpp);  // a header keeps the main file's language
  context.pop();
  EXPECT_EQ(context.currentLine(), 2);
  EXPECT_EQ(context.mainFileName(false), "main.cpp");
  context.pop();
  context.pop();
  EXPECT_EQ(context.depth(), 0);
  EXPECT_EQ(context.currentLine(), 0);
  EXPECT_EQ(context.topDirectory(), "");
}

TEST_F(SourceContextTest, TagJumpKeepsPaths) {
  options_.tagJumpTree = 1;
  SourceContext context(options_);
  context.push("c:\\src\\main.c");
  EXPECT_EQ(context.item(0), "c:\\src\\main.c");
  EXPECT_EQ(context.topDirectory(), "c:\\src\\");
}

TEST_F(SourceContextTest, MissingOldStreamHeaderMakesFlavourNine) {
  SourceContext context(options_);
  context.setLanguageMask(kModeCOrCpp);
  context.push("a.cpp");
  EXPECT_EQ(context.languageFlavour(), kModeCOrCpp);
  context.markMissing("IOSTREAM.H");
  EXPECT_EQ(context.languageFlavour(), kModeOldStyleCpp);
  EXPECT_FALSE(context.atlHeaderMissing());
  context.markMissing("AtlBase.h");
  EXPECT_TRUE(context.atlHeaderMissing());
  context.reset();
  EXPECT_EQ(context.languageMask(), 0);
  EXPECT_FALSE(context.oldStyleHeaderMissing());
}

TEST_F(SourceContextTest, MissingOldHeaderInACFileKeepsC) {
  SourceContext context(options_);
  context.setLanguageMask(kModeC);
  context.push("a.c");
  context.markMissing("iostream.h");
  EXPECT_EQ(context.languageFlavour(), kModeC);
}

TEST_F(SourceContextTest, LanguageMaskSettableOnlyWhileEmpty) {
  SourceContext context(options_);
  context.setLanguageMask(kModeJava);
  EXPECT_EQ(context.languageMask(), kModeJava);
  context.push("a.c");
  context.setLanguageMask(kModeVb);
  EXPECT_EQ(context.languageMask(), kModeJava);
}

}  // namespace
