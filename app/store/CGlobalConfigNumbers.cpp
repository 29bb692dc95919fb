// Numbers in attribute text: reading lengths, writing numbers.

#include "CGlobalConfig.h"
#include "SafeTruncate.h"

#include <QString>

#include <charconv>
#include <climits>
#include <string>
#include <cmath>

namespace {

bool isBlank(wchar_t c)
{
    return c == 9 || c == 10 || c == 13 || c == 32;
}

bool isDigit(wchar_t c)
{
    return c >= L'0' && c <= L'9';
}

bool isUnitStop(wchar_t c)
{
    return c == L'%' || c == L'E' || c == L'P' || c == L'e' || c == L'i' || c == L'p';
}

// The exponent after "e" is the whole rest of the text read as one integer;
// text that is not an integer leaves the number as it is. It joins the
// decimal text, so that the number read is the one nearest to what is written.
bool isExponent(const std::wstring& text, size_t at)
{
    const wchar_t next = at + 1 < text.size() ? text[at + 1] : L'\0';
    return (text[at] == L'e' || text[at] == L'E') && next != L'm';
}

std::string exponentText(const std::wstring& rest)
{
    bool ok = false;
    const int exponent = QString::fromStdWString(rest).toInt(&ok);
    return ok ? 'e' + std::to_string(exponent) : std::string();
}

double applyUnit(double number, const std::wstring& text, size_t at, double pointFactor)
{
    const wchar_t unit = text[at];
    const wchar_t next = at + 1 < text.size() ? text[at + 1] : L'\0';
    if (unit == L'e' && next == L'm')
        return number * 16.0;
    if (unit == L'i')
        return next == L'n' ? number * 96.0 : number;
    if (unit == L'p')
        return next == L't' ? number * pointFactor : number;
    if (unit == L'%')
        return number / 100.0;
    return number;
}

// With digits below 0, a floating value is written with as few digits as
// read it back exactly.
template <typename T> std::wstring widen(T value, std::chars_format format = std::chars_format::fixed, int digits = 0)
{
    std::string buffer(32, '\0');
    for (;;) {
        std::to_chars_result result;
        if constexpr (std::is_floating_point_v<T>)
            result = digits < 0 ? std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, format)
                                : std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, format, digits);
        else
            result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
        if (result.ec == std::errc())
            return std::wstring(buffer.data(), result.ptr);
        buffer.resize(buffer.size() * 2);
    }
}

} // namespace

// Up to five fraction digits count; a unit or exponent may follow. Only "-"
// is taken as a sign.
double CGlobalConfig::parseLength(const std::wstring& text) const
{
    return parseLength(text, 5);
}

// Every digit counts: what preciseNumberToText wrote reads back as the same
// double.
double CGlobalConfig::parsePreciseLength(const std::wstring& text) const
{
    return parseLength(text, INT_MAX);
}

// The digits read, a sign, the point and the exponent make one decimal text,
// read as the double nearest to it.
double CGlobalConfig::parseLength(const std::wstring& text, int fractionDigits) const
{
    const size_t size = text.size();
    size_t at = 0;
    while (at < size && isBlank(text[at]))
        ++at;
    std::string decimal = "0";
    if (at < size && text[at] == L'-') {
        decimal = "-0";
        ++at;
    }
    while (at < size && isDigit(text[at]))
        decimal += char(text[at++]);
    if (at < size && text[at] == L'.')
        ++at;
    decimal += '.';
    for (int fraction = 0; fraction < fractionDigits && at < size && isDigit(text[at]); ++fraction)
        decimal += char(text[at++]);

    while (at < size && !isUnitStop(text[at]))
        ++at;
    const bool exponent = at < size && isExponent(text, at);
    if (exponent)
        decimal += exponentText(text.substr(at + 1));
    double number = 0.0;
    if (std::from_chars(decimal.data(), decimal.data() + decimal.size(), number).ec != std::errc())
        return 0.0;
    if (at < size && !exponent)
        number = applyUnit(number, text, at, m_pointFactor);
    return std::isfinite(number) ? number : 0.0;
}

int CGlobalConfig::parseInt(const std::wstring& text) const
{
    return truncateClamped<int>(parseLength(text), INT_MIN, INT_MAX);
}

// A value within 0.0001 above its whole part (below, for negative values) is
// written as a whole number, any other with six decimals.
std::wstring CGlobalConfig::numberToText(double value)
{
    if (!std::isfinite(value))
        return L"0";
    const double whole = std::trunc(value) + 0.0; // no "-0"
    if (std::fabs(value - whole) <= 0.0001)
        return widen(whole);
    return widen(value, std::chars_format::fixed, 6);
}

// The shortest plain decimal that reads back as the same double: a scale
// rounded to six decimals would move the far edge of a long piece, and one
// snapped to a whole number would grow that error with the piece.
std::wstring CGlobalConfig::preciseNumberToText(double value)
{
    // No "-0".
    return !std::isfinite(value) || value == 0.0 ? L"0" : widen(value, std::chars_format::fixed, -1);
}

std::wstring CGlobalConfig::intToText(int value)
{
    return widen(value);
}

std::wstring CGlobalConfig::fixedToText(double value, int decimals)
{
    return widen(std::isfinite(value) ? value : 0.0, std::chars_format::fixed, decimals < 0 ? 0 : decimals);
}
