#include "CSVGPathSeg.h"

#include "CGlobalConfig.h"

#include <cmath>

CSVGPathSeg::CSVGPathSeg(Type type, double x, double y)
    : x(x)
    , y(y)
    , m_type(type)
{
}

std::size_t CSVGPathSeg::write(std::wstring&) const
{
    return 0;
}

std::size_t CSVGPathSeg::writeNumbers(std::wstring& out, wchar_t letter, std::initializer_list<double> numbers)
{
    const std::size_t before = out.size();
    out += letter;
    bool first = true;
    for (double number : numbers) {
        if (!first)
            out += L' ';
        first = false;
        appendNumber(out, number);
    }
    return out.size() - before;
}

// Values that round to zero are written "0.00", never "-0.00", which would
// read back as 0 and so write differently the second time.
void CSVGPathSeg::appendNumber(std::wstring& out, double value)
{
    out += CGlobalConfig::fixedToText(std::fabs(value) < 0.005 ? 0.0 : value, 2);
}
