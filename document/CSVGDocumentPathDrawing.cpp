// The path tool of mode 9: straight and smooth segments placed by presses,
// a rubber segment that follows the pointer, and the end of a path snapped
// onto the open ends of other shapes and joined with them.

#include "CActionAdd.h"
#include "CActionComposite.h"
#include "CSVGDataRepair.h"
#include "CSVGDocument.h"
#include "CSVGElementPath.h"
#include "CSVGPathSegCurvetoCubic.h"
#include "CSVGPathSegLineto.h"
#include "CSVGUtils.h"
#include "SvgCodes.h"

#include <QDebug>
#include <QLineF>

#include <cfloat>
#include <cmath>

namespace {

const char* const kLastPressData = "last_press_data";

CSVGElementPath* asPath(CSVGElement* element)
{
    return element && element->getType() == SvgType::Path ? static_cast<CSVGElementPath*>(element) : nullptr;
}

bool isStraight(const CSVGPathSeg* segment)
{
    return segment && segment->getType() == CSVGPathSeg::Lineto;
}

QPointF endOf(const CSVGPathSeg* segment)
{
    return QPointF(segment->x, segment->y);
}

// The second control point of a curve mirrored through its end.
QPointF mirroredHandle(const CSVGPathSegCurvetoCubic* curve)
{
    return QPointF(2 * curve->x - curve->x2, 2 * curve->y - curve->y2);
}

// After a curve with distinct control points the next segment leaves the
// node smoothly; otherwise it is straight.
CSVGPathSeg* appendAfter(CSVGElementPath* path, CSVGPathSeg* last, const QPointF& p)
{
    const auto* curve
        = last->getType() == CSVGPathSeg::CurvetoCubic ? static_cast<CSVGPathSegCurvetoCubic*>(last) : nullptr;
    if (curve && (std::fabs(curve->x1 - curve->x2) > 0.001 || std::fabs(curve->y1 - curve->y2) > 0.001)) {
        const QPointF handle = mirroredHandle(curve);
        return path->appendCurvetoCubic(handle.x(), handle.y(), p.x(), p.y(), p.x(), p.y());
    }
    return path->appendLineto(p.x(), p.y());
}

// Finished on its first point, the path is closed: written with its "Z",
// it is an outline to other programs and to the cut, not a line that
// happens to come back.
bool endsWhereItStarts(const CSVGElementPath* path)
{
    if (path->getSegmentCount() < 3 || path->getSegmentFromEnd(0)->getType() == CSVGPathSeg::ClosePath)
        return false;
    const QPointF start = endOf(path->getSegment(0));
    const QPointF end = endOf(path->getSegmentFromEnd(0));
    return std::fabs(start.x() - end.x()) <= 0.001 && std::fabs(start.y() - end.y()) <= 0.001;
}

} // namespace

void CSVGDocument::appendPathPoint(CSVGElement* element, const QPointF& point)
{
    m_contentChanged = true;
    CSVGElementPath* path = asPath(element);
    QPointF p;
    if (!path || !isUsablePoint(point) || !toElementPoint(path, point, p))
        return;
    if (path->getSegmentCount() >= 2)
        path->removeSegment(path->getSegmentFromEnd(0));
    CSVGPathSeg* last = path->getSegmentFromEnd(0);
    if (!last)
        return;
    if (m_orientation)
        p = constrainAngle(endOf(last), p);
    appendAfter(path, appendAfter(path, last, p), p);
    const std::wstring data = path->toPathData();
    path->setProperty(kLastPressData, QString::fromStdWString(data));
    path->setAttribute(L"d", data, true);
}

// The sentinel is tested before any mapping: mapped through a transform it
// would be some other huge number, and Escape would write that.
void CSVGDocument::updatePathDrawing(CSVGElement* element, const QPointF& point)
{
    CSVGElementPath* path = asPath(element);
    if (!path)
        return;
    if (std::fabs(point.x() - DBL_MAX) <= 1e-5) {
        const QString saved = path->property(kLastPressData).toString();
        if (!saved.isEmpty())
            path->setAttribute(L"d", saved.toStdWString(), true);
        m_highlights.updateElement(path, -1);
        m_contentChanged = true;
        return;
    }
    QPointF p;
    if (!isUsablePoint(point) || !toElementPoint(path, point, p))
        return;
    if (m_leftButtonDown)
        dragPathHandle(path, p);
    else
        moveRubberSegment(path, p);
    path->setAttribute(L"d", path->toPathData(), true);
    m_contentChanged = true;
}

// The button is held after a press: the node just placed (S1) becomes a
// smooth node whose outgoing handle follows the pointer.
void CSVGDocument::dragPathHandle(CSVGElementPath* path, const QPointF& p)
{
    if (path->getSegmentCount() < 2)
        return;
    if (isStraight(path->getSegmentFromEnd(1))) {
        const QPointF end = endOf(path->getSegmentFromEnd(1));
        path->removeSegment(path->getSegmentFromEnd(0));
        path->removeSegment(path->getSegmentFromEnd(0));
        for (int i = 0; i < 2; ++i)
            path->appendCurvetoCubic(p.x(), p.y(), p.x(), p.y(), end.x(), end.y());
    }
    CSVGPathSegCurvetoCubic* placed = asCubic(path->getSegmentFromEnd(1));
    if (!placed)
        return;
    const CSVGPathSeg* before = path->getSegmentFromEnd(2);
    const CSVGPathSegCurvetoCubic* beforeCurve = asCubic(path->getSegmentFromEnd(2));
    const QPointF first = beforeCurve ? mirroredHandle(beforeCurve) : before ? endOf(before) : QPointF();
    const QPointF end = endOf(placed);
    placed->x1 = first.x();
    placed->y1 = first.y();
    placed->x2 = 2 * end.x() - p.x();
    placed->y2 = 2 * end.y() - p.y();
    CSVGPathSeg* rubber = path->getSegmentFromEnd(0);
    if (CSVGPathSegCurvetoCubic* curve = asCubic(rubber)) {
        curve->x1 = curve->x2 = curve->x = end.x();
        curve->y1 = curve->y2 = curve->y = end.y();
    } else if (isStraight(rubber)) {
        rubber->x = p.x();
        rubber->y = p.y();
    }
}

// No button: the rubber segment's end follows the pointer, leaving a smooth
// node smoothly.
void CSVGDocument::moveRubberSegment(CSVGElementPath* path, QPointF p)
{
    CSVGPathSeg* rubber = path->getSegmentFromEnd(0);
    const CSVGPathSeg* placed = path->getSegmentFromEnd(1);
    if (isStraight(rubber)) {
        if (m_orientation && placed)
            p = constrainAngle(endOf(placed), p);
        rubber->x = p.x();
        rubber->y = p.y();
    } else if (CSVGPathSegCurvetoCubic* curve = asCubic(rubber)) {
        if (const CSVGPathSegCurvetoCubic* placedCurve = asCubic(path->getSegmentFromEnd(1))) {
            const QPointF handle = mirroredHandle(placedCurve);
            curve->x1 = handle.x();
            curve->y1 = handle.y();
        }
        curve->x2 = curve->x = p.x();
        curve->y2 = curve->y = p.y();
    }
}

// Closed when the ends meet, when both lie on nodes, or when both touch
// open ends of shapes.
bool CSVGDocument::isDrawnPathClosed(CSVGElement* element)
{
    CSVGElementPath* path = asPath(element);
    if (!path || path->getSegmentCount() == 0)
        return false;
    const CSVGMatrix matrix = path->getMatrix();
    QPointF start = matrix.map(endOf(path->getSegment(0)));
    QPointF end = matrix.map(endOf(path->getSegmentFromEnd(0)));
    if (std::fabs(start.x() - end.x()) < m_pickTolerance && std::fabs(end.y() - start.y()) < m_pickTolerance)
        return true;
    if (findNodeAt(start).index >= 0 && findNodeAt(end).index >= 0)
        return true;
    const bool startTouches = snapToShapeEnd(start) != nullptr;
    return startTouches && snapToShapeEnd(end) != nullptr;
}

// The rubber segment, lying on the last node, goes first; a path that is
// then less than a segment stays the caller's and nothing is recorded.
void CSVGDocument::finishPathDrawing(CSVGElement* element)
{
    CSVGElementPath* path = asPath(element);
    CSVGElement* root = getOwnerSvg();
    if (!path || !root || path->getSegmentCount() < 2)
        return;
    const QPointF lastEnd = endOf(path->getSegmentFromEnd(0));
    const QPointF placedEnd = endOf(path->getSegmentFromEnd(1));
    if (std::fabs(lastEnd.x() - placedEnd.x()) <= 0.001 && std::fabs(lastEnd.y() - placedEnd.y()) <= 0.001)
        path->removeSegment(path->getSegmentFromEnd(0));
    if (path->getSegmentCount() < 2)
        return;
    if (!path->getParent()) {
        setDrawingStyle(path);
        if (!root->adoptChild(path, true))
            return;
        m_history.push(new CActionAdd(this, root, path));
        path->updateMatrix(nullptr, false);
    }
    selectElement(path, Qt::red);
    m_highlights.updateElement(path, -1);
    QList<CSVGElement*> joined { path };
    snapPathEnds(path, joined);
    if (joined.size() == 1 && endsWhereItStarts(path))
        path->appendClosePath(false);
    path->setAttribute(L"d", path->toPathData(), true);
    path->updateGeometry();
    if (joined.size() > 1) {
        CSVGDataRepair repair(this, joined);
        repair.closeJoinedPaths = true;
        m_history.push(repair.repair());
    }
    clearSelection();
    setEditMode(EditMode::Select);
    requestIntersectionCheck();
    notifyChanged();
}

// Each end that lies on an open end of another shape moves onto it; that
// shape's piece joins the list.
void CSVGDocument::snapPathEnds(CSVGElementPath* path, QList<CSVGElement*>& joined)
{
    const CSVGMatrix matrix = path->getMatrix();
    for (CSVGPathSeg* segment : { path->getSegment(0), path->getSegmentFromEnd(0) }) {
        QPointF point = matrix.map(endOf(segment));
        CSVGElement* piece = snapToShapeEnd(point);
        QPointF local;
        if (!piece || piece == path || !toElementPoint(path, point, local))
            continue;
        segment->x = local.x();
        segment->y = local.y();
        path->setGeometryDirty();
        if (!joined.contains(piece))
            joined.append(piece);
    }
}

// A shape whose box lies within the tolerance of the point counts: an end
// is in reach from beyond the shape as well.
CSVGElement* CSVGDocument::snapToShapeEnd(QPointF& point)
{
    qDebug().noquote() << "begin CheckIntersection ";
    CSVGElement* root = getOwnerSvg();
    if (!root || !isUsablePoint(point))
        return nullptr;
    const double reach = m_pickTolerance;
    const QRectF around(point.x() - reach, point.y() - reach, 2 * reach, 2 * reach);
    for (CSVGElement* leaf : CSVGUtils::collectShapes(root)) {
        CSVGElementShape* shape = CSVGElementShape::asShape(leaf);
        if (!shape || !mayMeet(shape, around) || !overlaps(shape->getTransformedBoundingRect().toQRectF(), around))
            continue;
        const QPainterPath outline = shape->getTransformedPath();
        if (outline.isEmpty())
            continue;
        const QPointF start = outline.pointAtPercent(0.0);
        const QPointF end = outline.pointAtPercent(1.0);
        if (start == end)
            continue;
        if (QLineF(point, start).length() < reach)
            point = start;
        else if (QLineF(point, end).length() < reach)
            point = end;
        else
            continue;
        while (leaf->getParent() && leaf->getParent() != root)
            leaf = leaf->getParent();
        return leaf;
    }
    return nullptr;
}
