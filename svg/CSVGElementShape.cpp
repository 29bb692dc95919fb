#include "CSVGElementShape.h"

#include "CGlobalConfig.h"
#include "CSVGClipper.h"
#include "CSVGDocument.h"
#include "CSVGUtils.h"
#include "MemoryHeadroom.h"
#include "SvgCodes.h"

#include <algorithm>
#include <cmath>

namespace {

bool hasExtent(const CSVGRect& box)
{
    const double limit = 5e-7;
    return std::isfinite(box.width) && std::isfinite(box.height)
        && (std::fabs(box.width) >= limit || std::fabs(box.height) >= limit);
}

// The element and every shape below it that is reached through shape
// children, parents before children, with an explicit stack: the depth of a
// tree read from a file must not decide the depth of the call stack. Below a
// shape for which skipChildren is true nothing is visited.
template <typename Visit, typename Skip> void visitShapes(CSVGElementShape* root, Visit visit, Skip skipChildren)
{
    std::vector<CSVGElementShape*> stack { root };
    while (!stack.empty()) {
        CSVGElementShape* shape = stack.back();
        stack.pop_back();
        visit(shape);
        if (skipChildren(shape))
            continue;
        for (int i = shape->getChildCount() - 1; i >= 0; --i) {
            if (CSVGElementShape* child = CSVGElementShape::asShape(shape->getChild(i)))
                stack.push_back(child);
        }
    }
}

template <typename Visit> void visitShapes(CSVGElementShape* root, Visit visit)
{
    visitShapes(root, visit, [](const CSVGElementShape*) { return false; });
}

// The ring of at least two points whose bounding box has the largest area,
// the earlier on equal areas.
template <typename Rings> QPolygonF largestOf(const Rings& rings)
{
    const QPolygonF* largest = nullptr;
    double largestArea = -1.0;
    for (const QPolygonF& ring : rings) {
        const QRectF bounds = ring.boundingRect();
        const double area = bounds.height() * bounds.width();
        if (ring.size() >= 2 && area > largestArea) {
            largest = &ring;
            largestArea = area;
        }
    }
    return largest ? *largest : QPolygonF();
}

} // namespace

CSVGElementShape::CSVGElementShape(CSVGDocument* document, const std::wstring& tagName, std::uint16_t type)
    : CSVGElementStyleable(document, tagName, type)
{
}

std::set<std::wstring> CSVGElementShape::getAttributeNames() const
{
    std::set<std::wstring> names = CSVGElementStyleable::getAttributeNames();
    names.insert(L"transform");
    return names;
}

bool CSVGElementShape::isGroupElement() const
{
    return getType() == SvgType::G;
}

void CSVGElementShape::clearNodeSelection()
{
    if (isGroupElement()) {
        for (int i = 0; i < getChildCount(); ++i) {
            if (getChild(i)->isShape())
                getChild(i)->clearNodeSelection();
        }
        return;
    }
    m_markedNodes.clear();
    m_nodeArea = QPainterPath();
}

CSVGElementShape* CSVGElementShape::asShape(CSVGElement* element)
{
    return element && element->isShape() ? dynamic_cast<CSVGElementShape*>(element) : nullptr;
}

// Sized once: a path grown by appending holds up to twice its size, and as
// much again while it moves. Appending to an empty path takes the other
// path's data as it is, so the first outline is the start.
QPainterPath CSVGElementShape::joinOutlines(const std::vector<CSVGElementShape*>& shapes)
{
    QPainterPath joined;
    std::vector<QPainterPath> outlines;
    int elements = 0;
    for (CSVGElementShape* shape : shapes) {
        QPainterPath outline = shape->getPainterPath();
        if (outline.isEmpty())
            continue;
        elements += outline.elementCount();
        outlines.push_back(std::move(outline));
    }
    if (outlines.empty())
        return joined;
    const Qt::FillRule rule = joined.fillRule();
    joined = outlines.front();
    joined.setFillRule(rule);
    if (outlines.size() > 1) {
        MemoryHeadroom::check(std::size_t(elements) * sizeof(QPainterPath::Element));
        joined.reserve(elements);
    }
    for (size_t i = 1; i < outlines.size(); ++i)
        joined.addPath(outlines[i]);
    return joined;
}

void CSVGElementShape::buildPainterPath(double, double) { }

bool CSVGElementShape::hitTest(double, double, std::wstring&, std::wstring&)
{
    return false;
}

bool CSVGElementShape::intersectsRect(const CSVGRect& rect)
{
    if (getDocument() && getDocument()->getOwnerSvg() == this)
        return false;
    updateGeometry();
    const CSVGMatrix matrix = getMatrix();
    const QPointF corners[] = { { m_box.x, m_box.y }, { m_box.x + m_box.width, m_box.y },
        { m_box.x, m_box.y + m_box.height }, { m_box.x + m_box.width, m_box.y + m_box.height } };
    for (const QPointF& corner : corners) {
        if (rect.containsPoint(matrix.map(corner)))
            return true;
    }
    return false;
}

// The corners first, then the middles of the edges, then the rotation handle
// 30 units above the top edge.
int CSVGElementShape::hitTestHandle(double x, double y, const CSVGMatrix& matrix)
{
    CSVGMatrix inverse = matrix;
    inverse.multiply(getMatrix());
    if (!inverse.invert())
        return SelectionHandle::None;
    updateGeometry();
    const QPointF p = inverse.map(QPointF(std::trunc(x), std::trunc(y)));
    const auto whole = [](double value) { return std::isfinite(value) ? std::trunc(value) : 0.0; };
    const double bx = whole(m_box.x);
    const double by = whole(m_box.y);
    const double w = whole(m_box.width);
    const double h = whole(m_box.height);
    const double halfW = std::trunc(w / 2);
    const double halfH = std::trunc(h / 2);
    const struct
    {
        int code;
        double x;
        double y;
    } handles[] = { { SelectionHandle::TopLeft, bx, by }, { SelectionHandle::TopRight, bx + w, by },
        { SelectionHandle::BottomLeft, bx, by + h }, { SelectionHandle::BottomRight, bx + w, by + h },
        { SelectionHandle::Left, bx, by + halfH }, { SelectionHandle::Top, bx + halfW, by },
        { SelectionHandle::Right, bx + w, by + halfH }, { SelectionHandle::Bottom, bx + halfW, by + h },
        { SelectionHandle::Rotation, bx + halfW, by - 30 } };
    for (const auto& handle : handles) {
        if (std::fabs(p.x() - handle.x) < 3.0 && std::fabs(p.y() - handle.y) < 3.0)
            return handle.code;
    }
    return SelectionHandle::None;
}

void CSVGElementShape::updateGeometry()
{
    if (!isGeometryDirty())
        return;
    computeBounds();
    clearGeometryDirty();
}

void CSVGElementShape::commitGeometry()
{
    setGeometryDirty();
    updateGeometry();
}

// A child without geometry adds nothing. One that is only thin, such as a
// horizontal line, still counts. Hidden children count too: telling them
// needs every style worked out, which reading and writing a file must not
// pay for (see getDrawnBoundingRect).
void CSVGElementShape::computeBounds()
{
    if (getChildCount() == 0)
        return;
    m_box.setEmpty();
    CSVGMatrix inverse = getMatrix();
    if (!inverse.invert())
        return;
    bool first = true;
    for (int i = 0; i < getChildCount(); ++i) {
        CSVGElementShape* child = asShape(getChild(i));
        if (!child)
            continue;
        child->updateGeometry();
        CSVGMatrix toOwn = inverse;
        toOwn.multiply(child->getMatrix());
        const CSVGRect box = child->m_box.transformed(toOwn);
        if (!hasExtent(box))
            continue;
        m_box = first ? box : m_box.united(box);
        first = false;
    }
}

std::vector<QPolygonF> CSVGElementShape::getOffsetOutline(
    double delta, double arcTolerance, ClipperLib::JoinType joinType, ClipperLib::EndType endType)
{
    return CSVGClipper::offsetOutline(getLargestPolygon(getTransformedPath()), delta, arcTolerance, joinType, endType);
}

QPainterPath CSVGElementShape::getPainterPath()
{
    updateGeometry();
    return m_path;
}

CSVGRect CSVGElementShape::getBoundingRect()
{
    updateGeometry();
    return m_box;
}

// Without a turn or a shear the box of the mapped path is the mapped box of
// the path, which costs no copy of the path: the canvas and the selection
// ask for it for every piece.
CSVGRect CSVGElementShape::getTransformedBoundingRect()
{
    updateGeometry();
    const CSVGMatrix matrix = getMatrix();
    if (m_path.isEmpty())
        return m_box.transformed(matrix);
    CSVGRect rect;
    if (matrix.b == 0 && matrix.c == 0)
        rect.setFromQRectF(matrix.toQTransform().mapRect(m_path.boundingRect()));
    else
        rect.setFromQRectF(matrix.toQTransform().map(m_path).boundingRect());
    return rect;
}

std::optional<CSVGRect> CSVGElementShape::getDrawnBoundingRect()
{
    if (isHidden())
        return std::nullopt;
    std::optional<CSVGRect> drawn;
    const auto hidden = [this](CSVGElementShape* shape) { return shape != this && shape->isHidden(); };
    visitShapes(
        this,
        [&](CSVGElementShape* shape) {
            if (hidden(shape) || (shape->getChildCount() > 0 && !shape->holdsChildOutlines()))
                return;
            const CSVGRect box = shape->getTransformedBoundingRect();
            drawn = drawn ? drawn->united(box) : box;
        },
        [&hidden](CSVGElementShape* shape) { return shape->holdsChildOutlines() || hidden(shape); });
    return drawn;
}

// A descendant that is not drawn is left out with its subtree.
QPainterPath CSVGElementShape::getTransformedPath()
{
    QPainterPath result;
    const auto hiddenBelow = [this](CSVGElementShape* shape) { return shape != this && shape->isHidden(); };
    visitShapes(
        this,
        [&result, &hiddenBelow](CSVGElementShape* shape) {
            if (hiddenBelow(shape))
                return;
            shape->updateGeometry();
            if (!shape->m_path.isEmpty())
                result.addPath(shape->getMatrix().toQTransform().map(shape->m_path));
        },
        [&hiddenBelow](CSVGElementShape* shape) { return shape->holdsChildOutlines() || hiddenBelow(shape); });
    return result;
}

QPolygonF CSVGElementShape::getLargestPolygon(const QPainterPath& path)
{
    return largestOf(CSVGUtils::pathToPolygons(path, QTransform()));
}

QPolygonF CSVGElementShape::getLargestPolygon(const QPainterPath& path, double curveTolerance)
{
    return largestOf(CSVGUtils::pathToPolygons(path, QTransform(), curveTolerance));
}

// Rings of finite points go through a path made of them and its flattening
// unchanged, but for those of fewer than two points, which do not come out.
QPolygonF CSVGElementShape::getLargestPolygon(const std::vector<QPolygonF>& rings)
{
    const auto finite = [](const QPointF& p) { return std::isfinite(p.x()) && std::isfinite(p.y()); };
    for (const QPolygonF& ring : rings) {
        if (!std::all_of(ring.begin(), ring.end(), finite)) {
            QPainterPath path;
            for (const QPolygonF& each : rings)
                path.addPolygon(each);
            return getLargestPolygon(path);
        }
    }
    return largestOf(rings);
}

std::vector<CSVGElementShape*> CSVGElementShape::collectLeafShapes(CSVGElement* element)
{
    std::vector<CSVGElementShape*> leaves;
    if (CSVGElementShape* root = asShape(element)) {
        visitShapes(root, [&leaves](CSVGElementShape* shape) {
            if (shape->getChildCount() == 0)
                leaves.push_back(shape);
        });
    }
    return leaves;
}

// The scaling happens in canvas coordinates, K = T(c) S T(-c) in front of the
// accumulated matrix M; the own transform t, with M = P t, becomes
// t M^-1 K M, so that the parent's matrix P stays as it is.
void CSVGElementShape::scaleAbout(double sx, double sy, const QPointF& centre)
{
    if (!std::isfinite(sx) || !std::isfinite(sy) || !std::isfinite(centre.x()) || !std::isfinite(centre.y()))
        return;
    CSVGMatrix scaling;
    scaling.translate(centre.x(), centre.y());
    scaling.scale(sx, sy);
    scaling.translate(-centre.x(), -centre.y());

    const CSVGMatrix accumulated = getMatrix();
    CSVGMatrix toLocal = accumulated;
    if (!toLocal.invert())
        return;
    CSVGMatrix transform = getTransformMatrix();
    transform.multiply(toLocal);
    transform.multiply(scaling);
    transform.multiply(accumulated);
    if (!transform.isFinite())
        return;
    setTransform(transform, true);
    updateMatrix(nullptr, true);
}

QPainterPath CSVGElementShape::selectNodesInRect(const CSVGRect& rect)
{
    if (isGroupElement()) {
        for (int i = 0; i < getChildCount(); ++i) {
            if (CSVGElementShape* child = asShape(getChild(i)))
                child->selectNodesInRect(rect);
        }
        return getNodeSelectionArea();
    }
    QPolygonF polygon = getLargestPolygon(getTransformedPath());
    if (polygon.isEmpty())
        return getNodeSelectionArea();
    QPainterPath area;
    area.addRect(rect.toQRectF());
    m_nodeArea = m_nodeArea.united(area);
    if (polygon.size() > 1 && polygon.first() == polygon.last())
        polygon.removeLast();
    for (int i = 0; i < polygon.size(); ++i) {
        if (rect.containsPoint(polygon[i]) && !m_markedNodes.contains(i))
            m_markedNodes.append(i);
    }
    return getNodeSelectionArea();
}

QPainterPath CSVGElementShape::getNodeSelectionArea() const
{
    QPainterPath area;
    visitShapes(const_cast<CSVGElementShape*>(this),
        [&area](const CSVGElementShape* shape) { area.addPath(shape->m_nodeArea); });
    return area;
}

bool CSVGElementShape::readLengthField(
    const std::wstring& name, const std::wstring& value, std::initializer_list<LengthField> fields)
{
    for (const LengthField& field : fields) {
        if (name == field.name) {
            *field.field = g_config.parseLength(value);
            return true;
        }
    }
    return false;
}

bool CSVGElementShape::toLocal(double x, double y, QPointF& local) const
{
    CSVGMatrix inverse = getMatrix();
    if (!inverse.invert())
        return false;
    local = inverse.map(QPointF(x, y));
    return true;
}

double CSVGElementShape::strokeWidth()
{
    return g_config.parseLength(getStyleValue(L"stroke-width"));
}

bool CSVGElementShape::hitTestBox(double x, double y, std::wstring& id)
{
    updateGeometry();
    const double grow = strokeWidth();
    return hitLocal(x, y, id, [this, grow](const QPointF& p) { return m_box.inflated(grow, grow).containsPoint(p); });
}

int CSVGElementShape::pointHandleAt(double x, double y, const CSVGMatrix& matrix, const QPolygonF& points) const
{
    CSVGMatrix inverse = matrix;
    inverse.multiply(getMatrix());
    if (!inverse.invert())
        return -1;
    const QPointF p = inverse.map(QPointF(x, y));
    for (int i = 0; i < points.size(); ++i) {
        if (std::fabs(points[i].x() - p.x()) < 3.0 && std::fabs(points[i].y() - p.y()) < 3.0)
            return i;
    }
    return -1;
}

bool CSVGElementShape::isNearSegment(const QPointF& a, const QPointF& b, double reach, const QPointF& p)
{
    std::vector<QPointF> band(4);
    CGlobalConfig::segmentEndNormalPoints(a, b, band[0], band[1], -reach);
    CGlobalConfig::segmentEndNormalPoints(a, b, band[3], band[2], reach);
    return CGlobalConfig::pointInPolygon(band, p);
}

void CSVGElementShape::writeLengthFields(std::initializer_list<LengthField> fields)
{
    for (const LengthField& field : fields)
        setAttributeNumber(field.name, *field.field, true);
}

bool CSVGElementShape::isWithinRegion(const CSVGRect& region)
{
    return region.containsRect(getTransformedBoundingRect());
}
