#include "SVGPathItem.h"

#include "CSVGElementPath.h"
#include "CSVGPathSegCurvetoCubic.h"
#include "CSVGView.h"
#include "CanvasGeometry.h"

#include <QPainter>

SVGPathItem::SVGPathItem(CSVGView* view, CSVGElementPath* path, QGraphicsItem* parent)
    : QGraphicsItem(parent)
    , m_view(view)
    , m_path(path)
{
    m_rect = calcBoundingRect();
}

void SVGPathItem::pathChanged()
{
    if (!syncGeometry())
        update();
}

bool SVGPathItem::syncGeometry()
{
    const QRectF rect = calcBoundingRect();
    if (CanvasGeometry::isSameRect(rect, m_rect))
        return false;
    prepareGeometryChange();
    m_rect = rect;
    return true;
}

QRectF SVGPathItem::boundingRect() const
{
    return m_rect;
}

QRectF SVGPathItem::calcBoundingRect() const
{
    if (!m_path || !m_path->getDocument())
        return QRectF();
    const QRectF rect = CanvasGeometry::withMargin(m_path->getTransformedPath().controlPointRect());
    return CanvasGeometry::isFinite(rect) ? rect : QRectF();
}

void SVGPathItem::paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*)
{
    CSVGElementPath* path = m_path.data();
    if (!path)
        return;
    path->draw(painter, CSVGMatrix(), false, false, true, false);
    drawHandle(painter, path);
}

// h is the second control point mirrored through the end point: where the
// next curve's first control point goes.
void SVGPathItem::drawHandle(QPainter* painter, CSVGElementPath* path) const
{
    const auto* cubic = dynamic_cast<const CSVGPathSegCurvetoCubic*>(path->getSegmentFromEnd(0));
    if (!cubic)
        return;
    const QTransform toCanvas = path->getMatrix().toQTransform();
    const QPointF control = toCanvas.map(QPointF(cubic->x2, cubic->y2));
    const QPointF handle = 2 * toCanvas.map(QPointF(cubic->x, cubic->y)) - control;
    const double side = static_cast<int>(QLineF(handle, control).length()) / 50.0;
    painter->save();
    for (const QPointF& centre : { handle, control })
        painter->fillRect(QRectF(centre.x() - side / 2, centre.y() - side / 2, side, side), Qt::red);
    painter->setPen(QPen(Qt::blue, 0, Qt::DashLine));
    painter->drawLine(handle, control);
    painter->restore();
}
