// Operator calls of C++ sources: an object whose class (or a base) declares
// the operator calls the operator function, whether the operator follows
// the object or stands before it; pointers, arrays, built-in types and
// declarations with an initial value call none.
#include "tests/parsers/c_parser_fixture.h"

namespace {

class CParserOperatorTest : public CParserTest {
 protected:
  static inline const std::string kClasses =
      "class CNum {\n"
      " public:\n"
      "  CNum operator+(const CNum& o) const;\n"
      "  CNum& operator+=(const CNum& o);\n"
      "  CNum& operator++();\n"
      "  bool operator==(const CNum& o) const;\n"
      "  CNum& operator=(const CNum& o);\n"
      "  CNum& operator<<(int v);\n"
      "  int operator[](int i) const;\n"
      "  CNum* operator->();\n"
      "  int operator*() const;\n"
      "  bool operator!() const;\n"
      "  void run();\n"
      "};\n"
      "class CDerived : public CNum { };\n";

  // A body of f and f's callees in key order.
  struct Case {
    const char* body;
    const char* callees;
  };
  // Each body in turn after `head` (the declarations and f's header up to
  // its '{'): f calls the callees and nothing is logged.
  void expectCallees(const std::string& head, std::initializer_list<Case> cases) {
    for (const Case& c : cases) {
      analyse({{"a.cpp", head + c.body + " }\n"}});
      EXPECT_EQ(calleesOf("f"), c.callees) << c.body;
      EXPECT_EQ(takeLog(), "") << c.body;
    }
  }
};

TEST_F(CParserOperatorTest, OperatorsOfTheObjectsClassAreCalled) {
  expectCallees(kClasses + "void f(CNum& a, CNum& b, CNum* p, CDerived& d, int n) { ",
                {
                    {"a + b;", "CNum::+"},
                    {"a += b;", "CNum::+="},
                    {"a++;", "CNum::++"},
                    {"for (;;) ++a;", "CNum::++"},
                    {"if (a == b) n = 1;", "CNum::=="},
                    // The longest operator the class declares: `=`, then `-b`.
                    {"a = -b;", "CNum::="},
                    {"a << n << 2;", "CNum::<<"},
                    {"n = a[2];", "CNum::[]"},
                    {"a->run();", "CNum::-> CNum::run"},
                    {"n = *a;", "CNum::*"},
                    {"if (!a) return;", "CNum::!"},
                    // A base's operator; the operator of `*a`'s result is not a's.
                    {"d + a;", "CNum::+"},
                    {"if (*a != n) return;", "CNum::*"},
                    // Pointers and built-in types have the language's operators; the
                    // object a pointer points to has its class's.
                    {"p + 1; p++; n = n * 2; ++n;", ""},
                    {"*p = b; if (*p == a) n = *p++;", "CNum::= CNum::=="},
                    {"n = n * *p;", ""},
                    // A declaration's `=` gives the object its first value: what
                    // `a + b` gives is c itself, a named object is copied.
                    {"CNum c = a + b;", "CNum::+ CNum::~CNum"},
                    {"CNum c = a, e = b;", "CNum::CNum CNum::~CNum"},
                    {"CNum c = {}; static CNum s = a.run();", "CNum::CNum CNum::run CNum::~CNum"},
                    {"CNum const& r = a; CNum const* q = p; CNum* const s = p;", ""},
                });
}

// The element an operator[] of the class gives (here a CNum) is an operand
// of its own: `v[k] = x` calls operator= of the element's class, after the
// parentheses (`(*p)[k]`, `get()[k]`) too.
TEST_F(CParserOperatorTest, ElementsOfAnObjectAreOperands) {
  const std::string classes = kClasses +
                              "class CList {\n"
                              " public:\n"
                              "  CNum& operator[](int k);\n"
                              "};\n"
                              "CList& get();\n";
  expectCallees(classes + "void f(CList& v, CList* p, CNum& b) { ",
                {
                    {"v[1] = b;", "CList::[] CNum::="},
                    {"(*p)[2] = b;", "CList::[] CNum::="},
                    {"if (get()[3] == b) return;", "CList::[] CNum::== get"},
                    // A pointer's `[…]` gives a CList, which declares no `=`.
                    {"p[0] = v;", ""},
                    // An array of lists being declared: built and destroyed, no `=`.
                    {"CList w[2] = {v, v};", "CList::CList CList::~CList"},
                });
}

// An operator function declared beside the class, in its namespace.
TEST_F(CParserOperatorTest, OperatorFunctionsOfTheClassesNamespace) {
  analyse({{"a.cpp",
            "namespace ns {\n"
            "class S { public: int size() const; };\n"
            "class T { public: bool operator==(const T& o) const; };\n"
            "bool operator==(const S& x, const S& y);\n"
            "}\n"
            "bool operator<(const ns::T& x, const ns::T& y);\n"
            "bool f(const ns::S& a, const ns::S& b, const ns::T& c) {\n"
            "  return a == b && c == c && c < c;\n"
            "}\n"}});
  // The member before the namespace's; `<` is no operator of ns.
  EXPECT_EQ(calleesOf("f"), "ns::== ns::T::==");
}

// A friend declared in the class is a function of its namespace, not a
// member: `a | b` reaches the one the class declares before any file
// defines it, and a friend defined in the body calls from there.
TEST_F(CParserOperatorTest, FriendsAreFunctionsOfTheClassesNamespace) {
  analyse({{"a.cpp",
            "namespace ns {\n"
            "int same(int x, int y);\n"
            "class R {\n"
            " public:\n"
            "  friend R operator|(const R& a, const R& b);\n"
            "  friend bool operator==(const R& a, const R& b) { return same(a.v, b.v); }\n"
            "  friend class Other;\n"
            "  int v;\n"
            "};\n"
            "namespace in { bool f(const R& a, const R& b, R& c) { c = a | b; return c == a; } }\n"
            "}\n"}});
  EXPECT_EQ(calleesOf("ns::in::f"), "ns::== ns::|");
  EXPECT_EQ(calleesOf("ns::=="), "ns::same");
  EXPECT_EQ(calleesOf("ns::R::|"), "<none>");
  EXPECT_EQ(calleesOf("ns::R::=="), "<none>");
  EXPECT_EQ(takeLog(), "");
}

// The operand may be a member of the class, a local object, a global, or
// of a class in a namespace; the variable details report changes nothing.
TEST_F(CParserOperatorTest, OperandsOfEveryScope) {
  const SourceFiles sources = {
      {"a.cpp", kClasses + "namespace m { class V { public: V operator*(int k) const; "
                           "V& operator=(const V& o); }; }\n"
                           "CNum total;\n"
                           "class Holder {\n"
                           "  CNum sum;\n"
                           "  CNum *last;\n"
                           "  void add(const CNum& x) { sum += x; last + 1; }\n"
                           "};\n"
                           "void g(const m::V& v) { v * 2; }\n"
                           "namespace m {\n"
                           "void k(const V& v) { m::V w = v; V x = v; }\n"
                           "void j(V& a, const V& b) { a = b; }\n"
                           "}\n"
                           "void h() { CNum local; local << 1; total == local; }\n"}};
  for (int details : {0, 1}) {
    options().variableDetails = details;
    analyse(sources);
    EXPECT_EQ(calleesOf("Holder::add"), "CNum::+=") << details;
    EXPECT_EQ(calleesOf("g"), "m::V::*") << details;
    // Declarations give first values; only the assignment calls `=`.
    EXPECT_EQ(calleesOf("m::k"), "m::V::V m::V::~V") << details;
    EXPECT_EQ(calleesOf("m::j"), "m::V::=") << details;
    EXPECT_EQ(calleesOf("h"), "CNum::<< CNum::== CNum::CNum CNum::~CNum") << details;
  }
}

// Inside a member function `*this` is an object of its class.
TEST_F(CParserOperatorTest, TheObjectOfAMemberFunction) {
  analyse(
      {{"a.cpp", kClasses +
                     "bool ne(const CNum& o) { return !(*this == o); }\n"
                     "CNum& CNum::operator+=(const CNum& o) { *this = *this + o; return *this; }\n"
                     "void CNum::run() { (*this)[0]; }\n"}});
  EXPECT_EQ(calleesOf("CNum::+="), "CNum::+ CNum::=");
  EXPECT_EQ(calleesOf("CNum::run"), "CNum::[]");
  // No class around a plain function.
  EXPECT_EQ(calleesOf("ne"), "");
}

// A member object is an operand of its class's operators, a pointer member
// is not; after a ')' a '*' before a pointer dereferences it.
TEST_F(CParserOperatorTest, MemberObjectsAndPointeesAfterAParenthesis) {
  const std::string classes = kClasses +
                              "struct Pair { CNum m; CNum* q; using Fn = CNum (*)(const CNum&); "
                              "Fn write; };\n";
  expectCallees(classes + "void f(Pair& a, Pair* p, CNum* r, int n) { ",
                {
                    {"if (a.m == p->m) n = 1;", "CNum::=="},
                    {"p->m = a.m;", "CNum::="},
                    {"a.q + 1; n = a.m[1];", "CNum::[]"},
                    {"if (n) *r = a.m;", "CNum::="},
                    // A function type's alias names no class.
                    {"a.write = nullptr;", ""},
                });
}

// The object a call gives is an operand, before or after its operator; a
// pointer a call gives, and the parentheses of `if` or `sizeof`, are not.
TEST_F(CParserOperatorTest, ResultsOfCalls) {
  const std::string classes = kClasses + "CNum make();\nCNum& ref();\nCNum* find();\n";
  expectCallees(classes + "void f(CNum& b, int n) { ",
                {
                    {"make() + make();", "CNum::+ make"},
                    {"if (ref() == b) n = 1;", "CNum::== ref"},
                    {"if (!make()) return;", "CNum::! make"},
                    {"find() + 1; n = sizeof(b) * 2; if (b) *find() = b;", "CNum::= find"},
                });
}

// An object tested as a truth value calls its class's conversion operator
// (a base's too): the only one, or the one to bool among several; `!a`
// calls operator! where the class declares one. Pointers and built-in
// types, and objects that are operands of something else, convert nothing.
TEST_F(CParserOperatorTest, ObjectsTestedAsTruthValues) {
  const std::string classes =
      "class Ref { typedef void (*Test)(Ref***); public: operator Test() const; };\n"
      "class Flag { public: explicit operator bool() const; bool operator!() const; };\n"
      "class Num { public: operator int() const; operator bool() const; };\n"
      "class Two { public: operator int() const; operator long() const; };\n"
      "class SubRef : public Ref { };\n"
      "struct Holder { Ref m; Ref* p; Flag g; };\n"
      "Ref make();\nRef* find();\nint take(const Ref& r);\n";
  expectCallees(classes +
                    "void f(Ref& r, Flag& g, Num& n, Two& t, SubRef& s, Holder& h, Ref* p, "
                    "int k) { ",
                {
                    {"if (r) k = 1;", "Ref::Test"},
                    {"while (n) --k;", "Num::bool"},
                    {"if (g) return; if (!g) return;", "Flag::! Flag::bool"},
                    {"if (!r) return;", "Ref::Test"},
                    {"if (s) k = 1;", "Ref::Test"},
                    {"k = r ? 1 : 2;", "Ref::Test"},
                    {"if (k > 1 && r) k = 1;", "Ref::Test"},
                    {"if (r || k) k = 1;", "Ref::Test"},
                    {"bool b = g && n;", "Flag::bool Num::bool"},
                    {"if (h.m) k = 1; if (make()) k = 2;", "Ref::Test make"},
                    {"if (!h.g || !h.m) return;", "Flag::! Ref::Test"},
                    // Several conversions, none of them to bool.
                    {"if (t) k = 1;", ""},
                    {"if (p) k = 1; if (!p || h.p) return; while (k && find()) --k;", "find"},
                    {"if (take(r) && k) k = 1; k = k + take(r);", "take"},
                });
}

// `static_cast<bool>(x)` tests x as `if (x)` does; `*this` too.
TEST_F(CParserOperatorTest, CastsToBoolTestTheObject) {
  analyse({{"a.cpp",
            "class Src {\n"
            " public:\n"
            "  explicit operator bool() const;\n"
            "  bool operator!() const { return !static_cast<bool>(*this); }\n"
            "};\n"
            "int f(Src& s, int n) { return static_cast<bool>(s) + static_cast<int>(n); }\n"
            "int g(Src& s) { return static_cast<int>(s.operator!()); }\n"}});
  EXPECT_EQ(calleesOf("Src::!"), "Src::bool");
  EXPECT_EQ(calleesOf("f"), "Src::bool");
  EXPECT_EQ(calleesOf("g"), "Src::!");
  EXPECT_EQ(takeLog(), "");
}

// A structure that declares operators is a class of C++ as much as a class
// is: its objects, and what calls give of it, call them.
TEST_F(CParserOperatorTest, StructuresDeclaringOperators) {
  analyse({{"a.cpp",
            "struct Str { bool operator==(const char* s) const; Str& operator+=(const Str& o); };\n"
            "struct Lexer { const Str& contents() const; };\n"
            "struct Plain { int n; };\n"
            "int f(Lexer& l, Str a, Str b, Plain p, Plain q) {\n"
            "  a += b;\n"
            "  if (l.contents() == \"x\") return 1;\n"
            "  return p.n == q.n;\n"
            "}\n"}});
  EXPECT_EQ(calleesOf("f"), "Lexer::contents Str::+= Str::==");
  EXPECT_EQ(takeLog(), "");
}

}  // namespace
