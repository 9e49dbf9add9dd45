#include "scan/name_set.h"

#include <gtest/gtest.h>

#include "scan/lexical_rules.h"
#include "tests/support/analysis_test.h"

namespace {

std::string listing(const NameSet& set) {
  std::string out;
  for (size_t i = 0; i < set.count(); ++i) out += *set.at(i) + " ";
  return out;
}

class NameSetTest : public AnalysisTest {};

TEST_F(NameSetTest, SortedUniqueNamesUnderTheCaseSensitiveComparison) {
  NameSet set;
  for (const char* name : {"std", "boost", "Std", "std", "", "a::b", "a"}) set.insert(name);
  EXPECT_EQ(listing(set), "Std a a::b boost std ");
  EXPECT_EQ(set.count(), 5u);
}

TEST_F(NameSetTest, FoldedComparisonKeepsTheFirstSpelling) {
  setCaseInsensitiveNames(true);
  NameSet set;
  for (const char* name : {"Module", "alpha", "MODULE", "Beta", "module"}) set.insert(name);
  EXPECT_EQ(listing(set), "alpha Beta Module ");
}

TEST_F(NameSetTest, FindGivesThePositionOrTheInsertionPoint) {
  NameSet set;
  for (const char* name : {"b", "d", "f"}) set.insert(name);
  struct Case {
    const char* name;
    bool found;
    size_t index;
  } cases[] = {{"a", false, 0}, {"b", true, 0}, {"c", false, 1},
               {"d", true, 1},  {"f", true, 2}, {"g", false, 3}};
  for (const Case& c : cases) {
    NameSet::Lookup got = set.find(c.name);
    EXPECT_EQ(got.found, c.found) << c.name;
    EXPECT_EQ(got.index, c.index) << c.name;
  }
  EXPECT_FALSE(set.find("").found);
}

TEST_F(NameSetTest, AccessOutsideTheRangeGivesNothing) {
  NameSet set;
  EXPECT_EQ(set.at(0), nullptr);
  set.insert("x");
  ASSERT_NE(set.at(0), nullptr);
  EXPECT_EQ(*set.at(0), "x");
  EXPECT_EQ(set.at(1), nullptr);
}

}  // namespace
