#pragma once

#include <QGraphicsItem>
#include <QObject>
#include <QPointer>
#include <QPolygonF>

class CSVGDocument;
class CSVGElementShape;

// The canvas item of one top-level piece. Each paint asks the element, which
// draws itself. The item holds the element itself, not its id: pieces without
// an id, with a shared id or with an id changed later show as what they are,
// and once the element is gone the item draws nothing.
//
// Its box is the one the scene's index holds: it changes only in
// syncGeometry, right after the index was told. A box that followed the
// element on its own would leave the index pointing at places the item has
// left, and a deleted item would still be found there by the next paint.
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
    // Takes the element's box now, telling the scene first; false when it
    // had not changed.
    bool syncGeometry();

    // Later items have larger numbers.
    quint64 creationNumber() const { return m_creationNumber; }

    QRectF boundingRect() const override;
    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;

public slots:
    void onElementChanged();

private:
    bool isIntersected(CSVGElementShape* element) const;
    QPolygonF nodePoints(CSVGElementShape* element) const;

    QPointer<CSVGElementShape> m_element;
    quint64 m_creationNumber;
    CSVGDocument* m_document;
    QRectF m_cachedRect;
};
