class Fwd;
class Fwd { int x; };
class Fwd;
struct Rec;
struct Rec { int y; };
namespace n {
class Open { int z; }
}
int use() { return 0; }
