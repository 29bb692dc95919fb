// The outline node tools that work on one edge (add node, move point), delete
// feature, and what every outline tool shares: the outline and marked
// vertices it works on, and the new path that replaces an element.

#include "CActionAdd.h"
#include "CActionComposite.h"
#include "CActionDel.h"
#include "CSVGDocument.h"
#include "CSVGElementPath.h"
#include "CSVGUtils.h"
#include "SvgCodes.h"

#include <QLineF>
#include <QTransform>

#include <algorithm>

namespace {
// The shapes of the selection's leaves, in selection order.
QList<CSVGElementShape*> selectedLeaves(const QVector<CSVGElement*>& selection)
{
    QList<CSVGElementShape*> leaves;
    for (CSVGElement* element : selection) {
        for (CSVGElement* leaf : CSVGUtils::collectShapes(element)) {
            if (CSVGElementShape* shape = CSVGElementShape::asShape(leaf))
                leaves.append(shape);
        }
    }
    return leaves;
}

// The projection of the point onto the line through the edge.
QPointF projectOnto(const QPointF& point, const QPointF& from, const QPointF& to)
{
    const QPointF edge = to - from;
    const double t = QPointF::dotProduct(point - from, edge) / QPointF::dotProduct(edge, edge);
    return from + t * edge;
}

// The first edge of the polygons that passes within the tolerance of the
// point, as polygon and edge index; false when none does. Edges of no
// length have no direction to project onto.
bool findEdge(const QList<QPolygonF>& polygons, const QPointF& point, double tolerance, int& polygon, int& edge)
{
    for (polygon = 0; polygon < polygons.size(); ++polygon) {
        const QPolygonF& ring = polygons[polygon];
        for (edge = 0; edge + 1 < ring.size(); ++edge) {
            const double length = QLineF(ring[edge], ring[edge + 1]).length();
            const double viaPoint = QLineF(point, ring[edge]).length() + QLineF(point, ring[edge + 1]).length();
            if (length > 0 && length + tolerance > viaPoint)
                return true;
        }
    }
    return false;
}

// The path with the line element at the index replaced by the quadratic
// curve from start through the control point to end, raised to a cubic.
QPainterPath bendEdge(const QPainterPath& path, int bent, const QPointF& control)
{
    QPainterPath result;
    const int count = path.elementCount();
    for (int i = 0; i < count; ++i) {
        const QPainterPath::Element& element = path.elementAt(i);
        if (element.isMoveTo()) {
            result.moveTo(element);
        } else if (element.isCurveTo() && i + 2 < count) {
            result.cubicTo(element, path.elementAt(i + 1), path.elementAt(i + 2));
            i += 2;
        } else if (element.isLineTo() && i == bent) {
            const QPointF start = path.elementAt(i - 1);
            const QPointF end = element;
            result.cubicTo((start + 2 * control) / 3, (2 * control + end) / 3, end);
        } else if (element.isLineTo()) {
            result.lineTo(element);
        }
    }
    return result;
}
} // namespace

CSVGElementShape* CSVGDocument::outlineTarget(CSVGElement* element) const
{
    if (element && element->getType() == SvgType::G) {
        for (int i = element->getChildCount() - 1; i >= 0; --i) {
            CSVGElementShape* child = CSVGElementShape::asShape(element->getChild(i));
            if (child && !child->getMarkedNodes().isEmpty())
                return child;
        }
    }
    return CSVGElementShape::asShape(element);
}

// The largest ring of the shape on the canvas, without the point that
// closes it.
QPolygonF CSVGDocument::openOutline(CSVGElementShape* shape)
{
    QPolygonF outline = shape ? CSVGElementShape::getLargestPolygon(shape->getTransformedPath()) : QPolygonF();
    if (outline.size() > 1 && outline.isClosed())
        outline.removeLast();
    return outline;
}

// Marks name vertices of the outline as it was when they were made: after
// an undo or a change of the outline they may point past its end, and
// nothing keeps them unique.
QList<int> CSVGDocument::validMarks(const CSVGElementShape* shape, int count)
{
    QList<int> marks;
    for (int index : shape ? shape->getMarkedNodes() : QList<int>()) {
        if (index >= 0 && index < count)
            marks.append(index);
    }
    std::sort(marks.begin(), marks.end());
    marks.erase(std::unique(marks.begin(), marks.end()), marks.end());
    return marks;
}

// The points go into the parent's coordinates here rather than through an
// inverse "transform", so that the new outline needs no matrix of its own.
// It takes the document's default paint and the source's position.
CSVGElementPath* CSVGDocument::addOutlinePath(const QPainterPath& canvasPath, CSVGElement* parent, CSVGElement* source)
{
    CSVGMatrix toParent = parent->getMatrix();
    const bool invertible = toParent.invert();
    CSVGElementPath* path = createPathElement(invertible ? toParent.toQTransform().map(canvasPath) : canvasPath);
    const std::wstring position = source ? source->getAttribute(L"position_id") : std::wstring();
    if (!position.empty())
        path->setAttribute(L"position_id", position, false);
    parent->adoptChild(path, true);
    path->updateMatrix(nullptr, true);
    return path;
}

// One step: the new path, already in the removed element's parent, takes
// its place and the selection.
void CSVGDocument::replaceElement(CSVGElement* removed, CSVGElementPath* added)
{
    auto* step = new CActionComposite(this);
    m_history.push(step);
    step->addAction(new CActionAdd(this, added->getParent(), added));
    clearSelection();
    selectElement(added, Qt::green);
    step->addAction(new CActionDel(this, removed));
    removed->removeFromParent(true);
}

void CSVGDocument::dropFromSelection(CSVGElement* element)
{
    m_highlights.removeElement(element);
    if (m_selected.remove(element))
        m_selection.removeAll(element);
    if (m_currentElement == element)
        clearCurrentElement();
    m_overlayChanged = true;
}

// Only the sub-path that was hit gets the point; the others stay apart, as
// the plotter must not cut a line between them.
void CSVGDocument::insertPointOnOutline(const QPointF& point)
{
    for (CSVGElementShape* shape : selectedLeaves(m_selection)) {
        QList<QPolygonF> polygons = shape->getTransformedPath().toSubpathPolygons();
        int polygon = 0;
        int edge = 0;
        if (!findEdge(polygons, point, m_pickTolerance, polygon, edge))
            continue;
        QPolygonF& ring = polygons[polygon];
        ring.insert(edge + 1, projectOnto(point, ring[edge], ring[edge + 1]));
        QPainterPath outline;
        for (const QPolygonF& each : qAsConst(polygons))
            outline.addPolygon(each);
        replaceElement(shape, addOutlinePath(outline, shape->getParent(), shape));
        break;
    }
    setContentChanged(true);
}

QLineF CSVGDocument::nearestSegment(const QPointF& point)
{
    for (CSVGElementShape* shape : selectedLeaves(m_selection)) {
        const QPainterPath path = shape->getTransformedPath();
        for (int k = 0; k + 1 < path.elementCount(); ++k) {
            if (!path.elementAt(k + 1).isLineTo())
                continue;
            const QPointF from = path.elementAt(k);
            const QPointF to = path.elementAt(k + 1);
            const double detour = QLineF(from, point).length() + QLineF(point, to).length();
            if (std::abs(QLineF(from, to).length() - detour) < m_pickTolerance)
                return QLineF(from, to);
        }
    }
    return QLineF();
}

void CSVGDocument::movePoint(const QPainterPath& dragged)
{
    if (dragged.elementCount() != 3)
        return;
    const QPointF start = dragged.elementAt(0);
    const QPointF control = dragged.elementAt(1);
    const QPointF end = dragged.elementAt(2);
    for (CSVGElementShape* shape : selectedLeaves(m_selection)) {
        const QPainterPath path = shape->getTransformedPath();
        for (int k = 0; k + 1 < path.elementCount(); ++k) {
            if (!path.elementAt(k + 1).isLineTo() || QPointF(path.elementAt(k)) != start
                || QPointF(path.elementAt(k + 1)) != end)
                continue;
            CSVGElementPath* bent = addOutlinePath(bendEdge(path, k + 1, control), shape->getParent(), shape);
            replaceElement(shape, bent);
            m_highlights.updateElement(bent, -1);
            setContentChanged(true);
            return;
        }
    }
}

// A feature is a part of a grouped piece: ungrouped pieces are left whole.
void CSVGDocument::deleteFeature()
{
    CSVGElement* root = getOwnerSvg();
    QList<CSVGElement*> features;
    for (int i = 0; root && i < root->getChildCount(); ++i) {
        CSVGElement* piece = root->getChild(i);
        if (piece->getType() != SvgType::G)
            continue;
        std::vector<CSVGElement*> parts;
        piece->collectDescendants(parts, false);
        for (CSVGElement* part : parts) {
            const CSVGElementShape* shape = CSVGElementShape::asShape(part);
            if (shape && !shape->getMarkedNodes().isEmpty())
                features.append(part);
        }
    }
    if (!features.isEmpty()) {
        auto* step = new CActionComposite(this);
        m_history.push(step);
        for (CSVGElement* feature : qAsConst(features)) {
            dropFromSelection(feature);
            step->addAction(new CActionDel(this, feature));
            feature->removeFromParent(true);
        }
        setContentChanged(true);
    }
    setEditMode(EditMode::Select);
}
