// Classes, namespaces and member calls of C++ and Java sources: the class
// states of the statement machine and the member rule that gives each call
// and header its class and namespace.
#include "tests/parsers/c_parser_fixture.h"

#include "tables/namespace_table.h"

namespace {

class CParserClassTest : public CParserTest {
 protected:
  // "name:base,base" per class of kind 0, blank-separated, in table order.
  std::string classList() {
    const ClassTable& table = classes();
    std::string out;
    for (int i = 0; i < table.recordCount(); ++i) {
      const ClassRecord& r = table.record(i);
      if (r.kind != ClassTable::kClass) continue;
      out += (out.empty() ? "" : " ") + r.name;
      for (size_t b = 0; b < r.bases.size(); ++b) out += (b ? "," : ":") + r.bases[b];
    }
    return out;
  }
};

TEST_F(CParserClassTest, MembersDeclaredAndDefinedInTheClassBody) {
  EXPECT_EQ(analyse({{"a.cpp", "class A {\n  int f();\n};\n"}}), "int A::f() a.cpp:2 [K]\n");
  EXPECT_EQ(analyse({{"a.cpp", "class A {\n  int f() { return g(); }\n};\n"}}),
            "int A::f() a.cpp:2 #1 [BK] > g\n"
            "g() [C]\n");
  // A member declared further down is meant by a call in an inline body.
  analyse({{"a.cpp", "class A {\n  int f() { return g(); }\n  int g();\n};\n"}});
  EXPECT_EQ(calleesOf("A::f"), "A::g");
  EXPECT_EQ(classList(), "A");
}

TEST_F(CParserClassTest, OutOfLineMembersConstructorsAndDestructors) {
  analyse({{"a.cpp",
            "class CBase { public: CBase(int); void Draw(); };\n"
            "class A : public CBase {\n public:\n  A(int x);\n  ~A();\n  void Run();\n};\n"
            "A::A(int x) : CBase(x) { Run(); }\n"
            "A::~A() { }\n"
            "void A::Run() { Draw(); ::MessageBox(0); CBase::Draw(); }\n"}});
  EXPECT_EQ(classList(), "A:CBase CBase");
  EXPECT_EQ(calleesOf("A::A"), "A::Run CBase::CBase");
  EXPECT_EQ(calleesOf("A::Run"), "CBase::Draw MessageBox");
  EXPECT_EQ(knownFunctions(),
            "A::A() a.cpp:8 #1 [BK] > A::Run CBase::CBase\n"
            "A::Run() a.cpp:10 #1 [BK] > CBase::Draw MessageBox\n"
            "A::~A() a.cpp:9 #1 [BK]\n"
            "CBase::CBase() a.cpp:1 [K]\n"
            "CBase::Draw() a.cpp:1 [K]\n");
  EXPECT_EQ(takeLog(), "");
}

TEST_F(CParserClassTest, NestedClassDefinedOutsideItsClass) {
  analyse({{"a.cpp",
            "namespace n {\n"
            "class Loader { struct Material; class Part; void load(); };\n"
            "struct Loader::Material { Material() { reset(); } void reset(); };\n"
            "class Loader::Part : public Loader { void draw() { load(); } };\n"
            "}\n"}});
  EXPECT_EQ(calleesOf("n::Loader::Material::Material"), "n::Loader::Material::reset");
  EXPECT_EQ(calleesOf("n::Loader::Part::draw"), "n::Loader::load");
  EXPECT_EQ(calleesOf("n::Loader::Material"), "<none>");
  EXPECT_EQ(classList(), "n::Loader n::Loader::Part:n::Loader");
  EXPECT_EQ(takeLog(), "");
}

TEST_F(CParserClassTest, ObjectsNewAndDeleteCallConstructorsAndDestructors) {
  analyse({{"a.cpp",
            "class CFoo { public: CFoo(int); ~CFoo(); void Go(); };\n"
            "int main() {\n"
            "  CFoo obj(1);\n"
            "  CFoo *p = new CFoo(3);\n"
            "  obj.Go();\n"
            "  p->Go();\n"
            "  delete p;\n"
            "  return 0;\n"
            "}\n"}});
  // The local object is built and destroyed; it is no function.
  EXPECT_EQ(calleesOf("main"), "CFoo::CFoo CFoo::Go CFoo::~CFoo");
  EXPECT_EQ(calleesOf("obj"), "<none>");
}

TEST_F(CParserClassTest, ObjectWithArgumentsOutsideAFunction) {
  // `CFoo global(1, 2);` is an object; `CFoo make(int n) {` a header after
  // all; a destructor called by name is the class's.
  analyse({{"a.cpp",
            "class CFoo { public: CFoo(int, int); ~CFoo(); };\n"
            "CFoo global(1, 2);\n"
            "CFoo make(int n) { CFoo *p = 0; p->~CFoo(); return global; }\n"}});
  EXPECT_EQ(calleesOf("global"), "<none>");
  EXPECT_EQ(calleesOf("make"), "CFoo::~CFoo");
  ASSERT_EQ(variables().recordCount(), 1);
  EXPECT_EQ(variables().record(0).name, "global");
  EXPECT_EQ(variables().record(0).type, "CFoo");
}

// A C++ structure is a class whose members are public: its objects, local
// or members, are built and destroyed, also when its body is a header's.
// A structure only named by its tag is not known to have a constructor,
// and a C structure has none; both are still listed as structures.
TEST_F(CParserClassTest, StructureObjectsAreBuiltAsClassObjects) {
  analyse({{"a.cpp",
            "#include \"tok.h\"\n"
            "struct Holder { Tok held; };\n"
            "void Push() { Tok t(1); }\n"
            "void Fill() { Tok u; struct Tok v, w; }\n"
            "void Stat() { struct stat st, other; }\n"},
           {"tok.h", "struct Tok {\n  Tok(int a) {}\n  ~Tok() {}\n};\n"}},
          1);
  EXPECT_EQ(calleesOf("Push"), "Tok::Tok Tok::~Tok");
  EXPECT_EQ(calleesOf("Fill"), "Tok::Tok Tok::~Tok");
  EXPECT_EQ(calleesOf("Holder::Holder"), "Tok::Tok");
  EXPECT_EQ(calleesOf("Holder::~Holder"), "Tok::~Tok");
  EXPECT_EQ(calleesOf("Stat"), "");
  EXPECT_EQ(classList(), "");
  analyse({{"a.c", "struct Tok { int a; };\nvoid Fill(void) { struct Tok v, w; }\n"}});
  EXPECT_EQ(calleesOf("Fill"), "");
}

TEST_F(CParserClassTest, MemberCallShapes) {
  analyse({{"a.cpp",
            "class B { public: void Run(); };\n"
            "class A { public: B b; B *get(); void Draw(); void f(); };\n"
            "void A::f() {\n"
            "  A a;\n"
            "  this->Draw();\n"
            "  a.b.Run();\n"
            "  get()->Run();\n"
            "  q->Draw();\n"
            "}\n"}});
  // Callees in key order: the local `a` is built and destroyed, get()'s
  // B* gives Run its class, and so does the member b of a.
  EXPECT_EQ(calleesOf("A::f"), "(不明)q::Draw A::A A::Draw A::get A::~A B::Run");
  EXPECT_EQ(takeLog(), "    a.cpp 8: ｸﾗｽ名が不明です。不明なｵﾌﾞｼﾞｪｸﾄ名[q]\n");
}

TEST_F(CParserClassTest, ObjectExpressionsGiveTheCalleesClass) {
  const std::string classes =
      "class B { public: void Run(); };\n"
      "class A { public: B b; B items[4]; B *next(); static B shared; void Go(); };\n";
  struct Case {
    const char* body;     // the body of `void A::Go()` … `void f()`
    const char* callees;  // f's callees in key order
  } cases[] = {
      {"A a; a.b.Run();", "A::A A::~A B::Run"},
      {"A *p; p->items[1].Run();", "B::Run"},
      {"A a; a.next()->Run();", "A::A A::next A::~A B::Run"},
      {"void *v; ((A *)v)->Go();", "A::Go"},
      {"(new A())->Go();", "A::A A::Go"},
      {"A::shared.Run();", "B::Run"},
      {"A a; (&a)->Go();", "A::A A::Go A::~A"},
  };
  for (const Case& c : cases) {
    analyse({{"a.cpp", classes + "void f() { " + c.body + " }\n"}});
    EXPECT_EQ(calleesOf("f"), c.callees) << c.body;
    EXPECT_EQ(takeLog(), "") << c.body;
  }
}

TEST_F(CParserClassTest, JavaObjectExpressions) {
  const std::string classes =
      "class B { void run() {} static B make() { return null; } }\n"
      "class Outer {\n"
      "  B field;\n"
      "  void top() {}\n"
      "  class Inner { void go() { Outer.this.top(); field.run(); B.make().run(); } }\n"
      "}\n";
  analyse({{"T.java", classes}});
  EXPECT_EQ(calleesOf("Inner::go"), "B::make B::run Outer::top");
  EXPECT_EQ(takeLog(), "");
}

TEST_F(CParserClassTest, UnknownQualifierIsLoggedAndKept) {
  analyse({{"a.cpp", "void f() { CWnd::OnPaint(); }\nvoid X::g() { }\n"}});
  EXPECT_EQ(calleesOf("f"), "(不明)CWnd::OnPaint");
  EXPECT_EQ(takeLog(),
            "  a.cpp 1: 不明なｸﾗｽ[CWnd] にﾒｿｯﾄﾞ[OnPaint]を追加しました\n"
            "  a.cpp 2: 不明なｸﾗｽ[X] にﾒｿｯﾄﾞ[g]を追加しました\n");
}

TEST_F(CParserClassTest, InheritanceTwoLevelsAndOverride) {
  analyse({{"a.cpp",
            "class A { public: void Base(); virtual void Over(); };\n"
            "class B : public A { };\n"
            "class C : public B { public: void Over(); void f(); };\n"
            "void C::f() { Base(); Over(); }\n"}});
  EXPECT_EQ(classList(), "A B:A C:B");
  EXPECT_EQ(calleesOf("C::f"), "A::Base C::Over");
}

TEST_F(CParserClassTest, NamespacesAcrossFiles) {
  analyse({{"a.cpp",
            "#include \"a.h\"\n"
            "using namespace gfx::two;\n"
            "void Shape::Draw() { Fill(); helper(); }\n"
            "namespace gfx { int helper() { return 0; } }\n"
            "using namespace gfx;\n"
            "int main() { return two::count(); }\n"},
           {"a.h",
            "namespace gfx { namespace two {\n"
            "class Shape { public: void Draw(); void Fill(); };\n"
            "int count();\n"
            "} }\n"}},
          1);
  EXPECT_EQ(classList(), "gfx::two::Shape");
  EXPECT_EQ(namespaces().isNamespace("gfx::two"), true);
  // helper is not known yet where Draw calls it; `two::` is gfx::two
  // through the using directive.
  EXPECT_EQ(knownFunctions(),
            "int gfx::helper() a.cpp:4 #1 [BK]\n"
            "gfx::two::Shape::Draw() a.cpp:3 #1 [BK] > gfx::two::Shape::Fill helper\n"
            "gfx::two::Shape::Fill() a.h:2 [K]\n"
            "int gfx::two::count() a.h:3 [K]\n"
            "int main() a.cpp:6 #1 [BK] > gfx::two::count\n");
  EXPECT_EQ(takeLog(), "  a.hを処理中\n");
}

// `namespace a::b {` is `namespace a { namespace b {`: its classes and
// functions are a::b's, and both close with its one body.
TEST_F(CParserClassTest, QualifiedNamespaceHead) {
  analyse({{"a.cpp",
            "namespace app::ui {\n"
            "class Panel { public: void show(); };\n"
            "void Panel::show() { }\n"
            "int count() { return 0; }\n"
            "}\n"
            "int after() { return 1; }\n"}});
  EXPECT_EQ(classList(), "app::ui::Panel");
  EXPECT_EQ(knownFunctions(),
            "int after() a.cpp:6 #1 [BK]\n"
            "app::ui::Panel::show() a.cpp:3 #1 [BK]\n"
            "int app::ui::count() a.cpp:4 #1 [BK]\n");
  EXPECT_EQ(takeLog(), "");
}

// What stands between `class` and the name is no name: an attribute list,
// a specifier with its arguments (given directly or by a macro), a macro
// word; the class and its members are kept.
TEST_F(CParserClassTest, AttributesAndSpecifiersBeforeTheClassName) {
  analyse({{"a.cpp",
            "#define API __attribute__((visibility(\"default\")))\n"
            "class [[nodiscard]] Result { public: int get(); };\n"
            "class API Widget : public Result { public: void draw(); };\n"
            "class alignas(16) __declspec(novtable) Block { void fill(); };\n"
            "class EXPORTED Panel { void show() { draw(); } void draw(); };\n"
            "int Result::get() { return 0; }\n"
            "void Widget::draw() { get(); }\n"}});
  EXPECT_EQ(classList(), "Block Panel Result Widget:Result");
  EXPECT_EQ(calleesOf("Widget::draw"), "Result::get");
  EXPECT_EQ(calleesOf("Panel::show"), "Panel::draw");
}

TEST_F(CParserClassTest, TemplatesExternCAndMessageMaps) {
  analyse({{"a.cpp",
            "template <class T> class Box { public: T get() { return v(); } };\n"
            "extern \"C\" { int cfun(int); int cdef() { return cfun(1); } }\n"
            "BEGIN_MESSAGE_MAP(CMyWnd, CWnd)\n"
            "  ON_WM_PAINT()\n"
            "END_MESSAGE_MAP()\n"
            "IMPLEMENT_DYNAMIC(CMyView, CView)\n"}});
  EXPECT_EQ(classList(), "Box");
  EXPECT_EQ(calleesOf("Box::get"), "v");
  EXPECT_EQ(calleesOf("cfun"), "");
  EXPECT_EQ(calleesOf("cdef"), "cfun");
  EXPECT_EQ(calleesOf("BEGIN_MESSAGE_MAP"), "ON_WM_PAINT");
  EXPECT_EQ(calleesOf("END_MESSAGE_MAP"), "<none>");
  EXPECT_EQ(calleesOf("IMPLEMENT_DYNAMIC"), "<none>");
}

TEST_F(CParserClassTest, MacrosOfAMessageMapClass) {
  // The declaration macros take no body: the member after them is one of
  // its own, with its inline body.
  analyse({{"a.cpp",
            "class CMyView : public CView {\n"
            "  DECLARE_DYNAMIC(CMyView)\n"
            "  DECLARE_MESSAGE_MAP()\n"
            "  void OnPaint() { Draw(); }\n"
            "};\n"}});
  EXPECT_EQ(calleesOf("CMyView::OnPaint"), "Draw");
  EXPECT_EQ(calleesOf("CMyView::DECLARE_DYNAMIC"), "");
  EXPECT_EQ(calleesOf("CMyView::DECLARE_MESSAGE_MAP"), "");
}

TEST_F(CParserClassTest, ClassWithoutItsSemicolon) {
  analyse({{"a.cpp", "namespace n {\nclass A { int x; }\n}\nint g();\n"}});
  EXPECT_EQ(takeLog(), "    a.cpp 3: クラス定義の終わりの\";\"がありません。\n");
  EXPECT_EQ(knownFunctions(), "int g() a.cpp:4 [K]\n");
  // Without a '}' below the class, the class waits for its ';': the
  // declaration before it is no function.
  analyse({{"a.cpp", "class A { int x; }\nint g();\nint h();\n"}});
  EXPECT_EQ(takeLog(), "");
  EXPECT_EQ(knownFunctions(), "int h() a.cpp:3 [K]\n");
}

// A class head naming a known class registers it again, which the table
// reports: after a forward declaration, after the definition, in a
// declaration that names the class. Structures and a template's
// parameters are no such heads.
TEST_F(CParserClassTest, ClassHeadOfAKnownClassIsReported) {
  analyse({{"a.cpp",
            "class A;\nclass A { int x; };\nclass A *p;\n"
            "struct S;\nstruct S { int y; };\n"
            "template <class T> class Box;\ntemplate <class T> class Box { T v; };\n"}});
  EXPECT_EQ(takeLog(),
            "  Aは既に登録済みです[class]\n"
            "  Aは既に登録済みです[class]\n"
            "  Boxは既に登録済みです[class]\n");
}

TEST_F(CParserClassTest, JavaClassesInterfacesAndCalls) {
  analyse({{"T.java",
            "interface Shape { void draw(); }\n"
            "class Base implements Shape {\n"
            "  public void draw() { helper(); }\n"
            "  void helper() {}\n"
            "  static int twice(int x) { return x * 2; }\n"
            "}\n"
            "class Derived extends Base {\n"
            "  public void draw() {\n"
            "    int y = Base.twice(3);\n"
            "    Runnable r = new Runnable() {\n"
            "      public void run() { helper(); }\n"
            "    };\n"
            "    other();\n"
            "  }\n"
            "  void other() { helper(); }\n"
            "}\n"}});
  EXPECT_EQ(classList(), "Base:Shape Derived:Base Shape");
  EXPECT_EQ(calleesOf("Base::draw"), "Base::helper");
  // The anonymous class's method does not end draw's body: other() is
  // still draw's call.
  EXPECT_EQ(calleesOf("Derived::draw"), "Base::helper Base::twice Derived::other");
  EXPECT_EQ(calleesOf("Derived::other"), "Base::helper");
  EXPECT_EQ(calleesOf("Shape::draw"), "");
}

TEST_F(CParserClassTest, JavaAnnotationsGenericsAndInitializerBlocks) {
  // An annotation with arguments is no header; a static block's calls are
  // made by no method; a generic method keeps its type parameters.
  EXPECT_EQ(analyse({{"T.java",
                      "@SuppressWarnings(\"x\")\n"
                      "public class T<K> extends Base<K> {\n"
                      "  static { init(); }\n"
                      "  @Override\n"
                      "  public <V> List<V> get(Map<K, V> m) { use(m); return null; }\n"
                      "  private static void init() {}\n"
                      "  void use(Object o) {}\n"
                      "}\n"}}),
            "public <V> List<V> T::get() T.java:5 #1 [BK] > T::use\n"
            "private static void T::init() T.java:6 #1 [BK]\n"
            "void T::use() T.java:7 #1 [BCK]\n");
  EXPECT_EQ(classList(), "T:Base");
}

TEST_F(CParserClassTest, ParametersOfAMemberEachHaveTheirType) {
  analyse({{"T.java",
            "class B { void clear() {} }\n"
            "class T {\n"
            "  int read(final int start, final B work) {\n"
            "    work.clear();\n"
            "    return start;\n"
            "  }\n"
            "}\n"}});
  EXPECT_EQ(calleesOf("T::read"), "B::clear");
  analyse({{"a.cpp",
            "class B { public: void clear(); };\nclass T {\n  int read(int n, B b) { b.clear(); "
            "return n; }\n};\n"}});
  // A parameter by value is an object the caller builds and destroys.
  EXPECT_EQ(calleesOf("T::read"), "B::clear");
}

TEST_F(CParserClassTest, CFilesKeepTheirPath) {
  // In C, "class" and "new" are names, and a method-like shape is a
  // function of no class.
  EXPECT_EQ(analyse({{"a.c", "int new(int class) { return A_f(class); }\n"}}),
            "A_f() [C]\n"
            "int new() a.c:1 #1 [BK] > A_f\n");
}

// A conversion operator defined outside its class, its type qualified by
// the class or of several words, is the member the class declares.
TEST_F(CParserClassTest, ConversionOperatorsDefinedOutsideTheirClass) {
  analyse({{"a.cpp",
            "class Attr {\n"
            "  typedef void (*ubool)(Attr***);\n"
            " public:\n"
            "  operator ubool() const;\n"
            "  operator bool() const;\n"
            "  operator const char*() const;\n"
            "  int* data() const;\n"
            "};\n"
            "Attr::operator Attr::ubool() const { return data() ? 0 : 0; }\n"
            "Attr::operator bool() const { return data() != 0; }\n"
            "Attr::operator const char*() const { data(); return \"\"; }\n"
            "int* Attr::data() const { return 0; }\n"}});
  // (an operator's key holds its symbol or type; the reports add "operator")
  EXPECT_EQ(calleesOf("Attr::ubool"), "Attr::data");
  EXPECT_EQ(calleesOf("Attr::bool"), "Attr::data");
  EXPECT_EQ(calleesOf("Attr::const char*"), "Attr::data");
  EXPECT_EQ(calleesOf("Attr::data"), "");
  EXPECT_EQ(calleesOf("data"), "<none>");
  EXPECT_EQ(takeLog(), "");
}

// A call made (in a template) before a namespace's function was declared
// leaves no declaration of that name: every later call finds the function.
TEST_F(CParserClassTest, NamespaceFunctionCalledBeforeItsDeclaration) {
  analyse({{"a.cpp",
            "namespace n {\n"
            "template <typename W>\n"
            "bool Outer(W* w) {\n"
            "  return AllTags(w);\n"
            "}\n"
            "template <typename W>\n"
            "bool AllTags(W* w) { return true; }\n"
            "bool Use(int* p) { return AllTags(p); }\n"
            "}\n"}});
  EXPECT_EQ(calleesOf("n::Use"), "n::AllTags");
}

}  // namespace
