#include "shape.h"
extern "C" {
int c_entry(int code);
}
using namespace gfx;

BEGIN_MESSAGE_MAP(CMyWnd, CWnd)
    ON_WM_PAINT()
END_MESSAGE_MAP()

IMPLEMENT_DYNAMIC(CMyWnd, CWnd)

int main()
{
    CShape *p = new CShape(3);
    p->Draw();
    CShape local(1);
    local.Paint();
    delete p;
    q->Draw();
    return 0;
}
