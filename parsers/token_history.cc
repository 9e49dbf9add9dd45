#include "parsers/token_history.h"

#include "scan/lexical_rules.h"

namespace {
const std::string kNothing;
}  // namespace

const std::string& TokenHistory::nothing() { return kNothing; }

int TokenHistory::matchingOpen(int n, const char* open, const char* close) const {
  int depth = 0;
  for (int k = n; k <= kDeepest; ++k) {
    const std::string& t = at(k);
    if (t.empty()) return -1;
    if (t == close)
      ++depth;
    else if (t == open && --depth == 0)
      return k;
  }
  return -1;
}

int TokenHistory::skipGroupBack(int n, const char* open, const char* close) const {
  int k = n;
  while (at(k) == close) {
    int opened = matchingOpen(k, open, close);
    if (opened < 0) return -1;
    k = opened + 1;
  }
  const std::string& before = at(k);
  if (before.empty() || isDelimiterToken(before)) return -1;
  return k;
}

TokenHistory::Declarator TokenHistory::pointerDeclarator(int n) const {
  Declarator d;
  if (at(n) != ")") return d;
  int k = n + 1;
  if (at(k) == "const") ++k;
  const std::string& name = at(k);
  if (name.empty() || isDelimiterToken(name)) return d;
  int namePosition = k++;
  while (at(k) == "*") {
    d.star = true;
    ++k;
  }
  if (at(k) != "(") return d;
  d.name = namePosition;
  d.open = k;
  return d;
}

int TokenHistory::skipTypeArgumentsBack(int n) const {
  constexpr int kReach = 24;  // a generic's arguments take a few tokens
  if (at(n) != ">") return n;
  int depth = 0;
  for (int k = n; k < n + kReach && k <= kDeepest; ++k) {
    const std::string& t = at(k);
    if (t == ">") {
      ++depth;
    } else if (t == "<") {
      if (--depth > 0) continue;
      const std::string& word = at(k + 1);
      return word.empty() || isDelimiterToken(word) ? n : k + 1;
    } else if (t != "," && t != "." && (t.empty() || isDelimiterToken(t))) {
      return n;
    }
  }
  return n;
}
