#pragma once

#include "CSVGPathSeg.h"

// A cubic Bezier curve whose first control point mirrors the previous
// curve's second one; (x2, y2) is its own second control point: "S".
class CSVGPathSegCurvetoCubicSmooth final : public CSVGPathSeg
{
public:
    CSVGPathSegCurvetoCubicSmooth(double x2, double y2, double x, double y);
    std::size_t write(std::wstring& out) const override;

    double x2;
    double y2;
};
