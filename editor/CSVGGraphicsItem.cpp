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
    if (scene)
        scene->addItem(this);
    setFlag(ItemIsSelectable, false);
    setFlag(ItemIsMovable, false);
    setFlag(ItemSendsGeometryChanges, true);
    setAcceptDrops(false);
    setAcceptHoverEvents(false);
    if (element) {
        // By member pointers: a drawing opens with an item for every piece,
        // and a connection by signature text is looked up by name each time.
        connect(element, &CSVGElement::changed, this, &CSVGGraphicsItem::onElementChanged);
        connect(element, &QObject::destroyed, this, &CSVGGraphicsItem::onElementDestroyed);
        if (element->getType() == SvgType::Image)
            setZValue(-100);
    }
    m_cachedRect = calcBoundingRect();
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
    for (const CSVGHighlight* record : m_document->getHighlightList().getRecords()) {
        if (record->getElement() != element)
            continue;
        for (const HighlightNode& node : record->nodes)
            points << node.point;
        for (const HighlightLine& line : record->lines)
            points << QPointF(line.x1, line.y1) << QPointF(line.x2, line.y2);
    }
    return points;
}

QRectF CSVGGraphicsItem::boundingRect() const
{
    m_cachedRect = calcBoundingRect();
    return m_cachedRect;
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
        element->draw(painter, CSVGMatrix(), isSelected(element), isIntersected(element), true, false);
    } catch (const std::exception&) {
    } catch (...) {
    }
}

bool CSVGGraphicsItem::isSelected(CSVGElementShape* element) const
{
    if (const auto* canvas = qobject_cast<CSVGScene*>(scene()))
        return canvas->isSelected(element);
    return m_document->getSelection().contains(element);
}

bool CSVGGraphicsItem::isIntersected(CSVGElementShape* element) const
{
    return m_document->isIntersected(element);
}

void CSVGGraphicsItem::onElementChanged()
{
    const QRectF rect = calcBoundingRect();
    if (CanvasGeometry::isSameRect(rect, m_cachedRect)) {
        update();
        return;
    }
    prepareGeometryChange();
    m_cachedRect = rect;
}

void CSVGGraphicsItem::onElementDestroyed()
{
    prepareGeometryChange();
    m_document = nullptr;
    m_cachedRect = QRectF();
}
