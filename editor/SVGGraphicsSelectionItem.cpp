#include "SVGGraphicsSelectionItem.h"

#include "CSVGDocument.h"
#include "CanvasGeometry.h"

#include <QPainter>

namespace {
const QColor kFrameColor(100, 170, 50, 255);
const double kOuterMargin = 2.54;
} // namespace

SVGGraphicsSelectionItem::SVGGraphicsSelectionItem(CSVGDocument* document)
    : m_document(document)
{
    setFlag(ItemSendsGeometryChanges, true);
    setAcceptDrops(false);
    setAcceptHoverEvents(false);
    if (document)
        connect(document, SIGNAL(selectionChanged()), this, SLOT(onSelectionChanged()));
}

QRectF SVGGraphicsSelectionItem::boundingRect() const
{
    return m_outerRect;
}

void SVGGraphicsSelectionItem::syncGeometry()
{
    if (m_stale)
        onItemChanged();
}

void SVGGraphicsSelectionItem::onItemChanged()
{
    m_stale = false;
    QRectF frame = m_document ? m_document->getSelectionRect() : QRectF();
    if (!CanvasGeometry::isFinite(frame))
        frame = QRectF();
    const double grow = 0.03 * std::max(frame.width(), frame.height());
    frame.adjust(-grow, -grow, grow, grow);
    const QRectF outer = frame.adjusted(-kOuterMargin, -kOuterMargin, kOuterMargin, kOuterMargin);
    if (CanvasGeometry::isSameRect(outer, m_outerRect)) {
        update();
        return;
    }
    prepareGeometryChange();
    setRect(frame);
    m_outerRect = outer;
}

void SVGGraphicsSelectionItem::paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*)
{
    const QRectF frame = rect();
    if (frame.isEmpty())
        return;
    painter->save();
    QPen pen(kFrameColor, 0);
    pen.setDashPattern({ 5, 5 });
    painter->setPen(pen);
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(frame);
    const QPointF centre = painter->transform().map(frame.center());
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->resetTransform();
    painter->fillRect(QRectF(centre.x() - 2, centre.y() - 2, 4, 4), kFrameColor);
    painter->restore();
}
