#include "CSVGPathSegArc.h"

CSVGPathSegArc::CSVGPathSegArc(
    double r1, double r2, double angle, bool largeArcFlag, bool sweepFlag, double x, double y)
    : CSVGPathSeg(Arc, x, y)
    , r1(r1)
    , r2(r2)
    , angle(angle)
    , largeArcFlag(largeArcFlag)
    , sweepFlag(sweepFlag)
{
}

std::size_t CSVGPathSegArc::write(std::wstring& out) const
{
    const std::size_t before = out.size();
    writeNumbers(out, L'A', { r1, r2, angle });
    out += largeArcFlag ? L" 1 " : L" 0 ";
    out += sweepFlag ? L"1 " : L"0 ";
    appendNumber(out, x);
    out += L' ';
    appendNumber(out, y);
    return out.size() - before;
}
