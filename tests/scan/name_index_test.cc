#include "scan/name_index.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "scan/lexical_rules.h"

namespace {

TEST(NameIndex, FindsEveryNameAddedThroughGrowth) {
  NameIndex index;
  for (std::uint32_t i = 0; i < 1000; ++i) index.add("name" + std::to_string(i), i);
  EXPECT_EQ(index.size(), 1000u);
  for (std::uint32_t i = 0; i < 1000; ++i) {
    const std::uint32_t* value = index.find("name" + std::to_string(i));
    ASSERT_NE(value, nullptr) << i;
    EXPECT_EQ(*value, i);
  }
  EXPECT_EQ(index.find("name1000"), nullptr);
  EXPECT_EQ(index.find(""), nullptr);
  *index.find("name7") = 70;
  EXPECT_EQ(*index.find("name7"), 70u);
  index.clear();
  EXPECT_EQ(index.find("name7"), nullptr);
}

// Folded names: ASCII letters match in either case, except the trail byte
// of a double-byte character (0x83 0x41 is not 0x83 0x61).
TEST(NameIndex, FoldedNamesAsTheComparisonHasThem) {
  setCaseInsensitiveNames(true);
  NameIndex index;
  index.add("Dim", 1);
  index.add("\x83\x41", 2);
  index.add("\x83\x61", 3);
  index.add("\x83\x41Z", 4);
  EXPECT_EQ(*index.find("DIM"), 1u);
  EXPECT_EQ(*index.find("\x83\x41"), 2u);
  EXPECT_EQ(*index.find("\x83\x61"), 3u);
  EXPECT_EQ(*index.find("\x83\x41z"), 4u);
  EXPECT_EQ(index.find("Di"), nullptr);
}

// Random names of letters, digits and double-byte characters: the index
// finds a name exactly when the comparison finds an equal one.
TEST(NameIndex, AgreesWithTheComparison) {
  const char kBytes[] = {'a', 'A', 'b', 'B', '_', '1', '\x83', '\x81', '\x41', '\x61'};
  std::mt19937 random(7);
  auto name = [&] {
    std::string out(1 + random() % 4, ' ');
    for (char& c : out) c = kBytes[random() % sizeof kBytes];
    return out;
  };
  for (bool folded : {false, true}) {
    setCaseInsensitiveNames(folded);
    NameIndex index;
    std::vector<std::string> added;
    for (int i = 0; i < 300; ++i) {
      std::string n = name();
      bool present = false;
      for (const std::string& a : added) present |= sameName(a, n);
      ASSERT_EQ(index.find(n) != nullptr, present) << n << " folded " << folded;
      if (!present) {
        index.add(n, static_cast<std::uint32_t>(added.size()));
        added.push_back(n);
      }
    }
  }
}

// Names taken out at random among many that share slots: every other name
// is still found with its value, and a removed one is not.
TEST(NameIndex, RemovingKeepsTheOthersFound) {
  NameIndex index;
  std::vector<std::string> names;
  for (std::uint32_t i = 0; i < 500; ++i) {
    names.push_back("n" + std::to_string(i * 7919 % 1000));
    index.add(names.back(), i);
  }
  std::mt19937 random(11);
  std::vector<bool> removed(names.size(), false);
  for (int round = 0; round < 300; ++round) {
    size_t k = random() % names.size();
    index.remove(names[k]);
    removed[k] = true;
    size_t probe = random() % names.size();
    const std::uint32_t* value = index.find(names[probe]);
    if (removed[probe]) {
      EXPECT_EQ(value, nullptr) << names[probe];
    } else {
      ASSERT_NE(value, nullptr) << names[probe];
      EXPECT_EQ(*value, probe);
    }
  }
  size_t left = 0;
  for (size_t k = 0; k < names.size(); ++k) {
    left += !removed[k];
    EXPECT_EQ(index.find(names[k]) != nullptr, !removed[k]) << names[k];
  }
  EXPECT_EQ(index.size(), left);
}

TEST(NameIndex, NotUsableUnderAnotherComparison) {
  setCaseInsensitiveNames(false);
  NameIndex index;
  EXPECT_TRUE(index.usable());
  index.add("Dim", 1);
  setCaseInsensitiveNames(true);
  EXPECT_FALSE(index.usable());
  setCaseInsensitiveNames(false);
  EXPECT_TRUE(index.usable());
  // A value asked for change while unusable would go stale: broken for good.
  setCaseInsensitiveNames(true);
  EXPECT_EQ(index.find("Dim"), nullptr);
  setCaseInsensitiveNames(false);
  EXPECT_FALSE(index.usable());
  index.clear();
  EXPECT_TRUE(index.usable());
}

}  // namespace
