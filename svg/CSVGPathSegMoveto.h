#pragma once

#include "CSVGPathSeg.h"

// Starts a sub-path at (x, y): "M".
class CSVGPathSegMoveto final : public CSVGPathSeg
{
public:
    CSVGPathSegMoveto(double x, double y);
    std::size_t write(std::wstring& out) const override;
};
