#include "CSVGGraphicsItem.h"

#include "CSVGDocument.h"
#include "CSVGElementShape.h"
#include "CSVGScene.h"
#include "CanvasGeometry.h"
#include "SvgCodes.h"

#include <QPainter>
#include <QPolygonF>

#include <exception>

CSVGGraphicsItem::CSVGGraphicsItem(CSVGElementShape* element, QGraphicsItem* parent, QGraphicsScene* scene)
    : QGraphicsItem(parent)
    , m_element(element)
    , m_document(element ? element->getDocument() : nullptr)
{
    static quint64 created = 0;
    m_creationNumber = ++created;
    setFlag(ItemIsSelectable, false);
    setFlag(ItemIsMovable, false);
    setFlag(ItemSendsGeometryChanges, true);
    setAcceptDrops(false);
    setAcceptHoverEvents(false);
    // The element's end needs no connection: the guarded pointer lets go,
    // and the next sync before a paint empties the box.
    if (element) {
        connect(element, &CSVGElement::changed, this, &CSVGGraphicsItem::onElementChanged);
        if (element->getType() == SvgType::Image)
            setZValue(-100);
    }
    m_cachedRect = calcBoundingRect();
    if (scene)
        scene->addItem(this);
}

// A detached element is kept by an undo action; until the next rebuild
// deletes this item it shows nothing.
CSVGElementShape* CSVGGraphicsItem::getElement() const
{
    CSVGElementShape* element = m_element.data();
    if (!m_document || !element || element->getDocument() != m_document || !element->getParent())
        return nullptr;
    return element;
}

QRectF CSVGGraphicsItem::calcBoundingRect() const
{
    CSVGElementShape* element = getElement();
    if (!element)
        return QRectF();
    QRectF rect = element->getTransformedBoundingRect().toQRectF().normalized();
    const int mode = m_document->getEditMode();
    if (mode == EditMode::Path || mode == EditMode::MovePoint)
        rect = CanvasGeometry::unitedWithPoints(rect, nodePoints(element));
    else if (m_document->isShowComment())
        rect = rect.united(element->getLastPaintedRect().normalized());
    rect = CanvasGeometry::withMargin(rect);
    return CanvasGeometry::isFinite(rect) ? rect : QRectF();
}

// The nodes and helper lines of the element's highlight records.
QPolygonF CSVGGraphicsItem::nodePoints(CSVGElementShape* element) const
{
    QPolygonF points;
    if (const CSVGHighlight* record = m_document->getHighlightList().findRecord(element)) {
        for (const HighlightNode& node : record->nodes)
            points << node.point;
        for (const HighlightLine& line : record->lines)
            points << QPointF(line.x1, line.y1) << QPointF(line.x2, line.y2);
    }
    return points;
}

QRectF CSVGGraphicsItem::boundingRect() const
{
    return m_cachedRect;
}

bool CSVGGraphicsItem::syncGeometry()
{
    const QRectF rect = calcBoundingRect();
    if (CanvasGeometry::isSameRect(rect, m_cachedRect))
        return false;
    prepareGeometryChange();
    m_cachedRect = rect;
    return true;
}

// A piece that fails to draw spoils neither the others nor the painter: the
// scene saves the painter's state around every item's paint (no view of
// this program turns that off), so the item does not save it again.
void CSVGGraphicsItem::paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*)
{
    CSVGElementShape* element = getElement();
    if (!element)
        return;
    QPen pen = painter->pen();
    pen.setWidth(0);
    painter->setPen(pen);
    try {
        element->draw(painter, CSVGMatrix(), m_document->isSelected(element), isIntersected(element), true, false);
    } catch (const std::exception&) {
    } catch (...) {
    }
}

bool CSVGGraphicsItem::isIntersected(CSVGElementShape* element) const
{
    return m_document->isIntersected(element);
}

// During a paint the box waits for the next one: the paint in progress walks
// the index.
void CSVGGraphicsItem::onElementChanged()
{
    const auto* canvas = qobject_cast<CSVGScene*>(scene());
    if ((canvas && canvas->isPainting()) || !syncGeometry())
        update();
}
