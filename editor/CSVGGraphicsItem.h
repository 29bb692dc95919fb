#pragma once

#include <QGraphicsItem>
#include <QObject>
#include <QPointer>
#include <QPolygonF>

class CSVGDocument;
class CSVGElementShape;

// The canvas item of one top-level piece. It keeps no geometry of its own:
// each paint and each size query asks the element, which draws itself. The
// item holds the element itself, not its id: pieces without an id, with a
// shared id or with an id changed later show as what they are, and once the
// element is gone the item draws nothing.
class CSVGGraphicsItem : public QObject, public QGraphicsItem
{
    Q_OBJECT
    Q_INTERFACES(QGraphicsItem)
public:
    CSVGGraphicsItem(CSVGElementShape* element, QGraphicsItem* parent, QGraphicsScene* scene);

    // Null once the element is destroyed or has left the tree.
    CSVGElementShape* getElement() const;
    // The element's canvas box with its nodes (when they are edited) or its
    // label, grown by max(1 %, 25.4); empty without an element.
    QRectF calcBoundingRect() const;

    QRectF boundingRect() const override;
    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;

signals:
    void itemChanged(QGraphicsItem::GraphicsItemChange change);

public slots:
    void onElementDestroyed();
    void onElementChanged();

private:
    bool isSelected(CSVGElementShape* element) const;
    bool isIntersected(CSVGElementShape* element) const;
    QPolygonF nodePoints(CSVGElementShape* element) const;

    QPointer<CSVGElementShape> m_element;
    CSVGDocument* m_document;
    mutable QRectF m_cachedRect;
};
