// Shapes of C++11 and later that headers, bodies and calls take: trailing
// return types, defaulted and deleted functions, calls of function
// templates, smart pointers and containers, brace initialisation and
// temporaries, local classes, out-of-line members of a struct.
#include "tests/parsers/c_parser_fixture.h"

namespace {

using CParserModernCppTest = CParserTest;

TEST_F(CParserModernCppTest, TrailingReturnTypesDefaultedAndDeletedFunctions) {
  analyse({{"a.cpp",
            "void helper();\n"
            "auto f() -> int { helper(); return 1; }\n"
            "struct S { auto g() const -> std::vector<int>; S(); ~S(); S(const S&); };\n"
            "auto S::g() const -> std::vector<int> { helper(); return {}; }\n"
            "S::S() = default;\n"
            "S::~S() = default;\n"
            "S::S(const S&) = delete;\n"
            "auto h() -> decltype(f()) { return f(); }\n"
            "class Q { public: Q(Q* p); int size(); };\n"
            "Q::Q(Q* p) : n(p->size()) { helper(); }\n"}});
  // `p->size()` before the body is no trailing return type.
  EXPECT_EQ(knownFunctions(),
            "Q::Q() a.cpp:10 #1 [BK] > Q::size helper\n"
            "int Q::size() a.cpp:9 [K]\n"
            "S::S() a.cpp:7 [K]\n"
            "auto S::g() a.cpp:4 #1 [BK] > helper\n"
            "S::~S() a.cpp:6 [K]\n"
            "auto f() a.cpp:2 #1 [BK] > helper\n"
            "auto h() a.cpp:8 #1 [BK] > f\n"
            "helper() a.cpp:1 [K]\n");
  EXPECT_EQ(takeLog(), "");
}

TEST_F(CParserModernCppTest, CallsOfFunctionTemplates) {
  analyse({{"a.cpp",
            "template <class T> T make(int n) { return T(); }\n"
            "namespace u { template <class T> void put(T v); }\n"
            "class Box { public: template <class T> T get(); };\n"
            "void user(Box& b, int k) {\n"
            "  make<int>(1); make<std::pair<int, long>>(2);\n"
            "  u::put<double>(2.0);\n"
            "  b.get<int>();\n"
            "  k = static_cast<int>(2.5);\n"
            "  if (k > (1)) k = 2;\n"
            "}\n"}});
  EXPECT_EQ(calleesOf("user"), "Box::get make u::put");
  EXPECT_EQ(takeLog(), "");
}

// `p->f()` on a smart pointer and `v[i].f()` on a container (templates
// known as classes, as the shipped settings know the standard ones) call
// the member of the class they hold; a pointer to one calls its own.
TEST_F(CParserModernCppTest, SmartPointersAndContainers) {
  analyse({{"a.cpp",
            "namespace std {\n"
            "template <class T> class shared_ptr { };\n"
            "template <class T> class unique_ptr { };\n"
            "template <class T> class vector { public: int size(); };\n"
            "template <class K, class V> class map { };\n"
            "}\n"
            "class Engine { public: void start(); };\n"
            "class Car {\n"
            "  std::unique_ptr<Engine> engine_;\n"
            "  std::vector<Engine> spares_;\n"
            "  std::map<int, Engine> byId_;\n"
            "  void drive();\n"
            "};\n"
            "void run(std::vector<Engine>* list) { std::shared_ptr<Engine> e; e->start(); "
            "list->size(); }\n"
            "void Car::drive() { engine_->start(); spares_[0].start(); byId_[1].start(); }\n"
            // Through an alias of the template, as through the template.
            "typedef std::shared_ptr<Engine> EnginePtr;\n"
            "using Fleet = std::vector<Engine>;\n"
            "void check(const EnginePtr& p, Fleet& f) { p->start(); f[0].start(); f.size(); }\n"}});
  EXPECT_EQ(calleesOf("run"),
            "Engine::start std::shared_ptr::shared_ptr std::shared_ptr::~shared_ptr "
            "std::vector::size");
  EXPECT_EQ(calleesOf("Car::drive"), "Engine::start");
  EXPECT_EQ(calleesOf("check"), "Engine::start std::vector::size");
  EXPECT_EQ(takeLog(), "");
}

// `T x{…}` declares x; `T(…).f()` and `T{…}.f()` call f of T, T's
// constructor builds the temporary (a class's, declared or not) and its
// destructor ends it.
TEST_F(CParserModernCppTest, BraceInitialisationAndTemporaries) {
  analyse({{"a.cpp",
            "class Point { public: Point(int x, int y); int len() const; };\n"
            "namespace g { class Line { public: void draw(); }; }\n"
            "int use() {\n"
            "  Point p{1, 2}, q{3, make()};\n"
            "  g::Line{}.draw();\n"
            "  return p.len() + q.len() + Point(1, 2).len() + Point{3, 4}.len();\n"
            "}\n"}});
  EXPECT_EQ(calleesOf("use"),
            "Point::Point Point::len Point::~Point g::Line::Line g::Line::draw g::Line::~Line "
            "make");
  EXPECT_EQ(takeLog(), "");
}

// A temporary of a structure that declares a constructor, of a class named
// through an alias, and one written with braces as a value call the
// constructor, and the destructor unless it is returned; a structure
// without one (`struct stat`) makes no temporary, and an alias of a
// pointer converts one.
TEST_F(CParserModernCppTest, TemporariesOfStructuresAliasesAndBraces) {
  analyse({{"a.cpp",
            "struct Mark { Mark(int a, int b); int pos; };\n"
            "struct stat { int size; };\n"
            "class Node { public: Node(int x); typedef Node Self; };\n"
            "void take(const Node& n);\n"
            "int use(int a) { take(Node{a}); return Mark(a, 1).pos + Mark{a, 2}.pos; }\n"
            "Mark build(int a) { return Mark{a, a}; }\n"
            "void alias(int a) { take(Node::Self(a)); }\n"
            "int size(struct stat* st) { return stat(st); }\n"
            "typedef Node* NodePtr;\n"
            "void cast(Node* q) { take(*NodePtr(q)); }\n"}});
  EXPECT_EQ(calleesOf("use"), "Mark::Mark Mark::~Mark Node::Node Node::~Node take");
  EXPECT_EQ(calleesOf("build"), "Mark::Mark");
  EXPECT_EQ(calleesOf("alias"), "Node::Node Node::~Node take");
  EXPECT_EQ(calleesOf("size"), "");
  EXPECT_EQ(calleesOf("cast"), "take");
  EXPECT_EQ(takeLog(), "");
}

// A structure's constructor and destructor defined outside it; a class
// local to a function leaves the function whole.
TEST_F(CParserModernCppTest, StructureMembersAndLocalClasses) {
  analyse({{"a.cpp",
            "void helper();\n"
            "struct P { P(); ~P(); void f(); };\n"
            "P::P() { helper(); }\n"
            "P::~P() { helper(); }\n"
            "void outer() {\n"
            "  struct L { int n; void m() { other(); } };\n"
            "  class K : public P { public: int k() { return 0; } };\n"
            "  helper();\n"
            "}\n"
            "void after() { helper(); }\n"}});
  EXPECT_EQ(calleesOf("P::P"), "helper");
  EXPECT_EQ(calleesOf("P::~P"), "helper");
  EXPECT_EQ(calleesOf("outer"), "helper");
  EXPECT_EQ(calleesOf("after"), "helper");
  EXPECT_EQ(calleesOf("L::m"), "<none>");
  EXPECT_EQ(takeLog(), "");
}

// Members annotated by macros (`T m_ GUARDED_BY(mu);`, `void f() REQUIRES(mu);`)
// and constant pointers (`T* const p_`) keep their types; so do the
// parameters of a function returning a class (`Slice f(const Slice& s)`)
// and a local object of a template type (`std::unique_lock<M> lock(m)`).
TEST_F(CParserModernCppTest, AnnotatedMembersConstantPointersAndTemplateLocals) {
  predefine("GUARDED_BY", {"(", "x"}, {});
  predefine("REQUIRES", {"(", "x"}, {});
  analyse({{"a.cpp",
            "namespace db {\n"
            "template <class M> class unique_lock { public: void release(); };\n"
            "class Slice { public: int size() const; };\n"
            "class Status { public: bool ok() const; };\n"
            "class Mutex { };\n"
            "class Impl {\n"
            "  Mutex mu_;\n"
            "  Status error_ GUARDED_BY(mu_);\n"
            "  Slice* const key_;\n"
            "  void Run() REQUIRES(mu_);\n"
            "};\n"
            "void Impl::Run() { if (error_.ok()) key_->size(); }\n"
            "Slice Extract(const Slice& k) { k.size(); return k; }\n"
            "void Hold(Mutex& m) { db::unique_lock<Mutex> lock(m); lock.release(); }\n"
            "}\n"}});
  EXPECT_EQ(calleesOf("db::Impl::Run"), "db::Slice::size db::Status::ok");
  EXPECT_EQ(calleesOf("db::Extract"), "db::Slice::size");
  EXPECT_EQ(calleesOf("db::Hold"),
            "db::unique_lock::release db::unique_lock::unique_lock db::unique_lock::~unique_lock");
  EXPECT_EQ(takeLog(), "");
}

// Aliases of classes name their class: a typedef in a class (also used by
// its members defined outside it), `using B = A;`, `using ns::A;`, and a
// class nested in the aliased one (`Table::Iterator`).
TEST_F(CParserModernCppTest, AliasesOfClassesNameTheirClass) {
  analyse({{"a.cpp",
            "namespace db {\n"
            "template <class K, class C> class List {\n"
            " public:\n"
            "  void Insert(K k);\n"
            "  class Iterator { public: bool Valid() const; };\n"
            "};\n"
            "class Table { public: void Insert(int k); };\n"
            "class Mem {\n"
            "  struct Cmp { int operator()(int a, int b) const; };\n"
            "  typedef List<const char*, Cmp> Table;\n"
            "  Table table_;\n"
            " public:\n"
            "  void Add(int k);\n"
            "  bool Seek() { Table::Iterator it(&table_); return it.Valid(); }\n"
            "};\n"
            "void Mem::Add(int k) { table_.Insert(k); }\n"
            "using Env = Table;\n"
            "}\n"
            "using db::Mem;\n"
            "void Fill(db::Env* e, Mem* m) { e->Insert(1); m->Add(2); }\n"}});
  // Inside Mem, Table is Mem's alias, not the class db::Table.
  EXPECT_EQ(calleesOf("db::Mem::Add"), "db::List::Insert");
  EXPECT_EQ(calleesOf("db::Mem::Seek"),
            "db::List::Iterator::Iterator db::List::Iterator::Valid db::List::Iterator::~Iterator");
  EXPECT_EQ(calleesOf("Fill"), "db::Mem::Add db::Table::Insert");
  EXPECT_EQ(takeLog(), "");
}

// Objects reached through members: a parameter named like the member
// called on it, `this->m` and `items_[i]` of members declared further
// down, a `friend class` (which declares no nested class), a `mutable`
// member and a `T const&` parameter.
TEST_F(CParserModernCppTest, ObjectsOfMembersAndParameters) {
  analyse({{"a.cpp",
            "namespace db {\n"
            "class Slice { public: const char* data() const; int size() const; };\n"
            "class Mutex { public: void Lock(); };\n"
            "class Set;\n"
            "class Ver {\n"
            "  friend class Set;\n"
            "  Set* set_;\n"
            " public:\n"
            "  Ver() { this->mu_->Lock(); }\n"
            "  void Each() { for (int i = 0; i < 2; i++) parts_[i].size(); }\n"
            "  void Owner();\n"
            " private:\n"
            "  Mutex* const mu_;\n"
            "  Slice* parts_;\n"
            "};\n"
            "class Set { public: mutable Slice name_; };\n"
            "void Ver::Owner() { set_->name_.data(); }\n"
            "int Length(const Slice& data) { data.data(); return data.size(); }\n"
            "int Size(Slice const& s) { return s.size(); }\n"
            "}\n"}});
  EXPECT_EQ(calleesOf("db::Ver::Ver"), "db::Mutex::Lock");
  EXPECT_EQ(calleesOf("db::Ver::Each"), "db::Slice::size");
  EXPECT_EQ(calleesOf("db::Ver::Owner"), "db::Slice::data");
  EXPECT_EQ(calleesOf("db::Length"), "db::Slice::data db::Slice::size");
  EXPECT_EQ(calleesOf("db::Size"), "db::Slice::size");
}

// A function returning a class of its namespace (`Status f()`, `db::Snap*
// g()`) gives the call's result that class; definitions inside an
// extern "C" block are read.
TEST_F(CParserModernCppTest, ReturnTypesNamedByTheirClass) {
  analyse({{"a.cpp",
            "namespace db {\n"
            "class Status { public: bool ok() const; };\n"
            "class Snap { public: int seq() const; };\n"
            "Status Read(int f);\n"
            "class List { public: Snap* oldest() const; };\n"
            "}\n"
            "extern \"C\" {\n"
            "int c_read(db::List* l) { l->oldest()->seq(); return db::Read(1).ok(); }\n"
            "}\n"}});
  EXPECT_EQ(calleesOf("c_read"), "db::List::oldest db::Read db::Snap::seq db::Status::ok");
  EXPECT_EQ(takeLog(), "");
}

// `auto x = chain;` gives x the class of what the chain gives: a call's
// result (a pointer when the function returns one), a `new` object, a
// member; the object is the callee's, so the caller builds none. An
// expression of several operands gives no class.
TEST_F(CParserModernCppTest, AutoVariablesTakeTheClassOfTheirValue) {
  analyse({{"a.cpp",
            "class It { public: It& operator++(); bool operator!=(const It& o) const; int key() "
            "const; };\n"
            "class Box { public: It begin() const; It end() const; Box* next(); It first; };\n"
            "int f(Box& b, Box* p, int n) {\n"
            "  for (auto i = b.begin(); i != b.end(); ++i) i.key();\n"
            "  const auto& j = b.first; j.key();\n"
            "  auto q = p->next(); q->end();\n"
            "  if (auto* r = new Box) r->next();\n"
            "  return 0;\n"
            "}\n"
            "void g(Box& b, int n) { auto k = n + b.begin().key(); ++k; }\n"}});
  EXPECT_EQ(calleesOf("f"), "Box::Box Box::begin Box::end Box::next It::!= It::++ It::key");
  EXPECT_EQ(calleesOf("g"), "Box::begin It::key");
  EXPECT_EQ(takeLog(), "");
}

// Parameters of functions in a namespace or an extern "C" block are each
// function's own: overloads name theirs alike without mixing their types,
// and none is a variable of the file.
TEST_F(CParserModernCppTest, ParametersInsideNamespacesAndExternBlocks) {
  analyse({{"a.cpp",
            "namespace ns {\n"
            "class S { public: const char* c_str() const; };\n"
            "class V { public: V(int value); V(const S& value); };\n"
            "V::V(int value) {}\n"
            "V::V(const S& value) { value.c_str(); }\n"
            "}\n"
            "extern \"C\" {\n"
            "void k(ns::S* s) { int w = 0; s->c_str(); }\n"
            "}\n"}});
  EXPECT_EQ(calleesOf("ns::V::V"), "ns::S::c_str");
  EXPECT_EQ(calleesOf("k"), "ns::S::c_str");
  EXPECT_EQ(variables().rowCount(), 0);
}

// A member function named like a typedef of another class, a function
// whose first parameter is of a class (no object built with arguments),
// and a namespace's function named like a member of the caller's class.
TEST_F(CParserModernCppTest, NamesSharedByMembersTypesAndNamespaces) {
  analyse({{"a.cpp",
            "struct Decoder { typedef wchar_t type; };\n"
            "namespace p {\n"
            "namespace impl { void append(int n) {} }\n"
            "class Node {\n"
            " public:\n"
            "  int type() const;\n"
            "  void append(int n);\n"
            "  bool grow() { return type() == 1; }\n"
            "};\n"
            "void Node::append(int n) { impl::append(n); }\n"
            "Node Copy(Node& in) { in.type(); return in; }\n"
            "}\n"}});
  EXPECT_EQ(calleesOf("p::Node::grow"), "p::Node::type");
  EXPECT_EQ(calleesOf("p::Node::append"), "p::impl::append");
  EXPECT_EQ(calleesOf("p::Copy"), "p::Node::type");
  EXPECT_EQ(takeLog(), "");
}

// Braces after a member's name in a constructor's initializer list hold
// its initial value (calls in them are the constructor's); the body opens
// after the list, and what follows the constructor is read as before.
TEST_F(CParserModernCppTest, BraceInitialValuesInConstructorInitializerLists) {
  analyse({{"a.cpp",
            "namespace y {\n"
            "int Helper(int n);\n"
            "class Data { public: Data(); };\n"
            "class Stream {\n"
            " public:\n"
            "  Stream(int input);\n"
            "  int m_a, m_b, m_c[2][2];\n"
            "  Data* m_p;\n"
            "};\n"
            "Stream::Stream(int input)\n"
            "    : m_a(input), m_b{}, m_c{{Helper(1), 2}, {3, 4}}, m_p(new Data) {\n"
            "  Helper(0);\n"
            "}\n"
            "int User() { Stream s(1); return s.m_a; }\n"
            "}\n"}});
  EXPECT_EQ(calleesOf("y::Stream::Stream"), "y::Data::Data y::Helper");
  EXPECT_EQ(calleesOf("y::User"), "y::Stream::Stream y::Stream::~Stream");
  EXPECT_EQ(calleesOf("Stream"), "<none>");
  EXPECT_EQ(takeLog(), "");
  // The same inside the class body: `data(0)` after `value{}` is no member.
  analyse({{"a.cpp",
            "int Helper(int n);\n"
            "class Data { public: Data(); };\n"
            "class Token {\n"
            " public:\n"
            "  Token(int t, int m)\n"
            "      : type(t), mark(m), value{Helper(1)}, data(0), p(new Data) { Helper(0); }\n"
            "  int type; int mark; int value; int data; Data* p;\n"
            "};\n"
            "int Push(int m) { return Helper(m); }\n"}});
  EXPECT_EQ(calleesOf("Token::Token"), "Data::Data Helper");
  EXPECT_EQ(calleesOf("Token::data"), "<none>");
  EXPECT_EQ(calleesOf("Push"), "Helper");
  EXPECT_EQ(takeLog(), "");
}

// `= default;` and `= delete;` after `noexcept` or `const` end a
// declaration as they do right after the ')': the next one is read anew.
TEST_F(CParserModernCppTest, DefaultedAndDeletedAfterSpecifiers) {
  analyse({{"a.cpp",
            "int Helper();\n"
            "class E1 { public: virtual ~E1(); E1(const E1&); int n() const; };\n"
            "class E2 : public E1 { public: ~E2() override = default; };\n"
            "class E3 : public E1 { public: ~E3(); };\n"
            "E1::~E1() noexcept = default;\n"
            "E1::E1(const E1&) noexcept = delete;\n"
            "int E1::n() const noexcept = delete;\n"
            "E3::~E3() = default;\n"
            "void Later() noexcept;\n"
            "int After() { return Helper(); }\n"}});
  EXPECT_EQ(calleesOf("E1::~E1"), "");
  EXPECT_EQ(calleesOf("E1::E1"), "");
  EXPECT_EQ(calleesOf("E1::n"), "");
  EXPECT_EQ(calleesOf("E3::~E3"), "E1::~E1");  // a defaulted destructor destroys the base
  EXPECT_EQ(calleesOf("Later"), "");
  EXPECT_EQ(calleesOf("After"), "Helper");
  EXPECT_EQ(takeLog(), "");
}

// An inline member function calls through a smart pointer that a data
// member declared after it holds, named through an alias, and through a
// member of what it points to.
TEST_F(CParserModernCppTest, InlineCallsThroughLaterSmartPointerMembers) {
  analyse({{"a.cpp",
            "class Ref { public: bool ok() const; Ref* next; };\n"
            "using RefPtr = std::shared_ptr<Ref>;\n"
            "class Node {\n"
            " public:\n"
            "  bool ok() const { return ref_->ok(); }\n"
            "  bool deep() { return ref_->next->ok(); }\n"
            " private:\n"
            "  RefPtr ref_;\n"
            "};\n"}});
  EXPECT_EQ(calleesOf("Node::ok"), "Ref::ok");
  EXPECT_EQ(calleesOf("Node::deep"), "Ref::ok");
  EXPECT_EQ(takeLog(), "");
}

// A cast written like a template call gives an object of the class it
// names, whatever the operand's type.
TEST_F(CParserModernCppTest, CastsGiveTheClassTheyName) {
  analyse({{"a.cpp",
            "namespace n { struct Impl { int run(); }; }\n"
            "class Q { void* p_; public: int go(); int back(const void* v); };\n"
            "int Q::go() { return static_cast<n::Impl*>(p_)->run(); }\n"
            "int Q::back(const void* v) {\n"
            "  return reinterpret_cast<const n::Impl*>(v)->run() +\n"
            "         static_cast<n::Impl&>(*p_).run();\n"
            "}\n"}});
  EXPECT_EQ(calleesOf("Q::go"), "n::Impl::run");
  EXPECT_EQ(calleesOf("Q::back"), "n::Impl::run");
  EXPECT_EQ(takeLog(), "");
}

// A constructor or destructor that is defined builds or destroys the bases
// of its class; a temporary, written or what a call gives, ends with its
// statement unless it is thrown, returned or the object a declaration
// initialises; a static object is destroyed at exit, by no function; a
// returned member or parameter is copied.
TEST_F(CParserModernCppTest, BasesOfDefinedStructorsTemporariesAndStatics) {
  analyse({{"a.cpp",
            "class Base { public: Base(); virtual ~Base(); };\n"
            "class Error : public Base { public: Error(int c); ~Error() override; };\n"
            "class Fatal : public Error { public: ~Fatal() override; };\n"
            "Error::Error(int c) { }\n"
            "Error::~Error() = default;\n"
            "Fatal::~Fatal() { }\n"
            "void fail(int c) { throw Error(c); }\n"
            "const Error& shared() { static const Error e = Error(1); return e; }\n"
            "void report(const Error& e);\n"
            "void warn() { report(Error(2)); }\n"
            "Error last();\nconst Error& kept();\nBase* base();\n"
            "void log() { report(last()); kept(); base(); }\n"
            "Error again() { return last(); }\n"
            "class Keeper {\n"
            "  Error kept_;\n"
            " public:\n"
            "  Error copy() const { return kept_; }\n"
            "  Error pass(Error e) { return e; }\n"
            "  Error fresh() { return last(); }\n"
            "  void look() { Error a = kept(); Error b = last(); }\n"
            "};\n"
            "class Handler { public: virtual ~Handler(); virtual void on(); };\n"
            "class Mixin { public: void mix(); };\n"
            "class Adapter : public Handler, public Mixin { public: Adapter(); };\n"
            "Adapter::Adapter() { }\n"}});
  EXPECT_EQ(calleesOf("Error::Error"), "Base::Base");
  EXPECT_EQ(calleesOf("Error::~Error"), "Base::~Base");
  EXPECT_EQ(calleesOf("Fatal::~Fatal"), "Error::~Error");
  EXPECT_EQ(calleesOf("fail"), "Error::Error");
  EXPECT_EQ(calleesOf("shared"), "Error::Error");
  EXPECT_EQ(calleesOf("warn"), "Error::Error Error::~Error report");
  EXPECT_EQ(calleesOf("log"), "Error::~Error base kept last report");
  EXPECT_EQ(calleesOf("again"), "last");
  // A member or a parameter returned is copied into the returned object.
  EXPECT_EQ(calleesOf("Keeper::copy"), "Error::Error");
  EXPECT_EQ(calleesOf("Keeper::pass"), "Error::Error");
  EXPECT_EQ(calleesOf("Keeper::fresh"), "last");
  // What a call gives by reference is copied; by value it is the object.
  EXPECT_EQ(calleesOf("Keeper::look"), "Error::Error Error::~Error kept last");
  // A base that declares its destructor is built by its implicit
  // constructor; one that declares neither shows none.
  EXPECT_EQ(calleesOf("Adapter::Adapter"), "Handler::Handler");
  EXPECT_EQ(takeLog(), "");
}

}  // namespace
