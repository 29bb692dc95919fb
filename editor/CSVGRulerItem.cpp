#include "CSVGRulerItem.h"

#include "CSVGView.h"
#include "CanvasGeometry.h"
#include "InterfaceLocale.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QPainter>
#include <QtMath>

namespace {
const double kTick = 10.0;

// The tick across the line's end: the point kTick along the line, turned
// by a quarter either way about the end.
QLineF tickAt(const QPointF& end, const QPointF& towards)
{
    const QLineF along(end, towards);
    const QPointF step = along.unitVector().p2() - end;
    QPointF ends[2];
    int i = 0;
    for (double degrees : { 90.0, -90.0 }) {
        const auto cosSin = CSVGView::cosSinOfDegrees(degrees);
        const QPointF turned(
            step.x() * cosSin.first - step.y() * cosSin.second, step.x() * cosSin.second + step.y() * cosSin.first);
        ends[i++] = end + kTick * turned;
    }
    return QLineF(ends[0], ends[1]);
}
} // namespace

CSVGRulerItem::CSVGRulerItem(CSVGView* view, QGraphicsItem* parent)
    : QGraphicsLineItem(parent)
    , m_view(view)
{
}

QString CSVGRulerItem::label() const
{
    return InterfaceLocale::millimetres(line().length(), 3);
}

bool CSVGRulerItem::syncGeometry()
{
    return CanvasGeometry::replaceBox(m_rect, calcBoundingRect(), [this] { prepareGeometryChange(); });
}

QRectF CSVGRulerItem::boundingRect() const
{
    return m_rect;
}

QRectF CSVGRulerItem::calcBoundingRect() const
{
    QRectF rect = QGraphicsLineItem::boundingRect();
    if (m_view) {
        const QFontMetricsF metrics(QApplication::font());
        const QRectF text
            = m_view->mapToScene(QRect(0, 0, qCeil(metrics.horizontalAdvance(label())), qCeil(metrics.height())))
                  .boundingRect();
        const QPointF centre = line().center();
        rect = rect.united(QRectF(centre.x(), centre.y() - text.height(), text.width(), text.height()));
    }
    const double grow = std::max(rect.width(), rect.height()) / 2;
    return rect.adjusted(-grow, -grow, grow, grow).normalized();
}

void CSVGRulerItem::paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*)
{
    const QLineF ruler = line();
    if (!(ruler.length() > 0))
        return;
    painter->save();
    const QTransform transform = painter->transform();
    const QPointF centre = transform.map(ruler.center());
    painter->setTransform(QTransform());
    painter->drawText(QPointF(static_cast<int>(centre.x()), static_cast<int>(centre.y())), label());
    painter->setTransform(transform);
    painter->setPen(QPen(Qt::green, 0));
    painter->drawLine(ruler);
    painter->drawLine(tickAt(ruler.p1(), ruler.p2()));
    painter->drawLine(tickAt(ruler.p2(), ruler.p1()));
    painter->restore();
}
