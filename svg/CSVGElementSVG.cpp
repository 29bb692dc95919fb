#include "CSVGElementSVG.h"

#include "CGlobalConfig.h"
#include "SvgCodes.h"

CSVGElementSVG::CSVGElementSVG(CSVGDocument* document)
    : CSVGElementShape(document, L"svg", SvgType::Svg)
{
    setAttributeUnstyled(L"width", CGlobalConfig::numberToText(m_width) + L"mm", false);
    setAttributeUnstyled(L"height", CGlobalConfig::numberToText(m_height) + L"mm", false);
}

bool CSVGElementSVG::isRootAttribute(const std::wstring& name)
{
    for (const wchar_t* own : { L"width", L"height", L"x", L"y", L"xmlns", L"xmlns:xlink", L"viewBox" }) {
        if (name == own)
            return true;
    }
    return false;
}

void CSVGElementSVG::setAttributeUnstyled(const std::wstring& name, const std::wstring& value, bool notify)
{
    if (isRootAttribute(name))
        CSVGElement::setAttribute(name, value, notify);
    else
        CSVGElementStyleable::setAttribute(name, value, notify);
}

// Returns false for every name: the page size and the viewBox do not move
// the drawing's outlines.
bool CSVGElementSVG::readAttributeField(const std::wstring& name, const std::wstring& value)
{
    if (readLengthField(
            name, value, { { L"width", &m_width }, { L"height", &m_height }, { L"x", &m_x }, { L"y", &m_y } }))
        return false;
    if (name == L"xmlns") {
        m_xmlns = value;
    } else if (name == L"xmlns:xlink") {
        m_xmlnsXlink = value;
    } else if (name == L"viewBox") {
        m_viewBoxText = value;
        const std::vector<std::wstring> parts = CGlobalConfig::splitString(value, L" ");
        if (parts.size() == 4) {
            m_viewBox = CSVGRect(g_config.parseLength(parts[0]), g_config.parseLength(parts[1]),
                g_config.parseLength(parts[2]), g_config.parseLength(parts[3]));
        }
    }
    return false;
}
