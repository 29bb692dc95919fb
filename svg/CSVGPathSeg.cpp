#include "CSVGPathSeg.h"

#include "CGlobalConfig.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <iterator>
#include <type_traits>

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

namespace {
// Values that round to zero are written "0.00", never "-0.00", which would
// read back as 0 and so write differently the second time; what is not
// finite is written as 0.
double writable(double value)
{
    return std::isfinite(value) && std::fabs(value) >= 0.005 ? value : 0.0;
}

// The value in whole hundredths, rounded as std::to_chars rounds the exact
// binary value, which is costly for it; false where this cannot tell in
// plain arithmetic (a value on or next to a half hundredth, zero, or too
// large for the hundredths to be exact in a double).
bool toHundredths(double value, long long& hundredths)
{
    if (!(std::fabs(value) < 1e13))
        return false;
    const double nearest = std::nearbyint(value * 100);
    // Exact to the last bit that decides on which side of a half it lies.
    const double rest = std::fma(value, 100.0, -nearest);
    if (std::fabs(rest) >= 0.5 || nearest == 0)
        return false;
    hundredths = static_cast<long long>(nearest);
    return true;
}

// The characters of the value with two decimals into the buffer, for the
// values that toHundredths cannot tell; false when they do not fit, as a
// value beyond 1e60 or so does not.
bool formatFixed(double value, char (&buffer)[64], char*& end)
{
    const std::to_chars_result result
        = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 2);
    end = result.ptr;
    return result.ec == std::errc();
}
} // namespace

namespace {
// The hundredths as "[-]units.hh", straight into the text.
template <typename Text> void appendHundredths(Text& out, long long hundredths)
{
    char digits[32];
    char* at = digits;
    if (hundredths < 0)
        *at++ = '-';
    const unsigned long long magnitude = static_cast<unsigned long long>(std::llabs(hundredths));
    at = std::to_chars(at, digits + sizeof digits, magnitude / 100).ptr;
    *at++ = '.';
    *at++ = char('0' + magnitude / 10 % 10);
    *at++ = char('0' + magnitude % 10);
    // The narrow text takes the characters as they are, without the
    // general replacement that an append of two iterators goes through.
    if constexpr (std::is_same_v<Text, std::string>)
        out.append(digits, std::size_t(at - digits));
    else
        out.append(digits, at);
}
} // namespace

// A whole number of hundredths is written as such and reads back as their
// quotient by 100 (see writtenValue); the text of that quotient is the same
// hundredths again.
void CSVGPathSeg::appendWritten(std::string& out, double& value)
{
    long long hundredths = 0;
    if (toHundredths(writable(value), hundredths)) {
        value = double(hundredths) / 100.0;
        appendHundredths(out, hundredths);
        return;
    }
    value = writtenValue(value);
    std::wstring text;
    appendNumber(text, value);
    std::transform(text.begin(), text.end(), std::back_inserter(out), [](wchar_t c) { return char(c); });
}

// Without the allocations of a text per number: path data is written by
// the million.
void CSVGPathSeg::appendNumber(std::wstring& out, double value)
{
    long long hundredths = 0;
    if (toHundredths(writable(value), hundredths)) {
        appendHundredths(out, hundredths);
        return;
    }
    char buffer[64];
    char* end = nullptr;
    if (!formatFixed(writable(value), buffer, end)) {
        out += CGlobalConfig::fixedToText(writable(value), 2);
        return;
    }
    wchar_t wide[sizeof buffer];
    std::copy(buffer, end, wide);
    out.append(wide, std::size_t(end - buffer));
}

// A whole number of hundredths reads back as their quotient by 100, both
// being the double nearest to the same fraction.
double CSVGPathSeg::writtenValue(double value)
{
    long long hundredths = 0;
    if (toHundredths(writable(value), hundredths))
        return double(hundredths) / 100.0;
    char buffer[64];
    char* end = nullptr;
    double read = 0.0;
    if (!formatFixed(writable(value), buffer, end))
        return writable(value);
    const std::from_chars_result result = std::from_chars(buffer, end, read);
    return result.ec == std::errc() && std::isfinite(read) ? read : 0.0;
}
