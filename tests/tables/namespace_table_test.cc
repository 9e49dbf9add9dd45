#include "tables/namespace_table.h"

#include <gtest/gtest.h>

#include <sstream>

#include "context/options.h"
#include "context/source_context.h"
#include "report/error_log.h"
#include "scan/lexical_rules.h"
#include "tests/support/analysis_test.h"

namespace {

class Namespaces : public AnalysisTest {
 protected:
  NamespaceTable& ns() { return namespaces(); }
  std::string known() {
    std::string out;
    for (size_t i = 0; i < ns().known().count(); ++i) out += *ns().known().at(i) + " ";
    return out;
  }
  // The parser's calls at '}': closeScope with the depth before, then
  // statementEnd with the depth after.
  void closeBrace(int& depth) {
    ns().closeScope(depth);
    --depth;
    ns().statementEnd(depth);
  }
};

TEST_F(Namespaces, NestedBlocksGiveFullNames) {
  // namespace a { namespace b { class C {}; } }
  int depth = 0;
  ns().openNamespace("a", depth++);
  EXPECT_EQ(ns().currentPath(), "a");
  ns().openNamespace("b", depth++);
  EXPECT_EQ(ns().currentPath(), "a::b");
  EXPECT_EQ(ns().openCount(), 2);
  ++depth;                   // class C {
  closeBrace(depth);         // }
  ns().statementEnd(depth);  // ; after the class body, at depth 2
  EXPECT_EQ(ns().currentPath(), "a::b");
  closeBrace(depth);
  EXPECT_EQ(ns().currentPath(), "a");
  closeBrace(depth);
  EXPECT_EQ(ns().currentPath(), "");
  EXPECT_EQ(ns().openCount(), 0);
  EXPECT_EQ(known(), "a a::b ");
}

TEST_F(Namespaces, UsingInsideABodyEndsWithTheBody) {
  int depth = 0;
  ns().addUsing("boost", depth);
  ++depth;  // void f() {
  ns().addUsing("std", depth);
  EXPECT_EQ(ns().usingName(1), "std");
  closeBrace(depth);
  EXPECT_EQ(ns().usingName(0), "boost");
  EXPECT_EQ(ns().usingName(1), "");
}

TEST_F(Namespaces, AtlFollowsTheUsingListWhenItsHeaderWasMissing) {
  ns().addUsing("std", 0);
  EXPECT_EQ(ns().usingName(1), "");
  context().markMissing("atlbase.h");
  EXPECT_EQ(ns().usingName(1), "ATL");
  EXPECT_EQ(ns().usingName(2), "");
}

TEST_F(Namespaces, KnownPrefixCutsAtDoubleColons) {
  ns().openNamespace("a", 0);
  ns().openNamespace("b", 1);
  struct Case {
    const char* name;
    const char* prefix;
  } cases[] = {{"a::b::C", "a::b"}, {"a::b", "a::b"}, {"a::x::C", "a"},
               {"z::C", ""},        {"C", ""},        {"", ""}};
  for (const Case& c : cases) EXPECT_EQ(ns().knownPrefix(c.name), c.prefix) << c.name;
  EXPECT_EQ(takeLog(), "");
  EXPECT_TRUE(ns().isNamespace("a::b"));
  EXPECT_FALSE(ns().isNamespace("b"));
}

TEST_F(Namespaces, SingleColonIsReported) {
  ns().openNamespace("a", 0);
  EXPECT_EQ(ns().knownPrefix("a:C"), "a:C");
  EXPECT_EQ(takeLog(), "  (内部ｴﾗｰ)名前空間のディレクティブが異常です\n");
}

TEST_F(Namespaces, ClearForgetsEverything) {
  ns().openNamespace("a", 0);
  ns().addUsing("std", 0);
  ns().clear();
  EXPECT_EQ(ns().openCount(), 0);
  EXPECT_EQ(ns().usingName(0), "");
  EXPECT_FALSE(ns().isNamespace("a"));
}

TEST_F(Namespaces, KnownSetFollowsTheRunsComparison) {
  setCaseInsensitiveNames(true);
  ns().openNamespace("Outer", 0);
  ns().statementEnd(0);
  ns().openNamespace("outer", 0);
  EXPECT_EQ(known(), "Outer ");
  EXPECT_TRUE(ns().isNamespace("OUTER"));
}

}  // namespace
