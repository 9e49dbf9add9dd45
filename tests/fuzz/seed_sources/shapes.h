#pragma once
#define SQUARE(x) ((x) * (x))
#if defined(GEO) && GEO > 1
template <class T>
struct Base {
  typedef T value_type;
};
#else
template <class T>
struct Base {
  enum { size = sizeof(T) };
};
#endif
class Other {
  friend class geo::Box<int>;
};
#include "shapes.h"
