// Comment headers leave memory for a temporary file and come back intact,
// also when reads and further texts alternate; the text that grows from
// declaration to declaration and the text an owner is given again take no
// room twice; a file that refuses writes loses no text and is told once.
#include "tables/comment_store.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "report/error_log.h"
#include "tests/support/test_files.h"

#ifndef _WIN32
#include <csignal>
#include <sys/resource.h>
#endif

namespace {

TEST(CommentStore, TextsComeBackAsTheyWereGiven) {
  CommentStore store;
  EXPECT_TRUE(store.add("").empty());
  EXPECT_EQ(store.text(CommentStore::Ref()), "");
  std::vector<std::string> texts;
  std::vector<CommentStore::Ref> refs;
  for (int i = 0; i < 2000; ++i) {
    texts.push_back("/* \x8a\xd6\x90\x94 " + std::to_string(i) + std::string(i % 97, '*') +
                    " */\n");
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

// Declarations one after the other capture a text that grows by their
// comments; each stored whole would make the file grow with the square.
TEST(CommentStore, GrowingTextsShareTheirBytes) {
  CommentStore store;
  const std::string a = "/* open */\n";
  const std::string ab = a + "\n/* read */\n";
  const std::string abc = ab + "/* close */\n";
  const std::string other = "/* other */\n";
  CommentStore::Ref refA = store.add(a);
  CommentStore::Ref refAb = store.add(ab);
  CommentStore::Ref refAbc = store.add(abc);
  CommentStore::Ref again = store.add(ab);  // the last text begins with it
  EXPECT_EQ(store.text(refA), a);
  EXPECT_EQ(store.text(refAb), ab);
  EXPECT_EQ(store.text(again), ab);
  EXPECT_EQ(store.bytesWritten(), abc.size());
  // A text that neither extends nor begins the last one stands alone, and
  // the next one extends it, not the one before.
  CommentStore::Ref refOther = store.add(other);
  CommentStore::Ref refOtherA = store.add(other + a);
  CommentStore::Ref refAAgain = store.add(a);
  EXPECT_EQ(store.text(refOtherA), other + a);
  EXPECT_EQ(store.text(refAAgain), a);
  EXPECT_EQ(store.text(refOther), other);
  EXPECT_EQ(store.text(refAbc), abc);
  EXPECT_EQ(store.bytesWritten(), abc.size() + other.size() + a.size() + a.size());
  // Each text read back costs its own bytes, no more.
  std::uint64_t before = store.bytesRead();
  EXPECT_EQ(store.text(refAb), ab);
  EXPECT_EQ(store.bytesRead() - before, ab.size());
}

// A header read again for each source gives its functions the same texts.
TEST(CommentStore, AnOwnerGivenItsTextAgainKeepsIt) {
  CommentStore store;
  CommentStore::Ref held = store.add("/* from the header */\n");
  store.add("/* something else in between */\n");
  EXPECT_EQ(store.text(held), "/* from the header */\n");
  std::uint64_t written = store.bytesWritten();
  CommentStore::Ref again = store.add("/* from the header */\n", held);
  EXPECT_EQ(again.offset, held.offset);
  EXPECT_EQ(store.text(again), "/* from the header */\n");
  EXPECT_EQ(store.bytesWritten(), written);
  // Another text of the same size replaces it.
  CommentStore::Ref changed = store.add("/* from the source */\n", held);
  EXPECT_EQ(store.text(changed), "/* from the source */\n");
  EXPECT_EQ(store.text(held), "/* from the header */\n");
}

std::vector<std::string> numberedTexts(int count, size_t length) {
  std::vector<std::string> texts;
  for (int i = 0; i < count; ++i) {
    std::string text = "/* " + std::to_string(i) + " */";
    text.resize(length, static_cast<char>('a' + i % 26));
    texts.push_back(text + "\n");
  }
  return texts;
}

// The log's line, read back from the captured log.
int keptInMemoryLines(const std::string& log) {
  const std::string line =
      "コメントを一時ファイルに書き込めません。以降のコメントはメモリに保持します\n";
  int count = 0;
  for (size_t at = log.find(line); at != std::string::npos; at = log.find(line, at + 1)) ++count;
  return count;
}

TEST(CommentStore, AFileThatRefusesWritesLosesNothing) {
  TempDir dir;
  std::string path = dir.file("store");
  writeFileBytes(path, "");
  std::stringbuf log;
  attachErrorLog(&log);
  {
    CommentStore store(std::fopen(path.c_str(), "rb"));
    std::vector<std::string> texts = numberedTexts(3000, 200);  // more than one buffer
    std::vector<CommentStore::Ref> refs;
    for (const std::string& text : texts) refs.push_back(store.add(text));
    EXPECT_TRUE(store.keptInMemory());
    for (size_t i = 0; i < texts.size(); ++i) ASSERT_EQ(store.text(refs[i]), texts[i]) << i;
  }
  attachErrorLog(nullptr);
  EXPECT_EQ(keptInMemoryLines(log.str()), 1);
}

#ifndef _WIN32
// The disk fills while the store writes: what went to the file and what
// the file refused both come back.
TEST(CommentStore, AFileThatFillsUpLosesNothing) {
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  auto savedSignal = std::signal(SIGXFSZ, SIG_IGN);
  std::stringbuf log;
  attachErrorLog(&log);
  {
    CommentStore store;
    rlimit small = saved;
    small.rlim_cur = 1 << 20;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    std::vector<std::string> texts = numberedTexts(12000, 300);  // about 3.6 MB
    std::vector<CommentStore::Ref> refs;
    for (const std::string& text : texts) refs.push_back(store.add(text));
    setrlimit(RLIMIT_FSIZE, &saved);
    EXPECT_TRUE(store.keptInMemory());
    EXPECT_LE(store.bytesWritten(), 1u << 20);
    EXPECT_GT(store.bytesWritten(), 0u);
    for (size_t i = texts.size(); i-- > 0;) ASSERT_EQ(store.text(refs[i]), texts[i]) << i;
  }
  attachErrorLog(nullptr);
  std::signal(SIGXFSZ, savedSignal);
  EXPECT_EQ(keptInMemoryLines(log.str()), 1);
}
#endif

}  // namespace
