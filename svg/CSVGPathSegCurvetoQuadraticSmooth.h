#pragma once

#include "CSVGPathSeg.h"

// A quadratic Bezier curve whose control point mirrors the previous
// quadratic curve's: "T".
class CSVGPathSegCurvetoQuadraticSmooth final : public CSVGPathSeg
{
public:
    CSVGPathSegCurvetoQuadraticSmooth(double x, double y);
    std::size_t write(std::wstring& out) const override;
};
