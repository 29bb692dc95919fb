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
        { 3, make<CSVGElementDataSection> },
        { 7, make<CSVGElementComment> },
        { 9, make<CSVGElementDoctype> },
        { 12, make<CSVGElementA> },
        { 20, make<CSVGElementCircle> },
        { 21, make<CSVGElementClipPath> },
        { 25, make<CSVGElementDefs> },
        { 27, make<CSVGElementEllipse> },
        { 60, make<CSVGElementG> },
        { 64, make<CSVGElementImage> },
        { 65, make<CSVGElementLine> },
        { 66, make<CSVGElementLinearGradient> },
        { 72, make<CSVGElementPath> },
        { 73, make<CSVGElementPattern> },
        { 74, make<CSVGElementPolygon> },
        { 75, make<CSVGElementPolyline> },
        { 76, make<CSVGElementRadialGradient> },
        { 77, make<CSVGElementRect> },
        { 78, make<CSVGElementScript> },
        { 80, make<CSVGElementStop> },
        { 81, make<CSVGElementStyle> },
        { 82, make<CSVGElementSVG> },
        { 83, make<CSVGElementSwitch> },
        { 84, make<CSVGElementSymbol> },
        { 85, make<CSVGElementText> },
        { 89, make<CSVGElementTspan> },
        { 90, make<CSVGElementUse> },
        { 94, make<CSVGElementTextContent> },
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
    return tagName.empty() ? nullptr : new CSVGElement(this, tagName, 0);
}

void CSVGDocument::newDocument()
{
    CSVGElement* root = createElement(L"svg");
    root->setAttribute(L"viewBox",
        L"0 0 " + CGlobalConfig::intToText(m_pageWidth) + L' ' + CGlobalConfig::intToText(m_pageHeight), false);
    appendChild(root, true, false);
}
