#define API(type) type
#define CHECK(c) if (!(c)) fail (__LINE__)
#define GENERATE(name, type) static type get_##name(void) { return (type)make_##name(); }
#define local static
#define BODY(x) { step(x); }
#define APPLY(fn, v) fn(v)
#define DROP(a, b) (b)

struct item { int n; };

local int fail(int line) { return line; }
int make_one(void) { return 1; }
GENERATE(one, int)
local void op_inc(void) BODY(1)
static int twice(int v) { return v * 2; }
int step(int x) { return x; }
struct item *item(struct item *p) { return p; }

API(int) run(int v)
{
    CHECK(v > 0);
    APPLY(twice, v);
    DROP(ignored(v), step(v));
    item(0);
    return get_one();
}
