// Colour values: parsing colour text, packed colours, colour text.

#include "CGlobalConfig.h"

#include <QColor>

#include <cmath>

namespace {

const std::uint32_t kOpaque = 0xFF000000u;

bool startsWith(const std::wstring& text, const wchar_t* prefix)
{
    return text.rfind(prefix, 0) == 0;
}

// The low eight bits of the whole part, as the channels of rgb() keep them:
// 300 gives 44, -1 gives 255. No cast of an out-of-range double.
std::uint32_t lowByte(double value)
{
    double rest = std::fmod(std::trunc(value), 256.0);
    if (rest < 0)
        rest += 256.0;
    return static_cast<std::uint32_t>(rest);
}

int hexDigit(wchar_t c)
{
    if (c >= L'0' && c <= L'9')
        return c - L'0';
    if (c >= L'a' && c <= L'f')
        return c - L'a' + 10;
    if (c >= L'A' && c <= L'F')
        return c - L'A' + 10;
    return -1;
}

// Reads "#" and hexadecimal digits; 0 when there are none. Longer numbers
// keep their last eight digits.
std::uint32_t readHexColorValue(const std::wstring& text)
{
    if (text.empty() || text[0] != L'#')
        return 0;
    size_t at = 1;
    while (at < text.size() && (text[at] == L' ' || (text[at] >= 9 && text[at] <= 13)))
        ++at;
    std::uint32_t value = 0;
    for (; at < text.size() && hexDigit(text[at]) >= 0; ++at)
        value = (value << 4) | static_cast<std::uint32_t>(hexDigit(text[at]));
    return value;
}

std::uint32_t packRgb(std::uint32_t red, std::uint32_t green, std::uint32_t blue)
{
    return kOpaque | red | (green << 8) | (blue << 16);
}

std::wstring twoHexDigits(int channel)
{
    const wchar_t* const digits = L"0123456789ABCDEF";
    const int value = channel & 0xFF;
    return std::wstring { digits[value >> 4], digits[value & 0xF] };
}

} // namespace

CGlobalConfig::ColorTextClass CGlobalConfig::classifyColorText(const std::wstring& text)
{
    if (text.empty() || startsWith(text, L"none"))
        return ColorTextClass::None;
    if (text[0] == L'#' || text[0] == L'$')
        return ColorTextClass::Hexadecimal;
    if (startsWith(text, L"rgb") || startsWith(text, L"RGB"))
        return ColorTextClass::Functional;
    return ColorTextClass::Keyword;
}

// Every text that is not a colour, a url() reference included, gives opaque
// black; only "none" and a broken rgb() give 0.
std::uint32_t CGlobalConfig::parseColorText(const std::wstring& text) const
{
    std::wstring color = text;
    if (classifyColorText(color) == ColorTextClass::Keyword) {
        const auto keyword = m_colorKeywords.find(color);
        color = keyword == m_colorKeywords.end() ? std::wstring() : keyword->second;
    }
    if (startsWith(color, L"rgb") || startsWith(color, L"RGB"))
        return parseFunctionalColor(color);
    if (color == L"none")
        return 0;

    for (wchar_t& c : color) {
        if (c == L'$')
            c = L'#';
    }
    if (color.size() == 4)
        color = std::wstring { L'#', color[1], color[1], color[2], color[2], color[3], color[3] };
    const std::uint32_t value = readHexColorValue(color);
    return packRgb((value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF);
}

std::uint32_t CGlobalConfig::parseFunctionalColor(const std::wstring& text) const
{
    const size_t openParen = text.find(L'(');
    const size_t open = openParen == std::wstring::npos ? 0 : openParen + 1;
    const size_t close = text.find(L')');
    if (close == std::wstring::npos || close < open)
        return 0;

    std::uint32_t channels[3] = { 0, 0, 0 };
    const std::vector<std::wstring> pieces = splitString(text.substr(open, close - open), L",");
    for (size_t i = 0; i < pieces.size() && i < 3; ++i)
        channels[i] = lowByte(parseLength(pieces[i]));
    return packRgb(channels[0], channels[1], channels[2]);
}

QColor CGlobalConfig::textToQColor(const std::wstring& text) const
{
    return packedRgbToQColor(parseColorText(text));
}

QColor CGlobalConfig::packedRgbToQColor(std::uint32_t color)
{
    return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF, 255);
}

std::wstring CGlobalConfig::packedRgbToText(std::uint32_t color)
{
    return qColorToText(packedRgbToQColor(color));
}

std::wstring CGlobalConfig::qColorToText(const QColor& color)
{
    return L"#" + twoHexDigits(color.red()) + twoHexDigits(color.green()) + twoHexDigits(color.blue());
}

QColor CGlobalConfig::getContrastColor(const QColor& color)
{
    if (!color.isValid())
        return QColor(Qt::black);
    const double luminance = 0.299 * color.red() + 0.587 * color.green() + 0.114 * color.blue();
    return static_cast<int>(255.0 - luminance) < 105 ? QColor(Qt::black) : QColor(Qt::white);
}
