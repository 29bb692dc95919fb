#include "CSVGPathSegCurvetoQuadratic.h"

CSVGPathSegCurvetoQuadratic::CSVGPathSegCurvetoQuadratic(double x1, double y1, double x, double y)
    : CSVGPathSeg(CurvetoQuadratic, x, y)
    , x1(x1)
    , y1(y1)
{
}

std::size_t CSVGPathSegCurvetoQuadratic::write(std::wstring& out) const
{
    return writeNumbers(out, L'Q', { x1, y1, x, y });
}
