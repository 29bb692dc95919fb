#include "CSVGShapeBoolean.h"

#include "CSVGClipper.h"
#include "CSVGDocument.h"
#include "CSVGElementShape.h"
#include "CSVGUtils.h"
#include "ParallelLoop.h"
#include "SvgCodes.h"

#include <algorithm>

#include <utility>

CSVGShapeBoolean::CSVGShapeBoolean(CSVGDocument* document)
    : m_document(document)
{
}

// The single rings, most pieces, are read on all cores; the elements are
// asked for their outlines first, on this thread, since that may bring
// their geometry up to date.
QList<CSVGElement*> CSVGShapeBoolean::unite(const QList<CSVGElement*>& shapes)
{
    if (!m_document || !m_document->getOwnerSvg())
        return {};
    std::vector<CSVGElement*> elements;
    std::vector<QPainterPath> paths;
    for (CSVGElement* shape : shapes) {
        if (!shape || !shape->isShape())
            continue;
        elements.push_back(shape);
        paths.push_back(mayBePlainRing(shape) ? plainPath(shape) : QPainterPath());
    }
    std::vector<ClipperLib::Path> rings(elements.size());
    std::vector<char> plain(elements.size(), 0);
    // A few pieces are read sooner than threads start.
    ParallelLoop::run(int(elements.size()), elements.size() < 256 ? 1 : 0,
        [&](int i) { plain[std::size_t(i)] = plainRing(paths[std::size_t(i)], rings[std::size_t(i)]) ? 1 : 0; });
    ClipperLib::Paths subject;
    subject.reserve(elements.size());
    std::vector<std::size_t> starts;
    CSVGElement* source = nullptr;
    for (std::size_t i = 0; i < elements.size(); ++i) {
        starts.push_back(subject.size());
        CSVGElement* largest = nullptr;
        if (plain[i]) {
            subject.push_back(std::move(rings[i]));
            largest = elements[i];
        } else if (!addOutlines(elements[i], subject, largest)) {
            return {};
        }
        if (largest)
            source = largest;
    }
    ClipperLib::PolyTree tree;
    if (!CSVGClipper::uniteNested(subject, starts, tree))
        return {};
    return toUnits(tree, source);
}

QList<CSVGElement*> CSVGShapeBoolean::cutByLine(CSVGElement* shape, const QPainterPath& line)
{
    if (!m_document || !m_document->getOwnerSvg())
        return {};
    ClipperLib::Paths subject;
    ClipperLib::Paths clip;
    CSVGElement* source = nullptr;
    ClipperLib::PolyTree tree;
    if (!addElement(shape, subject, source) || subject.empty() || !CSVGClipper::addCutPaths(line, clip)
        || !CSVGClipper::executeNested(ClipperLib::ctDifference, subject, clip, tree))
        return {};
    return toUnits(tree, source);
}

bool CSVGShapeBoolean::addElement(CSVGElement* element, ClipperLib::Paths& subject, CSVGElement*& largest)
{
    ClipperLib::Path ring;
    if (mayBePlainRing(element) && plainRing(plainPath(element), ring)) {
        subject.push_back(std::move(ring));
        largest = element;
        return true;
    }
    return addOutlines(element, subject, largest);
}

// No minimum area here: a small hole still cuts.
bool CSVGShapeBoolean::addOutlines(CSVGElement* element, ClipperLib::Paths& subject, CSVGElement*& largest)
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

bool CSVGShapeBoolean::mayBePlainRing(CSVGElement* element)
{
    const CSVGElementShape* shape = CSVGElementShape::asShape(element);
    return shape && shape->getChildCount() == 0 && shape->getType() != SvgType::Text;
}

QPainterPath CSVGShapeBoolean::plainPath(CSVGElement* element)
{
    CSVGElementShape* shape = CSVGElementShape::asShape(element);
    return shape->getMatrix().toQTransform().map(shape->getPainterPath());
}

// Most pieces are such a ring. Flattening it gives its points unchanged;
// points in range keep its area finite, so it is its own unit; and without
// repeated points its reversed path holds the same points backwards. What
// is left of the general way is the orientation, measured as it measures.
bool CSVGShapeBoolean::plainRing(const QPainterPath& path, ClipperLib::Path& ring)
{
    const int count = path.elementCount();
    if (count < 2)
        return false;
    ring.resize(static_cast<std::size_t>(count));
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
    return true;
}

// The library knows which result ring lies in which; asking the rings
// themselves would cost more than the operation.
QList<CSVGElement*> CSVGShapeBoolean::toUnits(ClipperLib::PolyTree& tree, CSVGElement* source)
{
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
