#include "SVGCurveItem.h"

#include "CSVGView.h"

#include <QPainter>

SVGCurveItem::SVGCurveItem(CSVGView* view, QGraphicsItem* parent)
    : QGraphicsPathItem(parent)
    , m_view(view)
{
}

// The quadratic curve with control point m, drawn as the cubic of the same
// shape.
void SVGCurveItem::paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*)
{
    const QPainterPath points = path();
    if (points.elementCount() != 3)
        return;
    const QPointF start = points.elementAt(0);
    const QPointF middle = points.elementAt(1);
    const QPointF end = points.elementAt(2);
    QPainterPath curve(start);
    curve.cubicTo((2 * middle + start) / 3, (2 * middle + end) / 3, end);
    painter->save();
    painter->setPen(QPen(Qt::green, 0));
    painter->setBrush(Qt::NoBrush);
    painter->drawPath(curve);
    painter->restore();
}
