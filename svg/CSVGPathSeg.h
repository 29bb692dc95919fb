#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

// One segment of a path's outline, always in absolute coordinates: the end
// point here, the control points and arc parameters in the subclasses. The
// path element and the document edit the fields in place.
class CSVGPathSeg
{
public:
    // The codes are even; 10 and 12 belong to no segment.
    enum Type : std::uint16_t {
        Moveto = 0,
        Lineto = 2,
        CurvetoCubic = 4,
        CurvetoQuadratic = 6,
        Arc = 8,
        CurvetoCubicSmooth = 14,
        CurvetoQuadraticSmooth = 16,
        ClosePath = 18
    };

    CSVGPathSeg(const CSVGPathSeg&) = delete;
    CSVGPathSeg& operator=(const CSVGPathSeg&) = delete;
    virtual ~CSVGPathSeg() = default;

    // Appends the segment's path-data text, numbers with two decimals and
    // "." as decimal point, and returns the number of characters appended.
    virtual std::size_t write(std::wstring& out) const;

    std::uint16_t getType() const { return m_type; }

    // The number that the text write gives for the value reads back as.
    static double writtenValue(double value);
    // Sets the value to writtenValue and appends its text, working out the
    // rounding once for both; the characters are all below 128.
    static void appendWritten(std::string& out, double& value);

    double x = 0;
    double y = 0;

protected:
    CSVGPathSeg(Type type, double x, double y);

    // The letter, then the numbers separated by single spaces.
    static std::size_t writeNumbers(std::wstring& out, wchar_t letter, std::initializer_list<double> numbers);
    static void appendNumber(std::wstring& out, double value);

private:
    std::uint16_t m_type;
};

// A path's outline: the segments in order, owned by the list.
using CSVGPathSegList = std::vector<std::unique_ptr<CSVGPathSeg>>;
