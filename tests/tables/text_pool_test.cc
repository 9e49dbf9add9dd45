// The pool gives one id per distinct byte string and keeps every text
// readable while more texts arrive (past a block, a text longer than a
// block, the index growing).
#include "tables/text_pool.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(TextPool, OneIdPerTextAndEveryTextStaysReadable) {
  TextPool pool;
  EXPECT_EQ(pool.add(""), TextPool::kEmpty);
  EXPECT_EQ(pool.text(TextPool::kEmpty), "");
  std::vector<std::string> texts;
  std::vector<TextPool::Id> ids;
  const std::string big(200000, 'x');  // longer than a block
  for (int i = 0; i < 20000; ++i) {
    texts.push_back(
        i == 7000 ? big : "int \x95\xcf\x90\x94" + std::to_string(i) + std::string(i % 31, ' '));
    ids.push_back(pool.add(texts.back()));
    EXPECT_NE(ids.back(), TextPool::kEmpty);
  }
  EXPECT_EQ(pool.size(), texts.size() + 1);
  for (size_t i = 0; i < texts.size(); ++i) {
    EXPECT_EQ(pool.text(ids[i]), texts[i]) << i;
    EXPECT_EQ(pool.add(texts[i]), ids[i]) << i;  // the same bytes, the same id
  }
  // Bytes decide: texts that differ only in case are two texts.
  EXPECT_NE(pool.add("Count"), pool.add("count"));
  EXPECT_EQ(pool.size(), texts.size() + 3);
}

}  // namespace
