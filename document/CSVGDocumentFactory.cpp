// The element factory: the class of a new element is chosen by the type code
// of its tag name.

#include "CGlobalConfig.h"
#include "CSVGDocument.h"
#include "CSVGElementA.h"
#include "CSVGElementCircle.h"
#include "CSVGElementClipPath.h"
#include "CSVGElementComment.h"
#include "CSVGElementDataSection.h"
#include "CSVGElementDefs.h"
#include "CSVGElementDoctype.h"
#include "CSVGElementEllipse.h"
#include "CSVGElementG.h"
#include "CSVGElementImage.h"
#include "CSVGElementLine.h"
#include "CSVGElementLinearGradient.h"
#include "CSVGElementPath.h"
#include "CSVGElementPattern.h"
#include "CSVGElementPolygon.h"
#include "CSVGElementPolyline.h"
#include "CSVGElementRadialGradient.h"
#include "CSVGElementRect.h"
#include "CSVGElementSVG.h"
#include "CSVGElementScript.h"
#include "CSVGElementStop.h"
#include "CSVGElementStyle.h"
#include "CSVGElementSwitch.h"
#include "CSVGElementSymbol.h"
#include "CSVGElementText.h"
#include "CSVGElementTextContent.h"
#include "CSVGElementTspan.h"
#include "CSVGElementUse.h"
#include "SvgCodes.h"

#include <map>

namespace {

using ElementMaker = CSVGElement* (*)(CSVGDocument* document);

template <typename Element> CSVGElement* make(CSVGDocument* document)
{
    return new Element(document);
}

const std::map<int, ElementMaker>& elementMakers()
{
    static const std::map<int, ElementMaker> makers = {
        { SvgType::CData, make<CSVGElementDataSection> },
        { SvgType::Comment, make<CSVGElementComment> },
        { SvgType::Doctype, make<CSVGElementDoctype> },
        { SvgType::A, make<CSVGElementA> },
        { SvgType::Circle, make<CSVGElementCircle> },
        { SvgType::ClipPath, make<CSVGElementClipPath> },
        { SvgType::Defs, make<CSVGElementDefs> },
        { SvgType::Ellipse, make<CSVGElementEllipse> },
        { SvgType::G, make<CSVGElementG> },
        { SvgType::Image, make<CSVGElementImage> },
        { SvgType::Line, make<CSVGElementLine> },
        { SvgType::LinearGradient, make<CSVGElementLinearGradient> },
        { SvgType::Path, make<CSVGElementPath> },
        { SvgType::Pattern, make<CSVGElementPattern> },
        { SvgType::Polygon, make<CSVGElementPolygon> },
        { SvgType::Polyline, make<CSVGElementPolyline> },
        { SvgType::RadialGradient, make<CSVGElementRadialGradient> },
        { SvgType::Rect, make<CSVGElementRect> },
        { SvgType::Script, make<CSVGElementScript> },
        { SvgType::Stop, make<CSVGElementStop> },
        { SvgType::Style, make<CSVGElementStyle> },
        { SvgType::Svg, make<CSVGElementSVG> },
        { SvgType::Switch, make<CSVGElementSwitch> },
        { SvgType::Symbol, make<CSVGElementSymbol> },
        { SvgType::Text, make<CSVGElementText> },
        { SvgType::Tspan, make<CSVGElementTspan> },
        { SvgType::Use, make<CSVGElementUse> },
        { SvgType::TextContent, make<CSVGElementTextContent> },
    };
    return makers;
}

} // namespace

CSVGElement* CSVGDocument::createElement(const std::wstring& tagName)
{
    if (tagName.empty())
        return nullptr;
    return createElementOfType(g_config.getElementTypeId(tagName), tagName);
}

CSVGElement* CSVGDocument::createElementOfType(int type, const std::wstring& tagName)
{
    const auto found = elementMakers().find(type);
    if (found != elementMakers().end())
        return found->second(this);
    return tagName.empty() ? nullptr : new CSVGElement(this, tagName, SvgType::ElementNode);
}

void CSVGDocument::newDocument()
{
    CSVGElement* root = createElement(L"svg");
    root->setAttribute(L"viewBox",
        L"0 0 " + CGlobalConfig::intToText(m_pageWidth) + L' ' + CGlobalConfig::intToText(m_pageHeight), false);
    appendChild(root, true, false);
}
