#pragma once

#include "CSVGPathSeg.h"

// An elliptical arc to (x, y) with the radii r1, r2, the x axis rotated by
// angle degrees, and the two flags that choose one of the four arcs: "A".
// The radii are kept as written; drawing takes their absolute values.
class CSVGPathSegArc final : public CSVGPathSeg
{
public:
    CSVGPathSegArc(double r1, double r2, double angle, bool largeArcFlag, bool sweepFlag, double x, double y);
    std::size_t write(std::wstring& out) const override;

    double r1;
    double r2;
    double angle;
    bool largeArcFlag;
    bool sweepFlag;
};
