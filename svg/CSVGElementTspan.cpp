#include "CSVGElementTspan.h"

#include "CGlobalConfig.h"
#include "CSVGElementTextContent.h"
#include "SvgCodes.h"

CSVGElementTspan::CSVGElementTspan(CSVGDocument* document)
    : CSVGElementShape(document, L"tspan", SvgType::Tspan)
{
    setCheckFlag(false);
}

// The positions stay text until the layout reads them.
bool CSVGElementTspan::readAttributeField(const std::wstring& name, const std::wstring& value)
{
    std::wstring* const texts[] = { &m_xText, &m_yText, &m_dxText, &m_dyText };
    const wchar_t* const names[] = { L"x", L"y", L"dx", L"dy" };
    for (size_t i = 0; i < 4; ++i) {
        if (name == names[i]) {
            *texts[i] = value;
            return true;
        }
    }
    return false;
}

void CSVGElementTspan::setAttribute(const std::wstring& name, const std::wstring& value, bool notify)
{
    CSVGElementShape::setAttribute(name, value, notify);
    if (notify)
        setGeometryDirty();
}

void CSVGElementTspan::setText(const std::wstring& text, bool notify)
{
    CSVGElementTextContent::replaceRuns(this, text, notify);
}

void CSVGElementTspan::layoutAt(double x, double y)
{
    updateStyle(nullptr);
    m_path = QPainterPath();
    m_x = m_xText.empty() ? x : g_config.parseLength(m_xText);
    m_y = m_yText.empty() ? y : g_config.parseLength(m_yText);
    if (!m_dxText.empty())
        m_dx = g_config.parseLength(m_dxText);
    if (!m_dyText.empty())
        m_dy = g_config.parseLength(m_dyText);
    std::vector<CSVGElementShape*> nodes;
    for (int i = 0; i < getChildCount(); ++i) {
        if (auto* node = dynamic_cast<CSVGElementTextContent*>(getChild(i))) {
            node->layoutAt(m_x + m_dx, m_y + m_dy);
            nodes.push_back(node);
        }
    }
    m_path = joinOutlines(nodes);
    computeBounds();
}

void CSVGElementTspan::computeBounds()
{
    m_box.setEmpty();
    bool first = true;
    for (int i = 0; i < getChildCount(); ++i) {
        auto* node = dynamic_cast<CSVGElementTextContent*>(getChild(i));
        const CSVGRect box = node ? node->getBoundingRect() : CSVGRect();
        if (box.isEmpty())
            continue;
        m_box = first ? box : m_box.united(box);
        first = false;
    }
}
