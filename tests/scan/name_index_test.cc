#include "scan/name_index.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "scan/lexical_rules.h"
#include "scan/name_filter.h"

namespace {

// The owner's side: names kept by position, as a table's records keep them.
struct Names {
  std::vector<std::string> kept;
  std::uint32_t add(NameIndex& index, std::string name) {
    auto position = static_cast<std::uint32_t>(kept.size());
    kept.push_back(std::move(name));
    index.add(kept.back(), position);
    return position;
  }
  auto of() const {
    return [this](std::uint32_t p) -> std::string_view { return kept[p]; };
  }
};

// The position of `name` in `index`, or -1.
long long positionOf(const NameIndex& index, std::string_view name, const Names& names) {
  const std::uint32_t* p = index.find(name, names.of());
  return p ? static_cast<long long>(*p) : -1;
}

// Random names of 1 to `longest` bytes drawn from `bytes` (letters of both
// cases, digits, '_', Shift-JIS lead and trail bytes), the same for a seed.
class RandomNames {
 public:
  RandomNames(unsigned seed, size_t longest, std::string_view bytes)
      : random_(seed), longest_(longest), bytes_(bytes) {}
  std::string operator()() {
    std::string out(1 + random_() % longest_, ' ');
    for (char& c : out) c = bytes_[random_() % bytes_.size()];
    return out;
  }

 private:
  std::mt19937 random_;
  size_t longest_;
  std::string_view bytes_;
};

TEST(NameIndex, FindsEveryNameAddedThroughGrowth) {
  NameIndex index;
  Names names;
  for (int i = 0; i < 1000; ++i) names.add(index, "name" + std::to_string(i));
  EXPECT_EQ(index.size(), 1000u);
  for (int i = 0; i < 1000; ++i) EXPECT_EQ(positionOf(index, "name" + std::to_string(i), names), i);
  EXPECT_EQ(positionOf(index, "name1000", names), -1);
  EXPECT_EQ(positionOf(index, "", names), -1);
  index.clear();
  EXPECT_EQ(positionOf(index, "name7", names), -1);
}

// Folded names: ASCII letters match in either case, except the trail byte
// of a double-byte character (0x83 0x41 is not 0x83 0x61).
TEST(NameIndex, FoldedNamesAsTheComparisonHasThem) {
  setCaseInsensitiveNames(true);
  NameIndex index;
  Names names;
  for (const char* n : {"Dim", "\x83\x41", "\x83\x61", "\x83\x41Z"}) names.add(index, n);
  EXPECT_EQ(positionOf(index, "DIM", names), 0);
  EXPECT_EQ(positionOf(index, "\x83\x41", names), 1);
  EXPECT_EQ(positionOf(index, "\x83\x61", names), 2);
  EXPECT_EQ(positionOf(index, "\x83\x41z", names), 3);
  EXPECT_EQ(positionOf(index, "Di", names), -1);
}

// Random names of letters, digits and double-byte characters: the index
// finds a name exactly when the comparison finds an equal one.
TEST(NameIndex, AgreesWithTheComparison) {
  RandomNames name(7, 4, "aAbB_1\x83\x81\x41\x61");
  for (bool folded : {false, true}) {
    setCaseInsensitiveNames(folded);
    NameIndex index;
    Names names;
    for (int i = 0; i < 300; ++i) {
      std::string n = name();
      long long present = -1;
      for (size_t k = 0; k < names.kept.size(); ++k)
        if (sameName(names.kept[k], n)) present = static_cast<long long>(k);
      ASSERT_EQ(positionOf(index, n, names), present) << n << " folded " << folded;
      if (present < 0) names.add(index, n);
    }
  }
}

// The filter never says no to a name equal to one added, under either
// comparison; it says no to names of another length or other ends.
TEST(NameFilter, NoOnlyForNamesNeverAdded) {
  RandomNames name(11, 40, "aAzZ_1\x83\x81\x41\x61");
  NameFilter filter;
  std::vector<std::string> added;
  for (int i = 0; i < 300; ++i) {
    added.push_back(name());
    filter.add(added.back());
  }
  for (bool folded : {false, true}) {
    setCaseInsensitiveNames(folded);
    for (int i = 0; i < 3000; ++i) {
      std::string n = name();
      bool equalToOne = std::any_of(added.begin(), added.end(),
                                    [&](const std::string& a) { return sameName(a, n); });
      if (equalToOne) {
        ASSERT_TRUE(filter.mayHold(n)) << n << " folded " << folded;
      }
    }
    for (const std::string& a : added) ASSERT_TRUE(filter.mayHold(a));
  }
  setCaseInsensitiveNames(false);
  NameFilter one;
  one.add("Count");
  EXPECT_TRUE(one.mayHold("COUNT"));
  EXPECT_FALSE(one.mayHold("Counts"));
  EXPECT_FALSE(one.mayHold("Mount"));
  EXPECT_FALSE(one.mayHold("Couns"));
  EXPECT_FALSE(one.mayHold(""));
  one.clear();
  EXPECT_FALSE(one.mayHold("Count"));
}

// Names taken out at random among many that share slots: every other name
// is still found, and a removed one is not.
TEST(NameIndex, RemovingKeepsTheOthersFound) {
  NameIndex index;
  Names names;
  for (int i = 0; i < 500; ++i) names.add(index, "n" + std::to_string(i * 7919 % 1000));
  std::mt19937 random(11);
  std::vector<bool> removed(names.kept.size(), false);
  for (int round = 0; round < 300; ++round) {
    size_t k = random() % names.kept.size();
    index.remove(names.kept[k], names.of());
    removed[k] = true;
    size_t probe = random() % names.kept.size();
    EXPECT_EQ(positionOf(index, names.kept[probe], names),
              removed[probe] ? -1 : static_cast<long long>(probe));
  }
  size_t left = 0;
  for (size_t k = 0; k < names.kept.size(); ++k) {
    left += !removed[k];
    EXPECT_EQ(positionOf(index, names.kept[k], names) >= 0, !removed[k]) << names.kept[k];
  }
  EXPECT_EQ(index.size(), left);
}

// The folded comparison, byte by byte as the rule says: letters are lowered
// unless the byte is the trail of a double-byte character; then the
// shorter name first.
int foldedOrder(std::string_view a, std::string_view b) {
  auto lowered = [](std::string_view s) {
    std::string out(s);
    for (size_t i = 0; i < out.size(); ++i) {
      unsigned char c = static_cast<unsigned char>(out[i]);
      if ((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC)) {
        ++i;  // the trail byte stays
      } else if (c >= 'A' && c <= 'Z') {
        out[i] = static_cast<char>(c + 32);
      }
    }
    return out;
  };
  std::string x = lowered(a), y = lowered(b);
  size_t n = std::min(x.size(), y.size());
  for (size_t i = 0; i < n; ++i)
    if (x[i] != y[i])
      return static_cast<unsigned char>(x[i]) < static_cast<unsigned char>(y[i]) ? -1 : 1;
  return x.size() == y.size() ? 0 : x.size() < y.size() ? -1 : 1;
}

// Long names that differ late, in case only, in a trail byte or in length:
// the order, the equality and the index agree with the rule.
TEST(NameIndex, FoldedOrderOfLongNamesAsTheRuleHasIt) {
  const char kBytes[] = {'a', 'A', 'z', 'Z', '_', '1', '\x83', '\xE0', '\x41', '\x61', '\xA6'};
  std::mt19937 random(13);
  setCaseInsensitiveNames(true);
  NameIndex index;
  Names names;
  for (int round = 0; round < 4000; ++round) {
    std::string a(random() % 24, ' ');
    for (char& c : a) c = kBytes[random() % sizeof kBytes];
    std::string b = a;
    if (!b.empty() && random() % 4) b[random() % b.size()] = kBytes[random() % sizeof kBytes];
    if (random() % 5 == 0) b.resize(random() % (b.size() + 1));
    for (char& c : b)
      if (random() % 3 == 0 && ((c | 0x20) >= 'a' && (c | 0x20) <= 'z')) c ^= 0x20;
    ASSERT_EQ(compareNames(a, b), foldedOrder(a, b)) << a << " | " << b;
    ASSERT_EQ(sameName(a, b), foldedOrder(a, b) == 0) << a << " | " << b;
    if (round % 8) continue;
    long long present = -1;
    for (size_t k = 0; k < names.kept.size(); ++k)
      if (foldedOrder(names.kept[k], a) == 0) present = static_cast<long long>(k);
    ASSERT_EQ(positionOf(index, a, names), present) << a;
    if (present < 0) names.add(index, a);
  }
  setCaseInsensitiveNames(false);
}

TEST(NameIndex, NotUsableUnderAnotherComparison) {
  setCaseInsensitiveNames(false);
  NameIndex index;
  Names names;
  EXPECT_TRUE(index.usable());
  names.add(index, "Dim");
  setCaseInsensitiveNames(true);
  EXPECT_FALSE(index.usable());
  setCaseInsensitiveNames(false);
  EXPECT_TRUE(index.usable());
  // Taking a name out where the index cannot find it would leave it stale:
  // broken until cleared.
  setCaseInsensitiveNames(true);
  index.remove("Dim", names.of());
  setCaseInsensitiveNames(false);
  EXPECT_FALSE(index.usable());
  index.clear();
  EXPECT_TRUE(index.usable());
  index.abandon();
  EXPECT_FALSE(index.usable());
}

}  // namespace
