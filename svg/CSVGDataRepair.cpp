#include "CSVGDataRepair.h"

#include "CActionAdd.h"
#include "CActionComposite.h"
#include "CActionDel.h"
#include "CSVGChainIndex.h"
#include "CSVGDocument.h"
#include "CSVGUtils.h"

#include <cmath>
#include <set>
#include <utility>

namespace {
QPointF roundedEnd(const QPainterPath& path, double percent, int scale)
{
    const QPointF p = path.pointAtPercent(percent) * scale;
    return QPointF(std::floor(p.x() + 0.5), std::floor(p.y() + 0.5));
}
} // namespace

CSVGDataRepair::CSVGDataRepair(CSVGDocument* document, const QList<CSVGElement*>& elements, QObject* parent)
    : QObject(parent)
    , m_document(document)
    , m_pieces(topmostShapes(elements))
{
    CSVGElement* root = document ? document->getOwnerSvg() : nullptr;
    if (!m_pieces.isEmpty() || !root)
        return;
    for (int i = 0; i < root->getChildCount(); ++i) {
        if (root->getChild(i)->isShape())
            m_pieces.append(root->getChild(i));
    }
}

// A piece listed twice, or inside another listed piece, would be removed
// twice (and its undo record would claim an element that another one owns)
// and its outlines would come back twice. A piece outside any tree is the
// caller's, not the document's.
QList<CSVGElement*> CSVGDataRepair::topmostShapes(const QList<CSVGElement*>& elements)
{
    std::set<const CSVGElement*> listed;
    for (const CSVGElement* element : elements) {
        if (element && element->isShape() && element->getParent())
            listed.insert(element);
    }
    const auto insideListed = [&listed](const CSVGElement* element) {
        for (const CSVGElement* ancestor = element->getParent(); ancestor; ancestor = ancestor->getParent()) {
            if (listed.count(ancestor) > 0)
                return true;
        }
        return false;
    };
    QList<CSVGElement*> shapes;
    std::set<const CSVGElement*> taken;
    for (CSVGElement* element : elements) {
        if (listed.count(element) > 0 && taken.insert(element).second && !insideListed(element))
            shapes.append(element);
    }
    return shapes;
}

CActionComposite* CSVGDataRepair::repair()
{
    auto* action = new CActionComposite(m_document);
    CSVGElement* root = m_document ? m_document->getOwnerSvg() : nullptr;
    if (!root)
        return action;
    // The pieces are taken once: a second call finds them owned by the
    // first call's undo record.
    m_sources.clear();
    std::vector<CSVGOutline> outlines;
    for (CSVGElement* piece : std::exchange(m_pieces, {})) {
        CSVGUtils::collectOutlines(piece, outlines);
        m_sources.append(piece);
    }
    std::vector<CSVGOutline> closed;
    std::vector<CSVGOutline> open;
    for (CSVGOutline& outline : outlines)
        (outline.closed ? closed : open).push_back(std::move(outline));
    for (CSVGOutline& joined : joinOpenOutlines(open, 1))
        closed.push_back(std::move(joined));
    CSVGUtils utils(m_document);
    m_created = utils.buildNestingUnits(std::move(closed));

    // Last first: pieces are taken from the end of their parent's children,
    // which costs nothing to find and to close up behind. Each removal's
    // undo record names the sibling before it, which is still there, so
    // undoing (in reverse) puts them back one after the other.
    for (auto source = m_sources.crbegin(); source != m_sources.crend(); ++source) {
        action->addAction(new CActionDel(m_document, *source));
        (*source)->removeFromParent(true);
    }
    for (CSVGElement* element : m_created) {
        action->addAction(new CActionAdd(m_document, root, element));
        root->adoptChild(element, true);
    }
    return action;
}

QList<CSVGElement*> CSVGDataRepair::autoGroup()
{
    CSVGElement* root = m_document ? m_document->getOwnerSvg() : nullptr;
    if (!root)
        return {};
    std::vector<CSVGOutline> outlines;
    for (int i = 0; i < root->getChildCount(); ++i) {
        CSVGElement* child = root->getChild(i);
        if (child->isShape() && !child->isGroup())
            CSVGUtils::collectOutlines(child, outlines);
    }
    CSVGUtils utils(m_document);
    return utils.buildNestingUnits(std::move(outlines));
}

// The chain's outline carries its source element to the nesting, which
// makes the element that enters the document; so no element is made here
// only to carry the id.
std::vector<CSVGOutline> CSVGDataRepair::joinOpenOutlines(const std::vector<CSVGOutline>& openOutlines, int scale) const
{
    std::vector<Segment> segments;
    segments.reserve(openOutlines.size());
    for (const CSVGOutline& outline : openOutlines) {
        Segment segment;
        if (segmentOf(outline, scale, segment))
            segments.push_back(std::move(segment));
    }
    std::vector<CSVGOutline> joined;
    for (const Chain& chain : buildChains(segments)) {
        CSVGOutline outline;
        outline.element = positionSource(chain);
        outline.path = joinedPath(chain, scale);
        if (closeJoinedPaths)
            outline.path.closeSubpath();
        outline.closed = closeJoinedPaths;
        joined.push_back(std::move(outline));
    }
    return joined;
}

CSVGElement* CSVGDataRepair::positionSource(const Chain& chain)
{
    for (const Segment& segment : chain) {
        CSVGElement* element = segment.outline.element;
        if (element && !element->getAttribute(L"position_id").empty())
            return element;
    }
    return chain.empty() ? nullptr : chain.front().outline.element;
}

bool CSVGDataRepair::segmentOf(const CSVGOutline& outline, int scale, Segment& segment)
{
    if (outline.path.toSubpathPolygons().isEmpty())
        return false;
    segment.start = roundedEnd(outline.path, 0.0, scale);
    segment.end = roundedEnd(outline.path, 1.0, scale);
    segment.outline = outline;
    return true;
}

std::vector<CSVGDataRepair::Chain> CSVGDataRepair::buildChains(const std::vector<Segment>& segments)
{
    CSVGChainIndex index(segments);
    for (std::size_t i = 0; i < segments.size(); ++i)
        index.place(i);
    index.mergeAll();
    return index.chains();
}

QPainterPath CSVGDataRepair::joinedPath(const Chain& chain, int scale)
{
    QPainterPath joined;
    for (const Segment& segment : chain) {
        const QPainterPath& path = segment.outline.path;
        const QPointF first = roundedEnd(path, 0.0, scale);
        const bool forward = first.x() == segment.start.x() && first.y() == segment.start.y();
        joined.connectPath(forward ? path : path.toReversed());
    }
    return joined;
}
