#pragma once

#include "CSVGPathSeg.h"

// Closes the sub-path with a line back to its start: "Z". It has no end
// point of its own; x and y hold a marker far outside any drawing.
class CSVGPathSegClosePath final : public CSVGPathSeg
{
public:
    static constexpr double kNoPoint = -100000.0;

    CSVGPathSegClosePath();
    std::size_t write(std::wstring& out) const override;
};
