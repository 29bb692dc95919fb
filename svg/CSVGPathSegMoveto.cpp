#include "CSVGPathSegMoveto.h"

CSVGPathSegMoveto::CSVGPathSegMoveto(double x, double y)
    : CSVGPathSeg(Moveto, x, y)
{
}

std::size_t CSVGPathSegMoveto::write(std::wstring& out) const
{
    return writeNumbers(out, L'M', { x, y });
}
