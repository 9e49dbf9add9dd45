// The memo the tables keep their answers in: an answer kept for the
// question last asked is given again for the same question only, until
// the stamp or the asker changes; a full memo keeps no more.
#include "tables/question_memo.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using Memo = QuestionMemo<int, 8>;  // four answers at most

class QuestionMemoTest : public ::testing::Test {
 protected:
  // Asks the question of two parts and a tail; keeps `answer` when none was kept.
  const int* askTwo(std::string_view a, std::string_view b, std::uint64_t tail, int answer = 0) {
    const int* kept = memo_.ask(std::array{a, b}, tail);
    if (!kept && answer) memo_.keep(answer);
    return kept;
  }
  Memo memo_;
  Memo::Stamp stamp_;
};

TEST_F(QuestionMemoTest, AnAnswerIsGivenForTheSameQuestionOnly) {
  memo_.startQuestions(stamp_, {"Cls", "run", ""});
  EXPECT_EQ(askTwo("Leaf", "x", 1, 7), nullptr);
  ASSERT_NE(askTwo("Leaf", "x", 1), nullptr);
  EXPECT_EQ(*askTwo("Leaf", "x", 1), 7);
  // The same bytes cut into other parts, another tail: other questions.
  EXPECT_EQ(askTwo("Lea", "fx", 1), nullptr);
  EXPECT_EQ(askTwo("Leafx", "", 1), nullptr);
  EXPECT_EQ(askTwo("Leaf", "x", 2), nullptr);
  EXPECT_EQ(askTwo("leaf", "x", 1), nullptr);  // byte for byte
  // A question of one part is its bytes; it is kept apart from the others.
  std::string name = "count";
  EXPECT_EQ(memo_.ask(name), nullptr);
  memo_.keep(3);
  name = "other";  // the kept question is a copy
  EXPECT_EQ(memo_.ask(name), nullptr);
  ASSERT_NE(memo_.ask("count"), nullptr);
  EXPECT_EQ(*memo_.ask("count"), 3);
  EXPECT_EQ(*askTwo("Leaf", "x", 1), 7);
}

TEST_F(QuestionMemoTest, AnotherStampOrAskerForgetsEveryAnswer) {
  EXPECT_TRUE(memo_.startQuestions(stamp_, {"Cls", "run", ""}));
  askTwo("A", "b", 0, 1);
  EXPECT_FALSE(memo_.startQuestions(stamp_, {"Cls", "run", ""}));
  EXPECT_NE(askTwo("A", "b", 0), nullptr);
  EXPECT_TRUE(memo_.startQuestions(stamp_, {"Cls", "stop", ""}));
  EXPECT_EQ(askTwo("A", "b", 0, 2), nullptr);
  EXPECT_EQ(*askTwo("A", "b", 0), 2);
  stamp_.counts[3] = 1;
  EXPECT_TRUE(memo_.startQuestions(stamp_, {"Cls", "stop", ""}));
  EXPECT_EQ(askTwo("A", "b", 0), nullptr);
  stamp_.folded = true;
  EXPECT_TRUE(memo_.startQuestions(stamp_, {"Cls", "stop", ""}));
}

TEST_F(QuestionMemoTest, AFullMemoKeepsNoMore) {
  memo_.startQuestions(stamp_, {});
  for (int k = 1; k <= 6; ++k) askTwo("q", std::to_string(k), 0, k);
  for (int k = 1; k <= 4; ++k) {
    ASSERT_NE(askTwo("q", std::to_string(k), 0), nullptr);
    EXPECT_EQ(*askTwo("q", std::to_string(k), 0), k);
  }
  EXPECT_EQ(askTwo("q", "5", 0), nullptr);
  EXPECT_EQ(askTwo("q", "6", 0), nullptr);
}

}  // namespace
