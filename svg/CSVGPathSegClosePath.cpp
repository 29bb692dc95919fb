#include "CSVGPathSegClosePath.h"

CSVGPathSegClosePath::CSVGPathSegClosePath()
    : CSVGPathSeg(ClosePath, kNoPoint, kNoPoint)
{
}

std::size_t CSVGPathSegClosePath::write(std::wstring& out) const
{
    out += L'Z';
    return 1;
}
