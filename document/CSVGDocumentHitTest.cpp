// Finding pieces and nodes under the pointer and in the rubber band, and
// marking nodes with the band.

#include "CSVGDocument.h"
#include "CSVGElementShape.h"
#include "SvgCodes.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace {

bool hasMarkedNodes(CSVGElementShape* shape)
{
    for (CSVGElementShape* leaf : CSVGElementShape::collectLeafShapes(shape)) {
        if (!leaf->getMarkedNodes().isEmpty())
            return true;
    }
    return false;
}

} // namespace

// The shape's own box, widened, with its corners mapped: it holds the exact
// canvas box (a flattened curve may fall short of the curve's extremes by
// far less than the widening), and costs no path copy, so that a click
// passes over most pieces before the exact test.
QRectF CSVGDocument::outerBounds(CSVGElementShape* shape)
{
    const CSVGRect own = shape->getBoundingRect();
    const double slack = 1.0 + 0.01 * std::max(std::fabs(own.width), std::fabs(own.height));
    return own.inflated(slack, slack).transformed(shape->getMatrix()).toQRectF();
}

// Edges count, and a rectangle without width or height still meets what
// crosses it (QRectF::intersects says no to both).
bool CSVGDocument::overlaps(const QRectF& a, const QRectF& b)
{
    const QRectF p = a.normalized();
    const QRectF q = b.normalized();
    return p.left() <= q.right() && q.left() <= p.right() && p.top() <= q.bottom() && q.top() <= p.bottom();
}

bool CSVGDocument::mayMeet(CSVGElementShape* shape, const QRectF& rect)
{
    return overlaps(outerBounds(shape), rect);
}

QList<CSVGElement*> CSVGDocument::elementsAtPoint(const QPointF& point)
{
    struct Hit
    {
        CSVGElement* element;
        double area;
    };
    std::vector<Hit> hits;
    const QRectF spot(point, QSizeF(0, 0));
    const std::vector<CSVGElementShape*> near
        = isUsablePoint(point) ? piecesNear(spot) : std::vector<CSVGElementShape*>();
    for (CSVGElementShape* shape : near) {
        if (!mayMeet(shape, spot))
            continue;
        const CSVGRect box = shape->getTransformedBoundingRect();
        std::wstring groupId;
        std::wstring id;
        if (box.containsPoint(point) && shape->hitTest(point.x(), point.y(), groupId, id))
            hits.push_back({ shape, box.width * box.height });
    }
    std::stable_sort(hits.begin(), hits.end(), [](const Hit& a, const Hit& b) { return a.area < b.area; });
    QList<CSVGElement*> elements;
    for (const Hit& hit : hits)
        elements.append(hit.element);
    return elements;
}

// The cell of the point as it is, whatever its fraction or sign; the wide
// cell of the index counts as well.
CSVGElement* CSVGDocument::hitTopElementAt(double x, double y)
{
    if (!isUsablePoint(QPointF(x, y)))
        return nullptr;
    std::vector<CSVGElement*> candidates;
    for (const TileCell* cell : m_tiles.cellsAt(x, y)) {
        std::vector<CSVGElement*> merged;
        std::merge(candidates.begin(), candidates.end(), cell->elements.begin(), cell->elements.end(),
            std::back_inserter(merged), CSVGDocument::lessByDrawingOrder);
        candidates.swap(merged);
    }
    for (auto element = candidates.rbegin(); element != candidates.rend(); ++element) {
        CSVGElement* hit = nullptr;
        if (hitTestElement(*element, x, y, hit))
            return hit;
    }
    return nullptr;
}

bool CSVGDocument::hitTestElement(CSVGElement* element, double x, double y, CSVGElement*& hit)
{
    if (!element)
        return false;
    CSVGElementShape* shape = CSVGElementShape::asShape(element);
    std::wstring groupId;
    std::wstring id;
    if (shape && !element->isLocked() && shape->hitTest(x, y, groupId, id)) {
        hit = element;
        return true;
    }
    for (int i = element->getChildCount() - 1; i >= 0; --i) {
        CSVGElement* child = element->getChild(i);
        if (child->isShape() && hitTestElement(child, x, y, hit))
            return true;
    }
    return false;
}

// A piece that surrounds the whole band is not taken.
std::vector<CSVGElement*> CSVGDocument::elementsInRect(const QRectF& rect)
{
    std::vector<CSVGElement*> elements;
    const QRectF band = rect.normalized();
    if (!std::isfinite(band.width()) || !std::isfinite(band.height()))
        return elements;
    QPainterPath bandPath;
    bandPath.addRect(band);
    const std::vector<CSVGElementShape*> near = piecesNear(band);
    for (auto piece = near.rbegin(); piece != near.rend(); ++piece) {
        CSVGElementShape* shape = *piece;
        if (!mayMeet(shape, band))
            continue;
        const QPainterPath outline = shape->getTransformedPath();
        if (outline.intersects(bandPath) && !outline.contains(bandPath))
            elements.push_back(shape);
    }
    return elements;
}

// A "use" follows the element it shows, which may change without its own
// flags telling: it is a candidate for every query.
std::vector<CSVGElementShape*> CSVGDocument::piecesNear(const QRectF& rect)
{
    CSVGElement* root = getOwnerSvg();
    if (!root)
        return {};
    if (root != m_pieceIndexRoot || m_pieceIndexRevision != m_geometryRevision) {
        std::vector<CSVGElementShape*> pieces;
        std::vector<QRectF> boxes;
        for (int i = 0; i < root->getChildCount(); ++i) {
            if (CSVGElementShape* shape = CSVGElementShape::asShape(root->getChild(i))) {
                pieces.push_back(shape);
                const bool follows = shape->getType() == SvgType::Use;
                boxes.push_back(follows ? QRectF(qQNaN(), qQNaN(), 0, 0) : outerBounds(shape));
            }
        }
        m_pieceIndex.rebuild(std::move(pieces), boxes);
        m_pieceIndexRoot = root;
        m_pieceIndexRevision = m_geometryRevision;
    }
    return m_pieceIndex.candidates(rect);
}

HighlightNode CSVGDocument::findNodeAt(const QPointF& point) const
{
    return m_highlights.findNode(point, m_pickTolerance);
}

// Selecting a piece clears its marks, so in mode 28 a piece is selected
// before its marks are made again; the list's nodes in the band are marked
// once, not once per piece.
QPainterPath CSVGDocument::selectInRubberBand(const CSVGRect& rect, bool extend)
{
    if (m_editMode != EditMode::DeleteFeature) {
        CSVGElementShape* shape = nullptr;
        for (CSVGElement* element : qAsConst(m_selection)) {
            if ((shape = CSVGElementShape::asShape(element)))
                break;
        }
        if (!shape)
            return QPainterPath();
        if (!extend) {
            shape->clearNodeSelection();
            m_highlights.setMarkedNodes({});
        }
        m_highlights.selectNodesInRect(rect);
        return shape->selectNodesInRect(rect);
    }
    CSVGElement* root = getOwnerSvg();
    if (!extend)
        m_highlights.setMarkedNodes({});
    bool marked = false;
    for (int i = 0; root && i < root->getChildCount(); ++i) {
        CSVGElementShape* shape = CSVGElementShape::asShape(root->getChild(i));
        if (!shape)
            continue;
        if (!extend)
            shape->clearNodeSelection();
        if (!overlaps(shape->getTransformedBoundingRect().toQRectF(), rect.toQRectF()))
            continue;
        shape->selectNodesInRect(rect);
        if (!hasMarkedNodes(shape))
            continue;
        if (!m_selected.contains(shape)) {
            selectElement(shape, Qt::green);
            shape->selectNodesInRect(rect);
        }
        marked = true;
    }
    if (marked)
        m_highlights.selectNodesInRect(rect);
    return QPainterPath();
}
