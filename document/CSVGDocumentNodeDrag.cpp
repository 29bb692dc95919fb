// Dragging the nodes and box handles that the highlight records show, and
// the regular polygon built on a clicked side.

#include "CActionAttr.h"
#include "CActionComposite.h"
#include "CSVGDocument.h"
#include "CSVGElementPath.h"
#include "CSVGElementPolyline.h"
#include "CSVGPathSegCurvetoCubic.h"
#include "SvgCodes.h"

#include <QLineF>

#include <cmath>
#include <initializer_list>
#include <utility>

namespace {

// Left-top (x1, y1) and right-bottom (x2, y2) corners of a dragged box.
struct Box
{
    double x1;
    double y1;
    double x2;
    double y2;
};

bool applyHandle(Box& box, int handle, const QPointF& p)
{
    switch (handle) {
    case HandleIndex::LeftTop:
        box.x1 = p.x();
        box.y1 = p.y();
        return true;
    case HandleIndex::Top:
        box.y1 = p.y();
        return true;
    case HandleIndex::RightTop:
        box.y1 = p.y();
        box.x2 = p.x();
        return true;
    case HandleIndex::Right:
        box.x2 = p.x();
        return true;
    case HandleIndex::RightBottom:
        box.x2 = p.x();
        box.y2 = p.y();
        return true;
    case HandleIndex::Bottom:
        box.y2 = p.y();
        return true;
    case HandleIndex::LeftBottom:
        box.y2 = p.y();
        box.x1 = p.x();
        return true;
    case HandleIndex::Left:
        box.x1 = p.x();
        return true;
    default:
        return false;
    }
}

// A corner keeps the opposite corner and makes the box the square of the
// larger distance to p; an edge keeps the opposite edge, lands on p and is
// centred on the old centre along the other axis.
bool applySquareHandle(Box& box, int handle, const QPointF& p)
{
    const double cx = (box.x1 + box.x2) / 2;
    const double cy = (box.y1 + box.y2) / 2;
    const auto larger = [&p](double x, double y) { return std::max(std::fabs(p.x() - x), std::fabs(p.y() - y)); };
    switch (handle) {
    case HandleIndex::LeftTop: {
        const double side = larger(box.x2, box.y2);
        box.x1 = box.x2 - side;
        box.y1 = box.y2 - side;
        return true;
    }
    case HandleIndex::RightTop: {
        const double side = larger(box.x1, box.y2);
        box.x2 = box.x1 + side;
        box.y1 = box.y2 - side;
        return true;
    }
    case HandleIndex::RightBottom: {
        const double side = larger(box.x1, box.y1);
        box.x2 = box.x1 + side;
        box.y2 = box.y1 + side;
        return true;
    }
    case HandleIndex::LeftBottom: {
        const double side = larger(box.x2, box.y1);
        box.x1 = box.x2 - side;
        box.y2 = box.y1 + side;
        return true;
    }
    case HandleIndex::Top:
    case HandleIndex::Bottom: {
        const double side = handle == HandleIndex::Top ? box.y2 - p.y() : p.y() - box.y1;
        (handle == HandleIndex::Top ? box.y1 : box.y2) = p.y();
        box.x1 = cx - side / 2;
        box.x2 = cx + side / 2;
        return true;
    }
    case HandleIndex::Left:
    case HandleIndex::Right: {
        const double side = handle == HandleIndex::Left ? box.x2 - p.x() : p.x() - box.x1;
        (handle == HandleIndex::Left ? box.x1 : box.x2) = p.x();
        box.y1 = cy - side / 2;
        box.y2 = cy + side / 2;
        return true;
    }
    default:
        return false;
    }
}

bool hasWidgetBox(const CSVGElement* element)
{
    return element->getType() == SvgType::G && !element->getAttribute(L"tywidgettype").empty();
}

// The attributes that a node gesture may change, per kind of element.
std::vector<const wchar_t*> recordedAttributes(const CSVGElement* element)
{
    switch (element->getType()) {
    case SvgType::Line:
        return { L"x1", L"y1", L"x2", L"y2" };
    case SvgType::Rect:
        return { L"x", L"y", L"width", L"height" };
    case SvgType::Circle:
        return { L"cx", L"cy", L"r" };
    case SvgType::Ellipse:
        return { L"cx", L"cy", L"rx", L"ry" };
    case SvgType::Polyline:
    case SvgType::Polygon:
        return { L"points" };
    case SvgType::Path:
        return { L"d" };
    case SvgType::Image:
    case SvgType::Text:
        return { L"transform" };
    case SvgType::G:
        if (hasWidgetBox(element))
            return { L"tyx", L"tyy", L"tywidth", L"tyheight" };
        return { L"transform" };
    default:
        return {};
    }
}

} // namespace

void CSVGDocument::setNumbers(CSVGElement* element, std::initializer_list<std::pair<const wchar_t*, double>> values)
{
    for (const auto& [name, value] : values)
        element->setAttributeNumber(name, value, true);
}

CSVGPathSegCurvetoCubic* CSVGDocument::asCubic(CSVGPathSeg* segment)
{
    return segment && segment->getType() == CSVGPathSeg::CurvetoCubic ? static_cast<CSVGPathSegCurvetoCubic*>(segment)
                                                                      : nullptr;
}

bool CSVGDocument::toElementPoint(const CSVGElement* element, const QPointF& canvas, QPointF& local)
{
    CSVGMatrix inverse = element->getMatrix();
    if (!inverse.invert())
        return false;
    local = inverse.map(canvas);
    return std::isfinite(local.x()) && std::isfinite(local.y());
}

void CSVGDocument::beginNodeEdit()
{
    QVector<HighlightNode> nodes = m_highlights.getMarkedNodes();
    if (nodes.isEmpty() && m_currentNode.element)
        nodes.append(m_currentNode);
    else if (!nodes.isEmpty() && !m_currentNode.element)
        m_currentNode = nodes.first();
    if (m_pendingTransform || !m_currentNode.element)
        return;
    auto* step = new CActionComposite(this);
    m_history.push(step);
    m_pendingTransform = step;
    m_nodeEditElements.clear();
    for (const HighlightNode& node : qAsConst(nodes)) {
        if (!node.element || m_nodeEditElements.contains(node.element))
            continue;
        m_nodeEditElements.append(node.element);
        for (const wchar_t* name : recordedAttributes(node.element))
            step->addAction(new CActionAttr(this, node.element, name));
    }
}

// Mode 27: the nodes taken at the first move follow the pointer from where
// the press found them.
void CSVGDocument::dragNodes(const QPointF& point, bool constrain)
{
    if (m_dragNodes.empty()) {
        QVector<HighlightNode> nodes = m_highlights.getMarkedNodes();
        if (nodes.isEmpty() && m_currentNode.element)
            nodes.append(m_currentNode);
        if (nodes.isEmpty())
            return;
        beginNodeEdit();
        m_dragNodes.assign(nodes.begin(), nodes.end());
    }
    const QPointF offset = point - m_pressPoint;
    for (const HighlightNode& node : m_dragNodes)
        dragNode(node.point + offset, node, constrain);
}

// An element whose matrix has no inverse, or that an undo took out of the
// drawing, is left alone.
void CSVGDocument::dragNode(const QPointF& point, const HighlightNode& node, bool constrain)
{
    CSVGElement* element = node.element;
    QPointF p;
    if (!element || !isInDrawing(element) || !isUsablePoint(point) || !toElementPoint(element, point, p))
        return;
    const bool constrained = constrain || m_orientation;
    switch (element->getType()) {
    case SvgType::Line:
        if (node.index == 0 || node.index == 1) {
            const wchar_t* const anchor[] = { node.index == 0 ? L"x2" : L"x1", node.index == 0 ? L"y2" : L"y1" };
            const QPointF from(element->getAttributeNumber(anchor[0]), element->getAttributeNumber(anchor[1]));
            const QPointF end = constrained ? constrainAngle(from, p) : p;
            setNumbers(element,
                { { node.index == 0 ? L"x1" : L"x2", end.x() }, { node.index == 0 ? L"y1" : L"y2", end.y() } });
        }
        break;
    case SvgType::Rect:
    case SvgType::Ellipse:
    case SvgType::Circle:
        dragBox(element, p, node.index);
        break;
    case SvgType::Polyline:
    case SvgType::Polygon:
        dragVertex(element, p, node.index, constrained);
        break;
    case SvgType::Path:
        dragPathNode(element, p, node);
        break;
    case SvgType::Image:
        dragScaledBox(element, point, node.index);
        break;
    case SvgType::G:
        if (hasWidgetBox(element))
            dragBox(element, p, node.index);
        else
            dragScaledBox(element, point, node.index);
        break;
    default:
        return;
    }
    m_highlights.updateElement(element, node.index);
    element->notifyChanged();
}

// Rect, ellipse, circle (kept square) and the widget box of a g.
void CSVGDocument::dragBox(CSVGElement* element, const QPointF& local, int handle)
{
    const auto number = [element](const wchar_t* name) { return element->getAttributeNumber(name); };
    switch (element->getType()) {
    case SvgType::Rect: {
        Box box { number(L"x"), number(L"y"), number(L"x") + number(L"width"), number(L"y") + number(L"height") };
        if (applyHandle(box, handle, local))
            setNumbers(element,
                { { L"x", box.x1 }, { L"y", box.y1 }, { L"width", box.x2 - box.x1 }, { L"height", box.y2 - box.y1 } });
        break;
    }
    case SvgType::Ellipse: {
        const double cx = number(L"cx");
        const double cy = number(L"cy");
        Box box { cx - number(L"rx"), cy - number(L"ry"), cx + number(L"rx"), cy + number(L"ry") };
        if (applyHandle(box, handle, local))
            setNumbers(element,
                { { L"cx", (box.x1 + box.x2) / 2 }, { L"cy", (box.y1 + box.y2) / 2 }, { L"rx", (box.x2 - box.x1) / 2 },
                    { L"ry", (box.y2 - box.y1) / 2 } });
        break;
    }
    case SvgType::Circle: {
        const double r = number(L"r");
        Box box { number(L"cx") - r, number(L"cy") - r, number(L"cx") + r, number(L"cy") + r };
        if (applySquareHandle(box, handle, local))
            setNumbers(element,
                { { L"cx", (box.x1 + box.x2) / 2 }, { L"cy", (box.y1 + box.y2) / 2 },
                    { L"r", (box.x2 - box.x1) / 2 } });
        break;
    }
    default: {
        Box box { number(L"tyx"), number(L"tyy"), number(L"tyx") + number(L"tywidth"),
            number(L"tyy") + number(L"tyheight") };
        if (!applyHandle(box, handle, local))
            break;
        setNumbers(element,
            { { L"tyx", box.x1 }, { L"tyy", box.y1 }, { L"tywidth", box.x2 - box.x1 },
                { L"tyheight", box.y2 - box.y1 } });
        m_highlights.rebuildAll();
        break;
    }
    }
}

// Images and groups scale their canvas box through "transform"; a box that
// would shrink to 5 units or less either way is refused.
void CSVGDocument::dragScaledBox(CSVGElement* element, const QPointF& canvas, int handle)
{
    constexpr double kMinimum = 5.0;
    CSVGElementShape* shape = CSVGElementShape::asShape(element);
    const CSVGRect old = shape->getTransformedBoundingRect();
    const double width = std::max(old.width, kMinimum);
    const double height = std::max(old.height, kMinimum);
    Box box { old.x, old.y, old.x + width, old.y + height };
    if (!applyHandle(box, handle, canvas) || !(box.x2 - box.x1 > kMinimum) || !(box.y2 - box.y1 > kMinimum))
        return;
    CSVGMatrix transform = element->getTransformMatrix();
    transform.postTranslate(-old.x, -old.y);
    transform.postScale((box.x2 - box.x1) / width, (box.y2 - box.y1) / height);
    transform.postTranslate(box.x1, box.y1);
    element->setTransform(transform, true);
    element->updateMatrix(nullptr, true);
    m_highlights.rebuildAll();
}

void CSVGDocument::dragVertex(CSVGElement* element, const QPointF& local, int index, bool constrain)
{
    auto* polyline = static_cast<CSVGElementPolyline*>(element);
    QPolygonF points = polyline->getPoints();
    if (index < 0 || index >= points.size())
        return;
    points[index] = constrain && index >= 1 ? constrainAngle(points[index - 1], local) : local;
    element->setAttribute(L"points", CSVGElementPolyline::pointsToText(points), true);
}

// A control point's mirror keeps a smooth node smooth; an end point takes
// its node's two handles along.
void CSVGDocument::dragPathNode(CSVGElement* element, const QPointF& local, const HighlightNode& node)
{
    auto* path = static_cast<CSVGElementPath*>(element);
    CSVGPathSeg* segment = path->getSegment(node.index);
    if (!segment)
        return;
    CSVGPathSegCurvetoCubic* curve = asCubic(segment);
    CSVGPathSegCurvetoCubic* next = asCubic(path->getSegment(node.index + 1));
    const QPointF end(segment->x, segment->y);
    const QPointF mirrored = 2 * end - local;
    if (node.subIndex == 0 || node.subIndex == 1) {
        if (!curve)
            return;
        const QPointF incoming = node.subIndex == 0 ? local : mirrored;
        curve->x2 = incoming.x();
        curve->y2 = incoming.y();
        if (next) {
            next->x1 = 2 * end.x() - incoming.x();
            next->y1 = 2 * end.y() - incoming.y();
        }
    } else {
        const QPointF offset = local - end;
        segment->x = local.x();
        segment->y = local.y();
        if (curve) {
            curve->x2 += offset.x();
            curve->y2 += offset.y();
        }
        if (next) {
            next->x1 += offset.x();
            next->y1 += offset.y();
        }
    }
    element->setAttribute(L"d", path->toPathData(), true);
}

// Before the step takes its after-state: the gesture may have dragged a
// handle across the opposite side.
void CSVGDocument::normalizeNodeEdit()
{
    const QVector<QPointer<CSVGElement>> elements = std::exchange(m_nodeEditElements, {});
    for (CSVGElement* element : elements) {
        if (!element || !isInDrawing(element))
            continue;
        normalizeSizes(element);
        if (m_highlights.findRecord(element))
            m_highlights.updateElement(element, -1);
    }
}

// SVG takes no negative width, height or radius; the same outline with
// positive sizes.
void CSVGDocument::normalizeSizes(CSVGElement* element)
{
    const auto flip = [element](const wchar_t* size, const wchar_t* start) {
        const double value = element->getAttributeNumber(size);
        if (!(value < 0))
            return;
        if (start)
            element->setAttributeNumber(start, element->getAttributeNumber(start) + value, true);
        element->setAttributeNumber(size, -value, true);
    };
    switch (element->getType()) {
    case SvgType::Rect:
        flip(L"width", L"x");
        flip(L"height", L"y");
        break;
    case SvgType::Circle:
        flip(L"r", nullptr);
        break;
    case SvgType::Ellipse:
        flip(L"rx", nullptr);
        flip(L"ry", nullptr);
        break;
    default:
        break;
    }
}

// The side p0 p1 and the centre on the side of p2; the inner angle is taken
// in whole degrees, as it always was.
QList<QPointF> CSVGDocument::regularPolygonFromSide(const QList<QPointF>& points)
{
    if (points.size() <= 2)
        return points;
    const QPointF p0 = points.at(0);
    const QPointF p1 = points.at(1);
    const QPointF p2 = points.at(2);
    const long long count = points.size();
    const QPointF middle = (p0 + p1) / 2;
    const double toFirst = QLineF(middle, p0).length();
    if (!(toFirst > 0) || !std::isfinite(toFirst) || !std::isfinite(p2.x()) || !std::isfinite(p2.y()))
        return points;
    constexpr double kPi = 3.1415926;
    const long long degrees = (count - 2) * 90 / count;
    const double apothem = std::tan(double(degrees) * kPi / 180.0) * QLineF(p0, p1).length() / 2;
    const QPointF u = (p0 - middle) / toFirst;
    const QPointF c1(middle.x() + u.y() * apothem, middle.y() - u.x() * apothem);
    const QPointF c2(middle.x() - u.y() * apothem, middle.y() + u.x() * apothem);
    const QPointF centre = QLineF(c2, p2).length() < QLineF(c1, p2).length() ? c2 : c1;
    return regularPolygonPoints(centre, p0, int(count));
}

QList<QPointF> CSVGDocument::regularPolygonPoints(const QPointF& centre, const QPointF& first, int count)
{
    constexpr double kFullTurn = 6.2831853;
    QList<QPointF> points { first };
    const double radius = QLineF(centre, first).length();
    const double start = std::atan2(first.y() - centre.y(), first.x() - centre.x());
    for (int i = 1; i < count; ++i) {
        const double angle = start + i * kFullTurn / count;
        points.append(centre + radius * QPointF(std::cos(angle), std::sin(angle)));
    }
    return points;
}
