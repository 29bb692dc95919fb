#include "CSVGShapeBoolean.h"

#include "CSVGClipper.h"
#include "CSVGDocument.h"
#include "CSVGElementShape.h"
#include "CSVGUtils.h"
#include "SvgCodes.h"

#include <algorithm>

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
    if (addPlainRing(element, subject, largest))
        return true;
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

// Most pieces are such a ring. Flattening it gives its points unchanged;
// points in range keep its area finite, so it is its own unit; and without
// repeated points its reversed path holds the same points backwards. What
// is left of the general way is the orientation, measured as it measures.
bool CSVGShapeBoolean::addPlainRing(CSVGElement* element, ClipperLib::Paths& subject, CSVGElement*& largest)
{
    CSVGElementShape* shape = CSVGElementShape::asShape(element);
    if (!shape || shape->getChildCount() > 0 || shape->getType() == SvgType::Text)
        return false;
    const QPainterPath path = shape->getMatrix().toQTransform().map(shape->getPainterPath());
    const int count = path.elementCount();
    if (count < 2)
        return false;
    ClipperLib::Path ring(static_cast<std::size_t>(count));
    double twiceArea = 0;
    QPointF previous = path.elementAt(count - 1);
    for (int i = 0; i < count; ++i) {
        const QPainterPath::Element& node = path.elementAt(i);
        const QPointF point = node;
        if (node.type != (i == 0 ? QPainterPath::MoveToElement : QPainterPath::LineToElement)
            || !CSVGClipper::toIntPoint(point, ring[std::size_t(i)]) || (i > 0 && point == previous))
            return false;
        twiceArea += previous.x() * point.y() - point.x() * previous.y();
        previous = point;
    }
    if (twiceArea * 0.5 < 0)
        std::reverse(ring.begin(), ring.end());
    subject.push_back(std::move(ring));
    largest = element;
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
    // The groups went under the root as they were made, before the paths of
    // single rings; they all end in the order returned, which is the order
    // in which a recorded addition, undone and redone, appends them again.
    CSVGElement* root = m_document->getOwnerSvg();
    for (CSVGElement* element : elements) {
        if (element->getParent() == root && root->getChild(root->getChildCount() - 1) == element)
            continue;
        if (element->getParent() == root)
            root->detachChild(element);
        root->appendChild(element, false, false);
    }
    return elements;
}
