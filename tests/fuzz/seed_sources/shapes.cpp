#include <iostream.h>
#include "shapes.h"
namespace geo {
template <typename T> class Box : public Base<T>, virtual Other {
 public:
  Box() : w_(0) {}
  virtual ~Box();
  T area() const { return w_ * w_; }
  operator bool() const;
  Box& operator+=(const Box& o) { w_ += o.w_; return *this; }
 private:
  T w_;
  static int count_;
};
template <typename T> Box<T>::~Box() { --count_; }
}  // namespace geo
using namespace geo;
extern "C" { int c_entry(void); }
int main(int argc, char* argv[]) {
  Box<int> b;
  std::cout << b.area() << endl;
  try { throw 1; } catch (...) { c_entry(); }
  auto f = [&](int x) -> int { return x + b.area(); };
  return f(argc) > 0 ? ::c_entry() : 0;
}
