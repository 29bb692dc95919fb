#include "CSVGPathSegCurvetoCubicSmooth.h"

CSVGPathSegCurvetoCubicSmooth::CSVGPathSegCurvetoCubicSmooth(double x2, double y2, double x, double y)
    : CSVGPathSeg(CurvetoCubicSmooth, x, y)
    , x2(x2)
    , y2(y2)
{
}

std::size_t CSVGPathSegCurvetoCubicSmooth::write(std::wstring& out) const
{
    return writeNumbers(out, L'S', { x2, y2, x, y });
}
