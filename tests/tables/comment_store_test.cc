// Comment headers leave memory for a temporary file and come back intact,
// also when reads and further texts alternate.
#include "tables/comment_store.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(CommentStore, TextsComeBackAsTheyWereGiven) {
  CommentStore store;
  EXPECT_TRUE(store.add("").empty());
  EXPECT_EQ(store.text(CommentStore::Ref()), "");
  std::vector<std::string> texts;
  std::vector<CommentStore::Ref> refs;
  for (int i = 0; i < 2000; ++i) {
    texts.push_back("/* \x8a\xd6\x90\x94 " + std::to_string(i) + std::string(i % 97, '*') + " */\n");
    refs.push_back(store.add(texts.back()));
    // Reading in between must not disturb where the next text goes.
    if (i % 3 == 0) {
      EXPECT_EQ(store.text(refs[i / 2]), texts[i / 2]);
    }
  }
  std::string big(300000, 'c');
  CommentStore::Ref bigRef = store.add(big);
  for (int i = 1999; i >= 0; --i) EXPECT_EQ(store.text(refs[i]), texts[i]) << i;
  EXPECT_EQ(store.text(bigRef), big);
}

}  // namespace
