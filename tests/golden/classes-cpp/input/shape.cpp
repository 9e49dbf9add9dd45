#include "shape.h"
using namespace gfx;

CShape::CShape(int n) : CBase()
{
    Paint();
}

CShape::~CShape()
{
}

void CShape::Draw()
{
    CBase::Draw();
    ::MessageBox(0);
}
