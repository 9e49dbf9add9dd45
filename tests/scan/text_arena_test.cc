#include "scan/text_arena.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

namespace {

// Copies that fill several blocks, and one longer than a block, all stay
// as they were written.
TEST(TextArena, CopiesStayValidAcrossBlocks) {
  TextArena arena;
  std::vector<std::string> texts;
  std::vector<std::string_view> views;
  for (int i = 0; i < 5000; ++i) {
    texts.push_back("token" + std::to_string(i));
    views.push_back(arena.copy(texts.back()));
  }
  texts.push_back(std::string(TextArena::kBlockBytes + 10, 'x'));
  views.push_back(arena.copy(texts.back()));
  texts.push_back("after");
  views.push_back(arena.copy(texts.back()));
  for (size_t i = 0; i < texts.size(); ++i) EXPECT_EQ(views[i], texts[i]) << i;
}

TEST(TextArena, JoinGluesTwoTexts) {
  TextArena arena;
  std::string_view left = arena.copy("a_");
  EXPECT_EQ(arena.join(left, "b"), "a_b");
  EXPECT_EQ(arena.join("", ""), "");
  EXPECT_EQ(left, "a_");
}

TEST(TextArena, ClearedArenaCopiesAgain) {
  TextArena arena;
  for (int i = 0; i < 3000; ++i) arena.copy("0123456789");
  arena.clear();
  std::string_view one = arena.copy("one");
  std::string_view two = arena.copy("two");
  EXPECT_EQ(one, "one");
  EXPECT_EQ(two, "two");
}

}  // namespace
