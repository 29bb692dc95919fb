#include "CSVGPathSegLineto.h"

CSVGPathSegLineto::CSVGPathSegLineto(double x, double y)
    : CSVGPathSeg(Lineto, x, y)
{
}

std::size_t CSVGPathSegLineto::write(std::wstring& out) const
{
    return writeNumbers(out, L'L', { x, y });
}
