#pragma once

#include "CSVGPathSeg.h"

// A quadratic Bezier curve with the control point (x1, y1): "Q".
class CSVGPathSegCurvetoQuadratic final : public CSVGPathSeg
{
public:
    CSVGPathSegCurvetoQuadratic(double x1, double y1, double x, double y);
    std::size_t write(std::wstring& out) const override;

    double x1;
    double y1;
};
