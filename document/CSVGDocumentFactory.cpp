// The element factory: the class of a new element is chosen by the type code
// of its tag name.

#include "CGlobalConfig.h"
#include "CSVGDocument.h"
#include "CSVGElementLinearGradient.h"
#include "CSVGElementPath.h"
#include "CSVGElementPattern.h"
#include "CSVGElementPolygon.h"
#include "CSVGElementPolyline.h"
#include "CSVGElementRadialGradient.h"
#include "CSVGElementStop.h"
#include "CSVGElementStyle.h"

#include <map>

namespace {

using ElementMaker = CSVGElement* (*)(CSVGDocument* document, const std::wstring& tagName, std::uint16_t type);

// The element kinds whose classes are not written yet: a plain element that
// already carries the kind's type code, so that code testing the type (the
// writer, getOwnerSvg, tear lines) works on them.
CSVGElement* plainElement(CSVGDocument* document, const std::wstring& tagName, std::uint16_t type)
{
    return new CSVGElement(document, tagName, type);
}

// A class of its own is added with one line: { code, make<CSVGElementXxx> }.
template <typename Element> CSVGElement* make(CSVGDocument* document, const std::wstring&, std::uint16_t)
{
    return new Element(document);
}

const std::map<int, ElementMaker>& elementMakers()
{
    static const std::map<int, ElementMaker> makers = {
        { 3, plainElement }, // CSVGElementDataSection
        { 7, plainElement }, // CSVGElementComment
        { 9, plainElement }, // CSVGElementDoctype
        { 12, plainElement }, // CSVGElementA
        { 20, plainElement }, // CSVGElementCircle
        { 21, plainElement }, // CSVGElementClipPath
        { 25, plainElement }, // CSVGElementDefs
        { 27, plainElement }, // CSVGElementEllipse
        { 60, plainElement }, // CSVGElementG
        { 64, plainElement }, // CSVGElementImage
        { 65, plainElement }, // CSVGElementLine
        { 66, make<CSVGElementLinearGradient> }, { 72, make<CSVGElementPath> }, { 73, make<CSVGElementPattern> },
        { 74, make<CSVGElementPolygon> }, { 75, make<CSVGElementPolyline> }, { 76, make<CSVGElementRadialGradient> },
        { 77, plainElement }, // CSVGElementRect
        { 78, plainElement }, // CSVGElementScript
        { 80, make<CSVGElementStop> }, { 81, make<CSVGElementStyle> }, { 82, plainElement }, // CSVGElementSVG
        { 83, plainElement }, // CSVGElementSwitch
        { 84, plainElement }, // CSVGElementSymbol
        { 85, plainElement }, // CSVGElementText
        { 89, plainElement }, // CSVGElementTspan
        { 90, plainElement }, // CSVGElementUse
        { 94, plainElement }, // CSVGElementTextContent
    };
    return makers;
}

} // namespace

CSVGElement* CSVGDocument::createElement(const std::wstring& tagName)
{
    if (tagName.empty())
        return nullptr;
    const auto found = elementMakers().find(g_config.getElementTypeId(tagName));
    if (found == elementMakers().end())
        return new CSVGElement(this, tagName, 0);
    return found->second(this, tagName, static_cast<std::uint16_t>(found->first));
}
