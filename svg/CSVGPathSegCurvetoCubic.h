#pragma once

#include "CSVGPathSeg.h"

// A cubic Bezier curve with the control points (x1, y1) and (x2, y2): "C".
class CSVGPathSegCurvetoCubic final : public CSVGPathSeg
{
public:
    CSVGPathSegCurvetoCubic(double x1, double y1, double x2, double y2, double x, double y);
    std::size_t write(std::wstring& out) const override;

    double x1;
    double y1;
    double x2;
    double y2;
};
