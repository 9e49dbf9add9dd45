#include "scan/reserved_word_table.h"

#include <gtest/gtest.h>

#include <sstream>

#include "context/options.h"
#include "context/source_context.h"
#include "report/error_log.h"
#include "context/language_mode.h"
#include "scan/lexical_rules.h"
#include "tests/support/test_files.h"
#include "tests/support/analysis_test.h"

namespace {

class ReservedWords : public AnalysisTest {
 protected:
  ReservedWordTable& words() { return reservedWords(); }
  // "word:mask" of every entry in table order.
  std::string listing() {
    std::string out;
    for (size_t i = 0; i < words().size(); ++i)
      out += words().at(i).word + ":" + std::to_string(words().at(i).languages) + " ";
    return out;
  }
  std::string dumpFile() { return report("Mz予約語確認.txt"); }
};

TEST_F(ReservedWords, SortedInsertionAndMaskUnion) {
  words().add("while", kModeC);
  words().add("class", kModeCpp);
  words().add("Dim", kModeVb);
  words().add("class", kModeC);
  words().add("", kModeC);
  // Byte order: upper case before lower case.
  EXPECT_EQ(listing(), "Dim:16 class:3 while:1 ");
}

TEST_F(ReservedWords, FoldedComparisonMergesCaseVariants) {
  setCaseInsensitiveNames(true);
  words().add("Dim", kModeVb);
  words().add("dim", kModeDelphi);
  words().add("Alias", kModeVb);
  words().add("ZEND", kModeVb);
  words().add("begin", kModeDelphi);
  words().add("__declspec", kModeVb);
  // Letters fold to lower case: '_' sorts before them.
  EXPECT_EQ(listing(), "__declspec:16 Alias:16 begin:32 Dim:48 ZEND:16 ");
  EXPECT_TRUE(words().contains("DIM"));
  EXPECT_EQ(words().isReserved("dIm", kModeVb), kModeVb);
}

// Words are found by their whole spelling whatever their length or first
// byte, and only as the comparison allows.
TEST_F(ReservedWords, AnyLengthAndFirstByte) {
  const std::string longWord(40, 'q');
  for (const std::string& w :
       {longWord, std::string("_asm"), std::string("\x8a\xbf"), std::string("class")})
    words().add(w, kModeC);
  for (const std::string& w :
       {longWord, std::string("_asm"), std::string("\x8a\xbf"), std::string("class")})
    EXPECT_TRUE(words().contains(w)) << w;
  for (const char* w : {"Class", "clasp", "_Asm", "\x8a\xc0", "q"})
    EXPECT_FALSE(words().contains(w)) << w;
  EXPECT_FALSE(words().contains(std::string(41, 'q')));
  setCaseInsensitiveNames(true);
  EXPECT_TRUE(words().contains("CLASS"));
  EXPECT_TRUE(words().contains(std::string(40, 'Q')));
}

TEST_F(ReservedWords, ReservedOnlyForTheLanguagesOfItsMask) {
  words().loadBuiltIn();
  struct Case {
    const char* word;
    std::int32_t mode;
    std::int32_t expected;
  } cases[] = {
      {"class", kModeC, 0},
      {"class", kModeCOrCpp, kModeCpp},
      {"class", kModeDelphi, kModeDelphi},
      {"while", kModeCOrCpp, kModeC},
      {"Dim", kModeVb, kModeVb},
      {"Dim", kModeC, 0},
      {"dim", kModeVb, 0},
      {"nosuchword", kModeAll, 0},
      {"to", kModeAll, kModeVb | kModeDelphi},
  };
  for (const Case& c : cases)
    EXPECT_EQ(words().isReserved(c.word, c.mode), c.expected) << c.word << " " << c.mode;
  EXPECT_TRUE(words().contains("xalloc"));
  EXPECT_FALSE(words().contains("main"));
  EXPECT_FALSE(words().contains(""));
}

TEST_F(ReservedWords, ModeZeroIsTheCurrentFilesMode) {
  words().loadBuiltIn();
  context().setLanguageMask(kModeC);
  EXPECT_EQ(words().isReserved("class"), 0);
  EXPECT_EQ(words().isReserved("int"), kModeC);
  context().setLanguageMask(kModeCOrCpp);
  EXPECT_EQ(words().isReserved("class"), kModeCpp);
}

TEST_F(ReservedWords, VbRunFindsWordsInAnyCase) {
  setCaseInsensitiveNames(true);
  words().loadBuiltIn();
  EXPECT_EQ(words().isReserved("dim", kModeVb), kModeVb);
  EXPECT_EQ(words().isReserved("END", kModeVb), kModeVb);
  // "End" (VB) and "end" (Delphi) are one word under the folded comparison.
  EXPECT_EQ(words().isReserved("end", kModeAll), kModeVb | kModeDelphi);
}

TEST_F(ReservedWords, BuiltInListsHoldEveryWordOnce) {
  words().loadBuiltIn();
  // 35 C, 23 C++, 50 Java, 42 VB and 65 Delphi words; the words that two
  // lists share are one entry: C and Delphi share 8 ("case" "const" "do"
  // "else" "for" "goto" "if" "while"), C++ and Delphi 3 ("class" "inline"
  // "try"), VB and Delphi 1 ("to"); of the Java words 22 are C's, 10 C++'s
  // ("catch" "class" "new" "private" "protected" "public" "this" "throw"
  // "try" "volatile") and 2 more Delphi's ("finally" "interface").
  EXPECT_EQ(words().size(), 35u + 23u + 50u + 42u + 65u - 12u - 34u);
  EXPECT_EQ(words().isReserved("case", kModeAll), kModeC | kModeJava | kModeDelphi);
  EXPECT_EQ(words().isReserved("to", kModeAll), kModeVb | kModeDelphi);
  EXPECT_EQ(words().isReserved("extends", kModeAll), kModeJava);
}

TEST_F(ReservedWords, DumpListsEveryEntryWithItsGroup) {
  words().add("while", kModeC);
  words().add("class", kModeCpp);
  words().add("class", kModeC);
  words().add("Dim", kModeVb);
  words().add("x", kModeAll);
  words().add("m", kModeJava | kModeC);
  words().dump(reports());
  EXPECT_EQ(dumpFile(), withCrLf("予約語を書き出します。\n"
                                 "  0, VB        , Dim,\n"
                                 "  1, C/CPP     , class,\n"
                                 "  2, C/JAVA    , m,\n"
                                 "  3, C         , while,\n"
                                 "  4,           , x,\n"
                                 "↑以上が予約語です。定義数：5個\n"));
}

TEST_F(ReservedWords, DumpOfAnEmptyTable) {
  words().dump(reports());
  EXPECT_EQ(dumpFile(), withCrLf("予約語を書き出します。\n↑以上が予約語です。定義数：0個\n"));
}

TEST_F(ReservedWords, EmptyWordIsNeverAdded) {
  words().add("", kModeC);
  EXPECT_EQ(words().size(), 0u);
  EXPECT_EQ(takeLog(), "");
}

}  // namespace
