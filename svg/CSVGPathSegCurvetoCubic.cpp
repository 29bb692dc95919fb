#include "CSVGPathSegCurvetoCubic.h"

CSVGPathSegCurvetoCubic::CSVGPathSegCurvetoCubic(double x1, double y1, double x2, double y2, double x, double y)
    : CSVGPathSeg(CurvetoCubic, x, y)
    , x1(x1)
    , y1(y1)
    , x2(x2)
    , y2(y2)
{
}

std::size_t CSVGPathSegCurvetoCubic::write(std::wstring& out) const
{
    return writeNumbers(out, L'C', { x1, y1, x2, y2, x, y });
}
