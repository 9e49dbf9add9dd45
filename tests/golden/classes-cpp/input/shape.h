#ifndef SHAPE_H
#define SHAPE_H
namespace gfx {
class CBase {
public:
    virtual void Draw();
    void Paint() { Draw(); }
};
class CShape : public CBase {
public:
    CShape(int n);
    ~CShape();
    void Draw();
};
namespace detail {
template <class T> class Holder {
public:
    T *item;
    T *get() { return item; }
};
}
}
#endif
