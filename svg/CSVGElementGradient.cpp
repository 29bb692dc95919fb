#include "CSVGElementGradient.h"

#include "CGlobalConfig.h"
#include "CSVGDocument.h"
#include "CSVGElementStop.h"

#include <algorithm>

namespace {

std::vector<CSVGElementStop*> stopChildren(const CSVGElement* element)
{
    std::vector<CSVGElementStop*> stops;
    for (int i = 0; i < element->getChildCount(); ++i) {
        if (auto* stop = dynamic_cast<CSVGElementStop*>(element->getChild(i)))
            stops.push_back(stop);
    }
    return stops;
}

} // namespace

CSVGElementGradient::CSVGElementGradient(CSVGDocument* document, const std::wstring& tagName, std::uint16_t type)
    : CSVGElement(document, tagName, type)
{
}

bool CSVGElementGradient::readAttributeField(const std::wstring& name, const std::wstring& value)
{
    if (isLinkAttribute(name)) {
        m_href = getLink();
        return true;
    }
    std::wstring* field = name == L"gradientUnits" ? &m_gradientUnits
        : name == L"gradientTransform"             ? &m_gradientTransform
                                                   : nullptr;
    if (field)
        *field = value;
    return field != nullptr;
}

bool CSVGElementGradient::writeIfReferenced(std::wstring& out, int depth)
{
    return writeSvg(out, depth, CSVGRect());
}

bool CSVGElementGradient::isWrittenOut() const
{
    return getDocument() && getDocument()->isReferenced(getId());
}

void CSVGElementGradient::buildGradient()
{
    std::vector<CSVGElementStop*> stops = stopChildren(this);
    m_tableUnits = m_gradientUnits;
    m_tableTransform = m_gradientTransform;
    const CSVGElement* lender = m_href.empty() || !getDocument()
        ? nullptr
        : getDocument()->getElementById(g_config.getUrlReferenceId(m_href));
    if (lender) {
        if (m_tableTransform.empty())
            m_tableTransform = lender->getAttribute(L"gradientTransform");
        if (m_tableUnits.empty())
            m_tableUnits = lender->getAttribute(L"gradientUnits");
        if (stops.empty())
            stops = stopChildren(lender);
    }
    m_stops.assign(stops.size() + 2, Stop { 0xFFFFFFFFu, 0.0 });
    for (size_t i = 0; i < stops.size(); ++i)
        m_stops[i + 1] = Stop { stops[i]->getPackedColor(), stops[i]->getOffsetNumber() };
    std::stable_sort(m_stops.begin(), m_stops.end(), [](const Stop& a, const Stop& b) { return a.offset < b.offset; });
}
