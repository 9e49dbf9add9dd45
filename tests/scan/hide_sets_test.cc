#include "scan/hide_sets.h"

#include <gtest/gtest.h>

namespace {

TEST(HideSets, SetsGrowWithoutChangingTheOnesTheyExtend) {
  HideSets sets;
  HideSets::Id a = sets.with(HideSets::kEmpty, "A");
  HideSets::Id ab = sets.with(a, "B");
  EXPECT_TRUE(sets.contains(ab, "A"));
  EXPECT_TRUE(sets.contains(ab, "B"));
  EXPECT_FALSE(sets.contains(a, "B"));
  EXPECT_FALSE(sets.contains(HideSets::kEmpty, "A"));
  EXPECT_EQ(sets.with(ab, "A"), ab);  // already in: the same set
}

TEST(HideSets, UnionHoldsTheNamesOfBoth) {
  HideSets sets;
  HideSets::Id ab = sets.with(sets.with(HideSets::kEmpty, "A"), "B");
  HideSets::Id bc = sets.with(sets.with(HideSets::kEmpty, "B"), "C");
  HideSets::Id all = sets.unite(ab, bc);
  for (const char* name : {"A", "B", "C"}) EXPECT_TRUE(sets.contains(all, name)) << name;
  EXPECT_FALSE(sets.contains(all, "D"));
  EXPECT_EQ(sets.unite(ab, bc), all);  // asked again: the same set
  EXPECT_EQ(sets.unite(ab, HideSets::kEmpty), ab);
  EXPECT_EQ(sets.unite(HideSets::kEmpty, bc), bc);
  EXPECT_FALSE(sets.contains(bc, "A"));  // the sides stay as they were
}

TEST(HideSets, UnionWithASetGrownFromTheOther) {
  HideSets sets;
  HideSets::Id a = sets.with(HideSets::kEmpty, "A");
  HideSets::Id ab = sets.with(a, "B");
  HideSets::Id abc = sets.with(ab, "C");
  for (HideSets::Id all : {sets.unite(a, abc), sets.unite(abc, a), sets.unite(ab, abc)})
    for (const char* name : {"A", "B", "C"}) EXPECT_TRUE(sets.contains(all, name)) << name;
  HideSets::Id x = sets.with(HideSets::kEmpty, "X");
  HideSets::Id ax = sets.unite(a, x);  // neither grown from the other
  EXPECT_TRUE(sets.contains(ax, "A"));
  EXPECT_TRUE(sets.contains(ax, "X"));
  EXPECT_FALSE(sets.contains(ax, "B"));
}

TEST(HideSets, ClearForgetsTheLastUnion) {
  HideSets sets;
  HideSets::Id a = sets.with(HideSets::kEmpty, "A");
  HideSets::Id b = sets.with(HideSets::kEmpty, "B");
  sets.unite(a, b);
  sets.clear();
  // The same ids now name other sets; the union must be made anew.
  HideSets::Id c = sets.with(HideSets::kEmpty, "C");
  HideSets::Id d = sets.with(HideSets::kEmpty, "D");
  ASSERT_EQ(c, a);
  ASSERT_EQ(d, b);
  HideSets::Id cd = sets.unite(c, d);
  EXPECT_TRUE(sets.contains(cd, "C"));
  EXPECT_TRUE(sets.contains(cd, "D"));
  EXPECT_FALSE(sets.contains(cd, "A"));
}

}  // namespace
