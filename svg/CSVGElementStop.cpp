#include "CSVGElementStop.h"

#include "CGlobalConfig.h"
#include "SvgCodes.h"

#include <algorithm>

CSVGElementStop::CSVGElementStop(CSVGDocument* document)
    : CSVGElementStyleable(document, L"stop", SvgType::Stop)
{
}

bool CSVGElementStop::readAttributeField(const std::wstring& name, const std::wstring& value)
{
    if (name != L"offset")
        return false;
    m_offset = value;
    return true;
}

double CSVGElementStop::getOffsetNumber() const
{
    return g_config.parseLength(m_offset);
}

std::wstring CSVGElementStop::getStopColor()
{
    return getStyleValue(L"stop-color");
}

std::wstring CSVGElementStop::getStopOpacity()
{
    return getStyleValue(L"stop-opacity");
}

// An opacity above 1 or below 0 is held at the limit rather than wrapping
// round in the byte.
std::uint32_t CSVGElementStop::getPackedColor()
{
    const std::wstring opacityText = getStopOpacity();
    const double opacity = g_config.parseLength(opacityText.empty() ? L"1" : opacityText);
    const auto alpha = static_cast<std::uint32_t>(std::clamp(opacity * 255.0, 0.0, 255.0));
    return (g_config.parseColorText(getStopColor()) & 0x00FFFFFFu) | (alpha << 24);
}
