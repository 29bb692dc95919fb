#include "CSVGShapeBoolean.h"

#include "CSVGClipper.h"
#include "CSVGDocument.h"
#include "CSVGUtils.h"

#include <utility>

CSVGShapeBoolean::CSVGShapeBoolean(CSVGDocument* document)
    : m_document(document)
{
}

QList<CSVGElement*> CSVGShapeBoolean::unite(const QList<CSVGElement*>& shapes)
{
    if (!m_document || !m_document->getOwnerSvg())
        return {};
    ClipperLib::Paths subject;
    CSVGElement* source = nullptr;
    for (CSVGElement* shape : shapes) {
        if (!shape || !shape->isShape())
            continue;
        CSVGElement* largest = nullptr;
        if (!addElement(shape, subject, largest))
            return {};
        if (largest)
            source = largest;
    }
    return toUnits(ClipperLib::ctUnion, subject, {}, source);
}

QList<CSVGElement*> CSVGShapeBoolean::cutByLine(CSVGElement* shape, const QPainterPath& line)
{
    if (!m_document || !m_document->getOwnerSvg())
        return {};
    ClipperLib::Paths subject;
    ClipperLib::Paths clip;
    CSVGElement* source = nullptr;
    if (!addElement(shape, subject, source) || subject.empty() || !CSVGClipper::addCutPaths(line, clip))
        return {};
    return toUnits(ClipperLib::ctDifference, subject, clip, source);
}

// No minimum area here: a small hole still cuts.
bool CSVGShapeBoolean::addElement(CSVGElement* element, ClipperLib::Paths& subject, CSVGElement*& largest)
{
    std::vector<CSVGOutline> outlines;
    CSVGUtils::collectOutlines(element, outlines);
    const std::vector<CSVGOutline> units = CSVGUtils::nestOutlines(std::move(outlines), 0.0);
    largest = units.empty() ? nullptr : units.back().element;
    for (const CSVGOutline& unit : units) {
        if (!CSVGClipper::addNestedPath(unit, false, subject))
            return false;
    }
    return true;
}

// The library knows which result ring lies in which; asking the rings
// themselves would cost more than the operation.
QList<CSVGElement*> CSVGShapeBoolean::toUnits(
    ClipperLib::ClipType type, const ClipperLib::Paths& subject, const ClipperLib::Paths& clip, CSVGElement* source)
{
    ClipperLib::PolyTree tree;
    if (!CSVGClipper::executeNested(type, subject, clip, tree))
        return {};
    std::vector<int> parents;
    std::vector<CSVGOutline> outlines = CSVGClipper::ringOutlines(tree, source, parents);
    tree.Clear();
    CSVGUtils utils(m_document);
    const QList<CSVGElement*> elements = utils.buildNestingUnits(std::move(outlines), parents);
    CSVGElement* root = m_document->getOwnerSvg();
    for (CSVGElement* element : elements) {
        if (element->getParent() != root)
            root->appendChild(element, false, false);
    }
    return elements;
}
