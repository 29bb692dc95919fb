#pragma once

#include "CSVGPathSeg.h"

// A straight line to (x, y): "L".
class CSVGPathSegLineto final : public CSVGPathSeg
{
public:
    CSVGPathSegLineto(double x, double y);
    std::size_t write(std::wstring& out) const override;
};
