#include "CSVGPathSegCurvetoQuadraticSmooth.h"

CSVGPathSegCurvetoQuadraticSmooth::CSVGPathSegCurvetoQuadraticSmooth(double x, double y)
    : CSVGPathSeg(CurvetoQuadraticSmooth, x, y)
{
}

std::size_t CSVGPathSegCurvetoQuadraticSmooth::write(std::wstring& out) const
{
    return writeNumbers(out, L'T', { x, y });
}
