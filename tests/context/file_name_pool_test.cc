#include "context/file_name_pool.h"

#include <gtest/gtest.h>

namespace {

TEST(FileNamePool, IdsAreStableAndOneBased) {
  FileNamePool pool;
  EXPECT_EQ(pool.add("b.c"), 1);
  EXPECT_EQ(pool.add("a.c"), 2);  // sorts before b.c, still gets the next id
  EXPECT_EQ(pool.add("b.c"), 1);
  EXPECT_EQ(pool.name(1), "b.c");
  EXPECT_EQ(pool.name(2), "a.c");
  EXPECT_EQ(pool.add("c.c"), 3);
  EXPECT_EQ(pool.add("aa.c"), 4);
  EXPECT_EQ(pool.name(1), "b.c");
  EXPECT_EQ(pool.name(3), "c.c");
  EXPECT_EQ(pool.name(4), "aa.c");
  EXPECT_EQ(pool.find("c.c"), 3);
  EXPECT_EQ(pool.find("d.c"), 0);
}

TEST(FileNamePool, CaseMattersAndNoNameIsZero) {
  FileNamePool pool;
  int lower = pool.add("main.c");
  int upper = pool.add("MAIN.C");
  EXPECT_NE(lower, upper);
  EXPECT_EQ(pool.add(""), 0);
  EXPECT_EQ(pool.add(" x.c"), 0);
  EXPECT_EQ(pool.name(0), "");
  EXPECT_EQ(pool.name(-1), "");
  EXPECT_EQ(pool.name(3), "");
  EXPECT_EQ(pool.size(), 2);
}

// Many names in a scrambled order keep their ids and their texts.
TEST(FileNamePool, ManyNamesKeepTheirIds) {
  FileNamePool pool;
  std::vector<std::string> names;
  for (int i = 0; i < 200; ++i) names.push_back("f" + std::to_string((i * 37) % 200) + ".h");
  for (size_t i = 0; i < names.size(); ++i) ASSERT_EQ(pool.add(names[i]), static_cast<int>(i + 1));
  for (size_t i = 0; i < names.size(); ++i) EXPECT_EQ(pool.name(static_cast<int>(i + 1)), names[i]);
}

}  // namespace
